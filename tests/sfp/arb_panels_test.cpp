// The ARB segment, sequence and run panels: building a set-up, loading it into the simulated module
// and playing it, the menu order, the step rules, and set-up files.
#include <gmock/gmock.h>

#include <chrono>
#include <fstream>

#include "arb_definition.h"
#include "arb_run_panel.h"
#include "arb_segment_panel.h"
#include "arb_sequence_panel.h"
#include "arb_setup_file.h"
#include "front_panel_state.h"
#include "kqvisa/bus_trace.h"
#include "menu_groups.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"
#include "waveform_panel_fixture.h"
#include "waveform_test_files.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr double kVoltsPerCode = 20.0 / 32768.0;  // 20 V range, unsigned codes

struct SegmentFile {
    int segment;
    int channelEntry;  // index in the panel's channel list
    std::string path;
};

class ArbPanelsTest : public WaveformPanelTest {
protected:
    static int openSegments(const std::vector<int>& channels) {
        pickMenu("ArbSegmentsEntry");
        const int panel = arbSegmentPanel();
        EXPECT_GT(panel, 0);
        for (const int channel : channels)
            EXPECT_EQ(OperateCommit(panel, ("SegChannelCheck" + std::to_string(channel)).c_str()),
                      UI_SUCCESS);
        EXPECT_EQ(OperateCommit(panel, "SegApplyChannelsButton"), UI_SUCCESS);
        return panel;
    }

    static void add(int panel, const SegmentFile& file) {
        ASSERT_EQ(OperateEnterValue(panel, "SegNumberField", std::to_string(file.segment).c_str()),
                  UI_SUCCESS);
        ASSERT_EQ(OperateSelect(panel, "SegChannelList", file.channelEntry), UI_SUCCESS);
        chooseFile(panel, "SegFileButton", file.path);
        ASSERT_EQ(OperateCommit(panel, "SegAddButton"), UI_SUCCESS);
    }

    static int openSequence() {
        pickMenu("ArbSequenceEntry");
        const int panel = arbSequencePanel();
        EXPECT_GT(panel, 0);
        return panel;
    }

    // Picks segment entry `segmentEntry` and presses Insert or Append.
    static void step(int panel, int segmentEntry, const char* button) {
        ASSERT_EQ(OperateSelect(panel, "SeqSegmentList", segmentEntry), UI_SUCCESS);
        ASSERT_EQ(OperateCommit(panel, button), UI_SUCCESS);
    }

    static std::vector<int> stepSegments() {
        std::vector<int> segments;
        for (int i = 0; i < arbDefinition().stepCount; ++i)
            segments.push_back(arbDefinition().steps[static_cast<std::size_t>(i)].segmentNumber);
        return segments;
    }

    // A set-up of segments with channel 1 files, built straight into the record.
    static void defineSegments(const std::vector<int>& numbers, const std::string& path) {
        ArbDefinition& definition = arbDefinition();
        definition.channelEnabled[0] = 1;
        for (const int number : numbers) {
            ArbSegment& segment = definition.segments[static_cast<std::size_t>(definition.segmentCount++)];
            segment.segmentNumber = number;
            segment.entries[0] = {1, path};
            segment.entryCount = 1;
        }
    }
};

