#!/usr/bin/env bash
# Builds the benchmarks in Release, runs them headless (the side by side's window on a virtual X
# display of its own) and prints one table of measures against their targets. A missed target
# shows "no" in the table; the script fails only when it cannot build or run the benchmarks.
set -uo pipefail
cd "$(dirname "$0")" || exit 1

fail() {
  echo "bench.sh: $*" >&2
  exit 1
}

KT7_WITH_TEST_TOOLS=1 KT7_WITH_BENCH_TOOLS=1 ./scripts/install-deps.sh || fail "installing the build dependencies failed"
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKT7_BUILD_BENCH=ON \
  -DKT7_BUILD_TESTS=ON -DKT7_BUILD_FUZZERS=OFF >/dev/null || fail "configuring failed"
cmake --build build-bench -j2 --target kt7-bench kt7-log-driver kt7-logger kt7-sim >/dev/null ||
  fail "building the benchmarks failed"

# A scratch home and runtime folder: nothing touches the user's own.
scratch=$(mktemp -d) || fail "no temporary folder"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/runtime" && chmod 700 "$scratch/runtime"
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" QT_QPA_PLATFORM=offscreen
unset XDG_CONFIG_HOME

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
rows=""
for run in "tick" "replot" "viewer" "viewer --foreign-dates" "startup" "memory" "memory --chart-off"; do
  read -r name args <<<"$run"
  # shellcheck disable=SC2086 # args is a word list on purpose
  out=$(build-bench/bench/kt7-bench-$name $args 2>"$scratch/stderr") ||
    fail "kt7-bench-$name failed: $(cat "$scratch/stderr")"
  cat "$scratch/stderr" >>"$scratch/notes"
  rows+=$(grep '^ROW' <<<"$out")$'\n'
done
# Memory while a pseudo-terminal floods one linked device far beyond 9600 baud.
out=$(bench/flood.sh build-bench 30 10 2>"$scratch/stderr") ||
  fail "the flood benchmark failed: $(cat "$scratch/stderr")"
rows+=$(grep '^ROW' <<<"$out")$'\n'
# CPU and peak memory of the headless logger, the real window and a plain Python logger on the
# same simulated ports, 60 s per logger and load.
out=$(bench/side-by-side.sh build-bench 60 2>"$scratch/stderr") ||
  fail "the side-by-side benchmark failed: $(cat "$scratch/stderr")"
cat "$scratch/stderr" >>"$scratch/notes"
rows+=$(grep '^ROW' <<<"$out")$'\n'
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

printf '%s' "$rows" | awk -F'\t' '
  { m[NR] = $2; v[NR] = $3; t[NR] = $4; h[NR] = $5
    if (length($2) > wm) wm = length($2); if (length($3) > wv) wv = length($3)
    if (length($4) > wt) wt = length($4) }
  END {
    if (wm < 7) wm = 7; if (wv < 5) wv = 5; if (wt < 6) wt = 6
    fmt = "%-" wm "s | %-" wv "s | %-" wt "s | %-4s\n"
    printf fmt, "measure", "value", "target", "held"
    line = sprintf(fmt, "", "", "", ""); gsub(/[^|\n]/, "-", line); gsub(/\|/, "+", line)
    printf "%s", line
    for (i = 1; i <= NR; ++i) printf fmt, m[i], v[i], t[i], h[i]
  }'
echo "load average (1/5/15 min): before $load_before, after $load_after; $(nproc) cores"
sed 's/^/note: /' "$scratch/notes"
