#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite without a display.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh" "$here/scripts/packages.txt" "$here/scripts/test-packages.txt"
# Some tests run again under a locale whose decimal mark is a comma; make it
# when the machine has none (the `locales` package brings its sources).
installed_locales="$(locale -a 2>/dev/null || true)"
if ! grep -qix 'de_DE\.utf-\?8' <<< "$installed_locales"; then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
export QT_QPA_PLATFORM=offscreen
cd "$here/build"
ctest --output-on-failure --timeout 600 -j2
