// Start-up: the main panel, the chassis scan, the first module, the exit statuses.
#include "startup.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string_view>

#include "front_panel_fixture.h"
#include "front_panel_state.h"
#include "kqsim/mainframe.h"
#include "kqvisa/fault_injection.h"
#include "panel_layout.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

using kqsim::ModuleKind;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<const char*> instrumentControls() {
    std::vector<const char*> controls(layout::kChannelVoltage.begin(), layout::kChannelVoltage.end());
    controls.insert(controls.end(), layout::kInstrumentCommands.begin(), layout::kInstrumentCommands.end());
    return controls;
}

TEST_F(FrontPanelTest, AKq7120FirstIsOpenedWithAllChannelsOperable) {
    kqvisa::clearTrace();
    ASSERT_EQ(StartFrontPanel(), VI_SUCCESS);
    const FrontPanelState& state = frontPanel();
    EXPECT_THAT(opened(), testing::Contains("VXI0::24::INSTR"));
    EXPECT_THAT(kqvisa::writtenMessages("VXI0::24::INSTR"), testing::Contains("*RST"));
    EXPECT_NE(state.instrHandle, 0u);
    EXPECT_EQ(state.instrConnected, 1);
    EXPECT_EQ(state.modelNumber, 7120);
    EXPECT_EQ(state.moduleCount, 2);  // the module of another maker is not listed
    EXPECT_EQ(state.channelCount, 16);
    EXPECT_STREQ(state.channelControl[0], "ChannelVoltage1");
    EXPECT_STREQ(state.channelControl[15], "ChannelVoltage16");

    EXPECT_EQ(intValue(mainPanel(), layout::kConnectedIndicator), 1);
    EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), 2);
    EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 0);
    std::string title;
    GetPanelAttribute(mainPanel(), UI_ATTR_TITLE, &title);
    EXPECT_EQ(title, std::string(layout::kMainPanelTitle) + " \u2014 KQ7120 at VXI0::24::INSTR");
    EXPECT_THAT(dimmedControls(mainPanel(), instrumentControls()), IsEmpty());
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(FrontPanelTest, AKq7110FirstLeavesChannels9To16Dimmed) {
    kqsim::installChassis(chassis({module(ModuleKind::KQ7110, 16, 1), module(ModuleKind::KQ7120, 24, 2)}));
    ASSERT_EQ(start(), VI_SUCCESS);
    EXPECT_EQ(frontPanel().modelNumber, 7110);
    EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), 1);
    EXPECT_THAT(dimmedControls(mainPanel(), instrumentControls()),
                ElementsAre("ChannelVoltage9", "ChannelVoltage10", "ChannelVoltage11", "ChannelVoltage12",
                            "ChannelVoltage13", "ChannelVoltage14", "ChannelVoltage15", "ChannelVoltage16"));
    EXPECT_EQ(OperateEnterValue(mainPanel(), "ChannelVoltage9", "1"), UI_ERR_NOT_OPERABLE);
    EXPECT_EQ(OperateEnterValue(mainPanel(), "ChannelVoltage8", "1"), UI_SUCCESS);
}

TEST_F(FrontPanelTest, AGpibVxiChassisIsOpenedThroughItsDescriptor) {
    kqsim::installChassis(chassis({module(ModuleKind::KQ7120, 24, 5)}, kqsim::Interface::GpibVxi));
    kqvisa::clearTrace();
    ASSERT_EQ(StartFrontPanel(), VI_SUCCESS);
    EXPECT_EQ(frontPanel().moduleInterfaceType, kq7120_GPIB_VXI_CONNECTION);
    EXPECT_EQ(opened().back(), "GPIB-VXI0::24::INSTR");
    EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), 5);
}

