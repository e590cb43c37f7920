#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in ./build-fuzz and runs each for the
# given number of seconds (default 60) on a copy of its seed corpus, so that the
# repository's corpus stays as it is. Fails when any target finds a crash, a
# sanitizer report or a broken invariant; the input is kept under
# build-fuzz/artifacts/<target>/.
# Usage: scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
targets=(fuzz_number_text fuzz_zone fuzz_pool fuzz_csv fuzz_job)
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: $0 [seconds-per-target]" >&2
    exit 64
fi
bash "$root/scripts/setup.sh"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVARNELDH_FUZZ=ON -DVARNELDH_BUILD_TESTS=OFF -DVARNELDH_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    artifacts=$build/artifacts/$target
    log=$build/$target.log
    rm -rf "$corpus"
    mkdir -p "$corpus" "$artifacts"
    cp -R "$root/fuzz/corpus/$target/." "$corpus/"
    echo "fuzz: $target for ${seconds}s ($(find "$corpus" -type f | wc -l) seeds)"
    # A target's own dictionary, where it has one.
    dict=$root/fuzz/$target.dict
    [ -f "$dict" ] || dict=$root/fuzz/numbers.dict
    status=0
    "$build/bin/$target" "$corpus" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=1024 \
        -dict="$dict" -artifact_prefix="$artifacts/" \
        -print_final_stats=1 >"$log" 2>&1 || status=$?
    grep -E '^#[0-9]+[[:space:]]+DONE|^Done [0-9]+ runs|stat::number_of_executed_units' "$log" || true
    if [ "$status" -ne 0 ]; then
        echo "fuzz: $target FAILED (exit $status); the full log is $log" >&2
        grep -E -A30 'invariant broken|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error' \
            "$log" | head -60 >&2 || true
        exit 1
    fi
done
echo "fuzz: all ${#targets[@]} targets ran ${seconds}s each without a failure"
