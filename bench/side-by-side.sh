#!/usr/bin/env bash
# CPU and peak memory of three loggers on the same simulated instruments, in one run: the
# headless logger, the window (the real kt7-logger, shown and painted on a virtual X display), and
# bench/py-logger.py, the plain Python logger a user might write instead. Eight devices on COM 1 to 8, at two loads: one line a second each, and each at the
# full rate its 9600-baud line carries. At each load the simulator runs once and the three take
# the ports in turn; each is warmed up, then measured for SECONDS: CPU as % of one core from the
# scheduler's run time of its threads (/proc/<pid>/task/*/schedstat, in ns), memory as its peak
# resident size (VmHWM). utime + stime would be counted in 10-ms ticks by sampling: at 0.3 % of a
# core a 30-s run holds nine of them, and runs of the same program spread by a third.
# Prints ROW lines for bench.sh, and notes (rows logged, load average) on standard error.
# Needs Xvfb and xdotool (KT7_WITH_BENCH_TOOLS=1 scripts/install-deps.sh).
# Usage: bench/side-by-side.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=$(cd "${1:?usage: bench/side-by-side.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-60}
warmup=5
slices=$((seconds >= 10 ? seconds / 5 : 1))
here=$(cd "$(dirname "$0")" && pwd)
# Debian's own interpreter: python3-serial is installed for it, not for one earlier on PATH.
python=/usr/bin/python3

work=$(mktemp -d)
sim_pid='' pid='' xvfb_pid=''
cleanup() {
  for p in $pid $sim_pid $xvfb_pid; do { kill "$p" && wait "$p"; } 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=bench/scratch-home.sh
. "$here/scratch-home.sh"

# One virtual display for the whole run, on the first free display number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.out" 2>&1 &
xvfb_pid=$!
until [ -s "$work/display" ]; do
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "side-by-side: Xvfb: $(cat "$work/xvfb.out")" >&2; exit 1; }
  sleep 0.1
done
display=:$(cat "$work/display")

note() { echo "side-by-side: $*" >&2; }
calc() { LC_ALL=C awk "BEGIN { $1 }"; }

# The demo set-up of run.sh in Fast mode with automatic sampling on: device n on COM n, Y on Auto.
setup=$work/fast.kt7
printf '1,#TRUE#,#FALSE#,"5","300"\r\n' >"$setup"
for n in 1 2 3 4 5 6 7 8; do printf '1,"100","0",%d,0,"Device %d"\r\n' "$n" "$n" >>"$setup"; done

