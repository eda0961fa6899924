#!/usr/bin/env bash
# Takes the README's picture of the Windows program: kt7-logger.exe under wine on a virtual X
# display, started with the demo set-up and --link on eight simulated instruments (the Linux
# simulator, its terminals as the wine prefix's COM 1 to COM 8), captured after a while.
# Needs the Windows build of scripts/windows-leg.sh and the Linux build's simulator.
# Usage: docs/take-windows-screenshot.sh [OUTPUT.png [SECONDS]]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/windows-eight-devices.png}")
seconds=${2:-120}
win=$(realpath "${KT7_WINDOWS_BUILD_DIR:-build-windows}")
sim=$(realpath "${KT7_BUILD_DIR:-build}")/tools/kt7-sim/kt7-sim
source scripts/lab-demo.sh

export WINEPREFIX=$win/wineprefix WINEDEBUG=-all
./scripts/wine-prefix.sh "$WINEPREFIX"
scratch=$(mktemp -d)
display=:96
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
sim_pid=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  for n in $(seq 1 10); do ln -sfn "/nonexistent/kt7-com$n" "$WINEPREFIX/kt7-ports/com$n"; done
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -p "$scratch/home"
HOME="$scratch/home" "$sim" "${lab_sim_args[@]}" >"$scratch/sim.log" 2>&1 &
sim_pid=$!
until grep -q '^ready' "$scratch/sim.log"; do
  kill -0 "$sim_pid" 2>/dev/null || { cat "$scratch/sim.log" >&2; exit 1; }
  sleep 0.2
done
for n in 1 2 3 4 5 6 7 8; do
  ln -sfn "$(sed -n "s|^COM$n -> ||p" "$scratch/sim.log")" "$WINEPREFIX/kt7-ports/com$n"
done
write_lab_setup "$scratch/lab.kt7"
DISPLAY=$display QT_QPA_PLATFORM=windows QT_PLUGIN_PATH= \
  WINEPATH="$(find "$win/stage/bin" -maxdepth 0 | sed 's|^|Z:|; s|/|\\|g')" \
  wine "$win/stage/bin/kt7-logger.exe" --setup "Z:${scratch//\//\\}\\lab.kt7" --link \
  >"$scratch/logger.log" 2>&1 &
sleep "$seconds"
magick=/usr/bin/convert
[ -x "$magick" ] || magick=convert
xwd -root -display "$display" -silent | "$magick" xwd:- -trim "$out"
echo "wrote $out"
