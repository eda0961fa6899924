#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: once in a plain build (with
# the fuzzers replaying their corpora), once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, and then the Windows build under wine (scripts/windows-leg.sh:
# it says so in one line and passes when there is no Windows SDK at hand).
# KT7_SKIP_SANITIZERS=1 skips the second pass, KT7_SKIP_WINDOWS=1 the third.
set -euo pipefail
cd "$(dirname "$0")"

KT7_WITH_TEST_TOOLS=1 ./scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

build=${KT7_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j1

if [ "${KT7_SKIP_SANITIZERS:-0}" != 1 ]; then
  asan=${build}-asan
  cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKT7_SANITIZE=ON \
    -DKT7_BUILD_FUZZERS=OFF >/dev/null
  cmake --build "$asan" -j"$jobs"
  ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$asan" --output-on-failure -j1
fi

if [ "${KT7_SKIP_WINDOWS:-0}" != 1 ]; then
  ./scripts/windows-leg.sh "$build"
fi
