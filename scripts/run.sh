#!/usr/bin/env bash
# Builds what the program needs, and nothing more: varneldh, varneldh-calc and the
# help, in the release tree (build/release). Then starts it; arguments are passed on.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset program --parallel "$(nproc)"
exec "$root/build/release/bin/varneldh" "$@"
