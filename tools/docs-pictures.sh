#!/usr/bin/env bash
# Makes README's pictures of the wizard again: the program's own picture tool on a private
# virtual display, run on the first worked example with fresh settings and no IDE, then each
# picture reduced to a small palette.
#   tools/docs-pictures.sh BINDIR OUTDIR
set -euo pipefail
bindir=$1
out=$2
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/run" "$out"
chmod 700 "$work/run"

# Nothing of this user's own settings or session reaches the pictures.
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$bindir/vmg_wizard_shots" "$work/shots" "$here/examples/AddNums.mcs" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; exit 1; }

# shot name -> picture name in README
for pair in page1:wizard-macro page2:wizard-parameters page4:wizard-code checkcall:wizard-check-call; do
    shot=$work/shots/${pair%%:*}.png
    picture=$out/${pair#*:}.png
    [ -f "$shot" ] || { echo "the picture tool made no ${pair%%:*}.png" >&2; exit 1; }
    # 64 colours keep the text and the code's colours; the file stays a few tens of KB.
    pngquant --force --strip --speed 1 --output "$picture" 64 "$shot"
    echo "$picture: $(stat -c %s "$picture") bytes"
done
