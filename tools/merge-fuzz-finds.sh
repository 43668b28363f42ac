#!/usr/bin/env bash
# Folds the finds of a long fuzz run (DIR/<target>/) into the kept corpora (fuzz/corpus/<target>/)
# with libFuzzer's -merge=1, which adds only inputs that reach new coverage, then empties DIR.
#
#   merge-fuzz-finds.sh [--fresh] BINDIR DIR
#
# --fresh minimizes the whole corpus anew (corpus and finds merged into an empty folder, which
# then replaces it): for a corpus grown past its 1 MiB budget.
set -euo pipefail
fresh=0
if [ "${1:-}" = --fresh ]; then
    fresh=1
    shift
fi
bindir=$(cd "$1" && pwd)
finds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
limit=$((1024 * 1024))
status=0

for fuzzer in "$bindir"/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    target=${name#fuzz_}
    found="$finds/$target"
    corpus="$root/fuzz/corpus/$target"
    mkdir -p "$corpus" "$found"
    [ "$fresh" -eq 1 ] || [ -n "$(ls -A "$found")" ] || continue
    before=$(find "$corpus" -type f | wc -l)
    into="$corpus"
    from=("$found")
    if [ "$fresh" -eq 1 ]; then
        into=$(mktemp -d)
        from=("$corpus" "$found")
    fi
    # Files longer than the runs' -max_len (run-fuzzers.sh) are kept cut to that length.
    if ! "$fuzzer" -merge=1 -max_len=16384 -timeout=10 -rss_limit_mb=2048 "$into" "${from[@]}" \
            >"$bindir/$name.merge.log" 2>&1; then
        echo "!! $name: the merge failed; see $bindir/$name.merge.log" >&2
        status=1
        continue
    fi
    if [ "$fresh" -eq 1 ]; then
        find "$corpus" -type f -delete
        cp "$into"/* "$corpus"/ 2>/dev/null || true
        rm -rf "$into"
    fi
    after=$(find "$corpus" -type f | wc -l)
    bytes=$(find "$corpus" -type f -printf '%s\n' | awk '{ n += $1 } END { print n + 0 }')
    echo "== $name: $(find "$found" -type f | wc -l) finds; fuzz/corpus/$target went from" \
         "$before to $after files, $bytes bytes"
    if [ "$bytes" -gt "$limit" ]; then
        echo "!! fuzz/corpus/$target is over 1 MiB: minimize it anew (FUZZ_MERGE=--fresh)," \
             "or remove its largest inputs" >&2
        status=1
    fi
    rm -rf "$found"
done
exit $status
