#!/usr/bin/env bash
# Installs the kt7-logger .deb into a clean Debian 12 (bookworm) minbase chroot with apt, then
# starts kt7-logger there offscreen with a fresh HOME whose ports folder holds dangling links
# com1..com10 (so no real serial port is probed), and checks that it keeps running and creates
# "$HOME/KT7 Log/". Slow (a few minutes); not part of test.sh. Needs root.
#
#   packaging/test-deb-in-chroot.sh [package.deb]
#
# The package defaults to build-pkg/kt7-logger_*.deb (see packaging/build-deb.sh).
# KT7_CHROOT=<dir> reuses (or creates and keeps) a chroot there; without it a temporary chroot
# is made and removed at the end. KT7_MIRROR overrides the Debian mirror, which is otherwise
# the one apt uses on this machine.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
  echo "run as root (debootstrap and chroot need it)" >&2
  exit 2
fi

deb=${1:-}
if [ -z "$deb" ]; then
  deb=$(find build-pkg -maxdepth 1 -name 'kt7-logger_*.deb' 2>/dev/null | sort | tail -n1)
fi
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
  echo "no package found: build one with packaging/build-deb.sh" >&2
  exit 2
fi

export DEBIAN_FRONTEND=noninteractive
if ! command -v debootstrap >/dev/null; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends debootstrap
fi

# The mirror apt already uses here: the first Debian archive URI in the sources (either format).
mirror=${KT7_MIRROR:-}
if [ -z "$mirror" ]; then
  mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
             2>/dev/null | grep -vE '^[[:space:]]*#' | grep -oE 'https?://[^ ]+/debian/?( |$)' | head -n1 | tr -d ' ' || true)
  mirror=${mirror:-http://deb.debian.org/debian}
fi

keep=1
root=${KT7_CHROOT:-}
if [ -z "$root" ]; then
  root=$(mktemp -d /tmp/kt7-chroot.XXXXXX)
  keep=0
fi

# shellcheck disable=SC2317  # called by the EXIT trap
cleanup() {
  if mountpoint -q "$root/proc"; then
    umount "$root/proc"
  fi
  if [ "$keep" = 0 ] && ! mountpoint -q "$root/proc"; then
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT

if [ ! -x "$root/usr/bin/apt-get" ]; then
  echo "== debootstrap --variant=minbase bookworm $root $mirror"
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
    tail -n 20 "$root.debootstrap.log" >&2
    exit 1
  }
  rm -f "$root.debootstrap.log"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
mount -t proc proc "$root/proc"

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }

echo "== apt-get install ./$(basename "$deb") (in the chroot)"
cp "$deb" "$root/tmp/"
in_root apt-get update -qq
in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" >"$root/tmp/apt.log" 2>&1 || {
  tail -n 30 "$root/tmp/apt.log" >&2
  exit 1
}
grep -E '^(The following NEW packages|[0-9]+ upgraded)' "$root/tmp/apt.log" || true

echo "== dpkg -L kt7-logger"
in_root dpkg -L kt7-logger | grep -vE '/$' | while read -r path; do
  [ -f "$root$path" ] && echo "$path"
done
# shellcheck disable=SC2016  # a dpkg-query format, not a shell expansion
in_root dpkg-query -W -f='Depends: ${Depends}\n' kt7-logger

echo "== start kt7-logger offscreen"
# shellcheck disable=SC2016  # expanded inside the chroot
in_root HOME=/tmp/kt7-home QT_QPA_PLATFORM=offscreen /bin/bash -c '
  set -u
  rm -rf "$HOME"
  mkdir -p "$HOME/.config/kt7-logger/ports"
  for n in $(seq 1 10); do ln -s "/nonexistent/com$n" "$HOME/.config/kt7-logger/ports/com$n"; done
  command -v kt7-logger kt7-sim
  kt7-logger >/tmp/kt7-logger.out 2>&1 &
  pid=$!
  sleep 5
  status=0
  if kill -0 "$pid" 2>/dev/null; then
    echo "kt7-logger is running after 5 s (pid $pid)"
  else
    wait "$pid"; code=$?
    if [ "$code" -gt 128 ]; then
      echo "kt7-logger ended early, killed by signal $((code - 128))"
    else
      echo "kt7-logger exited early with status $code"
    fi
    status=1
  fi
  if [ -d "$HOME/KT7 Log" ]; then
    echo "log folder created: $HOME/KT7 Log/"
  else
    echo "log folder missing: $HOME/KT7 Log/"; status=1
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  echo "output of kt7-logger:"; sed "s/^/  /" /tmp/kt7-logger.out
  kt7-sim --help >/dev/null && echo "kt7-sim --help: ok" || status=1
  exit $status
' && result=0 || result=$?

if [ "$result" = 0 ]; then
  echo "PASS: package installs in a clean bookworm chroot and kt7-logger starts"
else
  echo "FAIL: see above"
fi
exit "$result"
