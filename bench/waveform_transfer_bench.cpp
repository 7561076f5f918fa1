// The driver's bulk paths and its command path, each measured against a baseline in the same run:
//   kq7120_loadFIFO_Data of 262144 words       against memcpy of the same 512 KiB
//   kq7120_arbLoadVoltage of 16384 samples     against memcpy of the 16384 words it moves
//   kq7120_setupVoltage (command + error check) against the bare viWrite/viWrite/viRead it makes
// Each iteration times exactly the call under test; the ratios are printed after the usual table.
// Runs on the simulated chassis (KQ7120 at LA 24).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "ratio_reporter.h"
#include "timed_calls.h"

namespace {

constexpr const char* kModule = "VXI0::24::INSTR";
constexpr std::size_t kArbSamples = 16384;

ViSession session = 0;

void arbVoltageLoad(benchmark::State& state) {
    std::vector<ViReal64> volts(kArbSamples);
    for (std::size_t i = 0; i < volts.size(); ++i)
        volts[i] = -20.0 + 40.0 * static_cast<double>(i) / kArbSamples;
    for (auto _ : state) {
        ViStatus status = VI_SUCCESS;
        timeOne(state, [&] {
            status = kq7120_arbLoadVoltage(session, 1, 1, kq7120_20VOLT_RANGE, volts.data(),
                                           static_cast<ViInt32>(volts.size()));
        });
        if (status != VI_SUCCESS) {
            state.SkipWithError("kq7120_arbLoadVoltage failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kArbSamples * sizeof(ViUInt16)));
}

// The same register path with codes: no conversion and no format query, which separates the
// conversion's share from that of the register writes and their error checks.
void arbCodeLoad(benchmark::State& state) {
    std::vector<ViUInt16> codes(kArbSamples);
    for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<ViUInt16>(4 * i);
    for (auto _ : state) {
        ViStatus status = VI_SUCCESS;
        timeOne(state, [&] {
            status = kq7120_arbLoadData(session, 1, 1, codes.data(), static_cast<ViInt32>(codes.size()));
        });
        if (status != VI_SUCCESS) {
            state.SkipWithError("kq7120_arbLoadData failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kArbSamples * sizeof(ViUInt16)));
}

// The VISA calls kq7120_setupVoltage makes, without the driver around them.
void bareWriteAndRead(benchmark::State& state) {
    constexpr char command[] = "SOUR:VOLT:LEV 2.5,(@3)";
    constexpr char check[] = "*ESR?";
    char reply[1024];
    for (auto _ : state) {
        ViStatus status = VI_SUCCESS;
        timeOne(state, [&] {
            ViUInt32 count = 0;
            viWrite(session, reinterpret_cast<ViConstBuf>(command), sizeof command - 1, &count);
            viWrite(session, reinterpret_cast<ViConstBuf>(check), sizeof check - 1, &count);
            status = viRead(session, reinterpret_cast<ViPBuf>(reply), sizeof reply, &count);
        });
        if (status < VI_SUCCESS) {
            state.SkipWithError("viRead failed");
            break;
        }
    }
}

constexpr BenchRatio kRatios[] = {
    {"kq7120_loadFIFO_Data, 262144 words / memcpy of 512 KiB", "fifo/kq7120_loadFIFO_Data", "fifo/memcpy"},
    {"kq7120_arbLoadVoltage, 16384 samples / memcpy of 32 KiB", "arb/kq7120_arbLoadVoltage", "arb/memcpy"},
    {"  of which without conversion: kq7120_arbLoadData / memcpy", "arb/kq7120_arbLoadData", "arb/memcpy"},
    {"kq7120_setupVoltage / viWrite + viWrite + viRead", "command/kq7120_setupVoltage",
     "command/viWrite+viRead"},
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (const ViStatus status = kq7120_init(kModule, kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, &session)) {
        std::fprintf(stderr, "cannot open %s: status 0x%08X\n", kModule, static_cast<unsigned>(status));
        return 1;
    }
    // The bus trace is the simulator's test instrument, not part of a transfer: left on, it would add a
    // copy of every word moved.
    kqvisa::setTraceRecording(false);

    const auto timed = [](benchmark::internal::Benchmark* benchmark) {
        benchmark->UseManualTime()->Unit(benchmark::kMicrosecond);
    };
    timed(benchmark::RegisterBenchmark("fifo/kq7120_loadFIFO_Data", fifoLoad, session));
    timed(benchmark::RegisterBenchmark("fifo/memcpy", memcpyBaseline, kFifoWords * sizeof(ViUInt16)));
    timed(benchmark::RegisterBenchmark("arb/kq7120_arbLoadVoltage", arbVoltageLoad));
    timed(benchmark::RegisterBenchmark("arb/kq7120_arbLoadData", arbCodeLoad));
    timed(benchmark::RegisterBenchmark("arb/memcpy", memcpyBaseline, kArbSamples * sizeof(ViUInt16)));
    timed(benchmark::RegisterBenchmark("command/kq7120_setupVoltage", setupVoltage, session));
    timed(benchmark::RegisterBenchmark("command/viWrite+viRead", bareWriteAndRead));

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(kRatios);
    kq7120_close(session);
    benchmark::Shutdown();
    return 0;
}
