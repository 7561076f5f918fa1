// The main panel's callbacks and helpers: channel levels, status reporting, Reset, Close, Exit,
// About, and the menu groups.
#include <gmock/gmock.h>

#include <cmath>

#include "about_panel.h"
#include "arb_definition.h"
#include "driver_status.h"
#include "front_panel_fixture.h"
#include "front_panel_state.h"
#include "instrument_controls.h"
#include "kqsim/mainframe.h"
#include "kqvisa/fault_injection.h"
#include "menu_groups.h"
#include "panel_layout.h"
#include "process_locale.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(FrontPanelTest, ALevelIsSetReadBackAndColoured) {
    ASSERT_EQ(start(), VI_SUCCESS);
    struct Case {
        const char* channel;
        const char* typed;
        const char* command;
        int colour;
    };
    const Case cases[] = {
        {"ChannelVoltage3", "2.5", "SOUR:VOLT:LEV 2.5,(@3)", UI_COLOR_BLUE},
        {"ChannelVoltage3", "0", "SOUR:VOLT:LEV 0,(@3)", UI_COLOR_BLACK},
        {"ChannelVoltage16", "-20", "SOUR:VOLT:LEV -20,(@16)", UI_COLOR_BLUE},
        {"ChannelVoltage1", "19.99969", "SOUR:VOLT:LEV 19.9997,(@1)", UI_COLOR_BLUE},
    };
    for (const Case& c : cases) {
        kqvisa::clearTrace();
        ASSERT_EQ(OperateEnterValue(mainPanel(), c.channel, c.typed), UI_SUCCESS) << c.typed;
        const auto written = kqvisa::writtenMessages();
        ASSERT_FALSE(written.empty()) << c.typed;
        EXPECT_EQ(written.front(), c.command);
        const int channel = std::atoi(c.channel + std::char_traits<char>::length("ChannelVoltage"));
        ViReal32 readBack = 0.0F;
        ASSERT_EQ(kq7120_queryVoltage(frontPanel().instrHandle, static_cast<ViInt16>(channel), &readBack),
                  VI_SUCCESS);
        EXPECT_NEAR(doubleValue(mainPanel(), c.channel), readBack, 1e-5) << c.typed;
        EXPECT_EQ(attribute(mainPanel(), c.channel, UI_ATTR_TEXT_COLOR), c.colour) << c.typed;
        EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 0);
    }
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(FrontPanelTest, TheColourFollowsTheReadBackNotTheEntry) {
    ASSERT_EQ(start(), VI_SUCCESS);
    struct Case {
        const char* typed;
        const char* readBack;
        int colour;
    };
    for (const Case& c : {Case{"0", "0.1\n", UI_COLOR_BLUE}, Case{"2.5", "0\n", UI_COLOR_BLACK}}) {
        kqvisa::scriptReply("SOUR:VOLT:LEV? 3", c.readBack);
        OperateEnterValue(mainPanel(), "ChannelVoltage3", c.typed);
        EXPECT_NEAR(doubleValue(mainPanel(), "ChannelVoltage3"), std::atof(c.readBack), 1e-6) << c.typed;
        EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage3", UI_ATTR_TEXT_COLOR), c.colour) << c.typed;
    }
}

// Levels typed key by key, as an operator with either locale types them.
class TypedLevelTest : public FrontPanelTest, public ::testing::WithParamInterface<OperatorLocale> {
protected:
    void SetUp() override {
        FrontPanelTest::SetUp();
        locale_ = std::make_unique<ProcessLocale>(GetParam());
        ASSERT_TRUE(locale_->complete())
            << "the C library's de_DE.UTF-8 could not be built (package locales)";
    }
    void TearDown() override {
        FrontPanelTest::TearDown();
        locale_.reset();
    }

private:
    std::unique_ptr<ProcessLocale> locale_;
};

