#!/usr/bin/env bash
# Takes the README's picture of the log viewer: the demo rig of ./run.sh logged by the headless
# logger for a while (every reading), then that log in the viewer with cursors A and B and the
# statistics of the span between them, drawn offscreen. Then the same log with a record of alarms
# beside it, found from its rows, the spans shaded and the cursors on the first alarm.
# Usage: docs/take-viewer-picture.sh [OUTPUT.png [SECONDS [ALARMS.png]]]
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lab-demo.sh
source scripts/lab-demo.sh
out=${1:-docs/viewer-simulated-log.png}
seconds=${2:-170}
alarms_out=${3:-docs/viewer-alarms.png}

# write_demo_alarms LOG: the alarm record the logger keeps beside LOG, for two limits crossed in
# the rows: the oven above 150 °C and the load cell below 20 N, each ending 2 beyond its limit
# (the deadband). A row is in raise order; an alarm still raised at the end has no end.
write_demo_alarms() {
  awk -F, -v offset="$(date +%:z)" '
    function iso(field) {
      return substr(field, 1, 10) "T" substr(field, 12, 8) offset
    }
    function judge(n, device, kind, limit, value) {
      if (value == "")
        return
      if (!(n in open)) {
        if (kind == "high" ? value + 0 > limit : value + 0 < limit) {
          open[n] = ++rows
          start[rows] = device "," kind "," limit "," iso($2)
          raisedAt[rows] = $1
          extreme[rows] = value
        }
        return
      }
      r = open[n]
      if (kind == "high" ? value + 0 > extreme[r] + 0 : value + 0 < extreme[r] + 0)
        extreme[r] = value
      if (kind == "high" ? value + 0 < limit - 2 : value + 0 > limit + 2) {
        endedAt[r] = iso($2)
        sampleAtEnd[r] = $1
        delete open[n]
      }
    }
    NR > 3 {
      judge(1, 1, "high", 150, $3)
      judge(2, 2, "low", 20, $4)
    }
    END {
      printf "device,kind,limit,raised at,ended at,extreme value,sample at raise,sample at end\r\n"
      for (r = 1; r <= rows; ++r)
        printf "%s,%s,%s,%s,%s\r\n", start[r], endedAt[r], extreme[r], raisedAt[r], sampleAtEnd[r]
    }' "$1"
}

./scripts/install-deps.sh
build="build-release"
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
# The C locale's date field is ISO 8601, which the alarm record takes as it is.
LC_ALL=C.UTF-8 timeout -s TERM "$seconds" "$build/src/kt7-logger" --headless --setup "$scratch/rig.kt7" \
  --log "$scratch/rig.csv" --fast --auto >/dev/null || [ $? -eq 124 ]
"$build/tools/kt7-viewer-picture/kt7-viewer-picture" "$scratch/rig.csv" "$out" 0.29 0.46 1,2,3
write_demo_alarms "$scratch/rig.csv" >"$scratch/rig_alarms.csv"
"$build/tools/kt7-viewer-picture/kt7-viewer-picture" "$scratch/rig.csv" "$alarms_out" 0 1 1,2,3 1
