#!/usr/bin/env bash
# Builds the Debian package kt7-logger_<version>_<arch>.deb in build-pkg/ from a Release build
# (no tests). Installs what the build needs first, plus dpkg-dev for dpkg-shlibdeps, which
# works out the package's library dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
if ! dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q "install ok installed"; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends dpkg-dev
fi

build="build-pkg"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKT7_BUILD_TESTS=OFF
cmake --build "$build"
(cd "$build" && cpack -G DEB)
ls -l "$build"/kt7-logger_*.deb
