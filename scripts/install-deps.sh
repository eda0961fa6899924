#!/usr/bin/env bash
# Installs the Debian packages the logger needs to build, test and run; does nothing when all
# of them are present already.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libqcustomplot-dev libqcustomplot2.1-qt6 libmosquitto-dev
  libsystemd-dev
  libxlsxwriter-dev
  fonts-liberation fonts-dejavu-core
)
if [ "${KT7_WITH_TEST_TOOLS:-0}" = 1 ]; then
  # For the tests and benchmarks. mosquitto: the broker the MQTT tests start on 127.0.0.1;
  # openssl: their throw-away CA and broker certificate; python3-serial: the plain Python logger
  # the benchmarks compare with; python3-openpyxl: reads the viewer's Excel export back in its test.
  packages+=(clang-14 libclang-rt-14-dev locales mosquitto mosquitto-clients openssl python3-serial
    python3-openpyxl)
fi

if [ "${KT7_WITH_BENCH_TOOLS:-0}" = 1 ]; then
  # For the benchmarks' window row: the real window on a virtual X display (Xvfb), driven by
  # xdotool as a user would.
  packages+=(xvfb xdotool)
fi

if [ "${KT7_WITH_WINDOWS_TOOLS:-0}" = 1 ]; then
  # The Windows build and its tests: MinGW-w64 (posix threads), zlib for it, Qt's host tools
  # (moc, rcc, uic) of the same version, wine to run the programs, makensis for the installer,
  # Xvfb for the window under wine.
  packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
    qt6-base-dev-tools wine wine64 nsis xvfb xauth)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
