// The programming example: the generators, each load's traffic, and the DC loop with its stop.
#include "arb_example.h"

#include <gmock/gmock.h>

#include <QTimer>
#include <algorithm>
#include <array>
#include <vector>

#include "dialog_test_support.h"
#include "example_waveforms.h"
#include "front_panel_fixture.h"
#include "front_panel_state.h"
#include "kqvisa/bus_trace.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace ax = example_panel;

TEST(ExampleWaveforms, GenerateTheSpecifiedCodes) {
    struct Case {
        ExampleShape shape;
        std::vector<ViInt16> codes;
    };
    const Case cases[] = {
        {ExampleShape::Sine, {0, 4000, 0, -4000, 0}},
        {ExampleShape::Ramp, {-32767, 0, 32767}},
        {ExampleShape::Square, {-8192, 8192, -4096, 0}},
        {ExampleShape::Square, {-8192, 8192, -4096, 4096, -4096, 0}},
        {ExampleShape::Square, {-8192, 0}},
    };
    for (const Case& c : cases) {
        std::vector<ViInt16> codes(c.codes.size(), 123);
        generateWaveform(c.shape, codes);
        EXPECT_EQ(codes, c.codes);
    }
    for (const ExampleShape shape : {ExampleShape::Sine, ExampleShape::Ramp, ExampleShape::Square}) {
        std::array<ViInt16, 1> one = {123};
        generateWaveform(shape, one);
        EXPECT_EQ(one[0], 123) << "one sample: nothing written";
    }
}

class ArbExampleTest : public FrontPanelTest {
protected:
    int open() {
        EXPECT_EQ(start(), VI_SUCCESS);
        EXPECT_EQ(OperateCommit(mainPanel(), "ArbExampleButton"), UI_SUCCESS);
        const int panel = exampleDialogPanel();
        OperateEnterValue(panel, ax::kLoopPeriod, "0");
        return panel;
    }
    static std::vector<kqvisa::TraceRecord> records(kqvisa::Op op) {
        std::vector<kqvisa::TraceRecord> found;
        for (const kqvisa::TraceRecord& record : kqvisa::trace())
            if (record.op == op) found.push_back(record);
        return found;
    }
    // The DC loop's channel writes: the DAC data register (0x2A) takes the code.
    static std::vector<ViAttrState> dacWrites() {
        std::vector<ViAttrState> codes;
        for (const kqvisa::TraceRecord& record : records(kqvisa::Op::Out16))
            if (record.offset == 0x2A) codes.push_back(record.value);
        return codes;
    }
};

