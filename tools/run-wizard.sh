#!/usr/bin/env bash
# Launches the wizard; until it exists, shows what vmacgen makes of the bundled example.
set -euo pipefail
bindir=$1
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -x "$bindir/VorlanMacroGenerator" ]; then
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "There is no display to show the wizard on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
        echo "Run it inside a desktop session, or under a virtual display:" >&2
        echo "    xvfb-run -a $bindir/VorlanMacroGenerator" >&2
        exit 1
    fi
    exec "$bindir/VorlanMacroGenerator"
fi
echo "== vmacgen code examples/AddNums.mcs"
"$bindir/vmacgen" code "$root/examples/AddNums.mcs" | tr -d '\r'
echo "== vmacgen hint examples/AddNums.mcs"
"$bindir/vmacgen" hint "$root/examples/AddNums.mcs" | tr -d '\r'
