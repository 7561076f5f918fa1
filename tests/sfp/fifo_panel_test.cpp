// The FIFO panel: channel and file rules, the period interleave, the block arithmetic, the stream
// into the simulated module with its closing report, and stopping a stream.
#include "fifo_panel.h"

#include <gmock/gmock.h>

#include <QCoreApplication>
#include <chrono>

#include "front_panel_state.h"
#include "kqvisa/bus_trace.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"
#include "waveform_panel_fixture.h"
#include "waveform_test_files.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kFifoRegister = 0x20;

struct Attachment {
    int channel;
    std::string path;
};

class FifoPanelTest : public WaveformPanelTest {
protected:
    static int openFifo() {
        pickMenu("FifoMenuEntry");
        const int panel = fifoPanel();
        EXPECT_GT(panel, 0);
        return panel;
    }

    // Checks the channels, presses Next and attaches each file to its channel.
    static void attach(int panel, const std::vector<Attachment>& files) {
        for (const Attachment& file : files)
            ASSERT_EQ(OperateCommit(panel, ("FifoChannelCheck" + std::to_string(file.channel)).c_str()),
                      UI_SUCCESS);
        ASSERT_EQ(OperateCommit(panel, "FifoNextButton"), UI_SUCCESS);
        for (std::size_t i = 0; i < files.size(); ++i) {
            ASSERT_EQ(OperateSelect(panel, "FifoChannelSelector", static_cast<int>(i)), UI_SUCCESS);
            chooseFile(panel, "FifoFileButton", files[i].path);
            ASSERT_EQ(OperateCommit(panel, "FifoAddButton"), UI_SUCCESS);
        }
    }

    // Switches the stream on (off first when a stream ran before).
    static void stream(int panel, int periods) {
        if (intValue(panel, "FifoRunSwitch") == 1) {
            ASSERT_EQ(OperateCommit(panel, "FifoRunSwitch"), UI_SUCCESS);
        }
        ASSERT_EQ(SetCtrlVal(panel, "FifoPeriodsField", periods), UI_SUCCESS);
        kqvisa::clearTrace();
        ASSERT_EQ(OperateCommit(panel, "FifoRunSwitch"), UI_SUCCESS);
    }

    // The blocks written to the FIFO since the trace was cleared.
    static std::vector<std::vector<std::uint16_t>> fifoWrites() {
        std::vector<std::vector<std::uint16_t>> writes;
        for (const kqvisa::TraceRecord& record : kqvisa::trace())
            if (record.op == kqvisa::Op::MoveOut16 && record.offset == kFifoRegister)
                writes.push_back(record.words);
        return writes;
    }

    static std::vector<std::size_t> fifoWriteSizes() {
        std::vector<std::size_t> sizes;
        for (const auto& words : fifoWrites()) sizes.push_back(words.size());
        return sizes;
    }

    static std::vector<std::uint16_t> ramp(std::uint16_t first, std::size_t count) {
        std::vector<std::uint16_t> codes(count);
        for (std::size_t i = 0; i < count; ++i) codes[i] = static_cast<std::uint16_t>(first + i);
        return codes;
    }
};

TEST_F(FifoPanelTest, StreamInterleavesTheChannelsAndReportsAtTheEnd) {
    const int panel = openFifo();
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    EXPECT_EQ(menuDimmed("FifoMenuEntry"), 1);
    EXPECT_EQ(intValue(panel, "FifoDataFormatSelector"), 1);
    attach(panel, {{1, writeCodes("ch1.b16", {0x8001, 0x8002, 0x8003})},
                   {3, writeCodes("ch3.b16", {0x9001, 0x9002, 0x9003})}});
    stream(panel, 2);

    const std::vector<std::uint16_t> period = {0x8001, 0x9001, 0x8002, 0x9002, 0x8003, 0x9003};
    std::vector<std::uint16_t> block = period;
    block.insert(block.end(), period.begin(), period.end());
    EXPECT_THAT(fifoWrites(), ElementsAre(block));
    EXPECT_THAT(kqvisa::writtenMessages(), ::testing::Contains("INIT"));
    EXPECT_THAT(messages(), ElementsAre("FIFO: Finished loading FIFO."));
    long long sent = 0;
    long long total = 0;
    GetProgress(panel, "FifoProgressBar", &sent, &total);
    EXPECT_EQ(sent, 12);
    EXPECT_EQ(total, 12);

    kqsim::SimClock::advance(std::chrono::milliseconds(1));
    EXPECT_EQ(module().recentOutput(3, 1).front().volts, 0x1003 * 20.0 / 32768.0);

    kqvisa::clearTrace();
    EXPECT_EQ(OperateCommit(panel, "FifoCloseButton"), UI_SUCCESS);
    EXPECT_THAT(kqvisa::writtenMessages(), ElementsAre("ABOR", "*ESR?", "SCAN OFF", "*ESR?"));
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    EXPECT_EQ(menuDimmed("FifoMenuEntry"), 0);
    EXPECT_EQ(menuDimmed("SharedMenuEntry"), 0);
}

