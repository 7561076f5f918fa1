// The connection dialog: rescanning, the module list, connecting and its failures.
#include "connection_dialog.h"

#include <gmock/gmock.h>

#include <cmath>

#include "front_panel_fixture.h"
#include "front_panel_state.h"
#include "kqsim/mainframe.h"
#include "kqvisa/fault_injection.h"
#include "panel_layout.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"

namespace sfptest {
namespace {

using kqsim::ModuleKind;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ConnectionDialogTest : public FrontPanelTest {
protected:
    // Start-up on the chassis, then the Initialize command; returns the dialog.
    int openDialog(const kqsim::ChassisConfig& config = kqsim::defaultChassis()) {
        if (IsPanelLoaded(mainPanel()) == 1) startOver();
        kqsim::installChassis(config);
        EXPECT_EQ(start(), VI_SUCCESS);
        EXPECT_EQ(OperateCommit(mainPanel(), "InitializeButton"), UI_SUCCESS);
        kqvisa::clearTrace();
        return connectionDialogPanel();
    }

    static void connect(int dialog, int entry, int idQuery, int resetOnOpen) {
        SetCtrlVal(dialog, layout::kIdQuery, idQuery);
        SetCtrlVal(dialog, layout::kResetOnOpen, resetOnOpen);
        if (entry >= 0) {
            ASSERT_EQ(OperateSelect(dialog, layout::kModuleList, entry), UI_SUCCESS);
        } else {
            SetCtrlIndex(dialog, layout::kModuleList, -1);  // as a Ctrl+click takes the choice away
        }
        ASSERT_EQ(OperateCommit(dialog, "ConnectButton"), UI_SUCCESS);
    }

    static std::vector<std::string> labels(int dialog) {
        int count = 0;
        GetNumListItems(dialog, layout::kModuleList, &count);
        std::vector<std::string> entries;
        for (int i = 0; i < count; ++i) {
            std::string label;
            int value = -1;
            GetLabelFromIndex(dialog, layout::kModuleList, i, &label);
            GetValueFromIndex(dialog, layout::kModuleList, i, &value);
            entries.push_back(label + " = " + std::to_string(value));
        }
        return entries;
    }

    static std::vector<std::string> upperChannelsDimmed() {
        return dimmedControls(mainPanel(),
                              {layout::kChannelVoltage.begin() + 8, layout::kChannelVoltage.end()});
    }
};

TEST_F(ConnectionDialogTest, ListsEachModuleWithTheFirstChosen) {
    const int dialog = openDialog(chassis({module(ModuleKind::KQ7120, 24, 5)}));
    ASSERT_GT(dialog, 0);
    EXPECT_THAT(labels(dialog), ElementsAre("Model 7120 - Slot 5 = 0"));
    EXPECT_EQ(panelDimmed(mainPanel()), 1);

    const int wider = openDialog();
    EXPECT_THAT(labels(wider), ElementsAre("Model 7120 - Slot 2 = 0", "Model 7110 - Slot 4 = 1"));
    int selected = -1;
    GetCtrlIndex(wider, layout::kModuleList, &selected);
    EXPECT_EQ(selected, 0);
    std::string focused;
    GetActiveCtrl(wider, &focused);
    EXPECT_EQ(focused, layout::kModuleList);
    ASSERT_EQ(OperateCommit(wider, "ConnectButton"), UI_SUCCESS);
    EXPECT_EQ(opened(), std::vector<std::string>{"VXI0::24::INSTR"});
    EXPECT_EQ(frontPanel().instrConnected, 1);
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(ConnectionDialogTest, ConnectingWithNothingChosenShowsThePanelUnconnected) {
    const int dialog = openDialog();
    const ViSession session = frontPanel().instrHandle;
    connect(dialog, -1, 1, 1);
    EXPECT_THAT(popups(), ElementsAre("ERROR: Model kq7120/kq7110 not found"));
    EXPECT_EQ(connectionDialogPanel(), dialog);
    const FrontPanelState& state = frontPanel();
    EXPECT_EQ(state.selectedModule, -1);
    EXPECT_EQ(state.instrConnected, 0);
    EXPECT_EQ(state.instrHandle, session) << "the open session is kept";
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage1", UI_ATTR_DIMMED), 1);
    EXPECT_THAT(kqvisa::trace(), IsEmpty());

    ClearCapturedPopups();
    ASSERT_EQ(OperateCommit(dialog, layout::kCancelButton), UI_SUCCESS);
    EXPECT_EQ(intValue(mainPanel(), layout::kConnectedIndicator), 0);
    EXPECT_TRUE(std::isnan(doubleValue(mainPanel(), layout::kSlotDisplay))) << "the slot shows blank";
    std::string title;
    GetPanelAttribute(mainPanel(), UI_ATTR_TITLE, &title);
    EXPECT_EQ(title, layout::kMainPanelTitle);
    ASSERT_EQ(OperateCommit(mainPanel(), "ResetButton"), UI_SUCCESS);
    EXPECT_THAT(popups(), ElementsAre("ERROR: Device not open"));
    ViReal32 level = -1.0F;
    EXPECT_EQ(kq7120_queryVoltage(session, 1, &level), VI_SUCCESS) << "still open until Close";
    kqvisa::clearTrace();
    ASSERT_EQ(OperateCommit(mainPanel(), "CloseButton"), UI_SUCCESS);
    EXPECT_THAT(closed(), ElementsAre("VXI0::24::INSTR"));
}

TEST_F(ConnectionDialogTest, AFailedOpenKeepsTheDialogAndLeavesNoSessionOpen) {
    const int dialog = openDialog();
    kqvisa::failCall(kqvisa::Op::Open, VI_ERROR_RSRC_BUSY);
    connect(dialog, 1, 1, 0);
    EXPECT_THAT(popups(), ElementsAre("ERROR: Error initializing the instrument"));
    EXPECT_THAT(closed(), ElementsAre("VXI0::24::INSTR")) << "the session held before is closed first";
    const FrontPanelState& state = frontPanel();
    EXPECT_EQ(state.instrHandle, 0u);
    EXPECT_EQ(state.instrConnected, 0);
    EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 1);
    EXPECT_EQ(intValue(mainPanel(), layout::kConnectedIndicator), 0);
    EXPECT_EQ(connectionDialogPanel(), dialog);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage1", UI_ATTR_DIMMED), 1);

    ClearCapturedPopups();
    connect(dialog, 0, 1, 0);  // another try on the same dialog
    EXPECT_THAT(popups(), IsEmpty());
    EXPECT_EQ(frontPanel().instrConnected, 1);
    EXPECT_EQ(connectionDialogPanel(), 0);
}

TEST_F(ConnectionDialogTest, AKq7110ThenAKq7120SetTheChannelCountAndDimming) {
    int dialog = openDialog();
    connect(dialog, 1, 1, 0);
    const FrontPanelState& state = frontPanel();
    EXPECT_THAT(closed(), ElementsAre("VXI0::24::INSTR"));
    EXPECT_EQ(opened(), std::vector<std::string>{"VXI0::40::INSTR"});
    EXPECT_EQ(state.selectedModule, 1);
    EXPECT_EQ(state.channelCount, 8);
    EXPECT_EQ(state.instrConnected, 1);
    EXPECT_EQ(state.modelNumber, 7120) << "kept from start-up";
    EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), 4);
    EXPECT_EQ(intValue(mainPanel(), layout::kConnectedIndicator), 1);
    EXPECT_EQ(upperChannelsDimmed().size(), 8u);
    EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage8", UI_ATTR_DIMMED), 0);
    EXPECT_EQ(connectionDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);

