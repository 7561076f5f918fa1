// A program that has loaded only libvisa.so finds the simulator's output monitor through that
// library's handle, and reads a module's channel output with it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string_view>

#include "kqsim/output_monitor.h"
#include "visa_test_support.h"

namespace kqvisatest {
namespace {

class SimulatorExports : public VisaTest {};

TEST_F(SimulatorExports, OutputMonitorIsFoundThroughTheVisaLibrary) {
    Dl_info visaLibrary{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&viOpenDefaultRM), &visaLibrary), 0);
    ASSERT_NE(std::string_view(visaLibrary.dli_fname).find("libvisa.so"), std::string_view::npos);
    void* handle = dlopen(visaLibrary.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr) << visaLibrary.dli_fname;
    const auto read =
        reinterpret_cast<KqsimReadChannelOutputFunction>(dlsym(handle, KQSIM_READ_CHANNEL_OUTPUT_SYMBOL));
    ASSERT_NE(read, nullptr);

    kqsim::installChassis(kqsim::defaultChassis());
    const ViSession session = open("VXI0::24::INSTR");
    const char command[] = "VOLT 1.25,(@2)";
    ViUInt32 count = 0;
    ASSERT_EQ(viWrite(session, reinterpret_cast<ViConstBuf>(command), sizeof command - 1, &count),
              VI_SUCCESS);
    double time = 0.0;
    double volts = 0.0;
    EXPECT_EQ(read(0, 24, 2, &time, &volts, 1), 1);
    EXPECT_DOUBLE_EQ(volts, 1.25);

    kqsim::installMainframe(nullptr);
    dlclose(handle);
}

}  // namespace
}  // namespace kqvisatest
