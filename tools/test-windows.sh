#!/usr/bin/env bash
# Cross-builds the Qt-free half (core, vmacgen, our qvPluginMgr.dll, their tests) for 32-bit
# Windows and runs it under Wine: the test suites through ctest, then vmacgen.exe against the
# Linux vmacgen byte for byte, and vmacgen.exe page through qvPluginMgr.dll.
# Usage: tools/test-windows.sh BUILD_DIR LINUX_VMACGEN
set -euo pipefail

build=${1:-build-win32}
linux_vmacgen=${2:-build/bin/vmacgen}
here=$(cd "$(dirname "$0")/.." && pwd)
started=$(date +%s)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# 1. What is missing: the cross compiler, and Wine with its 32-bit half (i386 architecture).
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "Adding the i386 architecture for wine32"
    as_root dpkg --add-architecture i386
    as_root apt-get update
fi
"$here/tools/install-deps.sh" g++-mingw-w64-i686 wine wine32:i386

# 2. Some machines (kernels without 32-bit support) cannot run 32-bit programs at all, Wine's
#    32-bit loader included. There the i686 build still proves that everything compiles, and the
#    tests run in a 64-bit build under the 64-bit Wine.
toolchain=i686
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "test-windows: this machine cannot run 32-bit programs; building for 32-bit Windows" \
         "to check that it compiles, and running the tests in a 64-bit build"
    "$here/tools/install-deps.sh" g++-mingw-w64-x86-64 wine64
    toolchain=x86_64
fi

configure() { # DIR ARCH
    [ -f "$1/build.ninja" ] && return 0
    cmake -S "$here" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-$2.cmake" -DVMG_GUI=OFF -DVMG_BENCH=OFF -DVMG_WERROR=ON
}
configure "$build" i686
cmake --build "$build" -j "$(nproc)"
run="$build"
wine=wine
if [ "$toolchain" = x86_64 ]; then
    run="$build-x86_64"
    configure "$run" x86_64
    cmake --build "$run" -j "$(nproc)"
    wine=/usr/lib/wine/wine64
fi

# 3. A private, headless Wine inside the build tree, booted once; its server stays up for the
#    whole run so that each test does not pay for starting it again.
export WINEPREFIX="$here/$run/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 || true
fi
wineserver -p 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's background services start with the first program and keep its output open: start them
# here, so that ctest does not wait on them after the first test.
"$wine" cmd /c exit >/dev/null 2>&1 </dev/null || true

ctest --test-dir "$run" --output-on-failure -j "$(nproc)"

# 4. vmacgen.exe prints what the Linux vmacgen prints, byte for byte.
exe="$here/$run/bin/vmacgen.exe"
scratch="$here/$run/compare"
rm -rf "$scratch" && mkdir -p "$scratch"
failures=0
for mcs in "$here"/examples/*.mcs; do
    for command in code hint hint-rtf; do
        name="$(basename "$mcs" .mcs).$command"
        "$linux_vmacgen" "$command" "$mcs" >"$scratch/$name.linux"
        (cd "$(dirname "$mcs")" && "$wine" "$exe" "$command" "$(basename "$mcs")") \
            >"$scratch/$name.windows"
        if ! cmp -s "$scratch/$name.linux" "$scratch/$name.windows"; then
            echo "vmacgen.exe $command $(basename "$mcs") differs from the Linux vmacgen" >&2
            failures=$((failures + 1))
        fi
    done
done

# 5. vmacgen.exe page through our qvPluginMgr.dll: connected to an attached page, not connected
#    without a session, and an attached page that cannot be read any more.
export XDG_RUNTIME_DIR="$scratch"
printf 'Start:\r\n  Dim Counter As Byte\r\n; comment\r\nLoop: GoTo Loop\r\n' >"$scratch/Blink.bas"
expect_page() { # WHAT STATUS PATTERN
    set +e
    out=$(cd "$scratch" && "$wine" "$exe" page 2>&1)
    status=$?
    set -e
    if [ "$status" -ne "$2" ] || ! grep -q -- "$3" <<<"$out"; then
        echo "vmacgen.exe page, $1: status $status, printed:" >&2
        echo "$out" >&2
        failures=$((failures + 1))
    fi
}
(cd "$scratch" && "$wine" "$exe" attach Blink.bas --core 16 --line 2 --column 3)
expect_page "attached page" 0 "Labels (2): Start, Loop"
expect_page "attached page" 0 "Core: 16"
expect_page "attached page" 0 "Cursor: 2, 3"
rm "$scratch/Blink.bas"
expect_page "page gone" 1 "cannot be read"
(cd "$scratch" && "$wine" "$exe" detach)
expect_page "no session" 1 "Connected: no"

echo "test-windows: $(( $(date +%s) - started )) s"
[ "$failures" -eq 0 ] || { echo "test-windows: $failures check(s) failed" >&2; exit 1; }
