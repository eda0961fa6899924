#!/usr/bin/env bash
# Builds the regional locales the tests run under into a folder of the build (LOCPATH points
# there), so no root and no system locale configuration is needed.
set -euo pipefail
dir=$1
shift
mkdir -p "$dir"
for name in "$@"; do
  [ -f "$dir/$name/LC_NUMERIC" ] && continue
  lang=${name%%.*}
  # localedef exits 1 for warnings about the locale sources; the locale is written all the same.
  localedef -i "$lang" -f UTF-8 "$dir/$name" >/dev/null 2>&1 || true
  [ -f "$dir/$name/LC_NUMERIC" ] || { echo "could not build the locale $name" >&2; exit 1; }
done
