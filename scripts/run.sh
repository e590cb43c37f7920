#!/usr/bin/env bash
# Builds the program and starts it; arguments are passed on.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
exec "$build/bin/varneldh" "$@"
