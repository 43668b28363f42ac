#!/usr/bin/env bash
# Launches the wizard, or says how to when there is no display to show it on.
set -euo pipefail
bindir=$1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to show the wizard on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "Run it inside a desktop session, or on a virtual display:" >&2
    echo "    xvfb-run -a $bindir/VorlanMacroGenerator" >&2
    echo "The generators also run without a window:  $bindir/vmacgen code examples/AddNums.mcs" >&2
    exit 1
fi
exec "$bindir/VorlanMacroGenerator"
