// Two threads that each make their first kq7120_init at the same moment, on a module of their own,
// and then use their sessions side by side. This is the only test of its program, so the first
// round is the process's first use of VISA and of the shared resource manager; later rounds drop
// the VISA binding first, so both threads race to load it again. The README's test command also
// runs it built with ThreadSanitizer.
#include <gtest/gtest.h>

#include <array>
#include <barrier>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "visa_binding.h"

namespace {

using kqtest::DriverTest;

// What one thread saw: every status that was not VI_SUCCESS, and the values it read back wrong.
struct Outcome {
    std::vector<std::string> faults;
};

void openAndUse(const char* descriptor, ViInt16 channels, std::barrier<>& start, Outcome& outcome) {
    const auto fault = [&outcome](const std::string& what, ViStatus status) {
        if (status != VI_SUCCESS) outcome.faults.push_back(what + " returned " + std::to_string(status));
    };
    start.arrive_and_wait();
    ViSession session = 0;
    fault("kq7120_init", kq7120_init(descriptor, kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, &session));
    if (!session) return;
    std::array<ViReal32, kq7120_CHANNEL_LIST_KQ7120_MAX> stored{};
    for (int step = 1; step <= 10; ++step) {
        const ViInt16 channel = static_cast<ViInt16>(step % channels + 1);
        const ViReal32 volts = 0.5f * static_cast<ViReal32>(step) - static_cast<ViReal32>(channels) / 4.0f;
        fault("kq7120_setupVoltage", kq7120_setupVoltage(session, volts, &channel, 1));
        ViReal32 readBack = 0.0f;
        fault("kq7120_queryVoltage", kq7120_queryVoltage(session, channel, &readBack));
        if (std::abs(readBack - volts) > 0.001f) {
            outcome.faults.push_back("channel " + std::to_string(channel) + " reads " +
                                     std::to_string(readBack));
        }
        stored.fill(volts);
        fault("kq7120_memorySetup", kq7120_memorySetup(session, static_cast<ViInt16>(step), stored.data()));
        std::array<ViReal32, kq7120_CHANNEL_LIST_KQ7120_MAX> array{};
        fault("kq7120_queryDACMemoryArray",
              kq7120_queryDACMemoryArray(session, static_cast<ViInt16>(step), array.data()));
        if (std::abs(array[static_cast<std::size_t>(channels - 1)] - volts) > 0.001f) {
            outcome.faults.push_back("memory array " + std::to_string(step) + " reads back wrong");
        }
    }
    ViInt32 error = -1;
    ViChar text[256] = {};
    fault("kq7120_error_query", kq7120_error_query(session, &error, text));
    if (error != 0) outcome.faults.push_back(std::string("error queue holds ") + text);
    fault("kq7120_close", kq7120_close(session));
}

class FirstUse : public DriverTest {
protected:
    void TearDown() override {
        kq7120::visa::useLibrary("libvisa.so");
        DriverTest::TearDown();
    }
};

TEST_F(FirstUse, TwoThreadsOpenAndUseTwoModulesAtOnce) {
    constexpr int kRounds = 8;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        if (round > 0) kq7120::visa::useLibrary("libvisa.so");
        kqvisa::clearTrace();
        std::barrier start(2);
        Outcome kq7120Outcome;
        Outcome kq7110Outcome;
        std::thread first(openAndUse, kqtest::kKq7120Descriptor, kq7120_CHANNEL_LIST_KQ7120_MAX,
                          std::ref(start), std::ref(kq7120Outcome));
        std::thread second(openAndUse, kqtest::kKq7110Descriptor, kq7120_CHANNEL_LIST_KQ7110_MAX,
                           std::ref(start), std::ref(kq7110Outcome));
        first.join();
        second.join();
        EXPECT_EQ(kq7120Outcome.faults, std::vector<std::string>{});
        EXPECT_EQ(kq7110Outcome.faults, std::vector<std::string>{});
        std::size_t resourceManagers = 0;
        for (const auto& record : calls(kqvisa::Op::OpenDefaultRM))
            resourceManagers += record.status == VI_SUCCESS;
        EXPECT_EQ(resourceManagers, round == 0 ? 1u : 0u) << "one resource manager for the process";
    }
}

}  // namespace
