#!/usr/bin/env bash
# Takes the README's picture of the log viewer: the demo rig of ./run.sh logged by the headless
# logger for a while (every reading), then that log in the viewer with cursors A and B and the
# statistics of the span between them, drawn offscreen.
# Usage: docs/take-viewer-picture.sh [OUTPUT.png [SECONDS]]
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lab-demo.sh
source scripts/lab-demo.sh
out=${1:-docs/viewer-simulated-log.png}
seconds=${2:-170}

./scripts/install-deps.sh
build=build-release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKT7_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target kt7-sim kt7-logger kt7-viewer-picture

scratch=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
# A scratch home: the simulator's port links and the log never touch the user's own.
export HOME="$scratch/home" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
"$build/tools/kt7-sim/kt7-sim" "${lab_sim_args[@]}" >"$scratch/sim.log" 2>&1 &
sim_pid=$!
until grep -q '^ready' "$scratch/sim.log"; do
  kill -0 "$sim_pid" 2>/dev/null || { cat "$scratch/sim.log" >&2; exit 1; }
  sleep 0.2
done
write_lab_setup "$scratch/rig.kt7"
timeout -s TERM "$seconds" "$build/src/kt7-logger" --headless --setup "$scratch/rig.kt7" \
  --log "$scratch/rig.csv" --fast --auto >/dev/null || [ $? -eq 124 ]
"$build/tools/kt7-viewer-picture/kt7-viewer-picture" "$scratch/rig.csv" "$out" 0.29 0.46 1,2,3
