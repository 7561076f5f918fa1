// Shared set-up of the driver tests: a simulated chassis built per test (with its own folder for
// the modules' non-volatile memory), the bus trace cleared, faults disarmed, the SCPI log off and
// the driver's fixed waits shortened.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kq7120.h"
#include "kqsim/chassis_config.h"
#include "kqsim/kq_module.h"
#include "kqvisa/bus_trace.h"

namespace kqtest {

inline constexpr const char* kKq7120Descriptor = "VXI0::24::INSTR";  // LA 24, slot 2
inline constexpr const char* kKq7110Descriptor = "VXI0::40::INSTR";  // LA 40, slot 4

kqsim::ModuleConfig module(kqsim::ModuleKind kind, std::uint16_t logicalAddress, std::uint16_t slot);

// A KQ7120 at LA 24 and a KQ7110 at LA 40 on VXI0.
kqsim::ChassisConfig twoModuleChassis();

// The simulated KQ module at `logicalAddress` on VXI0 of the chassis in use; fails the test when there
// is none.
kqsim::KqModule& kqModule(std::uint16_t logicalAddress);

// A fresh, empty folder under the test's state folder; the caller removes it.
std::string freshDirectory();

// The bytes of a file ("" when it cannot be read).
std::string fileContents(const std::string& path);

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh, empty folder, removed with everything in it when the test ends.
    std::string newFolder();

    // Installs `chassis` (with a fresh state folder) in place of the current one.
    void install(kqsim::ChassisConfig chassis);

    // kq7120_init without identity check or reset; fails the test when it does not succeed. The trace
    // is cleared afterwards, so a test sees only its own traffic.
    ViSession open(const char* descriptor);

    // Every message written since the last clear, in order.
    static std::vector<std::string> sent() { return kqvisa::writtenMessages(); }
    static std::vector<kqvisa::TraceRecord> calls(kqvisa::Op op);
    // Every VISA call since the last clear, one short line each: "write *ESR?", "read",
    // "out16 0x20 3", "dest increment 0", "move 0x26 3 words", "map 0x20 0x20", "peek 0x20", "unmap".
    static std::vector<std::string> busLog();

private:
    std::vector<ViSession> opened_;
    std::vector<std::string> folders_;
};

}  // namespace kqtest