TEST_P(TypedLevelTest, ALevelIsAppliedAsTypedOrNotAtAll) {
    ASSERT_EQ(start(), VI_SUCCESS);
    struct Case {
        const char* typed;
        const char* command;  // null: nothing is sent
    };
    const Case cases[] = {
        {"1.5", "SOUR:VOLT:LEV 1.5,(@1)"},
        {"1,5", "SOUR:VOLT:LEV 1.5,(@1)"},
        {"-19,75", "SOUR:VOLT:LEV -19.75,(@1)"},
        {"150", nullptr},
        {"25", nullptr},
        {"19.9999", nullptr},
        {"-25", nullptr},
        {"-20.00001", nullptr},
        {"abc", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SetCtrlVal(mainPanel(), "ChannelVoltage1", 0.0);
        kqvisa::clearTrace();
        ASSERT_EQ(OperateEnterValue(mainPanel(), "ChannelVoltage1", c.typed), UI_SUCCESS) << c.typed;
        const auto written = kqvisa::writtenMessages();
        if (c.command == nullptr) {
            EXPECT_THAT(written, IsEmpty()) << c.typed;
            EXPECT_DOUBLE_EQ(doubleValue(mainPanel(), "ChannelVoltage1"), 0.0) << c.typed;
        } else {
            ASSERT_FALSE(written.empty()) << c.typed;
            EXPECT_EQ(written.front(), c.command) << c.typed;
        }
    }
    EXPECT_THAT(popups(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Locales, TypedLevelTest,
                         ::testing::Values(OperatorLocale::C, OperatorLocale::German),
                         [](const auto& info) { return info.param == OperatorLocale::C ? "C" : "German"; });

TEST_F(FrontPanelTest, AFailedLevelLightsTheErrorIndicatorAndSaysSo) {
    ASSERT_EQ(start(), VI_SUCCESS);
    kqvisa::scriptReply("*ESR?", "32\n");  // the module flags a command error
    kqvisa::scriptReply("SYST:ERR?", "-222,\"Data out of range\"\n");
    OperateEnterValue(mainPanel(), "ChannelVoltage2", "1.25");
    ASSERT_EQ(popups().size(), 2u);
    EXPECT_THAT(popups()[0], testing::StartsWith("Error: Instrument Error : -222, "));
    EXPECT_THAT(popups()[0], testing::HasSubstr("Data out of range"));
    EXPECT_EQ(popups()[1], "ERROR: Error Configuring the Voltage Level");
    EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 1);
    EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage2", UI_ATTR_TEXT_COLOR), UI_COLOR_BLACK)
        << "no read-back";

    ClearCapturedPopups();
    kqvisa::failCall(kqvisa::Op::Read, VI_ERROR_TMO, 2);  // the level's check passes, the read-back times out
    OperateEnterValue(mainPanel(), "ChannelVoltage2", "1.5");
    EXPECT_THAT(popups(), ElementsAre("ERROR: Error Querying the Voltage Level"));
}

TEST_F(FrontPanelTest, ShowDriverStatusReadsTheErrorQueueOnlyForInstrumentErrors) {
    ASSERT_EQ(start(), VI_SUCCESS);
    struct Case {
        const char* what;
        ViStatus status;
        const char* errorReply;  // SYST:ERR? reply, or null for a failing read
        int indicator;
        std::vector<std::string> popups;
        bool queried;
    };
    const Case cases[] = {
        {"success", VI_SUCCESS, "", 0, {}, false},
        {"a warning", VI_SUCCESS_MAX_CNT, "", 0, {}, false},
        {"a VISA error", VI_ERROR_TMO, "", 1, {}, false},
        {"an instrument error",
         kq7120_INSTRUMENT_ERROR,
         "-113,\"Undefined header\"\n",
         1,
         {"Error: Instrument Error : -113, \"Undefined header\"\n"},
         true},
        {"not ready, empty queue", kq7120_DEVICE_NOT_READY, "0,\"No error\"\n", 1, {}, true},
        {"the queue cannot be read",
         kq7120_INSTRUMENT_ERROR,
         nullptr,
         1,
         {"Error: Error in querying System Error"},
         true},
    };
    for (const Case& c : cases) {
        ClearCapturedPopups();
        kqvisa::resetFaults();
        kqvisa::clearTrace();
        if (c.errorReply != nullptr)
            kqvisa::scriptReply("SYST:ERR?", c.errorReply);
        else
            kqvisa::failCall(kqvisa::Op::Read, VI_ERROR_TMO);
        EXPECT_EQ(ShowDriverStatus(c.status), c.status) << c.what;
        EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), c.indicator) << c.what;
        EXPECT_EQ(popups(), c.popups) << c.what;
        EXPECT_EQ(!kqvisa::writtenMessages().empty(), c.queried) << c.what;
    }
}

