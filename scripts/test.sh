#!/usr/bin/env bash
# Builds everything, in ./build and as a packager does in ./build-release (Release),
# and runs every test: the suites of both, then the hardening stages (decimal-comma
# locale, sanitizers, fuzzing), then the suites once more so that the run ends on
# their summary. VARNELDH_SKIP_HARDENING=1 leaves the hardening out.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
release=${RELEASE_BUILD_DIR:-$root/build-release}
bash "$root/scripts/build.sh"
# At -O3 GCC warns of what the other build types never show, and warnings fail.
BUILD_TYPE=Release BUILD_DIR="$release" bash "$root/scripts/build.sh"
bash "$root/scripts/cups-test-env.sh" >/dev/null
echo "=== the test suite, Release build ($release) ==="
ctest --test-dir "$release" --output-on-failure --parallel "$(nproc)" "$@"
echo
echo "=== the test suite ($build) ==="
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
if [ "${VARNELDH_SKIP_HARDENING:-0}" != 1 ]; then
    BUILD_DIR="$build" bash "$root/scripts/hardening.sh"
    echo
    echo "=== the test suite once more ==="
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
fi
