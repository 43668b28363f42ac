#!/usr/bin/env bash
# The Windows packages: made from both cross builds, their file lists compared, and each
# installer run under Wine (a private 64-bit prefix with 32-bit support, as on 64-bit Windows; a
# virtual display), the 32-bit one that users take first: a per-user install with every file,
# the Start-menu shortcut and the .mcs file type, the installed vmacgen.exe byte-equal to the
# Linux vmacgen, the installed wizard on page 0 with exactly the packaged DLLs and the IDE's
# library from the folder named in its settings (for 32 bits a library of the IDE's kind), a
# double-clicked .mcs opening in it, an upgrade in place by a newer package, and an uninstall
# that leaves no file and no registry key behind.
# Usage: tests/install/check-windows-packages.sh X86_64_BUILD I686_BUILD LINUX_VMACGEN
set -euo pipefail

# Wine runs on one virtual display from its start: a Wine session begun without a display
# cannot open windows later.
if [ -z "${VMG_PACKAGE_TEST_DISPLAY:-}" ]; then
    VMG_PACKAGE_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

x64=$(cd "$1" && pwd)
x86=$(cd "$2" && pwd)
linux_vmacgen=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
here=$(cd "$(dirname "$0")/../.." && pwd)
started=$(date +%s)
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
stop() {
    echo "FAIL: $*" >&2
    exit 1
}

# ---- 1. The packages: both architectures, and a newer 64-bit one for the upgrade ----
# shellcheck source=/dev/null
. "$x64/package-windows.env"
if [ "$VMG_GUI" != ON ]; then
    echo "check-windows-packages: $x64 holds no Windows wizard (no Qt for Windows):" \
        "the Windows packages are NOT made or tested" >&2
    exit 0
fi
"$here/tools/install-deps.sh" unzip binutils
version=$VMG_VERSION
IFS=. read -r major minor build_no _ <<<"$version.0.0"
newer=$major.$minor.$((build_no + 1))
"$here/tools/package-windows.sh" "$x64" x86_64
"$here/tools/package-windows.sh" "$x64" x86_64 "$newer"
"$here/tools/package-windows.sh" "$x86" i686
"$here/tools/package-windows.sh" "$x86" i686 "$newer"
pkg64=$x64/package/VorlanMacroGenerator-$version-win64
pkg64new=$x64/package/VorlanMacroGenerator-$newer-win64
pkg32=$x86/package/VorlanMacroGenerator-$version-win32
pkg32new=$x86/package/VorlanMacroGenerator-$newer-win32

# The files of a folder, an archive or an installer, as relative paths in one order.
folder_files() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }
zip_files() { unzip -Z1 "$1" | grep -v '/$' | sed "s|^$2/||" | LC_ALL=C sort; }
msi_files() {
    msiextract --list "$1" | sed 's|\\|/|g; s|^Programs/Vorlan Macro Generator/||' | LC_ALL=C sort
}
# The 32-bit runtime's support library has its own name; otherwise both hold the same files.
as_64_bit() { sed 's|^libgcc_s_dw2-1\.dll$|libgcc_s_seh-1.dll|' | LC_ALL=C sort; }

folder_files "$pkg64" >"$x64/package/files.expected"
lists() { # NAME LISTING: compare one listing with the 64-bit install folder
    if ! diff -u "$x64/package/files.expected" - >"$x64/package/files.diff"; then
        fail "$1 holds other files than the 64-bit install folder:"
        cat "$x64/package/files.diff" >&2
    fi
}
zip_files "$pkg64.zip" "$(basename "$pkg64")" | lists "the 64-bit .zip"
msi_files "$pkg64.msi" | lists "the 64-bit .msi"
zip_files "$pkg32.zip" "$(basename "$pkg32")" | as_64_bit | lists "the 32-bit .zip"
msi_files "$pkg32.msi" | as_64_bit | lists "the 32-bit .msi"
folder_files "$pkg32" | grep -qx 'libgcc_s_dw2-1.dll' || fail "the 32-bit packages lack libgcc_s_dw2-1.dll"

