#!/bin/sh
# Installs the build into a temporary DESTDIR, checks the files it lays out, and runs the
# installed vmacgen and the installed wizard (offscreen, attached to a page through the
# installed plug-in library) with no build tree on any search path.
set -eu
cmake=$1 build=$2 example=$3 bindir=$4 plugindir=$5 datadir=$6 mandir=$7 appid=$8

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root
prefix=/opt/vmg-install-test
DESTDIR=$root "$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
    { cat "$tmp/install.log" >&2; fail "cmake --install"; }
top=$root$prefix

# Exactly these files, nothing else (no static libraries, tests, fuzzers or build leftovers).
wizard=yes
[ -e "$top/$bindir/VorlanMacroGenerator" ] || wizard=no
{
    echo "$bindir/vmacgen"
    [ $wizard = yes ] && echo "$bindir/VorlanMacroGenerator"
    echo "$plugindir/libqvPluginMgr.so"
    echo "$datadir/applications/$appid.desktop"
    echo "$datadir/metainfo/$appid.metainfo.xml"
    echo "$datadir/mime/packages/$appid.xml"
    echo "$datadir/icons/hicolor/scalable/apps/$appid.svg"
    for size in 48 64 128 256; do
        echo "$datadir/icons/hicolor/${size}x$size/apps/$appid.png"
    done
    echo "$mandir/man1/vmacgen.1.gz"
    echo "$mandir/man1/VorlanMacroGenerator.1.gz"
    echo "$datadir/doc/vorlan-macro-generator/copyright"
    echo "$datadir/doc/vorlan-macro-generator/changelog.Debian.gz"
    echo "$datadir/lintian/overrides/vorlan-macro-generator"
} | sort >"$tmp/expected"
(cd "$top" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$tmp/installed"
diff -u "$tmp/expected" "$tmp/installed" >&2 || fail "the installed files differ from the list"

# The PNGs are the sizes they claim to be.
for size in 48 64 128 256; do
    file "$top/$datadir/icons/hicolor/${size}x$size/apps/$appid.png" |
        grep -q "PNG image data, $size x $size," || fail "the ${size}x$size icon"
done
# The man pages are roff that names their program.
for page in vmacgen VorlanMacroGenerator; do
    gzip -dc "$top/$mandir/man1/$page.1.gz" | grep -qi "^\.TH \"*$page\"* \"*1" ||
        fail "the $page man page has no .TH line"
done
# Nothing installed searches the build tree for libraries.
for f in "$top/$bindir"/* "$top/$plugindir"/*; do
    if readelf -d "$f" | grep -E 'R(UN)?PATH'; then
        fail "$f carries a library search path"
    fi
done

# A clean environment: the installed programs, a page to attach, nothing from the build.
mkdir -p "$tmp/home" "$tmp/run" "$tmp/work"
chmod 700 "$tmp/run"
cp "$example" "$tmp/work/AddNums.mcs"
printf 'Main:\r\n    Dim Total As Byte\r\n    GoSub AddSub\r\nAddSub:\r\n    Return\r\n' \
    >"$tmp/work/Blink.bas"
run() {
    (cd "$tmp/work" && env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" \
        XDG_CONFIG_HOME="$tmp/home/config" ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} \
        ${LSAN_OPTIONS:+LSAN_OPTIONS="$LSAN_OPTIONS"} \
        ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} "$@")
}

run "$top/$bindir/vmacgen" code AddNums.mcs >"$tmp/code.txt" || fail "vmacgen code"
grep -q "^AddNums MACRO" "$tmp/code.txt" || fail "vmacgen code printed no AddNums macro"
run "$top/$bindir/vmacgen" attach Blink.bas --core 16 --line 3 || fail "vmacgen attach"
[ -f "$tmp/run/vorlan-ide.session" ] || fail "attach wrote no session"

if [ $wizard = yes ]; then
    run QT_QPA_PLATFORM=offscreen VMG_SMOKE_EXIT_MS=100 LD_DEBUG=files \
        "$top/$bindir/VorlanMacroGenerator" >"$tmp/wizard.out" 2>"$tmp/wizard.err" ||
        { cat "$tmp/wizard.out" "$tmp/wizard.err" >&2; fail "the installed wizard"; }
    cat "$tmp/wizard.out"
    grep -q "^page shown: pnlStep0$" "$tmp/wizard.out" || fail "the installed wizard did not show page 0"
    grep -q "^page: Blink.bas; labels: Main,AddSub$" "$tmp/wizard.out" ||
        fail "the installed wizard did not read the attached page"
    # The library that answered is the installed one.
    # Only a library that is found gets a link map; failed tries are logged too.
    loaded=$(sed -n 's/.*file=\([^ ]*libqvPluginMgr[^ ]*\) .*generating link map.*/\1/p' "$tmp/wizard.err" | head -n 1)
    [ -n "$loaded" ] && [ "$(realpath "$loaded")" = "$(realpath "$top/$plugindir/libqvPluginMgr.so")" ] ||
        { grep libqvPluginMgr "$tmp/wizard.err" >&2; fail "the wizard loaded another library"; }

    # A double click on a macro source file: the desktop entry's Exec line for that file, and
    # the file type that leads there.
    grep -q "<glob pattern=\"\*\.mcs\"/>" "$top/$datadir/mime/packages/$appid.xml" ||
        fail "the file type does not claim *.mcs"
    mime=$(sed -n 's/.*mime-type type="\([^"]*\)".*/\1/p' "$top/$datadir/mime/packages/$appid.xml")
    grep -qx "MimeType=$mime;" "$top/$datadir/applications/$appid.desktop" ||
        fail "the desktop entry does not open $mime"
    exec_line=$(sed -n 's/^Exec=//p' "$top/$datadir/applications/$appid.desktop")
    # shellcheck disable=SC2086 # the Exec line is a command line
    set -- $exec_line
    [ "$1 $2" = "VorlanMacroGenerator %f" ] || fail "the desktop entry runs '$exec_line'"
    run QT_QPA_PLATFORM=offscreen VMG_SMOKE_EXIT_MS=300 "$top/$bindir/$1" "$tmp/work/AddNums.mcs" \
        >"$tmp/open.out" 2>&1 || { cat "$tmp/open.out" >&2; fail "the wizard with a file"; }
    grep -q "^page shown: pnlStep1$" "$tmp/open.out" ||
        { cat "$tmp/open.out" >&2; fail "the wizard did not open AddNums.mcs on page 1"; }
fi
echo "installed and ran under $prefix"