    // This time by activating the entry, as a double click or Enter in the list does.
    ASSERT_EQ(OperateCommit(mainPanel(), "InitializeButton"), UI_SUCCESS);
    dialog = connectionDialogPanel();
    kqvisa::clearTrace();
    SetCtrlVal(dialog, layout::kResetOnOpen, 0);
    ASSERT_EQ(OperateSelect(dialog, layout::kModuleList, 0), UI_SUCCESS);
    ASSERT_EQ(OperateCommit(dialog, layout::kModuleList), UI_SUCCESS);
    EXPECT_THAT(closed(), ElementsAre("VXI0::40::INSTR"));
    EXPECT_EQ(state.channelCount, 16);
    EXPECT_THAT(upperChannelsDimmed(), IsEmpty());
    EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), 2);
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(ConnectionDialogTest, ThePanelShowsTheLevelsOfTheModuleConnected) {
    struct Case {
        int resetOnOpen;
        double channel1;  // the KQ7110 holds 2.5 V unless reset
        int colour;
        bool resetSent;
    };
    const Case cases[] = {{0, 2.5, UI_COLOR_BLUE, false}, {1, 0.0, UI_COLOR_BLACK, true}};
    for (const Case& c : cases) {
        const int dialog = openDialog();
        OperateEnterValue(mainPanel(), "ChannelVoltage1", "4");
        OperateEnterValue(mainPanel(), "ChannelVoltage12", "-3");
        ViSession other = 0;
        ASSERT_EQ(kq7120_init("VXI0::40::INSTR", 1, 0, &other), VI_SUCCESS);
        const ViInt16 first[] = {1};
        ASSERT_EQ(kq7120_setupVoltage(other, 2.5F, first, 1), VI_SUCCESS);
        kq7120_close(other);
        kqvisa::clearTrace();

        connect(dialog, 1, 0, c.resetOnOpen);
        const auto written = kqvisa::writtenMessages("VXI0::40::INSTR");
        EXPECT_EQ(std::find(written.begin(), written.end(), "*RST") != written.end(), c.resetSent)
            << c.resetOnOpen;
        EXPECT_NEAR(doubleValue(mainPanel(), "ChannelVoltage1"), c.channel1, 1e-3) << c.resetOnOpen;
        EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage1", UI_ATTR_TEXT_COLOR), c.colour) << c.resetOnOpen;
        EXPECT_DOUBLE_EQ(doubleValue(mainPanel(), "ChannelVoltage2"), 0.0) << c.resetOnOpen;
        EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage2", UI_ATTR_TEXT_COLOR), UI_COLOR_BLACK)
            << c.resetOnOpen;
        // A KQ7110 has no channel 12: it shows its default.
        EXPECT_DOUBLE_EQ(doubleValue(mainPanel(), "ChannelVoltage12"), 0.0) << c.resetOnOpen;
        EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage12", UI_ATTR_TEXT_COLOR), UI_COLOR_BLACK)
            << c.resetOnOpen;
        EXPECT_EQ(std::find(written.begin(), written.end(), "SOUR:VOLT:LEV? 8") != written.end(),
                  !c.resetSent);
        EXPECT_EQ(std::find(written.begin(), written.end(), "SOUR:VOLT:LEV? 9"), written.end());
        EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), 4);
        EXPECT_EQ(intValue(mainPanel(), layout::kConnectedIndicator), 1);
        std::string title;
        GetPanelAttribute(mainPanel(), UI_ATTR_TITLE, &title);
        EXPECT_EQ(title, std::string(layout::kMainPanelTitle) + " \u2014 KQ7110 at VXI0::40::INSTR");
        if (c.resetOnOpen == 1) {
            EXPECT_EQ(attribute(mainPanel(), layout::kSlotDisplay, UI_ATTR_DEFAULT_VALUE), 4);
            EXPECT_EQ(attribute(mainPanel(), layout::kConnectedIndicator, UI_ATTR_DEFAULT_VALUE), 1);
        }
        EXPECT_THAT(popups(), IsEmpty());
    }
}

