#!/usr/bin/env bash
# Makes the Windows packages of one cross build of the wizard: a .zip that runs where it is
# unpacked, and a per-user .msi. Both hold the two programs, exactly the Qt DLLs, Qt plug-ins and
# compiler runtime DLLs they load, the help pages and the licences; never our stand-in
# qvPluginMgr.dll, which beside the wizard would shadow the IDE's own.
# Usage: tools/package-windows.sh BUILD_DIR i686|x86_64 [VERSION]
#   BUILD_DIR is configured by tools/configure-windows.sh (with the prebuilt Qt for Windows)
#   when it is not yet, and its two programs are built. VERSION (default: the
#   project's) lets a test make a newer package of the same build.
# Writes BUILD_DIR/package/VorlanMacroGenerator-VERSION-win32|win64.{zip,msi}, and keeps the
# install folder they hold (the build's cmake --install, checked) beside them under that name.
set -euo pipefail

usage="usage: package-windows.sh BUILD_DIR i686|x86_64 [VERSION]"
build=${1:?$usage}
arch=${2:?$usage}
here=$(cd "$(dirname "$0")/.." && pwd)

fail() {
    echo "package-windows: $*" >&2
    exit 1
}

"$here/tools/install-deps.sh" "g++-mingw-w64-${arch/_/-}-posix" qt6-base-dev-tools wixl msitools \
    icoutils zip librsvg2-bin

# ---- The build: the wizard with the prebuilt Qt for Windows, in Release ----
"$here/tools/configure-windows.sh" "$build" "$arch" ON ||
    fail "the Windows wizard needs the prebuilt Qt for Windows (../shared/qt-windows)"
cmake --build "$build" -j "$(nproc)" --target VorlanMacroGenerator vmacgen
build=$(cd "$build" && pwd)

# What the build knows: its version, its architecture and its objdump.
env_file=$build/package-windows.env
[ -f "$env_file" ] || fail "$build is not a Windows build (no package-windows.env)"
# shellcheck source=/dev/null
. "$env_file"
[ "$VMG_GUI" = ON ] || fail "$build was configured without the wizard (VMG_GUI=OFF)"
[ "$VMG_ARCH" = "$arch" ] || fail "$build is a build for $VMG_ARCH, not $arch"
version=${3:-$VMG_VERSION}
# Windows Installer compares three fields, major.minor.build, each a plain number.
IFS=. read -r major minor build_no _ <<<"$version.0.0"
[[ "$major.$minor.$build_no" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "version $version is not numeric"
upgrade_below=$major.$minor.$((build_no + 1))

case $VMG_ARCH in
x86_64) suffix=win64 wixarch=x64 win64=yes ;;
i686) suffix=win32 wixarch=x86 win64=no ;;
*) fail "unknown architecture $VMG_ARCH" ;;
esac
sysroot=/usr/$VMG_ARCH-w64-mingw32/lib

out=$build/package
name=VorlanMacroGenerator-$version-$suffix
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name.msi" "$out/root"
mkdir -p "$out"

# ---- The install folder: the build's own install of its bin/ folder ----
# Stripped: the debugging information stays in the build tree.
cmake --install "$build" --prefix "$out/root" --strip >"$out/install.log" ||
    { cat "$out/install.log" >&2; fail "cmake --install $build"; }
mv "$out/root/bin" "$stage"
rm -rf "$out/root"

