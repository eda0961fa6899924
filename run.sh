#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the logger. Unless --no-sim is given,
# eight simulated instruments are started first on pseudo-terminals as COM 1 to COM 8, and the
# logger opens with a demo set-up that links all eight, so live traces show at once, and with a
# high alarm limit on the oven that its heating crosses. Arguments
# after --no-sim (or any arguments) go to the logger instead of the demo set-up.
set -euo pipefail
cd "$(dirname "$0")"
# shellcheck source=scripts/lab-demo.sh
source scripts/lab-demo.sh

with_sim=1
if [ "${1:-}" = "--no-sim" ]; then
  with_sim=0
  shift
fi

./scripts/install-deps.sh
# KT7_BUILD_DIR: a build folder that is configured already (a developer's own), in which only the
# programs this script starts are brought up to date.
if [ -n "${KT7_BUILD_DIR:-}" ]; then
  build=$KT7_BUILD_DIR
  cmake --build "$build" -j"$(nproc)" --target kt7-logger kt7-headless kt7-sim
else
  build="build-release"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKT7_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)"
fi

sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ "$with_sim" = 1 ]; then
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  "$build/tools/kt7-sim/kt7-sim" "${lab_sim_args[@]}" >"$fifo" &
  sim_pid=$!
  # The simulator says "ready" once every COM link exists.
  while IFS= read -r line; do
    echo "kt7-sim: $line"
    [ "$line" = ready ] && break
  done <"$fifo"
  rm -f "$fifo"
fi

if [ "$with_sim" = 1 ] && [ $# -eq 0 ]; then
  # A demo set-up: device n on COM n with its Y axis on Auto, all eight linked at start, and a
  # high limit on the oven.
  demo="$build/demo-setup.kt7"
  write_lab_setup "$demo"
  write_lab_alarms "$build/demo-alarms.conf"
  set -- --setup "$demo" --link --alarms "$build/demo-alarms.conf"
fi
"$build/src/kt7-logger" "$@"
