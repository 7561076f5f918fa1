// Register-mode DAC writes with their clamped pauses, and arming the ARB through its register.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "blocking_delay.h"
#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqtest::DriverTest;
using Lines = std::vector<std::string>;

class RegisterModeDac : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        session = open(kqtest::kKq7120Descriptor);
        kq7120::observeWaitsForTests([this](double seconds) {
            waits.push_back(seconds);
            // Where the wait falls among the bus calls.
            marks.push_back(kqvisa::trace().size());
        });
    }
    void TearDown() override {
        kq7120::observeWaitsForTests({});
        DriverTest::TearDown();
    }
    ViSession session = 0;
    std::vector<double> waits;
    std::vector<std::size_t> marks;
};

TEST_F(RegisterModeDac, WritesEachChannelThenPauses) {
    const ViInt16 channels[] = {3, 16, 1};
    const ViInt16 codes[] = {0x1234, -1, 0};
    ASSERT_EQ(kq7120_regModeDacWrt(session, 3, channels, codes, 0.25), VI_SUCCESS);
    EXPECT_EQ(busLog(), (Lines{"out16 0x28 2", "out16 0x2A 4660", "out16 0x28 15", "out16 0x2A 65535",
                               "out16 0x28 0", "out16 0x2A 0"}));
    EXPECT_EQ(waits, (std::vector<double>{0.25, 0.25, 0.25})) << "also after the last channel";
    EXPECT_EQ(marks, (std::vector<std::size_t>{2, 4, 6}));
    EXPECT_EQ(kqtest::kqModule(24).dacCode(3), 0x1234) << "written unchanged, in the module's format";
    EXPECT_EQ(kqtest::kqModule(24).dacCode(16), 0xFFFF);
}

TEST_F(RegisterModeDac, PausesAreHeldBetweenOneMillisecondAndOneSecond) {
    struct Case {
        double asked;
        double waited;
    };
    const Case cases[] = {
        {0.0, 0.001},
        {-1.0, 0.001},
        {0.0009, 0.001},
        {0.000999, 0.000999},
        {0.002, 0.002},
        {1.000001, 1.000001},
        {1.0000011, 1.0},
        {5.0, 1.0},
        {std::numeric_limits<double>::quiet_NaN(), 0.001},
        {std::numeric_limits<double>::infinity(), 1.0},
    };
    const ViInt16 channels[] = {1, 2};
    const ViInt16 codes[] = {0, 0};
    for (const auto& c : cases) {
        waits.clear();
        EXPECT_EQ(kq7120_regModeDacWrt(session, 2, channels, codes, c.asked), VI_SUCCESS);
        EXPECT_EQ(waits, (std::vector<double>{c.waited, c.waited})) << c.asked;
    }
    waits.clear();
    ASSERT_EQ(kq7120_regModeDacWrt(session, 1, channels, codes, 5.0), VI_SUCCESS);
    EXPECT_TRUE(waits.empty()) << "one channel: no pause";
}

TEST_F(RegisterModeDac, ChannelsAreCheckedBeforeAnyWrite) {
    const ViInt16 codes[] = {0, 0, 0};
    for (const ViInt16 bad : {0, 17, -1}) {
        const ViInt16 channels[] = {1, 2, bad};
        EXPECT_EQ(kq7120_regModeDacWrt(session, 3, channels, codes, 0.0), VI_ERROR_PARAMETER3) << bad;
    }
    const ViInt16 channels[] = {1, 2, 3};
    EXPECT_EQ(kq7120_regModeDacWrt(session, 3, nullptr, codes, 0.0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_regModeDacWrt(session, 3, channels, nullptr, 0.0), VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_regModeDacWrt(session, 0, nullptr, nullptr, 0.0), VI_SUCCESS);
    EXPECT_EQ(kq7120_regModeDacWrt(session, -4, nullptr, nullptr, 0.0), VI_SUCCESS);
    EXPECT_TRUE(kqvisa::trace().empty());
    EXPECT_TRUE(waits.empty());
}

TEST_F(RegisterModeDac, EveryChannelIsWrittenAndTheLastWriteDecides) {
    const ViInt16 channels[] = {1, 2};
    const ViInt16 codes[] = {1, 2};
    kqvisa::failCall(kqvisa::Op::Out16, VI_ERROR_BERR, 1);
    EXPECT_EQ(kq7120_regModeDacWrt(session, 2, channels, codes, 0.0), VI_SUCCESS);
    EXPECT_EQ(calls(kqvisa::Op::Out16).size(), 4u);
    kqvisa::clearTrace();
    kqvisa::failCall(kqvisa::Op::Out16, VI_ERROR_BERR, 4);
    EXPECT_EQ(kq7120_regModeDacWrt(session, 2, channels, codes, 0.0), VI_ERROR_BERR);
    EXPECT_EQ(kq7120_regModeDacWrt(0, 2, channels, codes, 0.0), VI_ERROR_INV_OBJECT) << "VISA's answer";
}

TEST_F(RegisterModeDac, RealPausesAreWaited) {
    kq7120::observeWaitsForTests({});
    kq7120::scaleWaitsForTests(1.0);
    const ViInt16 channels[] = {1, 2, 3};
    const ViInt16 codes[] = {0, 0, 0};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(kq7120_regModeDacWrt(session, 3, channels, codes, 0.0), VI_SUCCESS);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3));
}

TEST_F(RegisterModeDac, ArmAndTheVoltageVariant) {
    ASSERT_EQ(kq7120_regModeArmArb(session), VI_SUCCESS);
    EXPECT_EQ(busLog(), (Lines{"out16 0x2C 0"}));
    EXPECT_TRUE(kqtest::kqModule(24).arbArmed());
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_regModeArmArb(0), VI_ERROR_INV_OBJECT);
    const ViInt16 channels[] = {40};
    const ViReal64 volts[] = {99.0};
    EXPECT_EQ(kq7120_regModeDacVolts(session, 1, channels, volts, 2.0), VI_SUCCESS);
    EXPECT_EQ(kq7120_regModeDacVolts(0, -3, nullptr, nullptr, -1.0), VI_SUCCESS);
    EXPECT_TRUE(kqvisa::trace().empty());
    EXPECT_TRUE(waits.empty());
}

}  // namespace
