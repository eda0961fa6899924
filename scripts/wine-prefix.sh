#!/usr/bin/env bash
# Makes a wine prefix for the tests once (wineboot takes about 12 s): COM 1 to COM 10 lead to
# links in PREFIX/kt7-ports, which lead nowhere until a test points one at a simulator terminal.
# wine would otherwise give COM 1 to the machine's own /dev/ttyS0 at every start; ports it
# finds beyond those ten get numbers above 10, which the logger never opens.
set -euo pipefail
prefix=$(realpath -m "$1")
export WINEPREFIX=$prefix WINEDEBUG=-all
mkdir -p "$prefix/kt7-ports"
for n in $(seq 1 10); do
  ln -sfn "/nonexistent/kt7-com$n" "$prefix/kt7-ports/com$n"
done
[ -f "$prefix/.kt7-ports" ] && exit 0
wineboot --init >/dev/null 2>&1
registry=$prefix/kt7-ports.reg
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
  for n in $(seq 1 10); do
    printf '"COM%d"="%s/kt7-ports/com%d"\r\n' "$n" "$prefix" "$n"
  done
} >"$registry"
wine regedit /S "Z:${registry//\//\\}"
# The ports are made anew from the registry when wine starts again.
wineserver -k || true
wineserver -w
wine cmd /c exit >/dev/null 2>&1
for n in $(seq 1 10); do
  [ "$(readlink "$prefix/dosdevices/com$n")" = "$prefix/kt7-ports/com$n" ] ||
    { echo "COM$n of the wine prefix does not lead to $prefix/kt7-ports/com$n" >&2; exit 1; }
done
touch "$prefix/.kt7-ports"
