#!/usr/bin/env bash
# Cross-builds the program for Windows and runs its tests under Wine, in a 64-bit prefix with
# 32-bit support: what a 32-bit program meets on 64-bit Windows.
#
# With the prebuilt Qt for Windows (../shared/qt-windows from the repository, or
# $VMG_QT_WINDOWS): the whole program. The i686 build is what users get (VorlanMacroGenerator.exe,
# vmacgen.exe, talking to the IDE's 32-bit library), so it holds every test and runs them all:
# the suites headless (Qt's offscreen platform), then the cases that need the system's own
# windows (the message hook, the native dialogs, every page with Wine's fonts, the program
# itself) on a private Xvfb display, where each page is pictured and its controls' places
# compared with the Linux build's. The x86_64 build holds the programs and the smoke test, which
# run too (VMG_WINDOWS_FULL_X86_64=1: every test there as well).
# Without that Qt: the Qt-free half only (vmacgen, our qvPluginMgr.dll, their tests), and a
# clear line that the Windows wizard was not built.
# Either way each tree's vmacgen.exe is then checked against the Linux vmacgen byte for byte,
# and vmacgen.exe page through that tree's qvPluginMgr.dll.
#
# Usage: tools/test-windows.sh BUILD_DIR LINUX_VMACGEN
#   BUILD_DIR holds the i686 build, BUILD_DIR-x86_64 the 64-bit one. The Linux build that holds
#   LINUX_VMACGEN also gives the Linux pages to compare with.
set -euo pipefail

build=${1:-build-win32}
linux_vmacgen=${2:-build/bin/vmacgen}
here=$(cd "$(dirname "$0")/.." && pwd)
qt_source=${VMG_QT_WINDOWS:-$here/../shared/qt-windows}
full64=${VMG_WINDOWS_FULL_X86_64:-0}
started=$(date +%s)
build64="$build-x86_64"

# 1. What is missing: both cross compilers (the POSIX-threads ones, which Qt and GoogleTest
#    need), GoogleTest's sources, Wine with both halves (the 32-bit one from the i386
#    architecture, which install-deps.sh adds to dpkg when it is missing) and its fonts (Wine's
#    Tahoma), the host Qt tools (moc, rcc, uic), what draws the program's icon and a virtual
#    display.
"$here/tools/install-deps.sh" g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest \
    wine wine64 wine32:i386 fonts-wine qt6-base-dev-tools librsvg2-bin icoutils xvfb xauth

# 2. Debian's wine runs either kind of program (the 32-bit loader hands a 64-bit one on).
wine=/usr/bin/wine
if ! "$wine" --version >/dev/null 2>&1; then
    echo "test-windows: $wine does not run; the Windows tests need Wine (wine32:i386, wine64)" >&2
    exit 1
fi

gui=OFF
if [ -f "$qt_source/SHA256SUMS" ]; then
    gui=ON
else
    echo "test-windows: no Qt for Windows in $qt_source:" \
         "the Windows wizard is NOT built or tested, only the Qt-free half" >&2
fi

# 3. i686: everything, tests included.
"$here/tools/configure-windows.sh" "$build" i686 "$gui"
cmake --build "$build" -j "$(nproc)"

# 4. x86_64: the programs, our stand-in and the smoke test; everything when asked.
"$here/tools/configure-windows.sh" "$build64" x86_64 "$gui"
targets=(vmacgen qvPluginMgr vmg_stand_in)
[ "$gui" = ON ] && targets+=(VorlanMacroGenerator test_wizard_smoke)
if [ "$full64" = 1 ]; then
    cmake --build "$build64" -j "$(nproc)"
else
    cmake --build "$build64" -j "$(nproc)" --target "${targets[@]}"
fi

built=$(date +%s)

# 5. A private Wine inside the i686 tree, booted once, 64-bit with 32-bit support (as on 64-bit
#    Windows); its server stays up for the whole run so that each test does not pay for
#    starting it again. With the wizard, a private display too: every Wine program of the run
#    uses it (the headless suites ignore it).
export WINEPREFIX="$here/$build/wineprefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY WINELOADER
# Qt's offscreen platform looks for fonts beside the program unless told.
export WINEQT_QPA_FONTDIR="Z:/usr/share/fonts/truetype/dejavu"
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ "$gui" = ON ]; then
    display=80
    while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.2
    done
    export DISPLAY=":$display"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 || true
    # Wine has no Courier New, the code and hint boxes' font on Windows; a face of its kind
    # stands in, so that the pictured pages show code as Windows does.
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Courier New" /t REG_SZ \
        /d "DejaVu Sans Mono" /f >/dev/null 2>&1 || true