TEST_F(FrontPanelTest, ResetWithoutASessionSaysSoAndSendsNothing) {
    kqsim::installChassis(chassis({module(kqsim::ModuleKind::KQ7120, 24, 2)}));
    kqvisa::failCall(kqvisa::Op::Open, VI_ERROR_RSRC_BUSY, 2);
    ASSERT_EQ(start(), VI_SUCCESS);
    ClearCapturedPopups();
    ASSERT_EQ(OperateCommit(mainPanel(), "ResetButton"), UI_SUCCESS);
    EXPECT_THAT(popups(), ElementsAre("ERROR: Device not open"));
    EXPECT_THAT(kqvisa::trace(), IsEmpty());
}

TEST_F(FrontPanelTest, ResetThenCloseRestoresTheDefaultsKeptByReset) {
    ASSERT_EQ(start(), VI_SUCCESS);
    OperateEnterValue(mainPanel(), "ChannelVoltage1", "2.5");
    kqvisa::clearTrace();

    ASSERT_EQ(OperateCommit(mainPanel(), "ResetButton"), UI_SUCCESS);
    EXPECT_THAT(kqvisa::writtenMessages(), ElementsAre("*RST", "*ESR?"));
    EXPECT_DOUBLE_EQ(doubleValue(mainPanel(), "ChannelVoltage1"), 0.0);
    EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage1", UI_ATTR_TEXT_COLOR), UI_COLOR_BLACK);
    EXPECT_EQ(intValue(mainPanel(), layout::kSlotDisplay), 2) << "kept through the reset";
    EXPECT_EQ(intValue(mainPanel(), layout::kConnectedIndicator), 1);
    EXPECT_EQ(attribute(mainPanel(), layout::kSlotDisplay, UI_ATTR_DEFAULT_VALUE), 2);
    EXPECT_EQ(attribute(mainPanel(), layout::kConnectedIndicator, UI_ATTR_DEFAULT_VALUE), 1);

    OperateEnterValue(mainPanel(), "ChannelVoltage5", "-3");
    const std::string resource = kqvisa::trace().front().resource;
    kqvisa::clearTrace();
    ASSERT_EQ(OperateCommit(mainPanel(), "CloseButton"), UI_SUCCESS);
    EXPECT_THAT(closed(), ElementsAre(resource));
    const FrontPanelState& state = frontPanel();
    EXPECT_EQ(state.instrHandle, 0u);
    EXPECT_EQ(state.instrConnected, 0);
    EXPECT_DOUBLE_EQ(doubleValue(mainPanel(), "ChannelVoltage5"), 0.0);
    EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage5", UI_ATTR_TEXT_COLOR), UI_COLOR_BLACK);
    EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage5", UI_ATTR_DIMMED), 1);
    // The defaults Reset kept stay defaults, but a closed session shows as closed.
    EXPECT_EQ(attribute(mainPanel(), layout::kSlotDisplay, UI_ATTR_DEFAULT_VALUE), 2);
    EXPECT_EQ(intValue(mainPanel(), layout::kConnectedIndicator), 0);
    EXPECT_TRUE(std::isnan(doubleValue(mainPanel(), layout::kSlotDisplay))) << "0 is a slot: blank";
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(FrontPanelTest, CloseWithoutASessionReportsTheDriversRefusal) {
    ASSERT_EQ(start(), VI_SUCCESS);
    OperateCommit(mainPanel(), "CloseButton");
    ClearCapturedPopups();
    OperateCommit(mainPanel(), "CloseButton");
    EXPECT_THAT(popups(), ElementsAre("ERROR: Error closing the instrument"));
    EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 1);
}

TEST_F(FrontPanelTest, ExitClosesTheSessionDiscardsThePanelAndQuits) {
    ASSERT_EQ(start(), VI_SUCCESS);
    const std::string resource = "VXI0::24::INSTR";
    ASSERT_EQ(OperateCommit(mainPanel(), layout::kExitButton), UI_SUCCESS);
    EXPECT_THAT(closed(), ElementsAre(resource));
    EXPECT_EQ(frontPanel().instrHandle, 0u);
    EXPECT_EQ(IsPanelLoaded(mainPanel()), 0);
    EXPECT_EQ(RunUserInterface(), 0) << "the event loop was told to end";
}

