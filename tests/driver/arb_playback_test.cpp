// Two segments loaded through the driver's register path play in the order of the sequence, on the
// simulated chassis's manual clock.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqsim/sim_clock.h"

namespace {

using kqtest::DriverTest;

TEST_F(DriverTest, SequenceOfTwoSegmentsPlaysInOrder) {
    const kqsim::ManualClockScope manualClock;
    const ViSession session = open(kqtest::kKq7120Descriptor);
    ASSERT_EQ(kq7120_reset(session), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupClock(session, kq7120_ROSC_TIMER, kq7120_POSITIVE), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupTimer(session, 0.001), VI_SUCCESS);
    const ViInt16 channel[] = {1};
    ASSERT_EQ(kq7120_setupScanMode(session, kq7120_SCAN_MODE_ARB, channel, 1), VI_SUCCESS);
    const std::vector<ViReal64> first = {1.0, 2.0};
    const std::vector<ViReal64> second = {-1.0, -2.0, -3.0};
    ASSERT_EQ(kq7120_arbLoadVoltage(session, 1, 1, kq7120_20VOLT_RANGE, second.data(), 3), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbLoadVoltage(session, 0, 1, kq7120_20VOLT_RANGE, first.data(), 2), VI_SUCCESS);
    const ViInt16 sequence[] = {0, 1};
    ASSERT_EQ(kq7120_arbDefineSequence(session, sequence, 2), VI_SUCCESS);
    for (const ViInt16 step : {0, 1}) {
        ASSERT_EQ(kq7120_arbSetSeqParmsEx(session, step, kq7120_SEQ_AUTO_START, kq7120_SEQ_ASYNC_ADVANCE, 1,
                                          kq7120_SEQ_MARKER_OFF),
                  VI_SUCCESS);
    }

    // The set-up's own output changes happened while the clock stood still; playing starts later.
    kqsim::SimClock::advance(std::chrono::milliseconds(1));
    const auto started = kqsim::SimClock::now();
    ASSERT_EQ(kq7120_commandArb(session, kq7120_INITIATE), VI_SUCCESS);
    kqsim::SimClock::advance(std::chrono::milliseconds(10));

    std::vector<double> played;
    for (const auto& sample : kqtest::kqModule(24).recentOutput(1)) {
        if (sample.time >= started) played.push_back(sample.volts);
    }
    const std::vector<double> expected = {1.0, 2.0, -1.0, -2.0, -3.0};
    ASSERT_GE(played.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(played[i], expected[i], 0.001) << "sample " << i;
    }
    EXPECT_NEAR(kqtest::kqModule(24).outputVoltage(1), -3.0, 0.001) << "the last point holds";
}

}  // namespace