fi
wineserver -p 2>/dev/null || true
# Wine's background services start with the first program and keep its output open: start them
# here, so that ctest does not wait on them after the first test.
"$wine" cmd /c exit >/dev/null 2>&1 </dev/null || true

failures=0
fail() { # MESSAGE...
    echo "test-windows: $*" >&2
    failures=$((failures + 1))
}

# The suites of a tree, headless (CTEST_ARGS... narrow them).
suites() { # TREE CTEST_ARGS...
    local tree=$1
    shift
    ctest --test-dir "$tree" --output-on-failure -j "$(nproc)" -LE native "$@" ||
        fail "$tree: tests failed"
}

# On the display: the cases that need Qt's windows platform, each page pictured with its
#    controls' places; then the same pages of the Linux build, whose places must be the same.
native() { # TREE
    local shots="$here/$1/page-shots"
    rm -rf "$shots" && mkdir -p "$shots"
    VMG_PAGE_SHOTS="$shots" ctest --test-dir "$1" --output-on-failure -L native ||
        fail "$1: the tests on the display failed"
    local linux_wizard_tests
    linux_wizard_tests="$(dirname "$linux_vmacgen")/test_wizard"
    [ -x "$linux_wizard_tests" ] || return 0
    QT_QPA_PLATFORM=xcb VMG_PAGE_SHOTS="$shots" "$linux_wizard_tests" \
        --gtest_filter='PageLooksTest.*' >"$shots/linux.log" 2>&1 ||
        { cat "$shots/linux.log" >&2; fail "the Linux pages could not be pictured"; }
    if ! diff -u "$shots/layout-xcb.txt" "$shots/layout-windows.txt" >"$shots/layout.diff"; then
        cat "$shots/layout.diff" >&2
        fail "$1: the pages' controls differ between Linux and Windows (above)"
    fi
    echo "test-windows: the pages as pictured: $shots/shots-windows, $shots/shots-xcb"
}

