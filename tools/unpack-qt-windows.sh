#!/usr/bin/env bash
# Unpacks the prebuilt Qt for Windows (../shared/qt-windows, or $VMG_QT_WINDOWS) into a build
# folder, after checking the archive against its SHA256SUMS; prints the unpacked Qt's prefix.
# A second run with the same archive unpacks nothing.
# Usage: tools/unpack-qt-windows.sh i686|x86_64 DEST
set -euo pipefail

arch=${1:?usage: unpack-qt-windows.sh i686|x86_64 DEST}
dest=${2:?usage: unpack-qt-windows.sh i686|x86_64 DEST}
here=$(cd "$(dirname "$0")/.." && pwd)
source_dir=${VMG_QT_WINDOWS:-$here/../shared/qt-windows}

case "$arch" in
    i686) name=qt6-win32 ;;
    x86_64) name=qt6-win64 ;;
    *) echo "unpack-qt-windows: no Qt for '$arch' (i686 or x86_64)" >&2; exit 2 ;;
esac

archive=$(ls "$source_dir/$name"-*.tar.xz 2>/dev/null | head -n 1 || true)
if [ -z "$archive" ] || [ ! -f "$source_dir/SHA256SUMS" ]; then
    echo "unpack-qt-windows: no $name archive with its SHA256SUMS in $source_dir" >&2
    exit 1
fi

expected=$(awk -v f="$(basename "$archive")" '$2 == f || $2 == "*" f { print $1 }' \
           "$source_dir/SHA256SUMS")
stamp="$dest/$name.sha256"
prefix="$dest/$name"
if [ -n "$expected" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$expected" ] &&
   [ -d "$prefix/lib/cmake/Qt6" ]; then
    echo "$prefix"
    exit 0
fi

actual=$(sha256sum "$archive" | cut -d ' ' -f 1)
if [ -z "$expected" ] || [ "$actual" != "$expected" ]; then
    echo "unpack-qt-windows: $archive does not match its SHA256SUMS entry" \
         "(expected '${expected:-none}', got $actual)" >&2
    exit 1
fi

mkdir -p "$dest"
rm -rf "$prefix" "$stamp"
tar -C "$dest" -xJf "$archive"
[ -d "$prefix/lib/cmake/Qt6" ] || { echo "unpack-qt-windows: $archive holds no $name/" >&2; exit 1; }
# The archive's files are read-only; the build tree must stay removable.
chmod -R u+w "$prefix"
echo "$actual" >"$stamp"
echo "$prefix"
