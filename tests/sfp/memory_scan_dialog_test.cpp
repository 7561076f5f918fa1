// The DAC memory and scan list dialog on the simulated chassis: both views, Apply, the scan-mode
// rules, the I/O timeout around the scan-list transfers, the plot and the voltage files.
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

#include "calibration_dialog.h"
#include "dac_memory_scan_dialog.h"
#include "dialog_test_support.h"
#include "front_panel_state.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"
#include "please_wait_panel.h"
#include "qt_application.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"
#include "visa_attribute.h"

namespace sfptest {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::FloatEq;
using ::testing::IsEmpty;

namespace dsl = dac_scan_layout;

constexpr int kMemoryView = 1;
constexpr int kScanView = 0;

class MemoryScanDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        startOn(kqsim::defaultChassis());
    }

    static ViSession session() { return frontPanel().instrHandle; }

    static int openDialog() {
        EXPECT_EQ(OperateMenuItem(frontPanel().mainMenuBar, "ScanListMenuEntry"), UI_SUCCESS);
        kqvisa::clearTrace();
        ClearCapturedPopups();
        return dacMemoryScanDialogPanel();
    }

    static void enter(int panel, const char* control, const char* value) {
        ASSERT_EQ(OperateEnterValue(panel, control, value), UI_SUCCESS) << control;
    }

    static void showView(int panel, int view) {
        ASSERT_EQ(OperateSelect(panel, dsl::kViewSwitch, view), UI_SUCCESS);
        ClearCapturedPopups();
    }

    static std::string labelOf(int panel, const char* control) {
        std::string label;
        GetCtrlAttribute(panel, control, UI_ATTR_LABEL_TEXT, &label);
        return label;
    }

    static ViUInt32 timeout() {
        ViUInt32 value = 0;
        EXPECT_EQ(getVisaAttribute(session(), VI_ATTR_TMO_VALUE, &value), VI_SUCCESS);
        return value;
    }

    static std::vector<ViAttrState> timeoutsSet() {
        std::vector<ViAttrState> values;
        for (const kqvisa::TraceRecord& record : kqvisa::trace())
            if (record.op == kqvisa::Op::SetAttribute && record.attribute == VI_ATTR_TMO_VALUE)
                values.push_back(record.value);
        return values;
    }

    std::filesystem::path writeFile(const std::string& name, const std::string& contents) {
        const auto path = stateFolder_ / name;
        std::ofstream(path) << contents;
        return path;
    }
};

TEST_F(MemoryScanDialogTest, OpeningShowsArrayOneAndApplyMakesTheOutputsFollowTheEditedArray) {
    const ViReal32 stored[16] = {0.5F, -1.0F, 2.0F};
    ASSERT_EQ(kq7120_memorySetup(session(), 1, stored), VI_SUCCESS);
    const int panel = openDialog();
    ASSERT_GT(panel, 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kMemoryVoltageField), 0.5);
    EXPECT_EQ(attribute(panel, dsl::kScanChannelField, UI_ATTR_DIMMED), 1);

    enter(panel, dsl::kMemoryChannelField, "3");
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kMemoryVoltageField), 2.0);
    enter(panel, dsl::kMemoryVoltageField, "1.25");
    EXPECT_THAT(writesStartingWith("MEM"), IsEmpty()) << "edits stay in the working copy until Apply";

    PaintedTexts painted("PleaseWaitText");
    ASSERT_EQ(OperateCommit(panel, dsl::kApplyButton), UI_SUCCESS);
    finishDiscards();
    EXPECT_THAT(popups(), IsEmpty());
    EXPECT_THAT(painted.texts, Contains("Configuring the Memory Arrays Parameters. Please Wait..."));
    EXPECT_EQ(kqModule().memoryArray(1)[2], 1.25);
    constexpr double dacStep = 20.0 / 32768;
    EXPECT_NEAR(kqModule().outputVoltage(3), 1.25, dacStep);
    EXPECT_NEAR(kqModule().outputVoltage(1), 0.5, dacStep);
    EXPECT_EQ(intValue(panel, dsl::kMemoryChannelField), 3) << "the channel shown is kept";
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kMemoryVoltageField), 1.25);
}

TEST_F(MemoryScanDialogTest, ChangingTheArrayDropsTheEditsAndShowsTheNewArrayFromChannelOne) {
    const ViReal32 second[16] = {-3.0F};
    ASSERT_EQ(kq7120_memorySetup(session(), 2, second), VI_SUCCESS);
    const int panel = openDialog();
    enter(panel, dsl::kMemoryChannelField, "2");
    enter(panel, dsl::kMemoryVoltageField, "4");
    enter(panel, dsl::kMemoryIndexField, "2");
    EXPECT_EQ(intValue(panel, dsl::kMemoryChannelField), 1);
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kMemoryVoltageField), -3.0);
    enter(panel, dsl::kMemoryIndexField, "1");
    enter(panel, dsl::kMemoryChannelField, "2");
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kMemoryVoltageField), 0.0);
}

