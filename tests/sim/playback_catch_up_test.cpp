// A module that is left alone for a while plays exactly what one watched all along plays: catching
// up over a long gap (where most samples are passed over) gives the same outputs, recent samples,
// marker and FIFO status as catching up every millisecond.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "playback_test_support.h"

namespace kqsim::testing {
namespace {

struct CatchUpCase {
    const char* name;
    std::vector<std::string> messages;
    std::vector<std::uint16_t> fifoWords;
    SimClock::duration duration;
};

std::vector<std::uint16_t> ramp(std::size_t count) {
    std::vector<std::uint16_t> words(count);
    for (std::size_t i = 0; i < count; ++i) words[i] = static_cast<std::uint16_t>(i * 7919);
    return words;
}

TEST(PlaybackCatchUp, ALongGapPlaysAsIfTheModuleWereWatchedThroughout) {
    const CatchUpCase cases[] = {
        {"ARB steps with counts and SYNC advance, scans on timer ticks",
         {"TRAC:DEF 1,7", "TRAC:DATA:POIN 1,1,0,1000", "TRAC:DATA:POIN 1,1,3,60000",
          "TRAC:DATA:POIN 1,2,6,123", "TRAC:DEF 2,5", "TRAC:DATA:POIN 2,1,1,40000",
          "TRAC:DATA:POIN 2,2,4,20000", "SEQ:LIST (@1,2,1)",
          "SEQ:DWEL 1000,(@0);:SEQ:DWEL 500,(@1);:SEQ:DWEL 0,(@2)",
          "SEQ:ADV SYNC,(@1);:MARK:TRIG ON,(@1);:MARK:SYNC:STAT ON",
          "SCAN:TABL 3,1,2,3,4,5,6,7,8;:SCAN:LIM 3, 7;:SCAN:TABL 4,-1,-2,-3,-4,-5,-6;:SCAN:LIM 4, 5",
          "SCAN ARB,(@1,2);:SCAN LOOP,(@3);:SCAN ON,(@4);:TIM 0.0123;:TRIG:SOUR TIM", "INIT"},
         {},
         500ms},
        {"FIFO of two channels running dry", {"SCAN FIFO,(@2,5)", "INIT"}, ramp(100000), 700ms},
    };
    const ManualClockScope clock;
    for (const CatchUpCase& test : cases) {
        SCOPED_TRACE(test.name);
        KqModule watched({});
        KqModule leftAlone({});
        for (KqModule* module : {&watched, &leftAlone}) {
            Controller bus(*module);
            if (!test.fifoWords.empty()) {
                module->writeRegisterBlock(kFifoPort, test.fifoWords.data(), test.fifoWords.size(), false);
            }
            for (const std::string& message : test.messages) bus.send(message);
            EXPECT_EQ(bus.errors(), std::vector<int>{});
        }
        for (SimClock::duration passed{0}; passed < test.duration; passed += 1ms) {
            SimClock::advance(1ms);
            watched.fifoStatus();
        }
        for (int channel = 1; channel <= 16; ++channel) {
            SCOPED_TRACE(channel);
            EXPECT_EQ(leftAlone.recentOutput(channel), watched.recentOutput(channel));
        }
        EXPECT_EQ(leftAlone.fifoStatus(), watched.fifoStatus());
        EXPECT_EQ(leftAlone.markerActive(), watched.markerActive());
        EXPECT_EQ(leftAlone.scanPosition(3), watched.scanPosition(3));
    }
}

}  // namespace
}  // namespace kqsim::testing