# vmacgen.exe prints what the Linux vmacgen prints, byte for byte.
bytes() { # TREE
    local exe="$here/$1/bin/vmacgen.exe" scratch="$here/$1/compare" mcs name command
    rm -rf "$scratch" && mkdir -p "$scratch"
    for mcs in "$here"/examples/*.mcs; do
        for command in code hint hint-rtf; do
            name="$(basename "$mcs" .mcs).$command"
            "$linux_vmacgen" "$command" "$mcs" >"$scratch/$name.linux"
            (cd "$(dirname "$mcs")" && "$wine" "$exe" "$command" "$(basename "$mcs")") \
                >"$scratch/$name.windows"
            cmp -s "$scratch/$name.linux" "$scratch/$name.windows" ||
                fail "$1: vmacgen.exe $command $(basename "$mcs") differs from the Linux vmacgen"
        done
    done
}

# vmacgen.exe page through the tree's qvPluginMgr.dll: connected to an attached page, not
# connected without a session, and an attached page that cannot be read any more.
page() { # TREE
    local exe="$here/$1/bin/vmacgen.exe" scratch="$here/$1/compare/page"
    rm -rf "$scratch" && mkdir -p "$scratch"
    printf 'Start:\r\n  Dim Counter As Byte\r\n; comment\r\nLoop: GoTo Loop\r\n' >"$scratch/Blink.bas"
    expect_page() { # WHAT STATUS PATTERN
        local out status
        set +e
        out=$(cd "$scratch" && XDG_RUNTIME_DIR="$scratch" "$wine" "$exe" page 2>&1)
        status=$?
        set -e
        if [ "$status" -ne "$2" ] || ! grep -q -- "$3" <<<"$out"; then
            echo "$out" >&2
            fail "$exe page, $1: status $status, printed the above"
        fi
    }
    (cd "$scratch" && XDG_RUNTIME_DIR="$scratch" "$wine" "$exe" attach Blink.bas --core 16 \
        --line 2 --column 3)
    expect_page "attached page" 0 "Labels (2): Start, Loop"
    expect_page "attached page" 0 "Core: 16"
    expect_page "attached page" 0 "Cursor: 2, 3"
    rm "$scratch/Blink.bas"
    expect_page "page gone" 1 "cannot be read"
    (cd "$scratch" && XDG_RUNTIME_DIR="$scratch" "$wine" "$exe" detach)
    expect_page "no session" 1 "Connected: no"
}

# Files never lost, and upgrade in place, through vmacgen.exe of TREE:
files() { # TREE
    local exe="$here/$1/bin/vmacgen.exe" scratch="$here/$1/compare/files" status pair name out pids
    rm -rf "$scratch" && mkdir -p "$scratch"
    # -o onto the input in other letter case is refused; two hint --into at once (ten pairs,
    # each a few Wine starts) keep the other block and every block they report.
    "$linux_vmacgen" code "$here/examples/AddNums.mcs" >"$scratch/Prog.bas"
    cp "$scratch/Prog.bas" "$scratch/Prog.orig"
    sed 's/AddNums/SubNums/' "$here/examples/AddNums.mcs" >"$scratch/SubNums.mcs"
    cp "$here/examples/AddNums.mcs" "$scratch/"
    status=0
    (cd "$scratch" && "$wine" "$exe" import Prog.bas -o prog.BAS >/dev/null 2>&1) || status=$?
    if [ "$status" -ne 1 ] || ! cmp -s "$scratch/Prog.bas" "$scratch/Prog.orig"; then
        fail "vmacgen.exe import -o onto its input in other letter case: status $status"
    fi
    for pair in $(seq 10); do
        printf 'KEY ("Other")\r\nENDKEY\r\n' >"$scratch/USER.MCD"
        pids=()
        for name in AddNums SubNums; do
            (cd "$scratch" && s=0 && { "$wine" "$exe" hint "$name.mcs" --into USER.MCD \
                >/dev/null 2>&1 || s=$?; } && echo "$s" >"$name.status") &
            pids+=($!)
        done
        # These two only: the display runs in the background too.
        wait "${pids[@]}"
        for name in AddNums SubNums; do
            if ! grep -q 'KEY ("Other")' "$scratch/USER.MCD" ||
                { [ "$(cat "$scratch/$name.status")" = 0 ] && ! grep -q "KEY (\"$name\")" "$scratch/USER.MCD"; }; then
                fail "vmacgen.exe hint --into, pair $pair: a block of $name or Other was lost"
            fi
        done
    done

    # upgrade rewrites a macro in an editor's layout where it stands, keeping the old file as
    # .bak, and refuses the same file marked read-only beside it, leaving it untouched.
    expect_upgrade() { # FILE STATUS
        set +e
        out=$(cd "$scratch" && "$wine" "$exe" upgrade "$1" 2>&1)
        status=$?
        set -e
        if [ "$status" -ne "$2" ]; then
            fail "vmacgen.exe upgrade $1: status $status, printed:" "$out"
        fi
    }
    "$linux_vmacgen" code "$here/examples/AddNums.mcs" >"$scratch/AddNums.code"
    { printf 'Dim Total As Word\r\n'; sed 's/\t/    /g' "$scratch/AddNums.code"; } >"$scratch/Upgrade.bas"
    cp "$scratch/Upgrade.bas" "$scratch/Locked.bas"
    chmod a-w "$scratch/Locked.bas"
    expect_upgrade Upgrade.bas 0
    expect_upgrade Locked.bas 1
    { printf 'Dim Total As Word\r\n'; cat "$scratch/AddNums.code"; } >"$scratch/Upgrade.expected"
    if ! cmp -s "$scratch/Upgrade.bas" "$scratch/Upgrade.expected" ||
       ! cmp -s "$scratch/Upgrade.bas.bak" "$scratch/Locked.bas" ||
       [ -e "$scratch/Locked.bas.bak" ]; then
        fail "vmacgen.exe upgrade: the files are not as they should be"
    fi
    chmod u+w "$scratch/Locked.bas"
}

# 6. i686, what users get: every test.
suites "$build"
[ "$gui" = ON ] && native "$build"
bytes "$build"
page "$build"
files "$build"
i686_done=$(date +%s)

# 7. x86_64: the smoke test and the same outside checks; every test when asked.
if [ "$full64" = 1 ]; then
    suites "$build64"
    [ "$gui" = ON ] && native "$build64"
elif [ "$gui" = ON ]; then
    suites "$build64" -R '^test_wizard_smoke$'
    ctest --test-dir "$build64" --output-on-failure -R '^test_wizard_smoke_native$' ||
        fail "$build64: the smoke test on the display failed"
fi
bytes "$build64"
page "$build64"

[ "$gui" = ON ] || echo "test-windows: the Windows wizard was NOT built (no Qt for Windows in $qt_source)"
echo "test-windows: $(( $(date +%s) - started )) s: the builds $(( built - started )) s," \
     "the i686 tests $(( i686_done - built )) s, the x86_64 checks $(( $(date +%s) - i686_done )) s"
[ "$failures" -eq 0 ] || { echo "test-windows: $failures check(s) failed" >&2; exit 1; }