# ---- 2. to 7., once for each package: BITS TREE PACKAGE NEWER_PACKAGE IDE_LIBRARY PAGE ----
trap 'wineserver -k 2>/dev/null || true' EXIT
install_cycle() {
local bits=$1 tree=$2 pkg=$3 pkgnew=$4 ide_library=$5 page=$6
echo "check-windows-packages: the $bits-bit installer"
# Each package with the loader of its kind: Wine's tools (msiexec, reg) then see the registry
# as a program of that kind does (the 32-bit one: through WoW64, as on 64-bit Windows).
wine=/usr/lib/wine/wine64
[ "$bits" = 32 ] && wine=/usr/bin/wine
# ---- 2. A private Wine on the virtual display; nothing it does reaches the user's own menus
#         or files ----
work=$tree/package/wine-test
rm -rf "$work"
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export WINEPREFIX=$work/prefix HOME=$work/home XDG_RUNTIME_DIR=$work/run WINEDEBUG=-all
export XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
# No .desktop files for the Start-menu shortcut: winemenubuilder would write them into HOME.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WAYLAND_DISPLAY
"$wine" wineboot -i >/dev/null 2>&1 || true
wineserver -p 2>/dev/null || true
winpath() { "$wine" winepath -w "$1" 2>/dev/null; }
unixpath() { "$wine" winepath -u "$1" 2>/dev/null; }
local_appdata=$(unixpath "$("$wine" cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')")
start_menu=$(unixpath "$("$wine" cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')")
start_menu="$start_menu/Microsoft/Windows/Start Menu/Programs"
inst="$local_appdata/Programs/Vorlan Macro Generator"
shortcut="$start_menu/Vorlan Macro Generator.lnk"
[ -d "$local_appdata" ] || stop "no %LOCALAPPDATA% in the Wine prefix"

# The whole registry as text, keys and values.
registry() {
    local hive
    for hive in HKCU HKLM; do
        "$wine" reg export "$hive" "$work/$hive.reg" /y >/dev/null 2>&1
        iconv -f UTF-16 -t UTF-8 "$work/$hive.reg" | tr -d '\r'
    done
}
# A GUID as Windows Installer names its keys: the first three groups reversed, then each byte's
# two digits swapped ({EA28A3D6-255E-...} gives 6D3A82AEE552...).
packed_guid() {
    local g=${1//[\{\}-]/} out= i
    out=$(rev <<<"${g:0:8}")$(rev <<<"${g:8:4}")$(rev <<<"${g:12:4}")
    for ((i = 16; i < 32; i += 2)); do
        out+=${g:i+1:1}${g:i:1}
    done
    echo "$out"
}
# What the installer writes for itself names the product, its upgrade code or a component:
# every such name, plain and packed.
installer_names() { # MSI...
    local msi guid
    for msi in "$@"; do
        msiinfo export "$msi" Property | awk -F '\t' '$1 == "ProductCode" || $1 == "UpgradeCode" { print $2 }'
        msiinfo export "$msi" Component | awk -F '\t' 'NR > 3 { print $2 }'
    done | LC_ALL=C sort -u | while read -r guid; do
        [ -n "$guid" ] || continue
        echo "${guid//[\{\}]/}"
        packed_guid "$guid"
    done
    echo "Vorlan Macro Generator"
    echo "VorlanMacroGenerator"
}
# The "Apps & features" entries of the program, as "version|comments" lines.
arp_entries() {
    local hive
    for hive in HKCU HKLM; do
        "$wine" reg query "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s \
            2>/dev/null | tr -d '\r'
    done | awk '
        /^HKEY_/ { if (name == "Vorlan Macro Generator") print version "|" comments
                   name = ""; version = ""; comments = "" }
        $1 == "DisplayName" { sub(/.*REG_SZ[ \t]+/, ""); name = $0 }
        $1 == "DisplayVersion" { sub(/.*REG_SZ[ \t]+/, ""); version = $0 }
        $1 == "Comments" { sub(/.*REG_SZ[ \t]+/, ""); comments = $0 }
        END { if (name == "Vorlan Macro Generator") print version "|" comments }'
}
msiexec() { # ACTION MSI: install (/i) or remove (/x), quietly
    "$wine" msiexec "$1" "$(winpath "$2")" /qn >"$work/msiexec.log" 2>&1
}
folder_files "$pkg" >"$work/files.expected"
installed_as_packaged() { # WHAT: the install folder holds what the package holds
    if ! diff -u "$work/files.expected" <(folder_files "$inst") >"$work/files.diff"; then
        fail "$1: the install folder differs from the package:"
        cat "$work/files.diff" >&2
    fi
}
[ -e "$local_appdata/Programs" ] && programs_before=yes || programs_before=no

# ---- 3. Install: every file, the shortcut, the "Apps & features" entry ----
msiexec /i "$pkg.msi" || stop "msiexec /i $(basename "$pkg.msi") failed"
installed_as_packaged "install"
if [ -f "$shortcut" ]; then
    strings -el "$shortcut" | grep -q 'VorlanMacroGenerator.exe' ||
        fail "the shortcut does not start VorlanMacroGenerator.exe"
else
    fail "no Start-menu shortcut $shortcut"
fi
entries=$(arp_entries)
[ "$(wc -l <<<"$entries")" -eq 1 ] && [[ $entries == "$version|"*MIT* ]] ||
    fail "the Apps & features entry is not one of version $version naming the MIT licence: $entries"

# ---- 4. The installed vmacgen.exe prints what the Linux vmacgen prints, byte for byte ----
for mcs in "$here"/examples/*.mcs; do
    "$linux_vmacgen" code "$mcs" >"$work/linux.txt"
    (cd "$(dirname "$mcs")" && "$wine" "$inst/vmacgen.exe" code "$(basename "$mcs")") \
        >"$work/windows.txt" 2>/dev/null
    cmp -s "$work/linux.txt" "$work/windows.txt" ||
        fail "the installed vmacgen.exe code $(basename "$mcs") differs from the Linux vmacgen"
done

# ---- 5. The installed wizard: page 0 on screen, the IDE found through the folder its settings
#         name (the library given, attached to a page), and every DLL it loads its own ----
ide="$work/Vorlan IDE"
mkdir -p "$ide"
cp "$ide_library" "$ide/qvPluginMgr.dll"
printf 'Start:\r\n  Dim Counter As Byte\r\nLoop: GoTo Loop\r\n' >"$work/run/Blink.bas"
(cd "$work/run" && "$wine" "$inst/vmacgen.exe" attach Blink.bas --core 16) >/dev/null 2>&1 ||
    fail "vmacgen.exe attach"
wizard_key='HKCU\Software\Quillory\VorlanMacroGenerator'
"$wine" reg add "$wizard_key" /v IdeFolder /t REG_SZ /d "$(winpath "$ide")" /f >/dev/null 2>&1
WINEDEBUG=+loaddll VMG_SMOKE_EXIT_MS=3000 timeout 120 \
    "$wine" "$inst/VorlanMacroGenerator.exe" >"$work/wizard.out" 2>"$work/wizard.err" ||
    fail "the installed wizard did not end cleanly within two minutes"
sed -i 's/\r$//' "$work/wizard.out" # a Windows program's text output ends its lines in CR LF
grep -qx 'shown: Vorlan Macro Generator' "$work/wizard.out" || fail "the installed wizard showed no window"
grep -qx 'page shown: pnlStep0' "$work/wizard.out" || fail "the installed wizard did not show page 0"
grep -qx "$page" "$work/wizard.out" ||
    fail "the installed wizard did not reach the IDE through the folder in its settings"
# Every native DLL it loaded (besides the IDE's) came from its install folder, and it loaded
# every DLL packaged there.
sed -n 's/.*Loaded L"\(.*\)" at .*: native$/\1/p' "$work/wizard.err" | sed 's|\\\\|/|g' |
    LC_ALL=C sort -u >"$work/loaded"
install_win=$(winpath "$inst" | sed 's|\\|/|g')
ide_win=$(winpath "$ide" | sed 's|\\|/|g')
grep -v -i -F -e "$install_win/" -e "$ide_win/" "$work/loaded" >"$work/foreign" || true
[ ! -s "$work/foreign" ] || { fail "the wizard loaded DLLs from elsewhere:"; cat "$work/foreign" >&2; }
grep -F "$install_win/" "$work/loaded" | cut -c$((${#install_win} + 2))- | grep -v '\.exe$' |
    LC_ALL=C sort >"$work/loaded.dlls"
grep '\.dll$' "$work/files.expected" >"$work/packaged.dlls"
diff -u "$work/packaged.dlls" "$work/loaded.dlls" >&2 ||
    fail "the wizard did not load exactly the packaged DLLs"
grep -qi -F "$ide_win/qvPluginMgr.dll" "$work/loaded" || fail "the IDE's qvPluginMgr.dll was not loaded"
# A library of the IDE's kind logs its calls: the wizard connected once, first.
if [ -f "$ide/qvPluginMgr.log" ]; then
    [ "$(head -n 1 "$ide/qvPluginMgr.log")" = "Connect(a window)" ] &&
        [ "$(grep -c '^Connect' "$ide/qvPluginMgr.log")" -eq 1 ] ||
        fail "the wizard did not connect to the IDE's library once, first"
fi
# The settings are the program's, not the installer's: the uninstall leaves them, so remove them
# here for the registry comparison at the end.
"$wine" reg delete 'HKCU\Software\Quillory' /f >/dev/null 2>&1

# ---- 5a. A double-clicked macro source file: the file type names the program with the file,
#          and the program opens it on page 1. The shell runs the type's command with the file
#          for %1; so does this test (Wine 8's "start /wait" of the file did not return). ----
command=$("$wine" reg query 'HKCU\Software\Classes\Quillory.VorlanMacroGenerator.mcs\shell\open\command' \
    /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
[[ $command == '"'?:*'\Vorlan Macro Generator\VorlanMacroGenerator.exe" "%1"' ]] ||
    fail "the .mcs file type runs '$command'"
"$wine" reg query 'HKCU\Software\Classes\.mcs' /ve 2>/dev/null | grep -q 'Quillory.VorlanMacroGenerator.mcs' ||
    fail ".mcs is not the wizard's file type"
cp "$here/examples/AddNums.mcs" "$work/run/"
program=$(unixpath "$(cut -d '"' -f 2 <<<"$command")")
(cd "$work/run" && VMG_SMOKE_EXIT_MS=3000 timeout 120 "$wine" "$program" \
    "$(winpath "$work/run/AddNums.mcs")") >"$work/open.out" 2>&1 ||
    fail "the wizard with AddNums.mcs did not end cleanly"
sed -i 's/\r$//' "$work/open.out"
grep -qx 'page shown: pnlStep1' "$work/open.out" ||
    { cat "$work/open.out" >&2; fail "the .mcs file type did not open AddNums.mcs on page 1"; }
"$wine" reg delete 'HKCU\Software\Quillory' /f >/dev/null 2>&1 || true

# ---- 6. A newer package replaces the installed one in place ----
msiexec /i "$pkgnew.msi" || fail "msiexec /i $(basename "$pkgnew.msi") failed"
installed_as_packaged "upgrade"
entries=$(arp_entries)
[ "$(wc -l <<<"$entries")" -eq 1 ] && [[ $entries == "$newer|"* ]] ||
    fail "after the upgrade the Apps & features entries are not one of version $newer: $entries"
[ "$(find "$start_menu" -name 'Vorlan Macro Generator*.lnk' | wc -l)" -eq 1 ] ||
    fail "after the upgrade there is not exactly one shortcut"

# ---- 7. Uninstall: no file, no folder, no shortcut, no registry key left ----
msiexec /x "$pkgnew.msi" || fail "msiexec /x $(basename "$pkgnew.msi") failed"
[ ! -e "$inst" ] || { fail "the uninstall left $inst:"; find "$inst" >&2; }
[ ! -e "$shortcut" ] || fail "the uninstall left the shortcut"
[ $programs_before = yes ] || [ ! -e "$local_appdata/Programs" ] ||
    fail "the uninstall left the Programs folder it made"
[ -z "$(arp_entries)" ] || fail "the uninstall left the Apps & features entry"
installer_names "$pkg.msi" "$pkgnew.msi" >"$work/names"
echo 'Classes\.mcs]' >>"$work/names"
if registry | grep -i -F -f "$work/names" >"$work/left"; then
    fail "the uninstall left these in the registry:"
    cat "$work/left" >&2
fi
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
}

# The 32-bit package, which users take, with a library of the IDE's kind (tests/idelib); then
# the 64-bit one with our stand-in.
install_cycle 32 "$x86" "$pkg32" "$pkg32new" "$x86/bin/idelib/plain/qvPluginMgr.dll" \
    'page: Adder.bas; labels: AddSub'
install_cycle 64 "$x64" "$pkg64" "$pkg64new" "$x64/stand-in/qvPluginMgr.dll" \
    'page: Blink.bas; labels: Start,Loop'

echo "check-windows-packages: $(($(date +%s) - started)) s"
[ "$failures" -eq 0 ] || stop "$failures check(s) failed"
echo "check-windows-packages: packages, install, upgrade and uninstall pass"
