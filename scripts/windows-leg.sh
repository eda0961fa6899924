#!/usr/bin/env bash
# The Windows leg of ./test.sh: builds both programs and the widget-free tests with MinGW-w64
# against the Windows SDK (Qt and the other libraries built for Windows), runs the tests under
# wine, builds the installer and installs, runs and uninstalls it under wine, then runs the
# end-to-end check of the Windows logger against the Linux simulator (from the Linux build
# given as $1). The SDK archive comes from KT7_WINDOWS_SDK, by default
# ../shared/windows/kt7-windows-sdk.tar.xz; without it the leg says so and does nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=$(realpath "${1:-build}")

archive=${KT7_WINDOWS_SDK:-../shared/windows/kt7-windows-sdk.tar.xz}
if [ ! -f "$archive" ]; then
  echo "Windows leg not run: no Windows SDK at $archive (set KT7_WINDOWS_SDK; README, \"On Windows\")"
  exit 0
fi
started=$(date +%s)
KT7_WITH_WINDOWS_TOOLS=1 ./scripts/install-deps.sh

win=$(realpath -m "${KT7_WINDOWS_BUILD_DIR:-build-windows}")
sdk=$win/sdk
mkdir -p "$sdk"
if [ ! -f "$sdk/.unpacked" ] || [ "$archive" -nt "$sdk/.unpacked" ]; then
  rm -rf "$sdk" && mkdir -p "$sdk"
  tar xJf "$archive" -C "$sdk"
  touch "$sdk/.unpacked"
fi

cmake -S . -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$sdk/mingw.cmake" \
  -DCMAKE_PREFIX_PATH="$sdk/qt6;$sdk/qcustomplot" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine)" -DKT7_BUILD_FUZZERS=OFF >/dev/null
cmake --build "$win" -j"$(nproc)"

# One prefix for the whole leg; every COM port leads to a path that does not exist until a test
# links it to a simulator terminal, so nothing here ever opens a real serial port.
export WINEPREFIX=$win/wineprefix WINEDEBUG=-all
./scripts/wine-prefix.sh "$WINEPREFIX"

QT_QPA_PLATFORM=offscreen ctest --test-dir "$win" --output-on-failure -j1

cmake --build "$win" --target windows-installer
./packaging/test-windows-installer.sh "$win"/kt7-logger-*-setup.exe

KT7_WINDOWS_BUILD=$win "$linux_build/tests/e2e/tst_e2e" WindowsLoggerTest
wineserver -k || true
echo "Windows leg passed in $(( $(date +%s) - started )) s"
