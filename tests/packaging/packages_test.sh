#!/usr/bin/env bash
# Builds the Debian packages in a release build of their own, checks what each holds, unpacks them
# into a temporary root and runs from there: the C example built with the unpacked pkg-config file,
# a Python example, and the front panel (offscreen) with and without a module in the chassis.
# Usage: packages_test.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-package}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKQ_BUILD_TESTS=OFF -DKQ_BUILD_BENCH=OFF \
      -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "packages_test: $*" >&2; exit 1; }

package_file() { ls "$build"/"$1"_*.deb 2>/dev/null | head -n1; }
declare -A expected=(
  [kq7120-driver]="usr/lib/libkq7120_32.so usr/include/kq7120.h usr/include/visa.h usr/include/visatype.h
    usr/lib/cmake/Kq7120/Kq7120Config.cmake usr/lib/cmake/Kq7120/Kq7120Targets.cmake
    usr/lib/pkgconfig/kq7120.pc
    usr/lib/python3/dist-packages/kq7120/__init__.py usr/lib/python3/dist-packages/kq7120/_installation.py
    usr/share/kq7120/examples/scan_and_set.c usr/share/kq7120/examples/python/dc_scan.py
    usr/share/kq7120/examples/python/arb_waveform.py"
  [kq7120-simulator]="usr/lib/kq7120-sim/libvisa.so usr/lib/kq7120-sim/libkq7120sim.so
    usr/share/applications/kq7120-sfp-simulator.desktop"
  [kq7120-panel]="usr/bin/sfp7120_32 usr/share/kq7120/ui/main_panel.ui
    usr/share/applications/kq7120-sfp.desktop usr/share/icons/hicolor/scalable/apps/kq7120-sfp.svg"
)
if command -v doxygen >/dev/null; then
  expected[kq7120-driver]+=" usr/share/doc/kq7120/html/index.html"
fi
if [ -e "$build/bin/kq7120-chassis" ]; then
  expected[kq7120-simulator]+=" usr/bin/kq7120-chassis"
fi

root=$work/root
: >"$work/all-files"
for name in "${!expected[@]}"; do
  deb=$(package_file "$name")
  [ -n "$deb" ] || fail "no package $name"
  dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '/$' | sort >"$work/$name.files"
  for path in ${expected[$name]}; do
    grep -qx "$path" "$work/$name.files" || fail "$name lacks $path"
  done
  grep -v '^usr/' "$work/$name.files" && fail "$name installs outside /usr"
  cat "$work/$name.files" >>"$work/all-files"
  dpkg-deb -x "$deb" "$root"
done
duplicates=$(sort "$work/all-files" | uniq -d)
[ -z "$duplicates" ] || fail "files in more than one package: $duplicates"
dpkg-deb -f "$(package_file kq7120-panel)" Depends | grep -q "kq7120-driver" ||
  fail "the panel does not depend on the driver"
desktop-file-validate "$root"/usr/share/applications/*.desktop
echo "Contents: $(cat "$work"/*.files | wc -l) files in ${#expected[@]} packages"

export KQ7120_VISA_LIBRARY=$root/usr/lib/kq7120-sim/libvisa.so
export KQ7120_SIM_STATE_DIR=$work/state
export PKG_CONFIG_PATH=$root/usr/lib/pkgconfig
read -r -a pc_flags <<<"$(pkg-config --cflags --libs kq7120)"
cc -std=c11 "$root/usr/share/kq7120/examples/scan_and_set.c" "${pc_flags[@]}" \
   -Wl,-rpath,"$(pkg-config --variable=libdir kq7120)" -o "$work/scan_and_set"
output=$(cd "$work" && ./scan_and_set)
grep -q "Channel 3: 2.5 V" <<<"$output" || fail "the C example: $output"
echo "C example: ran from the unpacked root"

output=$(env -u KQ7120_VISA_LIBRARY PYTHONPATH="$root/usr/lib/python3/dist-packages" \
         PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 "$root/usr/share/kq7120/examples/python/arb_waveform.py" \
         --simulator)
grep -q "Segment 1 starts" <<<"$output" || fail "the Python example: $output"
echo "Python example: ran from the unpacked root"

# With a module the panel runs until it is closed; without one it ends with VI_ERROR_RSRC_NFOUND's
# low byte (0x11) after loading its main panel and scanning.
export QT_QPA_PLATFORM=offscreen
status=0
timeout 5 "$root/usr/bin/sfp7120_32" >"$work/panel.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the front panel ended with $status: $(cat "$work/panel.log")"
printf '{ "interface": "VXI", "modules": [ { "model": "foreign", "logicalAddress": 32, "slot": 3 } ] }\n' \
  >"$work/empty-chassis.json"
status=0
KQ7120_SIM_CHASSIS=$work/empty-chassis.json timeout 10 "$root/usr/bin/sfp7120_32" >"$work/panel.log" 2>&1 ||
  status=$?
[ "$status" -eq 17 ] || fail "the front panel without a module ended with $status: $(cat "$work/panel.log")"
echo "Front panel: ran from the unpacked root"
