#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan and runs every test. Installs missing packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

# Every C and C++ source as .clang-format lays it out; tools/check-format.sh --fix rewrites them.
tools/check-format.sh
echo "run-tests: format check done at ${SECONDS} s"

build=build-tests
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKQ_SANITIZE=ON -DKQ_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
echo "run-tests: AddressSanitizer build and tests done at ${SECONDS} s"

# The driver, VISA library and simulator with ThreadSanitizer, in a tree of their own: two threads
# that open and use two modules at once.
tsan=build-tsan
cmake -S . -B "$tsan" -DCMAKE_BUILD_TYPE=Debug -DKQ_THREAD_SANITIZE=ON -DKQ_BUILD_PANEL=OFF \
  -DKQ_BUILD_BENCH=OFF >/dev/null
cmake --build "$tsan" -j"$(nproc)" --target driver_first_use_threads_test
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$tsan" --output-on-failure -R '^driver_first_use_threads_test$'
echo "run-tests: ThreadSanitizer build and test done at ${SECONDS} s"

# Every fuzz corpus replayed, then each fuzz target for a short bounded run.
fuzz/run-fuzz.sh
echo "run-tests: fuzz step done at ${SECONDS} s"

# The Debian packages, from a release build of their own: built, checked, unpacked and run.
tests/packaging/packages_test.sh build-package
echo "run-tests: package step done at ${SECONDS} s"
