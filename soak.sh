#!/usr/bin/env bash
# Soak test: ./soak.sh MINUTES
# Eight simulated instruments at their full line rate, all linked, Fast logging, chart on, for
# MINUTES; the logger's resident memory and CPU are sampled every 10 s. Then two minutes at one
# line per second per device for the CPU check, then a minute with every instrument gone while
# the eight devices wait for their ports to return. Checks at the end: memory stopped growing
# once the chart's history reached its cap, CPU under 5% of one core at one line per second and
# under 1% while waiting, and the CSV holds every row the window reported (sample numbers 1..N,
# no gap, no torn line).
set -euo pipefail
cd "$(dirname "$0")"
minutes=${1:?usage: ./soak.sh MINUTES}
quiet_minutes=${KT7_SOAK_QUIET_MINUTES:-2}
wait_seconds=${KT7_SOAK_WAIT_SECONDS:-60}
# A small chart history makes the cap arrive early, so a flat memory curve can be seen.
history_cap=${KT7_SOAK_HISTORY_CAP:-20000}

./scripts/install-deps.sh
build=build-soak
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKT7_BUILD_FUZZERS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target kt7-sim kt7-log-driver >/dev/null

work=$(mktemp -d)
export HOME=$work QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
unset XDG_CONFIG_HOME
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
sim_pid= driver_pid=
sim_flags=()
stop() {
  if [ -n "$driver_pid" ]; then kill "$driver_pid" 2>/dev/null; wait "$driver_pid" 2>/dev/null || true; fi
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true; fi
  driver_pid= sim_pid=
  return 0
}
trap 'stop; rm -rf "$work"' EXIT

start() { # rate csv
  "$build/tools/kt7-sim/kt7-sim" --devices 8 --first-port 1 --rate "$1" --wave ramp \
    --decimals 3 --sent-log "$work/sent-$1.log" "${sim_flags[@]}" >"$work/sim.out" 2>&1 &
  sim_pid=$!
  until grep -q '^ready$' "$work/sim.out"; do sleep 0.2; done
  "$build/tests/e2e/kt7-log-driver" "$2" 8 "$history_cap" >"$work/driver.out" 2>&1 &
  driver_pid=$!
  until grep -q '^logging$' "$work/driver.out"; do
    kill -0 "$driver_pid" 2>/dev/null || { cat "$work/driver.out"; exit 1; }
    sleep 0.2
  done
}

ticks() { awk '{print $14 + $15}' "/proc/$driver_pid/stat"; }
rss_kb() { awk '/VmRSS/ {print $2}' "/proc/$driver_pid/status"; }
hz=$(getconf CLK_TCK)

# sample SECONDS FILE: rows "elapsed rss_kb cpu_percent" every 10 s.
sample() {
  local seconds=$1 out=$2 last now t=0
  last=$(ticks)
  while [ "$t" -lt "$seconds" ]; do
    sleep 10
    t=$((t + 10))
    now=$(ticks)
    echo "$t $(rss_kb) $(awk -v d=$((now - last)) -v hz="$hz" 'BEGIN {printf "%.2f", 100 * d / hz / 10}')" >>"$out"
    last=$now
  done
}

check_csv() { # csv -> prints rows; fails on a gap, a torn line or fewer rows than reported
  local csv=$1 reported
  reported=$(grep -o '^samples [0-9]*' "$work/driver.out" | tail -n 1 | cut -d' ' -f2)
  awk -v reported="$reported" 'BEGIN { RS = "\r\n"; bad = 0 }
    NR > 3 && NF > 0 {
      n = split($0, f, ",")
      if (n != 10 || f[1] != NR - 3) { bad = 1; print "bad row " NR ": " $0 > "/dev/stderr"; exit 1 }
      rows = f[1]
    }
    END { if (bad) exit 1; if (rows < reported) { print "only " rows " of " reported > "/dev/stderr"; exit 1 }
          print rows }' "$csv"
}

echo "Soak: $minutes min at full line rate, then $quiet_minutes min at 1 line/s per device"
start 60 "$work/full.csv"
sample $((minutes * 60)) "$work/full.samples"
stop
full_rows=$(check_csv "$work/full.csv")

start 1 "$work/quiet.csv"
sample $((quiet_minutes * 60)) "$work/quiet.samples"
stop
quiet_rows=$(check_csv "$work/quiet.csv")

# Every instrument vanishes at once, like pulled adapters whose by-id links stay behind.
sim_flags=(--unplug-on-exit)
start 1 "$work/wait.csv"
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null || true
sim_pid=
until [ "$(grep -c 'linked again' "$work/driver.out")" -ge 8 ]; do
  kill -0 "$driver_pid" 2>/dev/null || { cat "$work/driver.out"; exit 1; }
  sleep 0.2
done
sample "$wait_seconds" "$work/wait.samples"
kill -0 "$driver_pid" 2>/dev/null || { cat "$work/driver.out"; exit 1; }
stop

# Memory: the last half of the full-rate run may grow by at most 2% (plus 1 MB of noise).
read -r first_half_end last_rss < <(awk '{r[NR] = $2} END {print r[int(NR / 2)], r[NR]}' "$work/full.samples")
growth=$(awk -v a="$first_half_end" -v b="$last_rss" 'BEGIN {printf "%.1f", (b - a) / 1024}')
memory_ok=$(awk -v a="$first_half_end" -v b="$last_rss" 'BEGIN {print (b <= a * 1.02 + 1024) ? "yes" : "no"}')
full_cpu=$(awk '{s += $3} END {printf "%.1f", s / NR}' "$work/full.samples")
quiet_cpu=$(awk '{s += $3} END {printf "%.2f", s / NR}' "$work/quiet.samples")
cpu_ok=$(awk -v c="$quiet_cpu" 'BEGIN {print (c < 5) ? "yes" : "no"}')
wait_cpu=$(awk '{s += $3} END {printf "%.2f", s / NR}' "$work/wait.samples")
wait_ok=$(awk -v c="$wait_cpu" 'BEGIN {print (c < 1) ? "yes" : "no"}')

echo
echo "elapsed_s rss_kb cpu_% (full rate)"
cat "$work/full.samples"
echo
printf '%-44s %s\n' "rows in CSV, full rate (no gap, none torn)" "$full_rows"
printf '%-44s %s\n' "rows in CSV, 1 line/s (no gap, none torn)" "$quiet_rows"
printf '%-44s %s MB (%s -> %s kB) held: %s\n' "RSS growth over the last half" "$growth" "$first_half_end" "$last_rss" "$memory_ok"
printf '%-44s %s%%\n' "CPU at full line rate (mean)" "$full_cpu"
printf '%-44s %s%% held: %s\n' "CPU at 1 line/s per device (mean, < 5%)" "$quiet_cpu" "$cpu_ok"
printf '%-44s %s%% held: %s\n' "CPU, 8 devices waiting for ports (< 1%)" "$wait_cpu" "$wait_ok"
[ "$memory_ok" = yes ] && [ "$cpu_ok" = yes ] && [ "$wait_ok" = yes ]