// The mode chosen against the module's mode for the channel and its trigger source.
struct ModeCase {
    const char* name;
    ViInt16 moduleMode;
    ViInt16 triggerSource;
    int chosen;
    const char* message;  // "" for none
    int selectorAfter;
    int limitDimmedAfter;
};

class ScanModeRuleTest : public MemoryScanDialogTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ScanModeRuleTest, TheChosenModeIsCheckedAgainstTheModule) {
    const ModeCase& c = GetParam();
    const ViInt16 channel[1] = {1};
    ASSERT_EQ(kq7120_configTriggerParams(session(), kq7120_TRIG_SRC_EXT, 0), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupScanMode(session(), c.moduleMode, channel, 1), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupScanLimit(session(), 1, 40), VI_SUCCESS);
    ASSERT_EQ(kq7120_configTriggerParams(session(), c.triggerSource, 0), VI_SUCCESS);
    const int panel = openDialog();
    showView(panel, kScanView);
    kqvisa::clearTrace();

    ASSERT_EQ(OperateSelect(panel, dsl::kScanModeSelector, c.chosen), UI_SUCCESS);
    if (*c.message == '\0')
        EXPECT_THAT(popups(), IsEmpty());
    else
        EXPECT_THAT(popups(), ElementsAre(std::string("ERROR: ") + c.message));
    EXPECT_EQ(intValue(panel, dsl::kScanModeSelector), c.selectorAfter);
    EXPECT_EQ(attribute(panel, dsl::kScanLimitField, UI_ATTR_DIMMED), c.limitDimmedAfter);
    EXPECT_THAT(writesStartingWith("SOUR:LIST"), IsEmpty()) << "nothing is sent before Apply";
}

constexpr const char* kTriggerRule =
    "Trigger source should be either TTLT0-7 or EXT for Scan Mode Normal or Wrapped";

INSTANTIATE_TEST_SUITE_P(
    Rules, ScanModeRuleTest,
    ::testing::Values(
        ModeCase{"WrappedToNormal", kq7120_SCAN_MODE_LOOP, kq7120_TRIG_SRC_EXT, 1,
                 "Transition from LOOP(Wrapped) to ON(Normal) is prohibited", 2, 0},
        ModeCase{"NormalToWrapped", kq7120_SCAN_MODE_ON, kq7120_TRIG_SRC_TTLTRG3, 2,
                 "Transition from ON(Normal) to LOOP(Wrapped) is prohibited", 1, 0},
        ModeCase{"WrappedToOff", kq7120_SCAN_MODE_LOOP, kq7120_TRIG_SRC_EXT, 0, "", 0, 1},
        ModeCase{"OffToNormalOnTheTimer", kq7120_SCAN_MODE_OFF, kq7120_TRIG_SRC_TIMER, 1, kTriggerRule, 0, 1},
        ModeCase{"OffToWrappedOnAnInternalChannel", kq7120_SCAN_MODE_OFF, kq7120_TRIG_SRC_INT_CH2, 2,
                 kTriggerRule, 0, 1},
        ModeCase{"OffToNormalOnATtlLine", kq7120_SCAN_MODE_OFF, kq7120_TRIG_SRC_TTLTRG7, 1, "", 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemoryScanDialogTest, TheScanViewShowsTheModulesSettingsAndPlotsTheList) {
    const ViInt16 channel[1] = {2};
    ViReal32 list[512] = {};
    for (int i = 0; i < 512; ++i) list[i] = static_cast<ViReal32>(i % 8) * 0.5F;
    ASSERT_EQ(kq7120_configTriggerParams(session(), kq7120_TRIG_SRC_EXT, 0), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupScanList(session(), 2, list, 512), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupScanMode(session(), kq7120_SCAN_MODE_LOOP, channel, 1), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupScanLimit(session(), 2, 24), VI_SUCCESS);
    const int panel = openDialog();
    showView(panel, kScanView);
    EXPECT_EQ(attribute(panel, dsl::kMemoryVoltageField, UI_ATTR_DIMMED), 1);
    enter(panel, dsl::kScanChannelField, "2");
    EXPECT_EQ(intValue(panel, dsl::kScanModeSelector), 2);
    EXPECT_EQ(labelOf(panel, dsl::kScanLimitField), "Wrap Point");
    EXPECT_EQ(intValue(panel, dsl::kScanLimitField), 24);
    enter(panel, dsl::kScanIndexField, "4");
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kScanVoltageField), 1.5);

    int points = 0;
    double value = 0.0;
    double marker = 0.0;
    GetGraphPointCount(panel, dsl::kScanPlot, &points);
    GetGraphPoint(panel, dsl::kScanPlot, 3, &value);
    GetGraphMarker(panel, dsl::kScanPlot, &marker);
    EXPECT_EQ(points, 512);
    EXPECT_DOUBLE_EQ(value, 1.5);
    EXPECT_DOUBLE_EQ(marker, 24.0);

    // An edit goes into the plot at once; a channel in mode Off keeps the label and dims the limit.
    enter(panel, dsl::kScanVoltageField, "-2");
    GetGraphPoint(panel, dsl::kScanPlot, 3, &value);
    EXPECT_DOUBLE_EQ(value, -2.0);
    enter(panel, dsl::kScanChannelField, "3");
    EXPECT_EQ(intValue(panel, dsl::kScanModeSelector), 0);
    EXPECT_EQ(attribute(panel, dsl::kScanLimitField, UI_ATTR_DIMMED), 1);
    EXPECT_EQ(labelOf(panel, dsl::kScanLimitField), "Wrap Point");
    GetGraphMarker(panel, dsl::kScanPlot, &marker);
    EXPECT_DOUBLE_EQ(marker, 0.0);
}

