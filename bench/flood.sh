#!/usr/bin/env bash
# Memory under a flood: one linked device in Fast logging on a pseudo-terminal that offers far
# more than 9600 baud can carry (a USB CDC device can). Prints the peak resident memory of the
# logger against its target as a ROW line for bench.sh.
# Usage: bench/flood.sh BUILD_DIR [SECONDS [MB_PER_SECOND]]
set -euo pipefail
build=${1:?usage: bench/flood.sh BUILD_DIR [SECONDS [MB_PER_SECOND]]}
seconds=${2:-30}
rate=${3:-10}
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
flood_pid= driver_pid=
cleanup() {
  # A killed process waited for reports its signal: no failure of the benchmark.
  for pid in $driver_pid $flood_pid; do { kill "$pid" && wait "$pid"; } 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=bench/scratch-home.sh
. "$here/scratch-home.sh"

python3 "$here/pty-flood.py" "$ports/com1" "$((seconds + 15))" "$rate" \
  >"$work/flood.out" &
flood_pid=$!
until grep -q '^ready$' "$work/flood.out"; do sleep 0.1; done
"$build/tests/e2e/kt7-log-driver" "$work/flood.csv" 1 >"$work/driver.out" 2>&1 &
driver_pid=$!
until grep -q '^logging$' "$work/driver.out"; do
  kill -0 "$driver_pid" 2>/dev/null || { cat "$work/driver.out" >&2; exit 1; }
  sleep 0.2
done

peak=0
for _ in $(seq "$seconds"); do
  sleep 1
  rss=$(awk '/VmRSS/ {print $2}' "/proc/$driver_pid/status")
  [ "$rss" -gt "$peak" ] && peak=$rss
done
mb=$(awk -v kb="$peak" 'BEGIN {printf "%.1f", kb / 1024}')
held=$(awk -v kb="$peak" 'BEGIN {print (kb < 100 * 1024) ? "yes" : "no"}')
printf 'ROW\tpeak RSS, %s MB/s pty flood for %s s\t%s MB\t< 100 MB\t%s\n' "$rate" "$seconds" "$mb" "$held"
