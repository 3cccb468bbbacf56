#!/usr/bin/env bash
# Builds the player and shows how it reads the bundled demo book.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh release
build/src/frontend/cli/talu-cli fetch books/demo/demo.talu "$@"
