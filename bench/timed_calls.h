// The timed calls the driver benchmarks share: one call timed per iteration, the two transfers the
// ratios compare (a full FIFO block through the driver, and memcpy of the same bytes) and a command
// with its error check.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kq7120.h"

inline constexpr std::size_t kFifoWords = 262144;

// Times exactly one call of `work` as the iteration's time (the benchmarks use manual time), so the
// upkeep between calls is not measured.
template <typename Work>
void timeOne(benchmark::State& state, Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

inline void memcpyBaseline(benchmark::State& state, std::size_t bytes) {
    std::vector<char> source(bytes, 1);
    std::vector<char> destination(bytes);
    for (auto _ : state) {
        timeOne(state, [&] {
            std::memcpy(destination.data(), source.data(), bytes);
            benchmark::DoNotOptimize(destination.data());
            benchmark::ClobberMemory();
        });
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// One full-depth block into a FIFO emptied ("ABOR") before each load.
inline void fifoLoad(benchmark::State& state, ViSession session) {
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

// kq7120_setupVoltage: one command and its error check.
inline void setupVoltage(benchmark::State& state, ViSession session) {
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
