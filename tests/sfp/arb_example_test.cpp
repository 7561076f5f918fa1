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

namespace ax = arb_example;

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
    // DAC channel writes of the DC loop (register writes of the DAC data registers).
    static std::vector<kqvisa::TraceRecord> records(kqvisa::Op op) {
        std::vector<kqvisa::TraceRecord> found;
        for (const kqvisa::TraceRecord& record : kqvisa::trace())
            if (record.op == op) found.push_back(record);
        return found;
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
    const auto commands = commandsSent();
    for (const std::string& c : commands) std::printf("[%s]\n", c.c_str());
    const auto moves = records(kqvisa::Op::MoveOut16);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_THAT(moves[0].words, ElementsAre(0xE000, 0x2000, 0xF000, 0x0000));
    EXPECT_EQ(attribute(panel, ax::kStopLoop, UI_ATTR_DIMMED), 1);
    EXPECT_THAT(popups(), IsEmpty());
}

}  // namespace
}  // namespace sfptest
