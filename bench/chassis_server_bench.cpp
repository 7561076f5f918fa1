// The chassis server's cost to a program, each figure against a baseline of the same run:
//   kq7120_setupVoltage through the server        against the same call on a chassis of the process
//   kq7120_loadFIFO_Data of 262144 words through it against memcpy of the same 512 KiB
// The bench starts its own server (kq7120-chassis) on a socket in a private temporary folder.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "chassis_server_process.h"
#include "kq7120.h"
#include "kqsim/chassis_link.h"
#include "kqsim/mainframe.h"
#include "kqvisa/bus_trace.h"
#include "ratio_reporter.h"
#include "timed_calls.h"

namespace {

constexpr const char* kModule = "VXI0::24::INSTR";

ViSession inProcess = 0;
ViSession served = 0;

constexpr BenchRatio kRatios[] = {
    {"kq7120_setupVoltage served / in-process", "command/served", "command/in-process"},
    {"kq7120_loadFIFO_Data 262144 words served / memcpy 512 KiB", "fifo/served", "fifo/memcpy"},
    {"kq7120_loadFIFO_Data in-process / memcpy 512 KiB", "fifo/in-process", "fifo/memcpy"},
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BenchChassisServer server;
    if (!server.start(KQ_CHASSIS_SERVER)) {
        std::fprintf(stderr, "cannot start the chassis server\n");
        return 1;
    }
    // One session on a chassis of this process, then one on the server's.
    unsetenv(kqsim::kServerSocketVariable);
    setenv("XDG_RUNTIME_DIR", "/nonexistent", 1);
    kqsim::installMainframe(nullptr);
    if (kq7120_init(kModule, kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, &inProcess) != VI_SUCCESS) return 1;
    setenv(kqsim::kServerSocketVariable, server.socket().c_str(), 1);
    kqsim::installMainframe(nullptr);
    if (kq7120_init(kModule, kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, &served) != VI_SUCCESS) return 1;
    kqvisa::setTraceRecording(false);

    const auto timed = [](benchmark::internal::Benchmark* benchmark) {
        benchmark->UseManualTime()->Unit(benchmark::kMicrosecond);
    };
    timed(benchmark::RegisterBenchmark("command/in-process", setupVoltage, inProcess));
    timed(benchmark::RegisterBenchmark("command/served", setupVoltage, served));
    timed(benchmark::RegisterBenchmark("fifo/memcpy", memcpyBaseline, kFifoWords * sizeof(ViUInt16)));
    timed(benchmark::RegisterBenchmark("fifo/in-process", fifoLoad, inProcess));
    timed(benchmark::RegisterBenchmark("fifo/served", fifoLoad, served));

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(kRatios);
    kq7120_close(served);
    kq7120_close(inProcess);
    benchmark::Shutdown();
    return 0;
}
