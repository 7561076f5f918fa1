// Shared by the playback tests: a KQ module on the manual clock, so simulated time moves only when
// the test advances it, and helpers that load segments and feed the FIFO.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "kq_module_test_support.h"
#include "kqsim/sim_clock.h"

namespace kqsim::testing {

using namespace std::chrono_literals;

inline constexpr std::uint16_t kFifoPort = 0x20;

// Offset-binary code of a voltage on the 20 V range; multiples of 0.625 V are exact.
inline std::uint16_t codeOf(double volts) {
    return static_cast<std::uint16_t>(std::lround(volts * 1638.4) + 32768);
}

class PlaybackTest : public ModuleTest {
protected:
    void advance(SimClock::duration step) { SimClock::advance(step); }

    // Defines `segment` with one point per value on `channel` (unsigned data format).
    void loadSegment(int segment, int channel, const std::vector<double>& volts) {
        const std::string number = std::to_string(segment);
        send("VOLT:FORM 1;:TRAC:DEF " + number + "," + std::to_string(volts.size()));
        for (std::size_t point = 0; point < volts.size(); ++point) {
            send("TRAC:DATA:POIN " + number + "," + std::to_string(channel) + "," + std::to_string(point) +
                 "," + std::to_string(codeOf(volts[point])));
        }
        ASSERT_EQ(bus().errors(), std::vector<int>{});
    }

    std::size_t feedFifo(const std::vector<std::uint16_t>& words) {
        return module().writeRegisterBlock(kFifoPort, words.data(), words.size(), false);
    }

    // The channel's output at each of `count` moments `step` apart, the first one now.
    std::vector<double> outputOverTime(int channel, int count, SimClock::duration step) {
        std::vector<double> volts;
        for (int i = 0; i < count; ++i) {
            if (i > 0) advance(step);
            volts.push_back(module().outputVoltage(channel));
        }
        return volts;
    }

private:
    ManualClockScope clock_;  // before the module exists
};

}  // namespace kqsim::testing
