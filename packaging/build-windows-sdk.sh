#!/usr/bin/env bash
# Builds the Windows (x86_64, MinGW-w64) libraries the logger links against, from Debian 12's own
# source packages, with Debian's cross compilers, and packs them as kt7-windows-sdk.tar.xz:
#   qt6/          Qt 6.4.2 qtbase (Core, Gui, Widgets, PrintSupport, Network, Concurrent, Test,
#                 the windows and offscreen platform plugins), shared, Release
#   qcustomplot/  QCustomPlot 2.1.0 as a DLL against that Qt, packaged as Debian's (QCustomPlotQt6)
#   openssl/      OpenSSL 3.0 (libssl, libcrypto DLLs), for MQTT over TLS
#   mosquitto/    libmosquitto 2.0.11 with TLS, as a DLL
#   xlsxwriter/   libxlsxwriter 1.1.4 as a DLL (zlib from Debian's libz-mingw-w64-dev)
# The host tools (moc, rcc, uic) are Debian's qt6-base-dev-tools of the same version.
# Takes about an hour on two cores. Usage: build-windows-sdk.sh OUTPUT_DIR
set -euo pipefail
out=$(mkdir -p "${1:?usage: build-windows-sdk.sh OUTPUT_DIR}" && cd "$1" && pwd)
work=${WORK:-$(mktemp -d)}
prefix=$work/prefix
jobs=${JOBS:-$(nproc)}
mkdir -p "$prefix" "$work/src"
export DEBIAN_FRONTEND=noninteractive

apt-get install -y --no-install-recommends g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  mingw-w64-tools libz-mingw-w64-dev qt6-base-dev qt6-base-dev-tools cmake ninja-build perl make xz-utils

# Source packages from the same archive the system installs from, through a private list, so the
# system's own apt configuration stays as it is.
srcdir=$work/apt
mkdir -p "$srcdir/lists/partial"
sed -n 's/^Types: deb$/Types: deb-src/; p' /etc/apt/sources.list.d/debian.sources >"$srcdir/debian-src.sources"
apt_src=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$srcdir" -o Dir::State::Lists="$srcdir/lists")
apt-get "${apt_src[@]}" update
cd "$work/src"
apt-get "${apt_src[@]}" source --download-only qt6-base qcustomplot openssl mosquitto libxlsxwriter
for f in *.orig.tar.*; do case $f in *.asc) ;; *) tar xf "$f" ;; esac; done

toolchain=$work/mingw.cmake
cat >"$toolchain" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
# The packed toolchain file finds the libraries beside itself, wherever the archive is unpacked.
sed 's|^set(CMAKE_FIND_ROOT_PATH .*|set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_CURRENT_LIST_DIR})|' \
  "$toolchain" >"$prefix/mingw.cmake"
cat >>"$prefix/mingw.cmake" <<'EOF'
# pkg-config looks at these libraries only, never at the build machine's own.
set(ENV{PKG_CONFIG_LIBDIR} "${CMAKE_CURRENT_LIST_DIR}/mosquitto/lib/pkgconfig:${CMAKE_CURRENT_LIST_DIR}/xlsxwriter/lib/pkgconfig:${CMAKE_CURRENT_LIST_DIR}/openssl/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
# Paths from where the .pc files are, whatever folder the archive was unpacked in.
set(PKG_CONFIG_ARGN --define-prefix CACHE STRING "" FORCE)
EOF

# Qt: Debian's source lacks the (non-free) tablet header, so tablet events are off; a logger
# needs no pen tablet. Bundled third-party libraries throughout, no OpenGL, no SQL, no D-Bus.
# With OpenGL off, 6.4.2's windows platform plugin still asks for the dynamic-GL context in one
# file; that question only makes sense with OpenGL.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
  "$work"/src/qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows/qwindowswindow.cpp
mkdir -p "$work/build-qt" && cd "$work/build-qt"
cmake -G Ninja "$work"/src/qtbase-everywhere-src-6.4.2 -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix/qt6" -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_sql=OFF -DFEATURE_opengl=OFF \
  -DFEATURE_dbus=OFF -DFEATURE_openssl=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF \
  -DFEATURE_tabletevent=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF \
  -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF
ninja -j"$jobs"
ninja install

# QCustomPlot with Debian's own patches, which add the CMake build and package that Debian's
# Qt 6 build of it installs (find_package(QCustomPlotQt6), target QCustomPlotQt6::QCustomPlotQt6).
cd "$work"/src/qcustomplot-*/
tar xf "$work"/src/qcustomplot_*.debian.tar.xz
while read -r p; do patch -p1 <"debian/patches/$p"; done <debian/patches/series
cmake -G Ninja -S . -B build -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix/qt6" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_INSTALL_PREFIX="$prefix/qcustomplot"
cmake --build build -j"$jobs"
cmake --install build

# OpenSSL 3.0.
cd "$work"/src/openssl-3.*/
./Configure mingw64 --cross-compile-prefix=x86_64-w64-mingw32- --prefix="$prefix/openssl" \
  --libdir=lib no-tests shared
make -j"$jobs" build_sw
make install_sw

# libmosquitto with TLS. Its build file points Windows at a pthreads-win32 folder on drive C;
# MinGW-w64's own winpthreads serves instead.
cd "$work"/src/mosquitto-2.*/
sed -i -e '/pthreadVC2.lib/s/set (PTHREAD_LIBRARIES .*)/set (PTHREAD_LIBRARIES pthread)/' \
  -e 's/set (PTHREAD_INCLUDE_DIR C:.*)/set (PTHREAD_INCLUDE_DIR "")/' CMakeLists.txt
cmake -G Ninja -S . -B build -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix/mosquitto" -DOPENSSL_ROOT_DIR="$prefix/openssl" \
  -DWITH_TLS=ON -DWITH_TLS_PSK=OFF -DWITH_CJSON=OFF -DWITH_BROKER=OFF -DWITH_APPS=OFF \
  -DWITH_PLUGINS=OFF -DDOCUMENTATION=OFF -DWITH_STATIC_LIBRARIES=OFF -DWITH_THREADING=ON
cmake --build build -j"$jobs"
cmake --install build
# Its install rule leaves the import library behind on Windows.
cp build/lib/libmosquitto.dll.a "$prefix/mosquitto/lib/"

# libxlsxwriter.
cd "$work"/src/libxlsxwriter-*/
cmake -G Ninja -S . -B build -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix/xlsxwriter" -DBUILD_SHARED_LIBS=ON -DUSE_SYSTEM_MINIZIP=OFF
cmake --build build -j"$jobs"
cmake --install build

# pkg-config files that hold wherever the archive is unpacked.
sed -i 's|^prefix=.*|prefix=${pcfiledir}/../..|' "$prefix"/*/lib/pkgconfig/*.pc

cd "$prefix"
rm -f openssl/bin/openssl.exe openssl/bin/c_rehash mosquitto/bin/mosquitto_*.exe
tar cf - qt6 qcustomplot openssl mosquitto xlsxwriter mingw.cmake | xz -T"$jobs" -9 >"$out/kt7-windows-sdk.tar.xz"
echo "built $out/kt7-windows-sdk.tar.xz"
