#!/usr/bin/env bash
# Renders talu's icon (packaging/icons/talu.svg) at the hicolor theme's usual sizes, into
# packaging/icons/hicolor/NxN/apps/talu.png, which the package installs beside the SVG.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
command -v rsvg-convert >/dev/null || { echo "missing rsvg-convert (scripts/install-deps.sh installs it)"; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" talu.svg -o "hicolor/${size}x${size}/apps/talu.png"
done
