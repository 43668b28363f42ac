#!/usr/bin/env bash
# Configures a Windows cross build: Release (what a user gets, and the quicker build), warnings
# as errors, no benchmarks; with GUI=ON the prebuilt Qt for Windows is unpacked into the build
# folder first. A tree already configured with the same GUI setting is left as it is.
# Usage: tools/configure-windows.sh BUILD_DIR i686|x86_64 ON|OFF
set -euo pipefail

usage="usage: configure-windows.sh BUILD_DIR i686|x86_64 ON|OFF"
dir=${1:?$usage}
arch=${2:?$usage}
gui=${3:?$usage}
here=$(cd "$(dirname "$0")/.." && pwd)

prefix=()
if [ "$gui" = ON ]; then
    prefix=(-DCMAKE_PREFIX_PATH="$("$here/tools/unpack-qt-windows.sh" "$arch" \
        "$(mkdir -p "$dir" && cd "$dir" && pwd)")")
fi
if [ -f "$dir/build.ninja" ] && grep -qx "VMG_GUI:BOOL=$gui" "$dir/CMakeCache.txt"; then
    exit 0
fi
cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-$arch.cmake" "${prefix[@]}" \
    -DVMG_GUI="$gui" -DVMG_BENCH=OFF -DVMG_WERROR=ON
