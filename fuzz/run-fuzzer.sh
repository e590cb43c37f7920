#!/usr/bin/env bash
# Runs one fuzz target for the given seconds on a copy of its seed corpus, so that
# the repository's corpus stays as it is. Fails when the target finds a crash, a
# sanitizer report or a broken invariant; the input is kept under
# WORK/artifacts/<target>/ and the whole log in WORK/<target>.log.
# Usage: run-fuzzer.sh FUZZER SEEDS DICT WORK SECONDS  (the fuzz tests call it)
set -euo pipefail
fuzzer=$1 seeds=$2 dict=$3 work=$4 seconds=$5
target=$(basename "$fuzzer")
corpus=$work/corpus/$target
artifacts=$work/artifacts/$target
log=$work/$target.log
rm -rf "$corpus"
mkdir -p "$corpus" "$artifacts"
cp -R "$seeds/." "$corpus/"
echo "$target for ${seconds}s ($(find "$corpus" -type f | wc -l) seeds)"
status=0
"$fuzzer" "$corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=1024 \
    -dict="$dict" -artifact_prefix="$artifacts/" -print_final_stats=1 >"$log" 2>&1 || status=$?
grep -E '^#[0-9]+[[:space:]]+DONE|^Done [0-9]+ runs|stat::number_of_executed_units' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "$target FAILED (exit $status); the full log is $log, the input is in $artifacts/"
    grep -E -A30 'invariant broken|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error' \
        "$log" | head -60 || true
    exit 1
fi
