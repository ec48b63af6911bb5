#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite without a display.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh" "$here/scripts/packages.txt" "$here/scripts/test-packages.txt"
export QT_QPA_PLATFORM=offscreen
cd "$here/build"
ctest --output-on-failure --timeout 600 -j2
