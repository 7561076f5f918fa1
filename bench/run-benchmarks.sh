#!/usr/bin/env bash
# Builds the benchmarks in Release without sanitizers (build directory build-bench) and runs them;
# the FIFO panel's stream benchmark runs after the driver's (it plays 10 s of data per repetition);
# each figure is printed as a ratio against its baseline of the same run. Extra arguments go to the
# benchmark program (e.g. --benchmark_filter=fifo); by default every benchmark runs five times and
# the ratios use the medians, as the machine is shared.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKQ_SANITIZE=OFF -DKQ_BUILD_TESTS=OFF -DKQ_BUILD_PANEL=ON >/dev/null
cmake --build "$build" --target kq7120_bench kq7120_chassis_bench kq7120_output_view_bench sfp_fifo_stream_bench -j2
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
# The default simulated chassis, with its module memory in a throw-away folder; no chassis server of
# the user is found (the chassis server benchmarks start their own in a private folder).
for bench in kq7120_bench kq7120_chassis_bench kq7120_output_view_bench sfp_fifo_stream_bench; do
  env -u KQ7120_SIM_CHASSIS -u KQ7120_SIM_SERVER KQ7120_SIM_STATE_DIR="$state" XDG_RUNTIME_DIR="$state" \
    QT_QPA_PLATFORM=offscreen \
    "$build/bench/$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
done
