// Channel outputs over simulated time: scanning channels step on timer ticks (ON stops at the
// limit, LOOP starts over), register-mode DAC writes take effect at once, and every channel's recent
// output samples read back through the module and through the exported C function.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "kqsim/mainframe.h"
#include "kqsim/output_monitor.h"
#include "playback_test_support.h"

namespace kqsim::testing {
namespace {

class OutputPlayback : public PlaybackTest {};

struct TimerScanCase {
    const char* mode;
    std::vector<double> expected;  // at the start and after each 1 ms tick
};

TEST_F(OutputPlayback, ScansStepOnTimerTicksAndStopOrWrapAtTheLimit) {
    const TimerScanCase cases[] = {
        {"ON", {0.0, 1.25, 2.5, 3.75, 3.75, 3.75}},
        {"LOOP", {0.0, 1.25, 2.5, 3.75, 1.25, 2.5}},
    };
    for (const TimerScanCase& scan : cases) {
        SCOPED_TRACE(scan.mode);
        send("*RST;:SCAN:TABL 2,1.25,2.5,3.75,5;:SCAN:LIM 2, 3;:TIM 0.001");
        send(std::string("SCAN ") + scan.mode + ", (@2);:TRIG:SOUR TIM");
        ASSERT_EQ(bus().errors(), std::vector<int>{});
        EXPECT_EQ(outputOverTime(2, 6, 1ms), scan.expected);
        EXPECT_DOUBLE_EQ(module().outputVoltage(1), 0.0);  // DC channels are left alone
    }
    // A long run keeps its place: 3e6 + 5 more ticks from entry 2.
    advance(3000005ms);
    EXPECT_EQ(module().scanPosition(2), 1);
    EXPECT_EQ(module().recentOutput(2).size(), kOutputHistoryLength);
}

TEST_F(OutputPlayback, RegisterModeDacWriteChangesTheOutputAtOnce) {
    advance(3ms);
    const SimClock::time_point writtenAt = SimClock::now();
    module().writeRegister(0x28, 4);             // channel 5
    module().writeRegister(0x2A, codeOf(-7.5));  // unsigned format after *RST
    EXPECT_DOUBLE_EQ(module().outputVoltage(5), -7.5);
    EXPECT_EQ(module().recentOutput(5, 1), (std::vector<OutputSample>{{writtenAt, -7.5}}));
}

TEST_F(OutputPlayback, RecentSamplesKeepTheLatestInOrder) {
    const SimClock::time_point start = SimClock::now();
    for (int i = 1; i <= static_cast<int>(kOutputHistoryLength) + 10; ++i) {
        advance(1ms);
        send("VOLT " + std::to_string(i % 2 == 0 ? 2.5 : -2.5) + ",(@4)");
    }
    const std::vector<OutputSample> samples = module().recentOutput(4);
    ASSERT_EQ(samples.size(), kOutputHistoryLength);
    EXPECT_EQ(samples.back(), (OutputSample{SimClock::now(), 2.5}));
    EXPECT_EQ(samples.front().time - start, 11ms);
    EXPECT_EQ(module().recentOutput(4, 2),
              (std::vector<OutputSample>{{SimClock::now() - 1ms, -2.5}, {SimClock::now(), 2.5}}));
}

class ExportedOutputMonitor : public ::testing::Test {
protected:
    void SetUp() override {
        installChassis(defaultChassis());
        read_ = reinterpret_cast<KqsimReadChannelOutputFunction>(
            dlsym(RTLD_DEFAULT, KQSIM_READ_CHANNEL_OUTPUT_SYMBOL));
        ASSERT_NE(read_, nullptr);
    }
    void TearDown() override { installMainframe(nullptr); }

    static Instrument& moduleAt(std::uint16_t logicalAddress) {
        return *currentMainframe()->find(0, logicalAddress)->instrument;
    }

    ManualClockScope clock_;
    KqsimReadChannelOutputFunction read_ = nullptr;
};

TEST_F(ExportedOutputMonitor, ReadsAChannelsRecentSamplesFoundByName) {
    Controller bus(moduleAt(24));
    const SimClock::time_point start = SimClock::now();
    bus.send("VOLT 2.5,(@3)");
    SimClock::advance(1500us);
    bus.send("VOLT -5,(@3)");

    double times[8] = {};
    double volts[8] = {};
    ASSERT_EQ(read_(0, 24, 3, times, volts, 8), 3);  // power-on level, then the two settings
    EXPECT_DOUBLE_EQ(volts[0], 0.0);
    EXPECT_DOUBLE_EQ(volts[1], 2.5);
    EXPECT_DOUBLE_EQ(volts[2], -5.0);
    EXPECT_DOUBLE_EQ(times[1], secondsOf(start));
    EXPECT_NEAR(times[2] - times[1], 0.0015, 1e-9);

    ASSERT_EQ(read_(0, 24, 3, times, volts, 1), 1);  // bounded by the caller's room: the latest
    EXPECT_DOUBLE_EQ(volts[0], -5.0);
    EXPECT_EQ(read_(0, 24, 3, times, volts, 0), 0);
}

TEST_F(ExportedOutputMonitor, RefusesWhatIsNoKqChannel) {
    double times[4];
    double volts[4];
    struct Refused {
        unsigned interfaceNumber;
        unsigned logicalAddress;
        int channel;
    };
    for (const Refused& refused :
         {Refused{0, 32, 1}, Refused{0, 25, 1}, Refused{1, 24, 1}, Refused{0, 24, 17}, Refused{0, 40, 9},
          Refused{0, 24, 0}, Refused{70000, 24, 1}}) {
        EXPECT_EQ(read_(refused.interfaceNumber, refused.logicalAddress, refused.channel, times, volts, 4),
                  -1)
            << refused.interfaceNumber << "::" << refused.logicalAddress << " channel " << refused.channel;
    }
    EXPECT_EQ(read_(0, 24, 1, nullptr, volts, 4), -1);
    EXPECT_EQ(read_(0, 40, 8, times, volts, 4), 1);  // a KQ7110 has channels 1-8
}

}  // namespace
}  // namespace kqsim::testing
