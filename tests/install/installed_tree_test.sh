#!/usr/bin/env bash
# Installs the driver and the simulator from a build tree into a temporary prefix, builds the installed
# C example against it with find_package and with pkg-config, and runs both and a Python example on
# the simulated chassis, with nothing of the build tree on any path.
# Usage: installed_tree_test.sh BUILD_DIR SOURCE_DIR [EXTRA_C_FLAGS]
set -euo pipefail
build=$1
source=$2
extra_flags=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

for component in driver simulator; do
  cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null
done
example=$prefix/share/kq7120/examples/scan_and_set.c
export KQ7120_VISA_LIBRARY=$prefix/lib/kq7120-sim/libvisa.so
export KQ7120_SIM_STATE_DIR=$work/state

cmake -S "$source/tests/install/consumer" -B "$work/with-cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DEXAMPLE_SOURCE="$example" -DCMAKE_C_FLAGS="$extra_flags" >/dev/null
cmake --build "$work/with-cmake" >/dev/null
expect_set() { grep -q "Channel 3: 2.5 V" <<<"$1" || { echo "$1"; exit 1; }; }
expect_set "$(cd "$work" && "$work/with-cmake/scan_and_set" cmake.log)"
echo "find_package: built and ran"

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
read -r -a pc_flags <<<"$(pkg-config --cflags --libs kq7120)"
read -r -a c_flags <<<"$extra_flags"
cc -std=c11 "${c_flags[@]}" "$example" "${pc_flags[@]}" -Wl,-rpath,"$(pkg-config --variable=libdir kq7120)" \
  -o "$work/scan_and_set"
expect_set "$(cd "$work" && "$work/scan_and_set" pkg-config.log)"
echo "pkg-config: built and ran"

# The installed Python package finds its driver by itself; the example selects the simulator.
# KQ_PYTHON_PRELOAD: the sanitizer runtime, which an uninstrumented interpreter must load first.
unset KQ7120_VISA_LIBRARY
expect_set "$(LD_PRELOAD=${KQ_PYTHON_PRELOAD:-} PYTHONPATH=$prefix/lib/python3/dist-packages \
  PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 "$prefix/share/kq7120/examples/python/dc_scan.py" --simulator)"
echo "Python: ran"