TEST_F(MemoryScanDialogTest, ApplyInTheScanViewRaisesTheTimeoutForTheTransfersOnly) {
    ASSERT_EQ(setVisaAttribute(session(), VI_ATTR_TMO_VALUE, 3000), VI_SUCCESS);
    const int panel = openDialog();
    showView(panel, kScanView);
    enter(panel, dsl::kScanIndexField, "5");
    enter(panel, dsl::kScanVoltageField, "2.5");
    kqvisa::clearTrace();
    PaintedTexts painted("PleaseWaitText");
    ASSERT_EQ(OperateCommit(panel, dsl::kApplyButton), UI_SUCCESS);
    finishDiscards();
    EXPECT_THAT(popups(), IsEmpty());
    EXPECT_THAT(painted.texts, Contains("Configuring the Scan List Array Parameters. Please Wait..."));
    EXPECT_THAT(timeoutsSet(), ElementsAre(10000, 3000, 10000, 3000));
    EXPECT_EQ(timeout(), 3000u);
    EXPECT_DOUBLE_EQ(kqModule().scanTableEntry(1, 5), 2.5);
    EXPECT_EQ(kqModule().scanLimit(1), 512) << "mode Off still sends the limit field";
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kScanVoltageField), 2.5);
}

TEST_F(MemoryScanDialogTest, AFailedScanListWriteStillRestoresTheTimeout) {
    ASSERT_EQ(setVisaAttribute(session(), VI_ATTR_TMO_VALUE, 3000), VI_SUCCESS);
    const int panel = openDialog();
    showView(panel, kScanView);
    enter(panel, dsl::kScanVoltageField, "50");  // beyond every range: the driver refuses the list
    kqvisa::clearTrace();
    ASSERT_EQ(OperateCommit(panel, dsl::kApplyButton), UI_SUCCESS);
    finishDiscards();
    EXPECT_THAT(popups(), ElementsAre("Error: Error Configuring Scan List"));
    EXPECT_THAT(timeoutsSet(), ElementsAre(10000, 3000));
    EXPECT_EQ(timeout(), 3000u);
    EXPECT_EQ(dacMemoryScanDialogPanel(), panel);
    EXPECT_EQ(IsPanelLoaded(panel), 1);
}

TEST_F(MemoryScanDialogTest, ImportFillsTheWorkingCopyAndABadFileChangesNothing) {
    const int panel = openDialog();
    showView(panel, kScanView);
    QueueFileSelection(writeFile("bad.txt", "1.0\n# comment\n2,5\n").string());
    ASSERT_EQ(OperateCommit(panel, dsl::kImportButton), UI_SUCCESS);
    EXPECT_THAT(popups(),
                ElementsAre("Import Voltages: file selection", "ERROR: Line 3: \"2,5\" is not a voltage"));
    double value = -1.0;
    GetGraphPoint(panel, dsl::kScanPlot, 0, &value);
    EXPECT_DOUBLE_EQ(value, 0.0);

    ClearCapturedPopups();
    QueueFileSelection(writeFile("good.txt", "# ramp\n 0.25 \n\n-1.5  # second\n+3e-1\n").string());
    ASSERT_EQ(OperateCommit(panel, dsl::kImportButton), UI_SUCCESS);
    EXPECT_THAT(popups(), ElementsAre("Import Voltages: file selection"));
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kScanVoltageField), 0.25);
    GetGraphPoint(panel, dsl::kScanPlot, 2, &value);
    EXPECT_FLOAT_EQ(static_cast<float>(value), 0.3F);
    EXPECT_THAT(writesStartingWith("SOUR:LIST"), IsEmpty()) << "nothing is sent before Apply";

    // Export and import again give the same list.
    const auto exported = stateFolder_ / "exported.txt";
    QueueFileSelection(exported.string());
    ASSERT_EQ(OperateCommit(panel, dsl::kExportButton), UI_SUCCESS);
    enter(panel, dsl::kScanVoltageField, "7");
    QueueFileSelection(exported.string());
    ASSERT_EQ(OperateCommit(panel, dsl::kImportButton), UI_SUCCESS);
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kScanVoltageField), 0.25);
}