TEST_F(ArbExampleTest, TheDriverCallLoadSendsItsStepsThenTheLoopAborts) {
    const int panel = open();
    ASSERT_GT(panel, 0);
    EXPECT_EQ(attribute(panel, ax::kStopLoop, UI_ATTR_DIMMED), 1);
    OperateSelect(panel, ax::kArbChannel, 2);
    OperateEnterValue(panel, ax::kSampleCount, "4");
    OperateSelect(panel, ax::kWaveShape, 2);
    OperateEnterValue(panel, ax::kLoopCount, "0");
    kqvisa::clearTrace();

    OperateCommit(panel, "RunDriverButton");
    EXPECT_THAT(
        commandsSent(),
        ElementsAre("MARK:SYNC:STAT OFF;SLOP POS", "TRIG:SOUR NONE", "VOLT:FORM 0", "ROSC:SOUR TIM;SLOP POS",
                    "tim 0.0001000", "SCAN ARB, (@3)", "trac:def 0,4", "seq:list (@0)", "seq:star TRIG,(@0)",
                    "seq:adv SYNC,(@0)", "seq:dwel 0,(@0)", "sour:mark:trig OFF,(@0)", "INIT", "ABOR"));
    const auto moves = records(kqvisa::Op::MoveOut16);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_THAT(moves[0].words, ElementsAre(0xE000, 0x2000, 0xF000, 0x0000));
    EXPECT_THAT(dacWrites(), IsEmpty()) << "no pass, no DC value";
    EXPECT_EQ(attribute(panel, ax::kStopLoop, UI_ATTR_DIMMED), 1);
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(ArbExampleTest, TheOtherTwoLoadsSendTheirOwnWaveforms) {
    const int panel = open();
    OperateEnterValue(panel, ax::kLoopCount, "0");
    OperateEnterValue(panel, ax::kSampleCount, "5");
    OperateSelect(panel, ax::kArbChannel, 4);
    kqvisa::clearTrace();
    OperateCommit(panel, "RunScpiButton");
    auto moves = records(kqvisa::Op::MoveOut16);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_THAT(moves[0].words, ElementsAre(0, 4000, 0, 0xF060, 0)) << "a sine of 5 samples";
    EXPECT_EQ(commandsSent().front(), "*RST");
    EXPECT_EQ(commandsSent().back(), "ABOR");

    // Word serial: a reset first, then 1000 samples of a square (shape 0) on channel 1 as text.
    kqvisa::clearTrace();
    OperateCommit(panel, "RunWordSerialButton");
    const auto text = commandsSent();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.front(), "*RST");
    EXPECT_TRUE(records(kqvisa::Op::MoveOut16).empty());
    const auto data =
        std::ranges::find_if(text, [](const std::string& c) { return c.starts_with("trac:data 0,1,#0"); });
    ASSERT_NE(data, text.end());
    EXPECT_EQ(data->size(), std::string("trac:data 0,1,#0").size() + 2 * 1000);
    EXPECT_TRUE(std::ranges::find(text, "trac:def 0,1000") != text.end());
    EXPECT_TRUE(std::ranges::find(text, "SCAN ARB, (@1)") != text.end());
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(ArbExampleTest, StopLoopEndsTheDcLoopAndADoubleClickDoesNotStopTheNextRun) {
    const int panel = open();
    OperateEnterValue(panel, ax::kLoopCount, "100000");
    OperateEnterValue(panel, ax::kLoopPeriod, "0.001");
    QTimer::singleShot(400, [panel] {
        EXPECT_EQ(attribute(panel, ax::kStopLoop, UI_ATTR_DIMMED), 0);
        EXPECT_THAT(dimmedControls(panel, {ax::kRunCommands.begin(), ax::kRunCommands.end()}),
                    testing::SizeIs(3));
        QueueOperatorCommit(panel, ax::kStopLoop);
        QueueOperatorCommit(panel, ax::kStopLoop);
    });
    kqvisa::clearTrace();
    OperateCommit(panel, "RunDriverButton");
    const auto stopped = dacWrites();
    EXPECT_GT(stopped.size(), 0u);
    EXPECT_LT(stopped.size(), 100000u);
    EXPECT_EQ(commandsSent().back(), "ABOR");
    EXPECT_EQ(attribute(panel, ax::kStopLoop, UI_ATTR_DIMMED), 1);
    EXPECT_THAT(dimmedControls(panel, {ax::kRunCommands.begin(), ax::kRunCommands.end()}), IsEmpty());

    OperateEnterValue(panel, ax::kLoopCount, "3");
    kqvisa::clearTrace();
    OperateCommit(panel, "RunDriverButton");
    EXPECT_THAT(dacWrites(), ElementsAre(0xF000, 0x1000, 0xF000))
        << "the second click of the first stop is not taken by this run";
}

TEST_F(ArbExampleTest, ClosingThePanelEndsTheDcLoop) {
    const int panel = open();
    OperateEnterValue(panel, ax::kLoopCount, "100000");
    OperateEnterValue(panel, ax::kLoopPeriod, "0.001");
    QTimer::singleShot(400, [panel] { OperateClosePanel(panel); });
    kqvisa::clearTrace();
    OperateCommit(panel, "RunScpiButton");
    EXPECT_EQ(exampleDialogPanel(), 0);
    EXPECT_LT(dacWrites().size(), 100000u);
    EXPECT_EQ(commandsSent().back(), "ABOR");
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
}

}  // namespace
}  // namespace sfptest