TEST_F(ConnectionDialogTest, AFailedReadBackIsShownAndEndsTheReading) {
    const int dialog = openDialog();
    kqvisa::failCall(kqvisa::Op::Read, VI_ERROR_TMO, 3);  // the open's reads pass, a level's read fails
    connect(dialog, 1, 0, 0);
    EXPECT_THAT(popups(), ElementsAre("ERROR: Error Querying the Voltage Level"));
    EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 1);
    EXPECT_EQ(frontPanel().instrConnected, 1) << "the module is open all the same";
    const auto written = kqvisa::writtenMessages("VXI0::40::INSTR");
    EXPECT_EQ(std::find(written.begin(), written.end(), "SOUR:VOLT:LEV? 8"), written.end());
}

TEST_F(ConnectionDialogTest, AGpibVxiChassisGivesGpibVxiDescriptors) {
    kqsim::ModuleConfig bridged = module(ModuleKind::KQ7120, 24, 3);
    const int dialog = openDialog(chassis({bridged}, kqsim::Interface::GpibVxi));
    connect(dialog, 0, 1, 1);
    EXPECT_EQ(opened(), std::vector<std::string>{"GPIB-VXI0::24::INSTR"});
    EXPECT_EQ(frontPanel().instrConnected, 1);
}

TEST_F(ConnectionDialogTest, AScanThatFindsNothingUsableShowsNoDialog) {
    struct Case {
        const char* what;
        kqsim::ChassisConfig chassis;
        bool failSearch;
        const char* popup;
    };
    const Case cases[] = {
        {"search fails", kqsim::defaultChassis(), true, "ERROR: Error scanning chassis"},
        {"no module of ours", chassis({module(ModuleKind::Foreign, 8, 1)}), false,
         "ERROR: No KQ7120/7110 modules found"},
    };
    for (const Case& c : cases) {
        kqsim::installChassis(kqsim::defaultChassis());
        ASSERT_EQ(start(), VI_SUCCESS);
        kqsim::installChassis(c.chassis);
        if (c.failSearch) kqvisa::failCall(kqvisa::Op::FindRsrc, VI_ERROR_SYSTEM_ERROR);
        ClearCapturedPopups();
        ASSERT_EQ(OperateCommit(mainPanel(), "InitializeButton"), UI_SUCCESS);
        EXPECT_THAT(popups(), ElementsAre(c.popup)) << c.what;
        EXPECT_EQ(connectionDialogPanel(), 0) << c.what;
        EXPECT_EQ(panelDimmed(mainPanel()), 0) << c.what;
        EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 1) << c.what;
        EXPECT_EQ(frontPanel().instrConnected, 1) << c.what << ": the session is untouched";
        startOver();
    }
}

