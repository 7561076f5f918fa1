#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan and runs every test. Installs missing packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
build=build-tests
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKQ_SANITIZE=ON -DKQ_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
# The Debian packages, from a release build of their own: built, checked, unpacked and run.
tests/packaging/packages_test.sh build-package