# ---- Exactly the DLLs the programs load: every import is packaged or part of Windows, and
#      every packaged DLL is imported by something (the two plug-ins are what Qt loads) ----
imports() { # FILE: the DLL names it imports, one a line, in lower case
    "$VMG_OBJDUMP" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]'
}
# A DLL that Windows itself provides: an API set, or one the cross compiler has an import
# library for (kernel32, user32, d3d11, ...).
system_dll() {
    case $1 in api-ms-win-* | ext-ms-win-*) return 0 ;; esac
    [ -f "$sysroot/lib${1%.dll}.a" ]
}
plugins=$(cd "$stage" && find platforms styles -type f 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')
[ "$plugins" = "platforms/qwindows.dll styles/qwindowsvistastyle.dll " ] ||
    fail "the plug-ins are '$plugins', not the windows platform and the vista style"
declare -A used=()
for file in "$stage"/*.exe "$stage"/*.dll "$stage"/platforms/*.dll "$stage"/styles/*.dll; do
    while read -r dll; do
        if [ -n "$(find "$stage" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
            used[$dll]=1
        elif ! system_dll "$dll"; then
            fail "$(basename "$file") needs $dll, which is neither packaged nor part of Windows"
        fi
    done < <(imports "$file")
done
for file in "$stage"/*.dll; do
    dll=$(basename "$file" | tr '[:upper:]' '[:lower:]')
    [ -n "${used[$dll]:-}" ] || fail "$(basename "$file") is packaged, but nothing loads it"
done
for file in VorlanMacroGenerator.exe vmacgen.exe LICENSE.txt THIRD-PARTY.txt help/topic1010.html; do
    [ -f "$stage/$file" ] || fail "the install holds no $file"
done
# Beside the wizard our stand-in would shadow the IDE's own library.
[ -z "$(find "$stage" -iname qvPluginMgr.dll -print -quit)" ] || fail "qvPluginMgr.dll is packaged"

# ---- The icon of the shortcut and of "Apps & features": the one the build drew for the program ----
icons=$out/icon
rm -rf "$icons" && mkdir -p "$icons"
cp "$build/wizard/icon/VorlanMacroGenerator.ico" "$icons/"
[ "$(icotool --list "$icons/VorlanMacroGenerator.ico" | wc -l)" -eq 6 ] || fail "the icon lacks a size"
wrestool --list --type=group_icon "$stage/VorlanMacroGenerator.exe" | grep -q . ||
    fail "VorlanMacroGenerator.exe carries no icon"

# ---- The .zip: one folder that runs where it is unpacked ----
(cd "$out" && find "$name" -type f | LC_ALL=C sort | zip -qX9 "$name.zip" -@)

# ---- The .msi ----
# The staged folder as components, one file each; the program's own component also carries the
# Start-menu shortcut, so it needs no registry value of ours. (wixl makes every shortcut an
# advertised one: it starts the program through its feature, which Windows Installer first
# checks is whole.)
id_of() { # PATH: an installer identifier made of it
    local id=${1//[^A-Za-z0-9]/_}
    echo "${2}_$id"
}
component() { # RELATIVE_PATH [REMOVE_FOLDER_ID]: one file; the second also removes its folder
    local path=$1 shortcut= folder=
    if [ "$path" = VorlanMacroGenerator.exe ]; then
        shortcut='
          <Shortcut Id="StartMenuShortcut" Directory="ProgramMenuFolder"
                    Name="Vorlan Macro Generator" Description="Write a new Vorlan BASIC macro"
                    WorkingDirectory="INSTALLDIR" Icon="VorlanMacroGenerator.ico"/>
        '
    fi
    [ -n "${2:-}" ] && folder="<RemoveFolder Id=\"$2\" On=\"uninstall\"/>"
    cat <<WXS
        <Component Id="$(id_of "$path" c)" Guid="*" Win64="$win64">
          <File Id="$(id_of "$path" f)" Source="$name/$path" KeyPath="yes">$shortcut</File>$folder
        </Component>
WXS
}
file_list() {
    echo '<?xml version="1.0" encoding="utf-8"?>'
    echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi"><Fragment>'
    echo '  <DirectoryRef Id="INSTALLDIR">'
    local top sub
    for top in $(cd "$stage" && find . -maxdepth 1 -type f | sed 's|^\./||' | LC_ALL=C sort); do
        component "$top"
    done
    for sub in $(cd "$stage" && find . -mindepth 1 -maxdepth 1 -type d | sed 's|^\./||' | LC_ALL=C sort); do
        echo "    <Directory Id=\"$(id_of "$sub" d)\" Name=\"$sub\">"
        local remove=$(id_of "$sub" r)
        for top in $(cd "$stage" && find "$sub" -type f | LC_ALL=C sort); do
            component "$top" "$remove"
            remove=
        done
        echo '    </Directory>'
    done
    echo '  </DirectoryRef>'
    echo '  <ComponentGroup Id="ProgramFiles">'
    (cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) | while read -r path; do
        echo "    <ComponentRef Id=\"$(id_of "$path" c)\"/>"
    done
    echo '  </ComponentGroup>'
    echo '</Fragment></Wix>'
}
# wixl takes sources relative to the folder it runs in.
file_list >"$out/files.wxs"
(cd "$out" && wixl --arch "$wixarch" --define Version="$version" --define Win64=$win64 \
    --define UpgradeBelow="$upgrade_below" \
    --define IconFile=icon/VorlanMacroGenerator.ico --output "$name.msi" \
    "$here/data/windows/VorlanMacroGenerator.wxs" files.wxs)

echo "package-windows: $out/$name.zip, $out/$name.msi ($(find "$stage" -type f | wc -l) files)"
