#include "driver_test_support.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "blocking_delay.h"
#include "kqsim/mainframe.h"
#include "kqvisa/fault_injection.h"

namespace kqtest {

kqsim::ModuleConfig module(kqsim::ModuleKind kind, std::uint16_t logicalAddress, std::uint16_t slot) {
    return {.kind = kind, .logicalAddress = logicalAddress, .slot = slot};
}

kqsim::ChassisConfig twoModuleChassis() {
    return {.modules = {module(kqsim::ModuleKind::KQ7120, 24, 2), module(kqsim::ModuleKind::KQ7110, 40, 4)}};
}

kqsim::KqModule& kqModule(std::uint16_t logicalAddress) {
    const kqsim::MountedModule* mounted = kqsim::currentMainframe()->find(0, logicalAddress);
    auto* module = mounted ? dynamic_cast<kqsim::KqModule*>(mounted->instrument.get()) : nullptr;
    if (!module)
        throw std::runtime_error("no KQ module at logical address " + std::to_string(logicalAddress));
    return *module;
}

std::string freshDirectory() {
    const char* base = getenv("KQ7120_SIM_STATE_DIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/driver-XXXXXX";
    std::filesystem::create_directories(std::filesystem::path(pattern).parent_path());
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot create a folder from " << pattern;
    return pattern;
}

std::string fileContents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

namespace {

// Whether the module's error queue holds -420: a read it had nothing to answer, which on a real
// module fails the next error check. The queue is emptied.
bool loggedQueryUnterminated(kqsim::Instrument& module) {
    bool found = false;
    for (int guard = 0; guard < 32; ++guard) {
        module.writeMessage("SYST:ERR?", true);
        std::string reply;
        char buffer[256];
        while (module.replyPending()) reply.append(buffer, module.readReply(buffer, sizeof buffer).count);
        const int number = std::atoi(reply.c_str());
        if (number == 0) break;
        found = found || number == -420;
    }
    return found;
}

}  // namespace

void DriverTest::SetUp() {
    kqvisa::resetFaults();
    kq7120_enableDisableSCPILog(kq7120_NO_SCPI_LOG, nullptr);
    kq7120::scaleWaitsForTests(0.0);
    install(twoModuleChassis());
}

void DriverTest::TearDown() {
    kqvisa::resetFaults();
    kq7120_enableDisableSCPILog(kq7120_NO_SCPI_LOG, nullptr);
    for (const ViSession session : opened_) kq7120_close(session);
    kq7120::scaleWaitsForTests(1.0);
    for (const auto& mounted : kqsim::currentMainframe()->modules()) {
        if (mounted.config.kind == kqsim::ModuleKind::Foreign) continue;
        EXPECT_FALSE(loggedQueryUnterminated(*mounted.instrument))
            << "the driver read from logical address " << mounted.config.logicalAddress
            << " with nothing to answer";
    }
    // The modules go before the folders holding their non-volatile memory.
    kqsim::installChassis(kqsim::ChassisConfig{});
    for (const auto& folder : folders_) std::filesystem::remove_all(folder);
}

std::string DriverTest::newFolder() {
    folders_.push_back(freshDirectory());
    return folders_.back();
}

void DriverTest::install(kqsim::ChassisConfig chassis) {
    chassis.stateDirectory = newFolder();
    kqsim::installChassis(chassis);
    kqvisa::clearTrace();
}

ViSession DriverTest::open(const char* descriptor) {
    ViSession session = 0;
    const ViStatus status = kq7120_init(descriptor, kq7120_INIT_ID_NO_QUERY, kq7120_INIT_NOT_RESET, &session);
    EXPECT_EQ(status, VI_SUCCESS) << "opening " << descriptor;
    if (session) opened_.push_back(session);
    kqvisa::clearTrace();
    return session;
}

std::vector<kqvisa::TraceRecord> DriverTest::calls(kqvisa::Op op) {
    std::vector<kqvisa::TraceRecord> matching;
    for (auto& record : kqvisa::trace()) {
        if (record.op == op) matching.push_back(std::move(record));
    }
    return matching;
}

std::vector<std::string> DriverTest::busLog() {
    const auto hex = [](unsigned long long value) {
        char text[32];
        std::snprintf(text, sizeof text, "0x%llX", value);
        return std::string(text);
    };
    std::vector<std::string> lines;
    for (const auto& record : kqvisa::trace()) {
        switch (record.op) {
            case kqvisa::Op::Write:
                lines.push_back("write " + record.data);
                break;
            case kqvisa::Op::Read:
                lines.push_back("read");
                break;
            case kqvisa::Op::Out16:
                lines.push_back("out16 " + hex(record.offset) + " " + std::to_string(record.value));
                break;
            case kqvisa::Op::SetAttribute:
                lines.push_back((record.attribute == VI_ATTR_DEST_INCREMENT
                                     ? "dest increment "
                                     : "set " + hex(record.attribute) + " ") +
                                std::to_string(record.value));
                break;
            case kqvisa::Op::MoveOut16:
                lines.push_back("move " + hex(record.offset) + " " + std::to_string(record.words.size()) +
                                " words");
                break;
            case kqvisa::Op::MapAddress:
                lines.push_back("map " + hex(record.offset) + " " + hex(record.value));
                break;
            case kqvisa::Op::Peek16:
                lines.push_back("peek " + hex(record.offset));
                break;
            case kqvisa::Op::UnmapAddress:
                lines.push_back("unmap");
                break;
            default:
                lines.push_back(kqvisa::opName(record.op));
                break;
        }
    }
    return lines;
}

}  // namespace kqtest
