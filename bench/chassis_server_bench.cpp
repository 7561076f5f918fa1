// The chassis server's cost to a program, each figure against a baseline of the same run:
//   kq7120_setupVoltage through the server        against the same call on a chassis of the process
//   kq7120_loadFIFO_Data of 262144 words through it against memcpy of the same 512 KiB
// The bench starts its own server (kq7120-chassis) on a socket in a private temporary folder.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "kq7120.h"
#include "kqsim/chassis_link.h"
#include "kqsim/mainframe.h"
#include "kqvisa/bus_trace.h"

extern char** environ;

namespace {

constexpr const char* kModule = "VXI0::24::INSTR";
constexpr std::size_t kFifoWords = 262144;

ViSession inProcess = 0;
ViSession served = 0;

using Clock = std::chrono::steady_clock;

template <typename Work>
void timeOne(benchmark::State& state, Work&& work) {
    const auto start = Clock::now();
    work();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
}

void setupVoltage(benchmark::State& state, ViSession session) {
    const ViInt16 channel[] = {3};
    for (auto _ : state) {
        ViStatus status = VI_SUCCESS;
        timeOne(state, [&] { status = kq7120_setupVoltage(session, 2.5f, channel, 1); });
        if (status != VI_SUCCESS) {
            state.SkipWithError("kq7120_setupVoltage failed");
            break;
        }
    }
}

void fifoLoad(benchmark::State& state, ViSession session) {
    std::vector<ViUInt16> words(kFifoWords);
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<ViUInt16>(i);
    for (auto _ : state) {
        kq7120_commandFifo(session, kq7120_ABORT);
        ViStatus status = VI_SUCCESS;
        timeOne(state, [&] {
            status = kq7120_loadFIFO_Data(session, words.data(), static_cast<ViInt32>(words.size()));
        });
        if (status != VI_SUCCESS) {
            state.SkipWithError("kq7120_loadFIFO_Data failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFifoWords * sizeof(ViUInt16)));
}

void memcpyBaseline(benchmark::State& state) {
    std::vector<char> source(kFifoWords * sizeof(ViUInt16), 1);
    std::vector<char> destination(source.size());
    for (auto _ : state) {
        timeOne(state, [&] {
            std::memcpy(destination.data(), source.data(), source.size());
            benchmark::DoNotOptimize(destination.data());
            benchmark::ClobberMemory();
        });
    }
}

struct Ratio {
    const char* label;
    const char* measured;
    const char* baseline;
};

constexpr Ratio kRatios[] = {
    {"kq7120_setupVoltage served / in-process", "command/served", "command/in-process"},
    {"kq7120_loadFIFO_Data 262144 words served / memcpy 512 KiB", "fifo/served", "fifo/memcpy"},
    {"kq7120_loadFIFO_Data in-process / memcpy 512 KiB", "fifo/in-process", "fifo/memcpy"},
};

// The console table, and the median time per call of each benchmark for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!median && run.run_type != Run::RT_Iteration) continue;
            const std::string& name = run.run_name.function_name;
            if (!median && nanoseconds_.count(name) && medians_.count(name)) continue;
            if (median) medians_[name] = true;
            nanoseconds_[name] = run.GetAdjustedRealTime() *
                                 benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                 benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const {
        std::printf(
            "\nRatios (time per call, median of the repetitions, against the baseline of the same run):\n");
        for (const Ratio& ratio : kRatios) {
            const auto measured = nanoseconds_.find(ratio.measured);
            const auto baseline = nanoseconds_.find(ratio.baseline);
            if (measured == nanoseconds_.end() || baseline == nanoseconds_.end() || baseline->second <= 0.0) {
                std::printf("  %-60s  not measured\n", ratio.label);
                continue;
            }
            std::printf("  %-60s %8.2f  (%.1f us / %.1f us)\n", ratio.label,
                        measured->second / baseline->second, measured->second / 1000.0,
                        baseline->second / 1000.0);
        }
    }

private:
    std::map<std::string, double> nanoseconds_;
    std::map<std::string, bool> medians_;
};

// The bench's own server in a private folder, stopped and removed at the end.
class Server {
public:
    bool start() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kq7120-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return false;
        folder_ = pattern;
        socket_ = folder_ + "/chassis.sock";
        std::vector<std::string> arguments = {KQ_CHASSIS_SERVER, "--socket", socket_, "--state-dir",
                                              folder_ + "/state"};
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
        for (int attempt = 0; attempt < 500 && !std::filesystem::exists(socket_); ++attempt)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return std::filesystem::exists(socket_);
    }
    ~Server() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& socket() const { return socket_; }

private:
    std::string folder_;
    std::string socket_;
    pid_t pid_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Server server;
    if (!server.start()) {
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
    timed(benchmark::RegisterBenchmark("fifo/memcpy", memcpyBaseline));
    timed(benchmark::RegisterBenchmark("fifo/in-process", fifoLoad, inProcess));
    timed(benchmark::RegisterBenchmark("fifo/served", fifoLoad, served));

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    kq7120_close(served);
    kq7120_close(inProcess);
    benchmark::Shutdown();
    return 0;
}
