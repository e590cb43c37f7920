#!/usr/bin/env bash
# Builds everything and runs every test: the suites, then the hardening stages
# (decimal-comma locale, sanitizers, fuzzing), then the suites once more so that
# the run ends on their summary. VARNELDH_SKIP_HARDENING=1 leaves the hardening out.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
bash "$root/scripts/cups-test-env.sh" >/dev/null
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
if [ "${VARNELDH_SKIP_HARDENING:-0}" != 1 ]; then
    BUILD_DIR="$build" bash "$root/scripts/hardening.sh"
    echo
    echo "=== the test suite once more ==="
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
fi
