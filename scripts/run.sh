#!/usr/bin/env bash
# Sets up, builds and starts the program.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh" "$here/scripts/packages.txt" "$here/scripts/run-packages.txt"
exec "$here/build/bin/lumetra" "$@"
