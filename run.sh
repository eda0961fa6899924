#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the logger. Unless --no-sim is given,
# eight simulated instruments are started first on pseudo-terminals as COM 1 to COM 8, and the
# logger opens with a demo set-up that links all eight, so live traces show at once. Arguments
# after --no-sim (or any arguments) go to the logger instead of the demo set-up.
set -euo pipefail
cd "$(dirname "$0")"

with_sim=1
if [ "${1:-}" = "--no-sim" ]; then
  with_sim=0
  shift
fi

./scripts/install-deps.sh
build=build-release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKT7_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

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
  # A small rig, slow as a lab is: an oven heating and holding, a load cell settling after
  # each step, pressure pulses on a line, coolant, flow, strain, a vessel and the supply.
  "$build/tools/kt7-sim/kt7-sim" --devices 8 --first-port 1 --rate 2 --decimals 2 \
    --units °C,N,bar,°C,l/min,um/m,°C,V \
    --waves ramp-hold,settle,pulse,settle,sine,settle,ramp-hold,sine \
    --ranges 22:180,0:500,1:6.5,18:26,11.5:12.5,0:850,20:95,23.95:24.05 \
    --periods 120,60,50,150,60,80,150,40 \
    --noises 0.3,2,0.02,0.05,0.03,3,0.2,0.01 >"$fifo" &
  sim_pid=$!
  # The simulator says "ready" once every COM link exists.
  while IFS= read -r line; do
    echo "kt7-sim: $line"
    [ "$line" = ready ] && break
  done <"$fifo"
  rm -f "$fifo"
fi

if [ "$with_sim" = 1 ] && [ $# -eq 0 ]; then
  # A demo set-up: device n on COM n with its Y axis on Auto, all eight linked at start.
  demo="$build/demo-setup.kt7"
  labels=("Oven" "Load cell" "Line pressure" "Coolant" "Flow" "Strain" "Vessel" "Supply")
  printf '0,#FALSE#,#TRUE#,"5","300"\r\n' >"$demo"
  for n in 1 2 3 4 5 6 7 8; do
    printf '1,"100","0",%d,0,"%s"\r\n' "$n" "${labels[$((n - 1))]}" >>"$demo"
  done
  set -- --setup "$demo" --link
fi
"$build/src/kt7-logger" "$@"
