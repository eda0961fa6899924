#!/usr/bin/env bash
# Installs the Windows installer silently in the wine prefix WINEPREFIX, runs the installed
# programs, uninstalls, and checks that nothing is left: programs, Start-menu entry, the
# uninstall entry in the registry.
set -euo pipefail
installer=$(realpath "$1")
: "${WINEPREFIX:?WINEPREFIX names the prefix to install into}"
export WINEDEBUG=-all
# NSIS takes /D= unquoted, and wine quotes an argument with a blank: a folder without one.
target='C:\KT7-install-test'
folder="$WINEPREFIX/drive_c/KT7-install-test"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/KT7 RS232 Data Logger.lnk"
fail() { echo "installer round trip: $*" >&2; exit 1; }

rm -rf "$folder"
wine "$installer" /S "/D=$target"
wineserver -w
[ -f "$folder/kt7-logger.exe" ] || fail "kt7-logger.exe was not installed"
[ -f "$folder/platforms/qwindows.dll" ] || fail "the windows platform plugin was not installed"
[ -f "$shortcut" ] || fail "no Start-menu entry"
# Only the installed folder on the path: every DLL must come from there.
version=$(WINEPATH= wine "$folder/kt7-logger.exe" --version | tr -d '\r')
[[ "$version" == "kt7-logger "* ]] || fail "kt7-logger.exe --version printed \"$version\""
help=$(WINEPATH= wine "$folder/kt7-headless.exe" --help)
grep -q -- '--setup FILE.kt7' <<<"$help" || fail "kt7-headless.exe --help did not list its options"
# The window's --headless runs the logger without a window (the console program beside it).
help=$(WINEPATH= wine "$folder/kt7-logger.exe" --headless --help)
grep -q -- '--setup FILE.kt7' <<<"$help" || fail "kt7-logger.exe --headless --help printed \"$help\""

wine "$folder/uninstall.exe" /S
# The uninstaller runs from a copy of itself and returns at once: wait for every wine process.
wineserver -w
[ ! -e "$folder" ] || fail "files left behind: $(find "$folder" | head -5 | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the Start-menu entry was left behind"
if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\kt7-logger' >/dev/null 2>&1; then
  fail "the uninstall entry was left in the registry"
fi
echo "installer round trip passed: $(basename "$installer") ($(du -k "$installer" | cut -f1) KiB), $version"