peak_kb() { awk '$1 == "VmHWM:" { print $2 }' "/proc/$1/status"; }
# Time on a CPU in ns, summed over the process's living threads (a thread that ends while measured
# takes its time with it; the loggers here keep theirs): fine enough for slices of
# seconds. A short-lived thread may end between listing and reading: that is no failure.
run_ns() {
  { cat /proc/"$1"/task/*/schedstat 2>/dev/null || true; } | awk '{ s += $1 } END { print s }'
}
median() { tr ' ' '\n' <<<"$1" | grep . | LC_ALL=C sort -g | LC_ALL=C awk '{ v[NR] = $1 }
  END { printf "%.2f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
line_count() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }

# How many of the simulator's terminals the process holds open.
ports_open() {
  local targets n=0 fd
  targets=$(for c in "$ports"/com*; do readlink -f "$c"; done)
  for fd in /proc/"$1"/fd/*; do
    grep -qxF "$(readlink "$fd" 2>/dev/null)" <<<"$targets" && n=$((n + 1))
  done
  echo "$n"
}

give_up() {
  note "$1 $2; its output: $(cat "$work/$1.out")"
  exit 1
}

# measure NAME LOG COMMAND...: runs the command alone on the ports and sets cpu (% of a core),
# mb (peak RSS) and rows (lines added to LOG while measured). On a shared virtual machine the
# CPU time of a process that wakes hundreds of times a second can jump several-fold for a few
# seconds with no change in its work, so the window is also cut into slices of about 5 s and
# slice_median, their median, is less at the mercy of such a jump.
measure() {
  local name=$1 log=$2 start_run start_ns end_run end_ns rows_before held_open status=0
  local percents="" i t0 t1 ns0 ns1
  shift 2
  "$@" </dev/null >"$work/$name.out" 2>&1 &
  pid=$!
  # A logger a user starts by hand is started as a user would, before its warm-up.
  if declare -F "drive_$name" >/dev/null; then "drive_$name"; fi
  sleep "$warmup"
  kill -0 "$pid" 2>/dev/null || give_up "$name" "ended early"
  held_open=$(ports_open "$pid")
  [ "$held_open" = 8 ] || give_up "$name" "holds $held_open of the 8 ports open"
  rows_before=$(line_count "$log")
  start_run=$(run_ns "$pid") start_ns=$(date +%s%N)
  for ((i = 0; i < slices; ++i)); do
    ns0=$(run_ns "$pid") t0=$(date +%s%N)
    sleep "$(calc "print $seconds / $slices")"
    ns1=$(run_ns "$pid") t1=$(date +%s%N)
    percents+="$(calc "print ($ns1 - $ns0) * 100 / ($t1 - $t0)") "
  done
  slice_median=$(median "$percents")
  kill -0 "$pid" 2>/dev/null || give_up "$name" "ended while measured"
  end_run=$(run_ns "$pid") end_ns=$(date +%s%N)
  mb=$(calc "printf \"%.1f\", $(peak_kb "$pid") / 1024")
  rows=$(($(line_count "$log") - rows_before))
  # A logger that logs nothing would win on CPU for the wrong reason.
  [ -z "$log" ] || [ "$rows" -gt 0 ] || give_up "$name" "wrote no row while measured"
  kill -TERM "$pid"
  wait "$pid" || status=$?
  pid=
  cpu=$(calc "printf \"%.2f\", ($end_run - $start_run) * 100 / ($end_ns - $start_ns)")
  [ "$name" = window ] || [ "$status" = 0 ] || note "$name exited with $status after SIGTERM"
}

# The window's default log: "New" with the file dialog cancelled opens it in the log folder,
# $HOME/KT7 Log.
window_log="$HOME/KT7 Log/KT7_LogData.csv"
xd() { DISPLAY=$display timeout 30 xdotool "$@"; }
# twips to pixels at 96 dpi, the logical DPI Qt takes on Xvfb
px() { echo $((($1 + 7) / 15)); }
# Starts a Fast log as a user does: the "Data Logger" page, "New", Escape in the file dialog.
drive_window() {
  local win dialog i
  win=$(xd search --sync --onlyvisible --name '^KT7 RS232 Data Logger') ||
    give_up window "showed no window"
  win=${win%%$'\n'*}
  xd mousemove --window "$win" "$(px 8440)" "$(px 307)" click 1
  # "New": its frame "Data Logger" at (120, 600), "Log File" at (3120, 240) in it, the button's
  # middle at (607, 607) in that.
  xd mousemove --window "$win" "$(($(px 120) + $(px 3120) + $(px 120) + $(px 487)))" \
    "$(($(px 600) + $(px 240) + $(px 360) + $(px 247)))" click 1
  dialog=$(xd search --sync --onlyvisible --name '^Save As') || give_up window "showed no file dialog"
  dialog=${dialog%%$'\n'*}
  xd windowfocus --sync "$dialog" key Escape
  for ((i = 0; i < 100; ++i)); do
    [ -f "$window_log" ] && return
    sleep 0.1
  done
  give_up window "opened no log at $window_log"
}

row() { printf 'ROW\t%s\t%s\t%s\t%s\n' "$@"; }

# run_load LABEL SIMULATOR_OPTIONS...
run_load() {
  local label=$1 load=${1// /}
  shift
  "$build/tools/kt7-sim/kt7-sim" --devices 8 --first-port 1 "$@" >"$work/sim.out" 2>&1 &
  sim_pid=$!
  until grep -q '^ready$' "$work/sim.out"; do
    kill -0 "$sim_pid" 2>/dev/null || { note "kt7-sim: $(cat "$work/sim.out")"; exit 1; }
    sleep 0.1
  done

  local headless_log=$work/headless-${load//\//}.csv py_log=$work/python-${load//\//}.csv
  measure headless "$headless_log" "$build/src/kt7-logger" --headless --setup "$setup" \
    --log "$headless_log" --fast --auto
  local headless_cpu=$cpu headless_mb=$mb headless_rows=$rows headless_median=$slice_median
  # The window as a user leaves it running: kt7-logger shown on the display with the set-up
  # loaded and eight devices linked, the "Data Logger" page, a Fast log opened with "New", the
  # chart on. It reads every port at the tick, shows each value, draws every reading on the
  # chart and writes every row.
  measure window "$window_log" env DISPLAY="$display" QT_QPA_PLATFORM=xcb \
    "$build/src/kt7-logger" --setup "$setup" --link
  local window_cpu=$cpu window_mb=$mb window_rows=$rows window_median=$slice_median
  # The next load's "New" would find the default log holding rows, and refuse it.
  mv "$window_log" "$work/window-${load//\//}.csv"
  measure python "$py_log" "$python" "$here/py-logger.py" "$ports"/com{1..8} "$py_log"
  local py_cpu=$cpu py_mb=$mb py_rows=$rows py_median=$slice_median

  kill "$sim_pid"
  wait "$sim_pid" || true
  sim_pid=

  local held_cpu held_mb
  held_cpu=$(calc "print ($headless_cpu <= $py_cpu) ? \"yes\" : \"no\"")
  held_mb=$(calc "print ($headless_mb < 20) ? \"yes\" : \"no\"")
  row "CPU, headless logger, $label" "$headless_cpu % of a core" "<= python ($py_cpu %)" "$held_cpu"
  row "CPU, window (linked, Fast log, chart on), $label" "$window_cpu % of a core" "-" "-"
  row "CPU, Python logger, $label" "$py_cpu % of a core" "-" "-"
  row "peak RSS, headless logger, $label" "$headless_mb MB" "< 20 MB" "$held_mb"
  row "peak RSS, window, $label" "$window_mb MB" "-" "-"
  row "peak RSS, Python logger, $label" "$py_mb MB" "-" "-"
  note "$label: headless logger wrote $headless_rows rows, window $window_rows rows," \
    "Python logger $py_rows rows" \
    "($(calc "printf \"%.1f\", $py_rows / $seconds / 8") lines/s per device) in $seconds s"
  note "$label: CPU, median of $slices slices of $(calc "printf \"%.0f\", $seconds / $slices") s:" \
    "headless logger $headless_median %, window $window_median %, Python logger $py_median %"
}

note "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
run_load "8 x 1 line/s" --rate 1
# The simulator paces each device at the larger of 1/rate and its line's bytes at baud/10 bytes
# a second, so the highest rate leaves the baud rate as the only limit.
run_load "8 x 9600 baud full rate" --rate 10000 --baud 9600
note "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
