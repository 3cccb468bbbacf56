#!/usr/bin/env bash
# Builds the player and plays the bundled demo book headless: a scripted reader clicks through
# it, fills in the form, takes the third choice, the trace shows what happens, and every page is
# kept as a picture in build/demo-frames/. Extra options go to the runner. scripts/play.sh opens
# it in the window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh release
rm -rf build/demo-frames
build/src/frontend/cli/talu-cli run books/demo/demo.talu --frames build/demo-frames \
  --screenshot build/demo-frames/last.png --audio build/demo-frames/demo.wav --input reader=Aoi --input waves=1 --choose 2 "$@"
echo "Pages of the demo book: build/demo-frames/; its music and sound: build/demo-frames/demo.wav"