TEST_F(ConnectionDialogTest, CancelAndTheCloseBoxLeaveEverythingAsItWas) {
    const int dialog = openDialog();
    const ViSession session = frontPanel().instrHandle;
    ASSERT_EQ(OperateCommit(dialog, layout::kCancelButton), UI_SUCCESS);
    EXPECT_EQ(connectionDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);

    OperateCommit(mainPanel(), "InitializeButton");
    OperateClosePanel(connectionDialogPanel());
    EXPECT_EQ(connectionDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    EXPECT_EQ(frontPanel().instrConnected, 1);
    EXPECT_EQ(frontPanel().instrHandle, session);
    ViReal32 level = -1.0F;
    EXPECT_EQ(kq7120_queryVoltage(session, 1, &level), VI_SUCCESS) << "the session is still open";
}

TEST_F(ConnectionDialogTest, TheInstrumentMenuOpensTheDialogOnlyWhileNoDialogIsUp) {
    ASSERT_EQ(start(), VI_SUCCESS);
    const int menuBar = frontPanel().mainMenuBar;
    ASSERT_EQ(OperateMenuItem(menuBar, layout::kSharedMenuEntry), UI_SUCCESS);
    const int dialog = connectionDialogPanel();
    ASSERT_GT(dialog, 0);
    EXPECT_EQ(OperateMenuItem(menuBar, layout::kSharedMenuEntry), UI_ERR_NOT_OPERABLE)
        << "dimmed with the main panel";
    mnuInitialize(menuBar, layout::kSharedMenuEntry, mainPanel());
    EXPECT_EQ(connectionDialogPanel(), dialog) << "no second dialog";
}

}  // namespace
}  // namespace sfptest