TEST_F(MemoryScanDialogTest, AMemoryArrayFileNeedsOneValuePerChannel) {
    const int panel = openDialog();
    QueueFileSelection(writeFile("short.txt", "1\n2\n3\n").string());
    ASSERT_EQ(OperateCommit(panel, dsl::kImportButton), UI_SUCCESS);
    EXPECT_THAT(popups(), Contains("ERROR: short.txt holds 3 values; a memory array needs 16"));
    std::string sixteen;
    for (int i = 1; i <= 16; ++i) sixteen += std::to_string(i) + "\n";
    QueueFileSelection(writeFile("long.txt", sixteen + "17\n").string());
    ASSERT_EQ(OperateCommit(panel, dsl::kImportButton), UI_SUCCESS);
    EXPECT_THAT(popups(), Contains("ERROR: Line 17: more than 16 values for a memory array"));
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kMemoryVoltageField), 0.0);

    QueueFileSelection(writeFile("full.txt", sixteen).string());
    ASSERT_EQ(OperateCommit(panel, dsl::kImportButton), UI_SUCCESS);
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kMemoryVoltageField), 1.0);
    enter(panel, dsl::kMemoryChannelField, "16");
    EXPECT_DOUBLE_EQ(doubleValue(panel, dsl::kMemoryVoltageField), 16.0);
}

TEST_F(MemoryScanDialogTest, DoneClosesTheDialogAndEnablesTheMenuAgain) {
    const int panel = openDialog();
    int dimmed = -1;
    GetMenuBarAttribute(frontPanel().mainMenuBar, "CalibrationMenuEntry", UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1);
    ASSERT_EQ(OperateCommit(panel, dsl::kDoneButton), UI_SUCCESS);
    finishDiscards();
    EXPECT_EQ(dacMemoryScanDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    GetMenuBarAttribute(frontPanel().mainMenuBar, "CalibrationMenuEntry", UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 0);

    // The main panel's command opens the same dialog.
    ASSERT_EQ(OperateCommit(mainPanel(), "MemoryScanButton"), UI_SUCCESS);
    EXPECT_GT(dacMemoryScanDialogPanel(), 0);
    GetMenuBarAttribute(frontPanel().mainMenuBar, "CalibrationMenuEntry", UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1);
}

// Opening failures of both dialogs: a pop-up, and nothing left dimmed.
struct OpeningFailure {
    const char* name;
    const char* menuEntry;
    bool formMissing;
    const char* popup;
};

class OpeningFailureTest : public DialogTest, public ::testing::WithParamInterface<OpeningFailure> {};

TEST_P(OpeningFailureTest, TheDialogStaysClosedAndNothingIsDimmed) {
    startOn(kqsim::defaultChassis());
    ClearCapturedPopups();
    if (GetParam().formMissing)
        SetFormDirectory(stateFolder_.c_str());
    else
        kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_TMO);
    ASSERT_EQ(OperateMenuItem(frontPanel().mainMenuBar, GetParam().menuEntry), UI_SUCCESS);
    finishDiscards();
    EXPECT_THAT(popups(), Contains(GetParam().popup));
    EXPECT_EQ(calibrationDialogPanel(), 0);
    EXPECT_EQ(dacMemoryScanDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    for (const char* entry : {"CalibrationMenuEntry", "ScanListMenuEntry"}) {
        int dimmed = -1;
        GetMenuBarAttribute(frontPanel().mainMenuBar, entry, UI_ATTR_DIMMED, &dimmed);
        EXPECT_EQ(dimmed, 0) << entry;
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, OpeningFailureTest,
                         ::testing::Values(OpeningFailure{"CalibrationForm", "CalibrationMenuEntry", true,
                                                          "ERROR: Error loading the Calibration Panel"},
                                           OpeningFailure{
                                               "MemoryScanForm", "ScanListMenuEntry", true,
                                               "ERROR: Error loading the DAC Memory and Scan List Panel"},
                                           OpeningFailure{"CalibrationQuery", "CalibrationMenuEntry", false,
                                                          "Error: Error querying calibration settings"},
                                           OpeningFailure{"MemoryScanQuery", "ScanListMenuEntry", false,
                                                          "ERROR: Error querying the Memory Arrays"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sfptest
