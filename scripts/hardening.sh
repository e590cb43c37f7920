#!/usr/bin/env bash
# The hardening stages, in order, stopping at the first failure: the test suite of
# ./build again under a decimal-comma locale (scripts/build.sh must have built it),
# the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# fuzz targets for VARNELDH_FUZZ_SECONDS each (default 60).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}

stage() {
    echo
    echo "=== hardening: $* ==="
}

stage "test suite under de_DE.UTF-8 ($build)"
bash "$root/scripts/locale-tests.sh" "$build"

stage "AddressSanitizer + UndefinedBehaviorSanitizer build and test suite (build-asan)"
bash "$root/scripts/sanitize.sh"

stage "fuzz targets, ${VARNELDH_FUZZ_SECONDS:-60}s each (build-fuzz)"
bash "$root/scripts/fuzz.sh" "${VARNELDH_FUZZ_SECONDS:-60}"

stage "all stages passed"
