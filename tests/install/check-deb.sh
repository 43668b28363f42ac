#!/bin/sh
# Makes the .deb as `make package` does and holds it to Debian's rules: lintian at its default
# level reports no error and no warning, and the changelog's latest entry names the package's
# version.
set -eu
cpack=$1 build=$2 changelog=$3

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log" >&2; fail "cpack"; }
set -- "$tmp"/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no single .deb"
deb=$1

version=$(dpkg-deb --field "$deb" Version)
latest=$(dpkg-parsechangelog --file "$changelog" --show-field Version)
[ "$version" = "$latest" ] ||
    fail "the package is $version, the changelog's latest entry $latest: add an entry"
dpkg-deb --contents "$deb" >"$tmp/contents"
grep "/usr/share/doc/vorlan-macro-generator/changelog.Debian.gz$" "$tmp/contents" >/dev/null ||
    fail "the package holds no changelog.Debian.gz"

# Default level: errors and warnings are shown; either fails the test. (--show-overrides would
# make the overridden tags count as failures too.)
lintian --fail-on error,warning --tag-display-limit 0 "$deb" || fail "lintian"
echo "$(basename "$deb"): lintian reports nothing"
