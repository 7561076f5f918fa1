#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the front panel need; does nothing when all
# are present. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  python3 python3-pyvisa python3-pytest python3-numpy
  doxygen desktop-file-utils dpkg-dev
  locales
  qt6-base-dev qt6-tools-dev libqt6uitools6 libqt6opengl6-dev libgl-dev qt6-charts-dev
  xvfb xauth
  fonts-dejavu-core
  clang libclang-rt-14-dev clang-format
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
