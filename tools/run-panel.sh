#!/usr/bin/env bash
# Builds the product, installs it under ./install and starts the soft front panel on the simulated
# chassis. Installs missing packages first. Arguments are passed to the front panel.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
build=build-release
prefix="$PWD/install"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKQ_BUILD_TESTS=OFF -DKQ_BUILD_BENCH=OFF \
      -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$build" -j"$(nproc)"
cmake --install "$build" >/dev/null
export LD_LIBRARY_PATH="$prefix/lib/kq7120-sim${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
exec "$prefix/bin/sfp7120_32" "$@"
