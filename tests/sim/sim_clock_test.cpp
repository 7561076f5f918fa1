// The simulated chassis clock: manual mode stands still until advanced, waits in manual mode cost
// no wall time, and the reading never goes back when the mode changes.
#include "kqsim/sim_clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kqsim {
namespace {

using namespace std::chrono_literals;

TEST(SimClock, ManualModeMovesOnlyWhenAdvanced) {
    const ManualClockScope manual;
    const SimClock::time_point start = SimClock::now();
    EXPECT_EQ(SimClock::now(), start);
    SimClock::advance(1500us);
    EXPECT_EQ(SimClock::now() - start, 1500us);
    SimClock::advance(-1s);
    EXPECT_EQ(SimClock::now() - start, 1500us);
}

TEST(SimClock, SleepInManualModeAdvancesWithoutWaiting) {
    const ManualClockScope manual;
    const auto wallStart = std::chrono::steady_clock::now();
    const SimClock::time_point start = SimClock::now();
    SimClock::sleepFor(1h);
    EXPECT_EQ(SimClock::now() - start, 1h);
    EXPECT_LT(std::chrono::steady_clock::now() - wallStart, 10s);
}

TEST(SimClock, ReadingNeverGoesBackAcrossModeChanges) {
    ASSERT_EQ(SimClock::mode(), ClockMode::Wall);
    const SimClock::time_point wallReading = SimClock::now();
    SimClock::time_point frozen;
    {
        const ManualClockScope manual;
        EXPECT_EQ(SimClock::mode(), ClockMode::Manual);
        frozen = SimClock::now();
        EXPECT_GE(frozen, wallReading);
        SimClock::advance(1h);
        frozen = SimClock::now();
    }
    EXPECT_EQ(SimClock::mode(), ClockMode::Wall);
    EXPECT_GE(SimClock::now(), frozen);
    SimClock::sleepFor(2ms);
    EXPECT_GE(SimClock::now() - frozen, 2ms);
}

}  // namespace
}  // namespace kqsim
