// Start-up: the main panel, the chassis scan, the first module, the exit statuses.
#include <gmock/gmock.h>

#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string_view>

#include "front_panel_fixture.h"
#include "front_panel_state.h"
#include "kqsim/mainframe.h"
#include "kqvisa/fault_injection.h"
#include "panel_layout.h"
#include "startup.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

using kqsim::ModuleKind;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<const char*> instrumentControls()
{
    std::vector<const char*> controls(layout::kChannelVoltage.begin(), layout::kChannelVoltage.end());
    controls.insert(controls.end(), layout::kInstrumentCommands.begin(), layout::kInstrumentCommands.end());
    return controls;
}

TEST_F(FrontPanelTest, AKq7120FirstIsOpenedWithAllChannelsOperable)
{
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
    EXPECT_THAT(dimmedControls(mainPanel(), instrumentControls()), IsEmpty());
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(FrontPanelTest, AKq7110FirstLeavesChannels9To16Dimmed)
{
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

TEST_F(FrontPanelTest, AGpibVxiChassisIsOpenedThroughItsDescriptor)
{
    kqsim::installChassis(chassis({module(ModuleKind::KQ7120, 24, 5)}, kqsim::Interface::GpibVxi));
    kqvisa::clearTrace();
    ASSERT_EQ(StartFrontPanel(), VI_SUCCESS);
    EXPECT_EQ(frontPanel().moduleInterfaceType, kq7120_GPIB_VXI_CONNECTION);
    EXPECT_EQ(opened().back(), "GPIB-VXI0::24::INSTR");
    EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), 5);
}

TEST_F(FrontPanelTest, StartUpEndsWithTheStatusOfWhatStopsIt)
{
    struct Case {
        const char* what;
        kqsim::ChassisConfig chassis;
        bool failSearch;
        ViStatus exit;
    };
    const Case cases[] = {
        {"no resource at all: the search's status", chassis({}), false, VI_ERROR_RSRC_NFOUND},
        {"only a module of another maker", chassis({module(ModuleKind::Foreign, 8, 1)}), false, VI_ERROR_RSRC_NFOUND},
        {"the search fails", kqsim::defaultChassis(), true, VI_ERROR_SYSTEM_ERROR},
    };
    for (const Case& c : cases) {
        startOver();
        kqsim::installChassis(c.chassis);
        if (c.failSearch)
            kqvisa::failCall(kqvisa::Op::FindRsrc, VI_ERROR_SYSTEM_ERROR);
        EXPECT_EQ(RunFrontPanel(), c.exit) << c.what;
        EXPECT_THAT(popups(), IsEmpty()) << c.what;
        EXPECT_EQ(IsPanelLoaded(mainPanel()), 0) << c.what;
        EXPECT_EQ(frontPanel().instrHandle, 0u) << c.what;
    }
}

TEST_F(FrontPanelTest, AMainPanelThatCannotBeLoadedEndsTheProgramWithMinusOne)
{
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

TEST_F(FrontPanelTest, AFailedOpenLeavesThePanelUnconnectedAndTheEventLoopRunning)
{
    kqsim::installChassis(chassis({module(ModuleKind::KQ7120, 24, 2)}));
    kqvisa::failCall(kqvisa::Op::Open, VI_ERROR_RSRC_BUSY, 2);  // the scan's open passes, the start's fails
    bool checked = false;
    QTimer::singleShot(0, [&] {
        const FrontPanelState& state = frontPanel();
        EXPECT_EQ(state.instrConnected, 0);
        EXPECT_EQ(state.instrHandle, 0u);
        EXPECT_EQ(intValue(mainPanel(), layout::kConnectedIndicator), 0);
        EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), 0);
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

TEST_F(FrontPanelTest, EveryFormOfTheProgramLoadsWithTheControlsTheProgramAddresses)
{
    ASSERT_EQ(start(), VI_SUCCESS);
    struct Form {
        const char* file;
        std::vector<const char*> controls;
    };
    std::vector<const char*> mainControls = instrumentControls();
    mainControls.insert(mainControls.end(), {layout::kConnectedIndicator, layout::kSlotDisplay, layout::kErrorIndicator,
                                             layout::kExitButton, "ResetButton", "CloseButton", "AboutButton",
                                             "InitializeButton"});
    const Form forms[] = {
        {layout::kMainPanelForm, mainControls},
        {layout::kAboutPanelForm,
         {layout::kDriverRevision, layout::kVisaRevision, layout::kHardwareRevision, layout::kInstrumentRevision}},
        {layout::kConnectionPanelForm,
         {layout::kModuleList, layout::kIdQuery, layout::kResetOnOpen, "ConnectButton", layout::kCancelButton}},
    };
    for (const Form& form : forms) {
        const int panel = LoadPanel(mainPanel(), form.file);
        ASSERT_GT(panel, 0) << form.file;
        for (const char* control : form.controls) {
            int dimmed = 0;
            EXPECT_EQ(GetCtrlAttribute(panel, control, UI_ATTR_DIMMED, &dimmed), UI_SUCCESS) << form.file << " " << control;
        }
        DiscardPanel(panel);
    }
    const int menuBar = GetPanelMenuBar(mainPanel());
    EXPECT_EQ(HasMenuItem(menuBar, layout::kSharedMenuEntry), 1);
    EXPECT_EQ(HasMenuItem(menuBar, "ExitMenuEntry"), 1);
}

TEST_F(FrontPanelTest, TheInstrumentCommandsOpenNothingYet)
{
    ASSERT_EQ(start(), VI_SUCCESS);
    for (const char* command : layout::kInstrumentCommands) {
        if (std::string_view(command) == "MemoryScanButton")
            continue;  // opens the DAC memory and scan list dialog (its own tests)
        EXPECT_EQ(OperateCommit(mainPanel(), command), UI_SUCCESS) << command;
        EXPECT_EQ(panelDimmed(mainPanel()), 0) << command;
    }
    EXPECT_THAT(popups(), IsEmpty());
    EXPECT_THAT(kqvisa::trace(), IsEmpty());
}

}  // namespace
}  // namespace sfptest
