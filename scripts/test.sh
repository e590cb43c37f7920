#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
bash "$root/scripts/cups-test-env.sh" >/dev/null
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
