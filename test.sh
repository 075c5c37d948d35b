#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test headless through ctest.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

scripts/deps.sh
scripts/check_floors.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
export QT_QPA_PLATFORM=offscreen
exec ctest --preset sanitize -j2 "$@"
