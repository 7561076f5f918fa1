#!/usr/bin/env bash
# Builds the benchmarks in Release without sanitizers (build directory build-bench) and runs them;
# the FIFO panel's stream benchmark runs after the driver's (it plays 10 s of data per repetition);
# each figure is printed as a ratio against its baseline of the same run. Extra arguments go to the
# benchmark program (e.g. --benchmark_filter=fifo); by default every benchmark runs five times and
# the ratios use the medians, as the machine is shared.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKQ_SANITIZE=OFF -DKQ_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target kq7120_bench sfp_fifo_stream_bench -j2
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
# The default simulated chassis, with its module memory in a throw-away folder.
env -u KQ7120_SIM_CHASSIS KQ7120_SIM_STATE_DIR="$state" "$build/bench/kq7120_bench" \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
env -u KQ7120_SIM_CHASSIS KQ7120_SIM_STATE_DIR="$state" "$build/bench/sfp_fifo_stream_bench" \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
