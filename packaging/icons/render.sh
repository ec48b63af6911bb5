#!/usr/bin/env bash
# Renders the program's icon (hicolor/scalable/apps/lumetra.svg) at the
# bitmap sizes desktops look for. Needs rsvg-convert (librsvg2-bin); the
# PNG files are kept in the repository, so building needs neither.
set -euo pipefail
cd "$(dirname "$0")/hicolor"
for size in 16 32 48 64 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" scalable/apps/lumetra.svg -o "${size}x${size}/apps/lumetra.png"
done
