// VISA is found at run time. Without it every operation reports VI_ERROR_LIBRARY_NFOUND; once it is
// there the driver opens its one resource manager on the first kq7120_init and keeps it.
// This is the only test of its program, so the driver's process-wide state starts fresh.
#include "visa_binding.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqtest::DriverTest;

class VisaBinding : public DriverTest {
protected:
    void TearDown() override {
        kq7120::visa::useLibrary("libvisa.so");
        DriverTest::TearDown();
    }
};

TEST_F(VisaBinding, MissingLibraryThenResourceManagerOpenedOnce) {
    kq7120::visa::useLibrary("libkq7120-no-such-visa.so");
    ViSession session = 5;
    testing::internal::CaptureStderr();
    EXPECT_EQ(kq7120_init(kqtest::kKq7120Descriptor, 1, 1, &session), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(session, 0u);
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> list{};
    ViInt16 found = 0;
    ViInt16 connection = 0;
    EXPECT_EQ(kq7120_scanChassis(list.data(), list.data(), list.data(), list.data(), &found, &connection),
              VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(kq7120_autoConnectToFirst(&session), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(kq7120_reset(1), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(kq7120_close(1), VI_ERROR_LIBRARY_NFOUND);
    ViReal32 volts = 0.0f;
    EXPECT_EQ(kq7120_queryVoltage(1, 1, &volts), VI_ERROR_LIBRARY_NFOUND);
    // Register access and formatted I/O are bound the same way.
    const ViUInt16 words[] = {1, 2};
    EXPECT_EQ(kq7120_loadFIFO_Data(1, words, 2), VI_ERROR_LIBRARY_NFOUND);
    ViUInt16 fifoStatus = 0;
    EXPECT_EQ(kq7120_GetFifoStatus(1, &fifoStatus), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(kq7120_regModeArmArb(1), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(kq7120_setupOutput(1, kq7120_OUT_TRIG_NONE, 0, kq7120_POSITIVE), VI_ERROR_LIBRARY_NFOUND);
    ViReal64 period = 0.0;
    EXPECT_EQ(kq7120_queryTimer(1, &period), VI_ERROR_LIBRARY_NFOUND);
    ViChar text[256] = {};
    EXPECT_EQ(kq7120_error_message(1, VI_ERROR_TMO, text), VI_SUCCESS);
    EXPECT_STREQ(text, "Unknown Error");
    EXPECT_EQ(kq7120_error_message(1, kq7120_INSTRUMENT_ERROR, text), VI_SUCCESS);
    EXPECT_STREQ(text, "Instrument Error. Use Error Query Panel") << "the driver's own texts need no VISA";
    EXPECT_EQ(kq7120_error_message(1, VI_ERROR_LIBRARY_NFOUND, text), VI_SUCCESS);
    EXPECT_STREQ(text,
                 "VI_ERROR_LIBRARY_NFOUND: the VISA library could not be loaded. Set KQ7120_VISA_LIBRARY to "
                 "the path of a VISA library, or put the simulator's PREFIX/lib/kq7120-sim on "
                 "LD_LIBRARY_PATH.");
    const std::string reason = testing::internal::GetCapturedStderr();
    EXPECT_NE(reason.find("cannot use the VISA library libkq7120-no-such-visa.so: "), std::string::npos)
        << reason;
    EXPECT_NE(reason.find("KQ7120_VISA_LIBRARY"), std::string::npos) << reason;
    EXPECT_EQ(reason.find("cannot use", reason.find("cannot use") + 1), std::string::npos)
        << "said once, not on every call: " << reason;
    EXPECT_TRUE(kqvisa::trace().empty()) << "nothing reached the VISA library";

    // A library that loads but is no VISA (the simulator itself) is refused as a whole.
    kq7120::visa::useLibrary("libkq7120sim.so");
    testing::internal::CaptureStderr();
    EXPECT_EQ(kq7120_init(kqtest::kKq7120Descriptor, 1, 1, &session), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(kq7120_regModeArmArb(1), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("libkq7120sim.so: it has no viOpenDefaultRM"),
              std::string::npos);
    EXPECT_TRUE(kqvisa::trace().empty());

    // VISA present, but its resource manager cannot be opened: the next kq7120_init tries again.
    kq7120::visa::useLibrary("libvisa.so");
    kqvisa::failCall(kqvisa::Op::OpenDefaultRM, VI_ERROR_SYSTEM_ERROR);
    EXPECT_EQ(kq7120_init(kqtest::kKq7120Descriptor, 1, 1, &session), VI_ERROR_SYSTEM_ERROR);
    kqvisa::clearTrace();
    ASSERT_EQ(kq7120_init(kqtest::kKq7120Descriptor, 1, 1, &session), VI_SUCCESS);
    EXPECT_EQ(calls(kqvisa::Op::OpenDefaultRM).size(), 1u);
    kqvisa::clearTrace();
    ViSession second = 0;
    ASSERT_EQ(kq7120_init(kqtest::kKq7110Descriptor, 1, 1, &second), VI_SUCCESS);
    EXPECT_TRUE(calls(kqvisa::Op::OpenDefaultRM).empty()) << "one resource manager for every handle";
    const auto opens = calls(kqvisa::Op::Open);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(kq7120_close(session), VI_SUCCESS);
    EXPECT_EQ(kq7120_close(second), VI_SUCCESS);
    bool resourceManagerClosed = false;
    for (const auto& record : calls(kqvisa::Op::Close)) {
        resourceManagerClosed = resourceManagerClosed || record.resource.empty();
    }
    EXPECT_FALSE(resourceManagerClosed) << "closing a handle leaves the resource manager open";
}

}  // namespace