TEST_F(FrontPanelTest, ADescriptorOnTheCommandLineNamesTheModuleToOpen) {
    struct Case {
        const char* descriptor;
        const char* opened;  // null: none
        int slot;
        std::size_t upperChannelsDimmed;
    };
    const Case cases[] = {
        {"VXI0::40::INSTR", "VXI0::40::INSTR", 4, 8},
        {"vxi0::24::instr", "VXI0::24::INSTR", 2, 0},
        {"VXI0::32::INSTR", nullptr, 0, 8},  // a module of another maker
        {"VXI0::41::INSTR", nullptr, 0, 8},
    };
    for (const Case& c : cases) {
        startOver();
        kqvisa::clearTrace();
        testing::internal::CaptureStderr();
        ASSERT_EQ(StartFrontPanel(c.descriptor), VI_SUCCESS) << c.descriptor;
        const std::string said = testing::internal::GetCapturedStderr();
        const FrontPanelState& state = frontPanel();
        std::string title;
        GetPanelAttribute(mainPanel(), UI_ATTR_TITLE, &title);
        const std::vector<const char*> upper(layout::kChannelVoltage.begin() + 8,
                                             layout::kChannelVoltage.end());
        EXPECT_EQ(dimmedControls(mainPanel(), upper).size(), c.upperChannelsDimmed) << c.descriptor;
        if (c.opened == nullptr) {
            EXPECT_EQ(state.instrConnected, 0) << c.descriptor;
            EXPECT_THAT(popups(), ElementsAre("ERROR: Autoconnect to first failed")) << c.descriptor;
            EXPECT_EQ(said, std::string("sfp7120_32: the chassis scan found no KQ7120/KQ7110 module at ") +
                                c.descriptor + "\n");
            EXPECT_EQ(title, layout::kMainPanelTitle);
            EXPECT_TRUE(std::isnan(doubleValue(mainPanel(), layout::kSlotDisplay))) << c.descriptor;
            continue;
        }
        EXPECT_EQ(state.instrConnected, 1) << c.descriptor;
        EXPECT_THAT(kqvisa::writtenMessages(c.opened), testing::Contains("*RST")) << c.descriptor;
        EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), c.slot) << c.descriptor;
        EXPECT_THAT(title, testing::EndsWith(std::string(" at ") + c.opened));
        EXPECT_THAT(popups(), IsEmpty()) << c.descriptor;
    }
}

TEST_F(FrontPanelTest, StartUpEndsWithTheStatusOfWhatStopsIt) {
    struct Case {
        const char* what;
        kqsim::ChassisConfig chassis;
        bool failSearch;
        ViStatus exit;
        const char* said;  // the line on standard error
    };
    const Case cases[] = {
        {"no resource at all: the search's status", chassis({}), false, VI_ERROR_RSRC_NFOUND,
         "sfp7120_32: no KQ7120/KQ7110 module found\n"},
        {"only a module of another maker", chassis({module(ModuleKind::Foreign, 8, 1)}), false,
         VI_ERROR_RSRC_NFOUND, "sfp7120_32: no KQ7120/KQ7110 module found\n"},
        {"the search fails", kqsim::defaultChassis(), true, VI_ERROR_SYSTEM_ERROR,
         "sfp7120_32: the chassis scan failed with status 0xBFFF0000: "},
    };
    for (const Case& c : cases) {
        startOver();
        kqsim::installChassis(c.chassis);
        if (c.failSearch) kqvisa::failCall(kqvisa::Op::FindRsrc, VI_ERROR_SYSTEM_ERROR);
        testing::internal::CaptureStderr();
        EXPECT_EQ(RunFrontPanel(), c.exit) << c.what;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_THAT(said, testing::StartsWith(c.said)) << c.what;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.what << ": " << said;
        EXPECT_THAT(popups(), IsEmpty()) << c.what;
        EXPECT_EQ(IsPanelLoaded(mainPanel()), 0) << c.what;
        EXPECT_EQ(frontPanel().instrHandle, 0u) << c.what;
    }
}

