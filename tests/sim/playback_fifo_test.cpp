// FIFO playback in simulated time: the FIFO drains one word per FIFO channel at each sample clock,
// its full and empty bits follow, a clock that finds no data is an underrun, and a playing FIFO
// says when it will have room again.
#include <gtest/gtest.h>

#include <numeric>

#include "playback_test_support.h"
#include "sample_fifo.h"

namespace kqsim::testing {
namespace {

class FifoPlayback : public PlaybackTest {};

TEST_F(FifoPlayback, FedSlowerThanItsClockItUnderrunsAndHoldsTheLastSample) {
    send("SCAN FIFO,(@1);:ROSC:SOUR TIM;:TIM 0.001");
    ASSERT_EQ(feedFifo({codeOf(1.25), codeOf(2.5)}), 2u);
    ASSERT_EQ(errorsOf("INIT"), std::vector<int>{});
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), 1.25);  // the first sample goes out at once
    advance(1ms);
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), 2.5);
    EXPECT_EQ(module().fifoStatus(), kFifoEmptyBit);  // empty, but no clock has missed a sample yet

    // One word every two clocks: the clock in between finds nothing.
    ASSERT_EQ(feedFifo({codeOf(3.75)}), 1u);
    advance(1ms);
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), 3.75);
    EXPECT_EQ(module().fifoStatus(), kFifoEmptyBit);
    advance(1ms);
    EXPECT_EQ(module().fifoStatus(), kFifoEmptyBit | kFifoUnderrunBit);
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), 3.75);
    EXPECT_EQ(module().runState(), RunState::FifoRunning);

    // Playing on does not forget the underrun; ABOR does.
    ASSERT_EQ(feedFifo({codeOf(5.0)}), 1u);
    advance(1ms);
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), 5.0);
    EXPECT_EQ(module().fifoStatus(), kFifoEmptyBit | kFifoUnderrunBit);
    send("ABOR");
    EXPECT_EQ(module().fifoStatus(), kFifoEmptyBit);
}

TEST_F(FifoPlayback, FullAndEmptyBitsFollowTheFillAsTwoChannelsDrainIt) {
    send("SCAN FIFO,(@1,3)");  // internal clock, 10 us per sample
    std::vector<std::uint16_t> words(kFifoDepthWords);
    std::iota(words.begin(), words.end(), std::uint16_t{0});
    ASSERT_EQ(feedFifo(words), kFifoDepthWords);
    EXPECT_EQ(module().fifoStatus(), kFifoFullBit);
    EXPECT_EQ(feedFifo({1}), 0u);
    advance(1s);
    EXPECT_EQ(module().fifoStatus(), kFifoFullBit);  // not playing yet

    ASSERT_EQ(errorsOf("INIT"), std::vector<int>{});
    EXPECT_EQ(module().fifoStatus(), 0);  // one word per channel gone at once
    EXPECT_EQ(module().fifoFill(), kFifoDepthWords - 2);
    const auto frames = static_cast<int>(kFifoDepthWords / 2);
    advance(10us * (frames - 2));
    EXPECT_EQ(module().fifoFill(), 2u);
    EXPECT_EQ(module().fifoStatus(), 0);
    advance(10us);
    EXPECT_EQ(module().fifoStatus(), kFifoEmptyBit);
    EXPECT_EQ(module().dacCode(1), words[kFifoDepthWords - 2]);  // channels take turns, in order
    EXPECT_EQ(module().dacCode(3), words[kFifoDepthWords - 1]);
    advance(10us);
    EXPECT_EQ(module().fifoStatus(), kFifoEmptyBit | kFifoUnderrunBit);
}

TEST_F(FifoPlayback, APlayingFifoTellsWhenItHasRoomAgain) {
    send("SCAN FIFO,(@2);:ROSC:SOUR TIM;:TIM 0.001");
    ASSERT_EQ(feedFifo(std::vector<std::uint16_t>(kFifoDepthWords, codeOf(0.625))), kFifoDepthWords);
    EXPECT_EQ(module().timeUntilRoom(kFifoPort, 10), std::nullopt);  // nothing drains it yet

    send("INIT");
    EXPECT_EQ(module().timeUntilRoom(kFifoPort, 1), SimClock::duration(0));
    EXPECT_EQ(module().timeUntilRoom(kFifoPort, 10), 9ms);
    EXPECT_EQ(module().timeUntilRoom(0x26, 10), std::nullopt);  // the ARB port never refuses words
    advance(9ms);
    EXPECT_EQ(feedFifo(std::vector<std::uint16_t>(11, codeOf(0.625))), 10u);

    send("ROSC:SOUR EXT");  // an input nothing drives in a simulated chassis
    EXPECT_EQ(module().timeUntilRoom(kFifoPort, 10), std::nullopt);
}

TEST_F(FifoPlayback, ExternalClockSourcesSampleOnlyOnTriggers) {
    for (const char* source : {"EXT", "EXTC", "TTLT4"}) {
        SCOPED_TRACE(source);
        send(std::string("*RST;:SCAN FIFO,(@1);:ROSC:SOUR ") + source);
        ASSERT_EQ(feedFifo({codeOf(1.25), codeOf(2.5)}), 2u);
        send("INIT");
        advance(1s);
        EXPECT_EQ(module().fifoFill(), 2u);
        EXPECT_DOUBLE_EQ(module().outputVoltage(1), 0.0);
        send("*TRG");
        EXPECT_DOUBLE_EQ(module().outputVoltage(1), 1.25);
        EXPECT_EQ(module().fifoFill(), 1u);
        EXPECT_EQ(bus().errors(), std::vector<int>{});
    }
}

}  // namespace
}  // namespace kqsim::testing
