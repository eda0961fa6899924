#!/usr/bin/env bash
# Fails when a file under src/ includes from a folder above its own layer. Layers, lowest first:
# text; platform and dates (beside the rest: each may use text only); acquisition, logfile and
# setup; link, record, publish, alarms and statistics; chart; measure; interaction; export; viewer;
# session; app and headless. A folder may include its own layer and those below.
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A layer=([text]=0 [platform]=1 [dates]=1 [acquisition]=2 [logfile]=2 [setup]=2 [link]=3
                  [record]=3 [publish]=3 [alarms]=3 [statistics]=3 [notify]=4 [chart]=4 [measure]=5 [interaction]=6
                  [export]=7 [viewer]=8 [session]=9 [app]=10 [headless]=10)
status=0
for folder in */; do
  folder=${folder%/}
  if [ -z "${layer[$folder]+set}" ]; then
    echo "src/$folder: a folder with no layer: add it to $0"
    status=1
  fi
done
while IFS=: read -r file line target; do
  from=${file%%/*}
  to=${target#*\"}
  to=${to%%/*}
  [ -n "${layer[$to]+set}" ] || continue # a header beside it, or Qt's
  if [ "${layer[$to]}" -gt "${layer[$from]:-0}" ] ||
     { { [ "$from" = platform ] || [ "$from" = dates ]; } &&
       [ "$to" != "$from" ] && [ "$to" != text ]; }; then
    echo "src/$file:$line includes $to/ from $from/, a layer above it"
    status=1
  fi
done < <(grep -rn --include='*.h' --include='*.cpp' '^#include "' . | sed 's|^\./||')
exit $status
