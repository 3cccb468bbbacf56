#!/usr/bin/env bash
# Builds the Debian package talu_VERSION_amd64.deb from the optimised build (build/) and prints
# its path. It holds everything the project's install rules install, under /usr.
#   scripts/package.sh [OUTDIR]   (default: build/package)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/package}")
scripts/build.sh release
if [ ! -x build/src/frontend/qt/talu ]; then
  echo "the desktop player was not built (is Qt 6 installed?)" >&2
  exit 1
fi
rm -f "$out"/talu_*.deb
cpack --config build/CPackConfig.cmake -B "$out" >"$out.log" 2>&1 || { cat "$out.log" >&2; exit 1; }
ls "$out"/talu_*_amd64.deb
