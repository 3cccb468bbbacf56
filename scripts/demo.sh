#!/usr/bin/env bash
# Builds the player and plays the bundled demo book. Until the desktop window exists, the
# headless runner plays it: a scripted reader clicks through it, the trace shows what happens,
# and every page is kept as a picture in build/demo-frames/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh release
rm -rf build/demo-frames
build/src/frontend/cli/talu-cli run books/demo/demo.talu --frames build/demo-frames \
  --screenshot build/demo-frames/last.png "$@"
echo "Pages of the demo book: build/demo-frames/"