TEST_F(ArbPanelsTest, WholeWorkflowPlaysTheSequenceInTheModule) {
    EXPECT_EQ(menuDimmed("ArbSequenceEntry"), 1);
    EXPECT_EQ(menuDimmed("ArbRunEntry"), 1);
    const std::string first1 = writeCodes("first1.b16", {0x9000, 0xA000});
    const std::string first2 = writeCodes("first2.b16", {0x7000, 0x6000});
    const std::string second1 = writeCodes("second1.b16", {0xC000});
    const std::string second2 = writeCodes("second2.b16", {0x8000});

    const int segments = openSegments({1, 2});
    EXPECT_THAT(items(segments, "SegChannelList"), ElementsAre("CH  1 = 1", "CH  2 = 2"));
    for (const SegmentFile& file : {SegmentFile{0, 0, first1}, SegmentFile{0, 1, first2},
                                    SegmentFile{5, 0, second1}, SegmentFile{5, 1, second2}})
        add(segments, file);
    EXPECT_THAT(items(segments, "SegEntryList"),
                ElementsAre(" 1  " + second1 + " = 1", " 2  " + second2 + " = 2"));
    std::vector<double> preview;
    GetPlotValues(segments, "SegPreviewGraph", &preview);
    EXPECT_THAT(preview, ElementsAre(0x8000));
    EXPECT_EQ(OperateCommit(segments, "SegCloseButton"), UI_SUCCESS);
    EXPECT_EQ(menuDimmed("ArbSequenceEntry"), 0);
    EXPECT_EQ(menuDimmed("ArbRunEntry"), 1);

    const int sequence = openSequence();
    EXPECT_THAT(items(sequence, "SeqSegmentList"), ElementsAre("0 = 0", "5 = 5"));
    step(sequence, 0, "SeqAppendButton");
    ASSERT_EQ(OperateEnterValue(sequence, "SeqRepeatField", "2"), UI_SUCCESS);
    step(sequence, 1, "SeqAppendButton");
    EXPECT_THAT(items(sequence, "SeqStepList"),
                ElementsAre("Sequence(0) --> Segment 0 = 0", "Sequence(1) --> Segment 5 = 5"));
    EXPECT_EQ(OperateCommit(sequence, "SeqCloseButton"), UI_SUCCESS);
    EXPECT_EQ(menuDimmed("ArbRunEntry"), 0);

    pickMenu("ArbRunEntry");
    const int run = arbRunPanel();
    ASSERT_GT(run, 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    EXPECT_EQ(menuDimmed("ArbSegmentsEntry"), 1);
    EXPECT_EQ(attribute(run, "ArbRunSwitch", UI_ATTR_DIMMED), 1);
    EXPECT_EQ(OperateCommit(run, "ArbLoadButton"), UI_SUCCESS);
    EXPECT_EQ(attribute(run, "ArbRunSwitch", UI_ATTR_DIMMED), 0);
    EXPECT_EQ(module().sequenceStep(0).dwell, 2);

    kqsim::SimClock::advance(std::chrono::milliseconds(1));
    const auto started = kqsim::SimClock::now();
    EXPECT_EQ(OperateCommit(run, "ArbRunSwitch"), UI_SUCCESS);
    EXPECT_EQ(attribute(run, "ArbLoadButton", UI_ATTR_DIMMED), 1);
    kqsim::SimClock::advance(std::chrono::milliseconds(1));
    const std::vector<double> channel1 = outputSince(1, started);
    const std::vector<double> channel2 = outputSince(2, started);
    ASSERT_GE(channel1.size(), 5u);
    ASSERT_GE(channel2.size(), 5u);
    EXPECT_THAT(std::vector<double>(channel1.begin(), channel1.begin() + 5),
                ElementsAre(2.5, 5.0, 2.5, 5.0, 10.0));
    EXPECT_THAT(std::vector<double>(channel2.begin(), channel2.begin() + 5),
                ElementsAre(-2.5, -5.0, -2.5, -5.0, 0.0));
    EXPECT_EQ(channel1.back(), 10.0);

    ASSERT_EQ(OperateEnterValue(run, "ArbReadSegmentField", "0"), UI_SUCCESS);
    EXPECT_EQ(OperateCommit(run, "ArbReadBackButton"), UI_SUCCESS);
    std::vector<double> readBack;
    GetPlotValues(run, "ArbReadBackGraph", &readBack);
    EXPECT_THAT(readBack, ElementsAre(0x1000 * kVoltsPerCode, 0x2000 * kVoltsPerCode));

    // Closing while the waveform plays stops it before anything else.
    kqvisa::clearTrace();
    EXPECT_EQ(OperateCommit(run, "ArbCloseButton"), UI_SUCCESS);
    EXPECT_EQ(kqvisa::writtenMessages().front(), "ABOR");
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    EXPECT_EQ(menuDimmed("ArbRunEntry"), 0);
    EXPECT_THAT(messages(), IsEmpty());
}

TEST_F(ArbPanelsTest, LoadStopsAtAnOversizeFileAndLeavesEarlierEntriesInTheModule) {
    const std::string fits = writeSized("fits.b16", 6000);
    const std::string oversize = writeSized("oversize.b16", 6001);
    defineSegments({3, 4}, fits);
    arbDefinition().segments[1].entries[0].path = oversize;
    arbDefinition().steps[0] = {3, 1, 1, 0, 1};
    arbDefinition().stepCount = 1;
    EnableArbMenuItems();
    pickMenu("ArbRunEntry");
    const int run = arbRunPanel();
    EXPECT_EQ(OperateCommit(run, "ArbLoadButton"), UI_SUCCESS);
    EXPECT_THAT(messages(), ElementsAre("FILE Size Error!: " + oversize));
    EXPECT_EQ(module().segmentCodes(3, 1).size(), 3000u);
    EXPECT_THAT(module().sequence(), IsEmpty());
    EXPECT_EQ(attribute(run, "ArbRunSwitch", UI_ATTR_DIMMED), 1);
}

// A segment longer than the plot is read back whole, so the module has nothing to complain about at
// the next command.
TEST_F(ArbPanelsTest, ReadBackOfALongSegmentPlotsItsStartAndLeavesTheModuleQuiet) {
    defineSegments({0}, writeSized("long.b16", 6000));
    arbDefinition().steps[0] = {0, 1, 1, 0, 1};
    arbDefinition().stepCount = 1;
    EnableArbMenuItems();
    pickMenu("ArbRunEntry");
    const int run = arbRunPanel();
    EXPECT_EQ(OperateCommit(run, "ArbLoadButton"), UI_SUCCESS);
    EXPECT_EQ(OperateCommit(run, "ArbReadBackButton"), UI_SUCCESS);
    std::vector<double> readBack;
    GetPlotValues(run, "ArbReadBackGraph", &readBack);
    EXPECT_EQ(readBack.size(), 1000u);
    EXPECT_EQ(OperateCommit(run, "ArbLoadButton"), UI_SUCCESS);
    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_EQ(attribute(run, "ArbRunSwitch", UI_ATTR_DIMMED), 0);
}

TEST_F(ArbPanelsTest, RunPanelSwitchRules) {
    defineSegments({0}, writeCodes("one.b16", {0x9000}));
    arbDefinition().steps[0] = {0, 1, 1, 0, 1};
    arbDefinition().stepCount = 1;
    EnableArbMenuItems();
    pickMenu("ArbRunEntry");
    const int run = arbRunPanel();
    EXPECT_EQ(intValue(run, "ArbDataFormatSelector"), 1);
    EXPECT_EQ(OperateCommit(run, "ArbLoadButton"), UI_SUCCESS);
    EXPECT_EQ(attribute(run, "ArbRunSwitch", UI_ATTR_DIMMED), 0);
    // A new format needs a new Load before running.
    EXPECT_EQ(OperateSelect(run, "ArbDataFormatSelector", 0), UI_SUCCESS);
    EXPECT_EQ(attribute(run, "ArbRunSwitch", UI_ATTR_DIMMED), 1);
    EXPECT_EQ(module().dataFormat(), kqsim::DataFormat::Signed);

    EXPECT_EQ(OperateCommit(run, "ArbMarkerStateSwitch"), UI_SUCCESS);
    EXPECT_TRUE(module().markerOn());
    EXPECT_EQ(arbDefinition().markerState, 1);

    // No channel taking part: the driver refuses the empty list.
    arbDefinition().channelEnabled = {};
    EXPECT_EQ(OperateCommit(run, "ArbLoadButton"), UI_SUCCESS);
    EXPECT_THAT(messages(), ElementsAre("ERROR: Failed entering ARB mode"));
    EXPECT_EQ(attribute(run, "ArbRunSwitch", UI_ATTR_DIMMED), 1);
}

TEST_F(ArbPanelsTest, SegmentPanelRules) {
    const std::string path = writeCodes("seg.b16", {1, 2});
    frontPanel().modelNumber = kq7120_KQ7110;
    const int panel = openSegments({1, 3});
    EXPECT_EQ(attribute(panel, "SegChannelCheck9", UI_ATTR_DIMMED), 1);
    EXPECT_EQ(attribute(panel, "SegChannelCheck8", UI_ATTR_DIMMED), 0);
    add(panel, {5, 1, path});
    add(panel, {5, 1, path});
    add(panel, {6, 1, path});
    add(panel, {7, 0, path});
    EXPECT_THAT(messages(), ElementsAre("ERROR: Attempt to add existing channel!  Remove first."));
    ASSERT_EQ(arbDefinition().segmentCount, 3);

    // Removing the only entry of the second segment leaves the first and the third.
    ASSERT_EQ(OperateEnterValue(panel, "SegNumberField", "6"), UI_SUCCESS);
    EXPECT_THAT(items(panel, "SegEntryList"), ElementsAre("3     " + path + " = 3"));
    ASSERT_EQ(OperateSelect(panel, "SegEntryList", 0), UI_SUCCESS);
    EXPECT_EQ(OperateCommit(panel, "SegRemoveButton"), UI_SUCCESS);
    ASSERT_EQ(arbDefinition().segmentCount, 2);
    EXPECT_EQ(arbDefinition().segments[0].segmentNumber, 5);
    EXPECT_EQ(arbDefinition().segments[1].segmentNumber, 7);

    for (int number = 100; arbDefinition().segmentCount < kArbMaxSegments; ++number)
        add(panel, {number, 0, path});
    ClearCapturedPopups();
    add(panel, {200, 0, path});
    EXPECT_THAT(messages(), ElementsAre("ERROR: Maximum segments is 17"));
    EXPECT_EQ(arbDefinition().segmentCount, kArbMaxSegments);

    // A cancelled file dialog keeps the path.
    QueueFileSelection("");
    EXPECT_EQ(OperateCommit(panel, "SegFileButton"), UI_SUCCESS);
    std::string shown;
    GetCtrlVal(panel, "SegPathBox", &shown);
    EXPECT_EQ(shown, path);

    // Opening again starts an empty set-up: the sequence and run entries wait for a segment.
    EXPECT_EQ(OperateCommit(panel, "SegCloseButton"), UI_SUCCESS);
    arbDefinition().stepCount = 1;
    pickMenu("ArbSegmentsEntry");
    const int again = arbSegmentPanel();
    EXPECT_EQ(arbDefinition().segmentCount, 0);
    EXPECT_EQ(arbDefinition().stepCount, 0);
    EXPECT_EQ(intValue(again, "SegChannelCheck1"), 0);
    EXPECT_EQ(attribute(again, "SegApplyChannelsButton", UI_ATTR_DIMMED), 1);
    EXPECT_EQ(OperateCommit(again, "SegCloseButton"), UI_SUCCESS);
    EXPECT_EQ(menuDimmed("ArbSequenceEntry"), 1);
    EXPECT_EQ(menuDimmed("ArbRunEntry"), 1);
}

TEST_F(ArbPanelsTest, SequenceStepsInsertAppendAndRemove) {
    defineSegments({3, 0, 7, 9}, "unused.b16");
    EnableArbMenuItems();
    struct Case {
        const char* button;
        std::vector<int> expected;
    };
    for (const Case& insert :
         {Case{"SeqInsertButton", {3, 9, 0, 7}}, Case{"SeqAppendButton", {3, 0, 9, 7}}}) {
        SCOPED_TRACE(insert.button);
        arbDefinition().stepCount = 0;
        const int panel = openSequence();
        for (const int entry : {0, 1, 2}) step(panel, entry, "SeqAppendButton");
        ASSERT_EQ(OperateSelect(panel, "SeqStepList", 1), UI_SUCCESS);
        step(panel, 3, insert.button);
        EXPECT_EQ(stepSegments(), insert.expected);
        const std::vector<std::string> labels = items(panel, "SeqStepList");
        ASSERT_EQ(labels.size(), 4u);
        EXPECT_EQ(labels[3], "Sequence(3) --> Segment 7 = 7");
        EXPECT_EQ(OperateCommit(panel, "SeqCloseButton"), UI_SUCCESS);
    }

    // A new step starts auto, async, marker off, repeat 1; the controls change the selected step.
    const int panel = openSequence();
    ASSERT_EQ(OperateSelect(panel, "SeqStepList", 2), UI_SUCCESS);
    EXPECT_EQ(intValue(panel, "SeqStartSelector"), 1);
    EXPECT_EQ(intValue(panel, "SeqAdvanceSelector"), 1);
    EXPECT_EQ(intValue(panel, "SeqMarkerSwitch"), 0);
    EXPECT_EQ(intValue(panel, "SeqRepeatField"), 1);
    ASSERT_EQ(OperateSelect(panel, "SeqStartSelector", 0), UI_SUCCESS);
    ASSERT_EQ(OperateCommit(panel, "SeqMarkerSwitch"), UI_SUCCESS);
    ASSERT_EQ(OperateEnterValue(panel, "SeqRepeatField", "32767"), UI_SUCCESS);
    const ArbStep& changed = arbDefinition().steps[2];
    EXPECT_EQ(changed.start, 0);
    EXPECT_EQ(changed.marker, 1);
    EXPECT_EQ(changed.repeat, 32767);

    // Removing the last step selects the new last one.
    ASSERT_EQ(OperateSelect(panel, "SeqStepList", 3), UI_SUCCESS);
    EXPECT_EQ(OperateCommit(panel, "SeqRemoveButton"), UI_SUCCESS);
    EXPECT_EQ(stepSegments(), (std::vector<int>{3, 0, 9}));
    int selected = -1;
    GetCtrlIndex(panel, "SeqStepList", &selected);
    EXPECT_EQ(selected, 2);

    // The 17th step is refused.
    while (arbDefinition().stepCount < kArbMaxSteps) step(panel, 0, "SeqAppendButton");
    step(panel, 0, "SeqAppendButton");
    EXPECT_THAT(messages(), ElementsAre("ERROR: Maximum sequences is 16"));
    EXPECT_EQ(arbDefinition().stepCount, kArbMaxSteps);

    while (arbDefinition().stepCount > 0) EXPECT_EQ(OperateCommit(panel, "SeqRemoveButton"), UI_SUCCESS);
    EXPECT_THAT(items(panel, "SeqStepList"), IsEmpty());
    EXPECT_EQ(OperateCommit(panel, "SeqCloseButton"), UI_SUCCESS);
    EXPECT_EQ(menuDimmed("ArbRunEntry"), 1);
}

TEST_F(ArbPanelsTest, SetUpIsSavedAndOpenedAgain) {
    defineSegments({4, 11}, "/data/wave one.b16");
    arbDefinition().channelEnabled[15] = 1;
    arbDefinition().segments[1].entries[1] = {16, "relative/path.wav"};
    arbDefinition().segments[1].entryCount = 2;
    arbDefinition().steps[0] = {11, 0, 1, 1, 32767};
    arbDefinition().steps[1] = {4, 1, 0, 0, 0};
    arbDefinition().stepCount = 2;
    arbDefinition().dataFormat = 1;
    arbDefinition().markerState = 1;
    const ArbDefinition saved = arbDefinition();
    const std::string path = (waveformFolder() / "setup.json").string();
    QueueFileSelection(path);
    pickMenu("ArbSaveSetupEntry");

    InitializeArbDefinitions();
    QueueFileSelection(path);
    pickMenu("ArbOpenSetupEntry");
    EXPECT_THAT(messages(), IsEmpty());
    EXPECT_EQ(arbSetupText(arbDefinition()), arbSetupText(saved));
    EXPECT_EQ(arbDefinition().segments[1].entries[1].path, "relative/path.wav");
    EXPECT_EQ(menuDimmed("ArbRunEntry"), 0);

    // A bad or foreign file leaves the set-up as it was.
    const std::string text = arbSetupText(saved);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    struct Case {
        std::string contents;
        std::string reason;
    };
    for (const Case& bad : {Case{"{\"format\": ", "it is not a JSON file"},
                            Case{"{\"name\": \"other\"}", "it is not an ARB set-up"},
                            Case{replaced("\"version\": 1", "\"version\": 2"), "its version is not 1"},
                            Case{replaced("\"repeat\": 32767", "\"repeat\": 32768"),
                                 "\"repeat\" must be a whole number from 0 to 32767"},
                            Case{replaced("\"segment\": 4,", "\"segment\": 12,"),
                                 "a step plays segment 12, which is not defined"}}) {
        ClearCapturedPopups();
        const std::string badPath = writeFile("bad.json", {bad.contents.begin(), bad.contents.end()});
        QueueFileSelection(badPath);
        pickMenu("ArbOpenSetupEntry");
        EXPECT_THAT(messages(),
                    ElementsAre("ERROR: Cannot open the ARB set-up " + badPath + ": " + bad.reason + "."));
        EXPECT_EQ(arbSetupText(arbDefinition()), text);
    }
}

}  // namespace
}  // namespace sfptest
