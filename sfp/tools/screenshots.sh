#!/usr/bin/env bash
# Runs the front panel on the simulated chassis under a virtual X server and saves PNG screenshots of
# the main panel and its dialogs in docs/screenshots/. Usage: sfp/tools/screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-sfp}
out=docs/screenshots

[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DKQ_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target sfp_screenshot_tour visa -j2 >/dev/null
mkdir -p "$out"
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT

# The default chassis: a KQ7120 in slot 2 and a KQ7110 in slot 4.
xvfb-run -a -s "-screen 0 1280x1024x24" \
  env LD_LIBRARY_PATH="$PWD/$build/lib/kq7120-sim" KQ7120_SIM_STATE_DIR="$state" QT_QPA_PLATFORM=xcb \
      ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" \
  "$build/bin/sfp_screenshot_tour" "$out"