TEST_F(FrontPanelTest, ExitWithoutASessionCallsNoDriverFunction) {
    ASSERT_EQ(start(), VI_SUCCESS);
    OperateCommit(mainPanel(), "CloseButton");
    kqvisa::clearTrace();
    ASSERT_EQ(OperateCommit(mainPanel(), layout::kExitButton), UI_SUCCESS);
    EXPECT_THAT(kqvisa::trace(), IsEmpty());
    EXPECT_EQ(IsPanelLoaded(mainPanel()), 0);
    EXPECT_EQ(RunUserInterface(), 0);
}

TEST_F(FrontPanelTest, TheWindowsCloseBoxAndTheFileMenuExitToo) {
    ASSERT_EQ(start(), VI_SUCCESS);
    OperateClosePanel(mainPanel());
    EXPECT_EQ(IsPanelLoaded(mainPanel()), 0);
    EXPECT_EQ(RunUserInterface(), 0);

    startOver();
    ASSERT_EQ(start(), VI_SUCCESS);
    ASSERT_EQ(OperateMenuItem(frontPanel().mainMenuBar, "ExitMenuEntry"), UI_SUCCESS);
    EXPECT_EQ(IsPanelLoaded(mainPanel()), 0);
    EXPECT_EQ(RunUserInterface(), 0);
}