TEST_F(FrontPanelTest, AMainPanelThatCannotBeLoadedEndsTheProgramWithMinusOne) {
    const auto emptyFolder = std::filesystem::temp_directory_path() / "sfp-no-forms";
    std::filesystem::create_directories(emptyFolder);
    setenv("KQ7120_SFP_UI_DIR", emptyFolder.c_str(), 1);
    testing::internal::CaptureStderr();
    const ViStatus status = RunFrontPanel();
    testing::internal::GetCapturedStderr();
    unsetenv("KQ7120_SFP_UI_DIR");
    EXPECT_EQ(status, -1);
    EXPECT_THAT(popups(), ElementsAre("ERROR: Error loading the Main Panel"));
    EXPECT_THAT(opened(), IsEmpty()) << "nothing is scanned";
}

TEST_F(FrontPanelTest, AFailedOpenLeavesThePanelUnconnectedAndTheEventLoopRunning) {
    kqsim::installChassis(chassis({module(ModuleKind::KQ7120, 24, 2)}));
    kqvisa::failCall(kqvisa::Op::Open, VI_ERROR_RSRC_BUSY, 2);  // the scan's open passes, the start's fails
    bool checked = false;
    QTimer::singleShot(0, [&] {
        const FrontPanelState& state = frontPanel();
        EXPECT_EQ(state.instrConnected, 0);
        EXPECT_EQ(state.instrHandle, 0u);
        EXPECT_EQ(intValue(mainPanel(), layout::kConnectedIndicator), 0);
        EXPECT_TRUE(std::isnan(doubleValue(mainPanel(), layout::kSlotDisplay)));
        EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 1);
        EXPECT_EQ(dimmedControls(mainPanel(), instrumentControls()).size(), 22u);
        EXPECT_EQ(panelDimmed(mainPanel()), 0);
        EXPECT_THAT(popups(), ElementsAre("ERROR: Autoconnect to first failed"));
        checked = true;
        OperateCommit(mainPanel(), layout::kExitButton);
    });
    EXPECT_EQ(RunFrontPanel(), VI_SUCCESS);
    EXPECT_TRUE(checked);
    EXPECT_EQ(IsPanelLoaded(mainPanel()), 0);
}

TEST_F(FrontPanelTest, EveryFormOfTheProgramLoadsWithTheControlsTheProgramAddresses) {
    ASSERT_EQ(start(), VI_SUCCESS);
    struct Form {
        const char* file;
        std::vector<const char*> controls;
    };
    std::vector<const char*> mainControls = instrumentControls();
    mainControls.insert(mainControls.end(), {layout::kConnectedIndicator, layout::kSlotDisplay,
                                             layout::kErrorIndicator, layout::kExitButton, "ResetButton",
                                             "CloseButton", "AboutButton", "InitializeButton"});
    const Form forms[] = {
        {layout::kMainPanelForm, mainControls},
        {layout::kAboutPanelForm,
         {layout::kDriverRevision, layout::kVisaRevision, layout::kHardwareRevision,
          layout::kInstrumentRevision}},
        {layout::kConnectionPanelForm,
         {layout::kModuleList, layout::kIdQuery, layout::kResetOnOpen, "ConnectButton",
          layout::kCancelButton}},
    };
    for (const Form& form : forms) {
        const int panel = LoadPanel(mainPanel(), form.file);
        ASSERT_GT(panel, 0) << form.file;
        for (const char* control : form.controls) {
            int dimmed = 0;
            EXPECT_EQ(GetCtrlAttribute(panel, control, UI_ATTR_DIMMED, &dimmed), UI_SUCCESS)
                << form.file << " " << control;
        }
        DiscardPanel(panel);
    }
    const int menuBar = GetPanelMenuBar(mainPanel());
    EXPECT_EQ(HasMenuItem(menuBar, layout::kSharedMenuEntry), 1);
    EXPECT_EQ(HasMenuItem(menuBar, "ExitMenuEntry"), 1);
}

TEST_F(FrontPanelTest, TheMainWindowIsAsLargeAsItsContentAndNoLarger) {
    ASSERT_EQ(start(), VI_SUCCESS);
    const QWidget* window = nullptr;
    for (const QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle().startsWith(QLatin1String(layout::kMainPanelTitle)))
            window = widget;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->maximumSize(), window->sizeHint());
}

}  // namespace
}  // namespace sfptest
