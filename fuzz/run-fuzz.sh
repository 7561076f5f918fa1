#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) in build-fuzz/, with only
# the simulator, VISA library and driver sources they need, then replays every checked-in corpus and
# runs each target for KQ_FUZZ_SECONDS seconds (default 20). With --build-only it stops after the build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KQ_FUZZ_BUILD:-build-fuzz}
cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE= \
  -DCMAKE_C_FLAGS="-O1 -g" -DCMAKE_CXX_FLAGS="-O1 -g" -DKQ_FUZZ=ON -DKQ_FUZZ_SECONDS="${KQ_FUZZ_SECONDS:-20}" \
  -DKQ_BUILD_TESTS=OFF -DKQ_BUILD_PANEL=OFF -DKQ_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_targets
[ "${1:-}" = "--build-only" ] && exit 0
ctest --test-dir "$build/fuzz" --output-on-failure -j"$(nproc)"
