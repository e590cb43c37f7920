#!/usr/bin/env bash
# Builds and tests through the CMake presets (CMakePresets.json): the release tree
# as a packager builds it (build/release) and, unless VARNELDH_SKIP_HARDENING=1,
# the sanitizer trees (build/asan, and build/tsan with only the threaded tests)
# and the libFuzzer tree (build/fuzz). The fuzz tests (VARNELDH_FUZZ_SECONDS a
# target, default 60, 30 under CI), the threaded tests under ThreadSanitizer and
# the sanitized suite (without its decimal-comma runs) run first; the release
# suite, with its decimal-comma runs and print tests, runs last so that the run
# ends on its summary. Arguments are passed on to that last ctest.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
jobs=$(nproc)
hardening=true
# CI keeps a whole run within its time; a longer fuzz run is one variable away.
if [ -n "${CI:-}" ] && [ -z "${VARNELDH_FUZZ_SECONDS:-}" ]; then
    VARNELDH_FUZZ_SECONDS=30
fi
if [ "${VARNELDH_SKIP_HARDENING:-0}" = 1 ]; then
    hardening=false
fi

# Each stage says when it starts, so that a slow one shows in the log.
stage() {
    echo
    echo "=== $* [$((SECONDS / 60))m$((SECONDS % 60))s] ==="
}

build() {
    local preset=$1
    shift
    stage "build: $preset preset (build/$preset)"
    cmake --preset "$preset" "$@" >/dev/null
    cmake --build --preset "$preset" --parallel "$jobs"
}

# At -O3 GCC warns of what the other build types never show, and warnings fail.
build release
if $hardening; then
    build asan
    build tsan
    build fuzz ${VARNELDH_FUZZ_SECONDS:+"-DVARNELDH_FUZZ_SECONDS=$VARNELDH_FUZZ_SECONDS"}
    stage "the fuzz targets (build/fuzz)"
    ctest --preset fuzz --parallel "$jobs"
    stage "the threaded tests under ThreadSanitizer (build/tsan)"
    ctest --preset tsan --parallel "$jobs"
    stage "the test suite under AddressSanitizer and UndefinedBehaviorSanitizer (build/asan)"
    ctest --preset asan --parallel "$jobs"
fi
stage "the test suite (build/release)"
ctest --preset release --parallel "$jobs" "$@"