TEST_F(FifoPanelTest, PeriodsTravelAsWholeBlocksThenSinglePeriods) {
    struct Case {
        std::int32_t words;
        std::int64_t periods;
        FifoStreamPlan plan;
    };
    for (const Case& c :
         {Case{2000, 1000, {131, 7, 83}}, Case{2000, 100, {100, 1, 0}}, Case{2000, 131, {131, 1, 0}},
          Case{2000, 0, {0, 1, 0}}, Case{1, 262144, {262144, 1, 0}}, Case{16000, 17, {16, 1, 1}}}) {
        SCOPED_TRACE(std::to_string(c.words) + " x " + std::to_string(c.periods));
        const FifoStreamPlan plan = planFifoStream(c.words, c.periods);
        EXPECT_EQ(plan.periodsPerBlock, c.plan.periodsPerBlock);
        EXPECT_EQ(plan.blocks, c.plan.blocks);
        EXPECT_EQ(plan.singles, c.plan.singles);
    }

    const int panel = openFifo();
    attach(panel, {{1, writeCodes("long1.b16", ramp(0x8000, 1000))},
                   {2, writeCodes("long2.b16", ramp(0x9000, 1000))}});
    stream(panel, 100);
    EXPECT_THAT(fifoWriteSizes(), ElementsAre(200000u));
    stream(panel, 1000);
    std::vector<std::size_t> expected(7, 262000u);
    expected.insert(expected.end(), 83, 2000u);
    EXPECT_EQ(fifoWriteSizes(), expected);
    EXPECT_THAT(messages(), ElementsAre("FIFO: Finished loading FIFO.", "FIFO: Finished loading FIFO."));
}

TEST_F(FifoPanelTest, SlowFeedEndsWithTheUnderrunReport) {
    const int panel = openFifo();
    attach(panel, {{1, writeCodes("slow1.b16", ramp(0x8000, 1000))},
                   {2, writeCodes("slow2.b16", ramp(0x9000, 1000))}});
    // The controller stalls after the first block, longer than the FIFO takes to drain.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { kqsim::SimClock::advance(std::chrono::seconds(5)); },
        Qt::QueuedConnection);
    stream(panel, 262);
    EXPECT_THAT(fifoWriteSizes(), ElementsAre(262000u, 262000u));
    EXPECT_THAT(messages(), ElementsAre("ERROR: A FIFO Underrun occurred.", "FIFO: Finished loading FIFO."));
}

TEST_F(FifoPanelTest, SwitchingRunOffDuringTheStreamStopsSendingAndAborts) {
    const int panel = openFifo();
    attach(panel, {{1, writeCodes("stop1.b16", ramp(0x8000, 1000))},
                   {2, writeCodes("stop2.b16", ramp(0x9000, 1000))}});
    ASSERT_EQ(QueueOperatorCommit(panel, "FifoRunSwitch"), UI_SUCCESS);
    stream(panel, 1000);
    EXPECT_THAT(fifoWriteSizes(), ElementsAre(262000u));
    EXPECT_THAT(kqvisa::writtenMessages(), ::testing::Contains("ABOR"));
    EXPECT_EQ(intValue(panel, "FifoRunSwitch"), 0);
    EXPECT_EQ(attribute(panel, "FifoCloseButton", UI_ATTR_DIMMED), 0);
    EXPECT_THAT(messages(), ElementsAre("FIFO: Finished loading FIFO."));
}

TEST_F(FifoPanelTest, ChannelAndFileRules) {
    frontPanel().modelNumber = kq7120_KQ7110;
    const int panel = openFifo();
    EXPECT_EQ(attribute(panel, "FifoChannelCheck9", UI_ATTR_DIMMED), 1);
    EXPECT_EQ(attribute(panel, "FifoChannelCheck8", UI_ATTR_DIMMED), 0);
    EXPECT_EQ(attribute(panel, "FifoNextButton", UI_ATTR_DIMMED), 1);
    const std::string path = writeCodes("rule.b16", {1, 2, 3});
    attach(panel, {{2, path}, {5, path}});
    EXPECT_THAT(items(panel, "FifoChannelSelector"), ElementsAre("Channel 2 = 2", "Channel 5 = 5"));
    EXPECT_THAT(items(panel, "FifoFileList"),
                ElementsAre("2     " + path + " = 2", "5     " + path + " = 5"));
    std::vector<double> preview;
    GetPlotValues(panel, "FifoPreviewGraph", &preview);
    EXPECT_THAT(preview, ElementsAre(1, 2, 3));

    ASSERT_EQ(OperateSelect(panel, "FifoChannelSelector", 1), UI_SUCCESS);
    EXPECT_EQ(OperateCommit(panel, "FifoAddButton"), UI_SUCCESS);
    // A cancelled dialog keeps the path shown.
    QueueFileSelection("");
    EXPECT_EQ(OperateCommit(panel, "FifoFileButton"), UI_SUCCESS);
    std::string shown;
    GetCtrlVal(panel, "FifoPathBox", &shown);
    EXPECT_EQ(shown, path);

    for (const int entry : {1, 0}) ASSERT_EQ(OperateCommit(panel, "FifoRemoveButton"), UI_SUCCESS) << entry;
    EXPECT_THAT(items(panel, "FifoFileList"), IsEmpty());
    EXPECT_EQ(attribute(panel, "FifoRunSwitch", UI_ATTR_DIMMED), 1);
    ResetTextBox(panel, "FifoPathBox", "");
    EXPECT_EQ(OperateCommit(panel, "FifoAddButton"), UI_SUCCESS);
    EXPECT_THAT(messages(), ElementsAre("ERROR: Attempt to add existing channel!  Remove first.",
                                        "ERROR: Invalid Pathname selected."));
}

TEST_F(FifoPanelTest, EmptyPeriodIsRefusedBeforeAnythingMoves) {
    const int panel = openFifo();
    attach(panel, {{1, writeSized("one-byte.b16", 1)}});
    stream(panel, 10);
    EXPECT_THAT(fifoWrites(), IsEmpty());
    EXPECT_THAT(messages(), ElementsAre("ERROR: No waveform samples to stream."));
}

}  // namespace
}  // namespace sfptest