TEST_F(FrontPanelTest, AboutShowsTheRevisionsUntilClicked) {
    ASSERT_EQ(start(), VI_SUCCESS);
    ASSERT_EQ(OperateCommit(mainPanel(), "AboutButton"), UI_SUCCESS);
    const int about = aboutDialogPanel();
    ASSERT_GT(about, 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    std::string driver, visa, hardware, instrument;
    GetCtrlVal(about, layout::kDriverRevision, &driver);
    GetCtrlVal(about, layout::kVisaRevision, &visa);
    GetCtrlVal(about, layout::kHardwareRevision, &hardware);
    GetCtrlVal(about, layout::kInstrumentRevision, &instrument);
    EXPECT_EQ(driver, "2.78.00");
    EXPECT_EQ(visa, "VISA 1.0");
    EXPECT_EQ(hardware, "Not Available");
    EXPECT_FALSE(instrument.empty());
    EXPECT_NE(instrument, "—");

    ASSERT_EQ(OperateClick(about, nullptr), UI_SUCCESS);
    EXPECT_EQ(aboutDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(FrontPanelTest, AboutWithoutASessionStaysUpAfterTheError) {
    ASSERT_EQ(start(), VI_SUCCESS);
    OperateCommit(mainPanel(), "CloseButton");
    OperateCommit(mainPanel(), "AboutButton");
    EXPECT_THAT(popups(), ElementsAre("Error: Error querying revision information"));
    EXPECT_GT(aboutDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    OperateClosePanel(aboutDialogPanel());
    EXPECT_EQ(aboutDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
}

TEST_F(FrontPanelTest, InstrumentControlsDimAndColourTogether) {
    ASSERT_EQ(start(), VI_SUCCESS);
    DimInstrumentControls(1);
    for (const char* control : layout::kInstrumentCommands)
        EXPECT_EQ(OperateCommit(mainPanel(), control), UI_ERR_NOT_OPERABLE) << control;
    for (const char* control :
         {"ResetButton", "CloseButton", "InitializeButton", "AboutButton", "ExitButton"})
        EXPECT_EQ(attribute(mainPanel(), control, UI_ATTR_DIMMED), 0) << control;
    DimInstrumentControls(0);
    DimUpperChannels(1);
    EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage8", UI_ATTR_DIMMED), 0);
    EXPECT_EQ(attribute(mainPanel(), "ChannelVoltage9", UI_ATTR_DIMMED), 1);
    EXPECT_EQ(attribute(mainPanel(), layout::kInstrumentCommands[0], UI_ATTR_DIMMED), 0);
    SetChannelColor(UI_COLOR_BLUE);
    for (const char* control : layout::kChannelVoltage)
        EXPECT_EQ(attribute(mainPanel(), control, UI_ATTR_TEXT_COLOR), UI_COLOR_BLUE) << control;
}

// A menu bar with every entry of both groups, as the main menu bar has once all dialogs are there.
class FullMenuBarTest : public FrontPanelTest {
protected:
    void SetUp() override {
        FrontPanelTest::SetUp();
        SetFormDirectory(SFP_TEST_FORM_DIR);
        menuPanel_ = LoadPanel(0, "full_menu_bar.ui");
        ASSERT_GT(menuPanel_, 0);
        frontPanel().mainMenuBar = GetPanelMenuBar(menuPanel_);
    }
    void TearDown() override {
        DiscardPanel(menuPanel_);
        FrontPanelTest::TearDown();
    }
    static std::vector<std::string> dimmedEntries() {
        std::vector<std::string> dimmed;
        for (const char* entry :
             {"TriggerMenuEntry", "OutputRangeMenuEntry", "CalibrationMenuEntry", "ScanListMenuEntry",
              "AdvancedClockMenuEntry", "OutputTriggerMenuEntry", "FifoMenuEntry", "SharedMenuEntry",
              "ArbSegmentsEntry", "ArbSequenceEntry", "ArbRunEntry", "OtherEntry"}) {
            int value = 0;
            GetMenuBarAttribute(frontPanel().mainMenuBar, entry, UI_ATTR_DIMMED, &value);
            if (value == 1) dimmed.emplace_back(entry);
        }
        return dimmed;
    }

private:
    int menuPanel_ = 0;
};

TEST_F(FullMenuBarTest, TheConfigurationGroupDimsAndEnablesAsAWhole) {
    DisableCfgMenu();
    EXPECT_THAT(
        dimmedEntries(),
        ElementsAre("TriggerMenuEntry", "OutputRangeMenuEntry", "CalibrationMenuEntry", "ScanListMenuEntry",
                    "AdvancedClockMenuEntry", "OutputTriggerMenuEntry", "FifoMenuEntry", "SharedMenuEntry"));
    EnableCfgMenu();
    EXPECT_THAT(dimmedEntries(), IsEmpty());
}

TEST_F(FullMenuBarTest, TheArbEntriesKeepTheOrderSegmentsSequenceRun) {
    struct Case {
        int segments;
        int steps;
        std::vector<std::string> dimmedAfterEnable;
    };
    const Case cases[] = {
        {0, 0, {"ArbSequenceEntry", "ArbRunEntry"}},
        {2, 0, {"ArbRunEntry"}},
        {2, 3, {}},
    };
    for (const Case& c : cases) {
        arbDefinition() = ArbDefinition{};
        arbDefinition().segmentCount = c.segments;
        arbDefinition().stepCount = c.steps;
        DisableArbMenuItems();
        EXPECT_THAT(dimmedEntries(),
                    ElementsAre("SharedMenuEntry", "ArbSegmentsEntry", "ArbSequenceEntry", "ArbRunEntry"));
        EnableArbMenuItems();
        EXPECT_EQ(dimmedEntries(), c.dimmedAfterEnable) << c.segments << " segments, " << c.steps << " steps";
    }
}

TEST_F(FrontPanelTest, TheGroupsActOnTheEntriesTheMainMenuBarHasNow) {
    ASSERT_EQ(start(), VI_SUCCESS);
    const int menuBar = frontPanel().mainMenuBar;
    int dimmed = 0;
    DisableCfgMenu();
    GetMenuBarAttribute(menuBar, layout::kSharedMenuEntry, UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1);
    EXPECT_EQ(OperateMenuItem(menuBar, layout::kSharedMenuEntry), UI_ERR_NOT_OPERABLE);
    EnableCfgMenu();
    GetMenuBarAttribute(menuBar, layout::kSharedMenuEntry, UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 0);
    DisableArbMenuItems();
    GetMenuBarAttribute(menuBar, layout::kSharedMenuEntry, UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1);
    EnableArbMenuItems();
    GetMenuBarAttribute(menuBar, layout::kSharedMenuEntry, UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 0);
    GetMenuBarAttribute(menuBar, "ExitMenuEntry", UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 0);
}

}  // namespace
}  // namespace sfptest
