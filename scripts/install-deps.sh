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
