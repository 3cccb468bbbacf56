#!/usr/bin/env bash
# Builds the player and opens the bundled demo book (or the book given) in the window. Without a
# display it says so and plays the demo headless instead, keeping a picture of every page.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh release
book=${1:-books/demo/demo.talu}
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/src/frontend/qt/talu ]; then
  exec build/src/frontend/qt/talu "$book" "${@:2}"
fi
if [ ! -x build/src/frontend/qt/talu ]; then
  echo "The desktop player was not built (Qt 6 is missing): playing the demo headless."
else
  echo "No display (DISPLAY is not set): playing the demo headless."
fi
exec scripts/demo.sh
