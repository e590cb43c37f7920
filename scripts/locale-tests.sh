#!/usr/bin/env bash
# Runs the whole test suite of an already built tree again under a decimal-comma
# locale, where printf-style and C++ stream formatting would write 1,5 for 1.5.
# Usage: scripts/locale-tests.sh <build-dir> [ctest arguments]
set -euo pipefail
if [ $# -lt 1 ] || [ ! -f "$1/CTestTestfile.cmake" ]; then
    echo "usage: $0 <build-dir> [ctest arguments]  (a configured and built tree)" >&2
    exit 64
fi
build=$1
shift
locale=de_DE.UTF-8
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "locale-tests: the $locale locale is missing (run scripts/setup.sh)" >&2
    exit 1
fi
echo "locale-tests: running the suite under LC_ALL=$locale"
LC_ALL=$locale LANG=$locale LANGUAGE= \
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
