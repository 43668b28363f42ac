#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time, each from its seed corpus.
set -euo pipefail
bindir=$1
seconds=${2:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for fuzzer in "$bindir"/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    work=$(mktemp -d)
    seeds="$root/fuzz/corpus/${name#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
    echo "== $name: ${seconds}s"
    if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$bindir/$name-" "$work" >"$bindir/$name.log" 2>&1; then
        echo "!! $name found a problem; see $bindir/$name.log" >&2
        tail -n 40 "$bindir/$name.log" >&2
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$bindir/$name.log" | tail -n 1)
    echo "   $name: ${runs:-?} executions"
    rm -rf "$work"
done
exit $status
