#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time, each from its kept corpus
# (fuzz/corpus/<target>/, only read) with its dictionary (fuzz/dict/<target>.dict) when there is
# one, and prints per target the executions, coverage at start and end, and crashes.
#
#   run-fuzzers.sh [--jobs N] [--finds DIR] BINDIR SECONDS
#
# New inputs go to DIR/<target>/ (kept for `make fuzz-merge`), or without --finds to a scratch
# folder removed afterwards. A crash leaves its input as BINDIR/<fuzzer>-crash-* and fails the run.
set -euo pipefail

jobs=1
finds=
while [ $# -gt 0 ]; do
    case $1 in
    --jobs) jobs=$2; shift 2 ;;
    --finds) finds=$2; shift 2 ;;
    *) break ;;
    esac
done
bindir=$(cd "$1" && pwd)
seconds=${2:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
max_len=16384 # the longest input a run makes, and a corpus keeps (merge-fuzz-finds.sh)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The first "cov: ... ft: ..." of a log line matching $1, as "cov: N ft: N".
coverage() {
    grep -a "$1" "$2" | tail -n 1 | grep -ao 'cov: [0-9]* ft: [0-9]*' || echo "cov: ? ft: ?"
}

# Runs one fuzzer; its report goes to $scratch/<fuzzer>.report, printed when it is done.
run_one() {
    local fuzzer=$1 name target out log status=0
    name=$(basename "$fuzzer")
    target=${name#fuzz_}
    log="$bindir/$name.log"
    if [ -n "$finds" ]; then
        out="$finds/$target"
    else
        out="$scratch/$target"
    fi
    mkdir -p "$out"
    # -reload=0: no other process adds to the finds. The entropic schedule scans its list of
    # rare features for every feature of every run; with the default threshold (255 hits) that
    # list holds thousands in the first minutes and the scan took half of the fuzzer's time.
    # Inputs stay within $max_len bytes (longer corpus files are cut), as in the corpus.
    local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -reload=0
                -max_len="$max_len" -entropic_feature_frequency_threshold=16
                -print_final_stats=1 -artifact_prefix="$bindir/$name-")
    [ -f "$root/fuzz/dict/$target.dict" ] && args+=(-dict="$root/fuzz/dict/$target.dict")
    local corpora=("$out")
    [ -d "$root/fuzz/corpus/$target" ] && corpora+=("$root/fuzz/corpus/$target")
    rm -f "$bindir/$name"-{crash,leak,timeout,oom}-*
    "$fuzzer" "${args[@]}" "${corpora[@]}" >"$log" 2>&1 || status=$?
    local runs crashes
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    crashes=$(find "$bindir" -maxdepth 1 -name "$name-*" \
        \( -name '*-crash-*' -o -name '*-leak-*' -o -name '*-timeout-*' -o -name '*-oom-*' \) | wc -l)
    {
        echo "== $name: ${seconds}s, ${runs:-?} executions; start $(coverage INITED "$log"), end $(coverage 'cov:' "$log"); $crashes crashes"
        if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
            echo "!! $name found a problem (exit $status); see $log"
            tail -n 40 "$log"
        fi
    } >"$scratch/$name.report"
    return "$status"
}

status=0
running=0
for fuzzer in "$bindir"/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    if [ "$running" -ge "$jobs" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
    (run_one "$fuzzer" && rc=0 || rc=$?; cat "$scratch/$(basename "$fuzzer").report"; exit $rc) &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done
exit $status
