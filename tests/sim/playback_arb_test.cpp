// ARB playback in simulated time: a sequence plays its steps in order, each segment as often as its
// repeat count says (0: for ever), steps start on a trigger or by themselves, trigger (SYNC)
// advance ends a step at the end of its pass, the marker follows the step playing, and the arm
// register starts the sequence over.
#include <gtest/gtest.h>

#include "playback_test_support.h"

namespace kqsim::testing {
namespace {

constexpr std::uint16_t kArmRegister = 0x2C;

class ArbPlayback : public PlaybackTest {
protected:
    // Segment 1 = 1.25, 2.5 and segment 2 = -1.25, -2.5, -3.75 on channel 1, sampled every 1 ms.
    void SetUp() override {
        PlaybackTest::SetUp();
        send("SCAN ARB,(@1);:ROSC:SOUR TIM;:TIM 0.001;:TRIG:SOUR NONE");
        loadSegment(1, 1, {1.25, 2.5});
        loadSegment(2, 1, {-1.25, -2.5, -3.75});
    }
};

TEST_F(ArbPlayback, StepsPlayInOrderWithTheirRepeatCountsAndALastContinuousStep) {
    ASSERT_EQ(errorsOf("SEQ:LIST (@1,2);:SEQ:DWEL 2,(@0);:SEQ:DWEL 0,(@1);:INIT"), std::vector<int>{});
    EXPECT_EQ(outputOverTime(1, 12, 1ms), (std::vector<double>{1.25, 2.5, 1.25, 2.5, -1.25, -2.5, -3.75,
                                                               -1.25, -2.5, -3.75, -1.25, -2.5}));
    advance(1h);  // continuous: 3.6e6 samples later, a whole number of passes, the same point
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), -2.5);
    EXPECT_EQ(module().runState(), RunState::ArbRunning);
}

TEST_F(ArbPlayback, AFiniteSequenceEndsOnItsLastPointAndTheArmStartsItOver) {
    ASSERT_EQ(errorsOf("SEQ:LIST (@2,1);:SEQ:DWEL 1,(@0,1);:INIT"), std::vector<int>{});
    EXPECT_EQ(outputOverTime(1, 7, 1ms), (std::vector<double>{-1.25, -2.5, -3.75, 1.25, 2.5, 2.5, 2.5}));
    EXPECT_EQ(module().runState(), RunState::ArbRunning);  // until ABOR

    module().writeRegister(kArmRegister, 0);
    EXPECT_TRUE(module().arbArmed());
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), 2.5);  // step 0 again from the next sample clock
    EXPECT_EQ(outputOverTime(1, 3, 1ms), (std::vector<double>{2.5, -1.25, -2.5}));
}

TEST_F(ArbPlayback, TriggerStartedStepWaitsUntilATriggerOrAnArm) {
    send("SEQ:LIST (@1);:SEQ:STAR TRIG,(@0);:SEQ:DWEL 0,(@0)");
    ASSERT_EQ(errorsOf("INIT"), std::vector<int>{});
    advance(5ms);
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), 0.0);  // no trigger source: it waits
    send("*TRG");
    EXPECT_EQ(outputOverTime(1, 4, 1ms), (std::vector<double>{0.0, 1.25, 2.5, 1.25}));

    // An arm before INIT lets the step start without a trigger.
    send("ABOR");
    module().writeRegister(kArmRegister, 0);
    ASSERT_EQ(errorsOf("INIT"), std::vector<int>{});
    EXPECT_EQ(outputOverTime(1, 2, 1ms), (std::vector<double>{1.25, 2.5}));
}

TEST_F(ArbPlayback, TriggerAdvanceEndsTheStepAtTheEndOfThePassInProgress) {
    send("SEQ:LIST (@2,1);:SEQ:ADV SYNC,(@0);:SEQ:DWEL 0,(@0);:SEQ:DWEL 1,(@1)");
    ASSERT_EQ(errorsOf("INIT"), std::vector<int>{});
    advance(4ms);  // second pass, its second point
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), -2.5);
    send("*TRG");
    advance(1ms);
    EXPECT_EQ(outputOverTime(1, 4, 1ms), (std::vector<double>{-3.75, 1.25, 2.5, 2.5}));
}

TEST_F(ArbPlayback, TimerTriggersStartAWaitingStep) {
    send("SEQ:LIST (@1);:SEQ:STAR TRIG,(@0);:SEQ:DWEL 0,(@0);:TRIG:SOUR TIM");
    ASSERT_EQ(errorsOf("INIT"), std::vector<int>{});
    // The timer also clocks the samples: its first tick starts the step, whose first point goes out
    // on the same tick.
    EXPECT_EQ(outputOverTime(1, 4, 1ms), (std::vector<double>{0.0, 1.25, 2.5, 1.25}));
}

TEST_F(ArbPlayback, MarkerFollowsTheMarkerOfTheStepPlaying) {
    send("SEQ:LIST (@1,2,1);:SEQ:DWEL 1,(@0:2);:MARK:TRIG ON,(@0,2);:MARK:TRIG OFF,(@1)");
    send("MARK:SYNC:STAT ON");
    ASSERT_EQ(errorsOf("INIT"), std::vector<int>{});
    std::vector<bool> marker;
    for (int i = 0; i < 8; ++i) {
        if (i > 0) advance(1ms);
        marker.push_back(module().markerActive());
    }
    EXPECT_EQ(marker, (std::vector<bool>{true, true, false, false, false, true, true, false}));

    send("ABOR;:MARK:SYNC:STAT OFF;:INIT");
    EXPECT_FALSE(module().markerActive());  // marker output disabled
}

}  // namespace
}  // namespace kqsim::testing
