#!/usr/bin/env bash
# Takes the README's picture of the window as a new user first sees it: ./run.sh (eight simulated
# instruments linked by the demo set-up) on a virtual X display, captured after a while.
# Needs xvfb, x11-apps and imagemagick (installed here when missing).
# Usage: docs/take-screenshot.sh [OUTPUT.png [SECONDS]]
# The demo's oven is in alarm from about 40 s to 80 s of every 120 s cycle: 175 seconds show it
# (docs/window-alarm.png). KT7_BUILD_DIR (see run.sh) takes the programs from a build at hand.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/window-eight-devices.png}
seconds=${2:-165}

missing=()
for package in xvfb x11-apps imagemagick; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

scratch=$(mktemp -d)
display=:97
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
run_pid=
cleanup() {
  [ -n "$run_pid" ] && kill -- "-$run_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
# A scratch home: the demo's port links and logs never touch the user's own.
mkdir -p "$scratch/home"
setsid env HOME="$scratch/home" DISPLAY="$display" QT_QPA_PLATFORM=xcb ./run.sh \
  >"$scratch/run.log" 2>&1 &
run_pid=$!
# run.sh builds first; the window's time starts once the instruments are ready.
until grep -q '^kt7-sim: ready' "$scratch/run.log"; do
  kill -0 "$run_pid" 2>/dev/null || { cat "$scratch/run.log" >&2; exit 1; }
  sleep 1
done
sleep "$seconds"
# ImageMagick's own convert, not some other program of that name earlier on the PATH.
magick=/usr/bin/convert
[ -x "$magick" ] || magick=convert
xwd -root -display "$display" -silent | "$magick" xwd:- -trim "$out"
echo "wrote $out"
