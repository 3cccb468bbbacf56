#!/usr/bin/env bash
# Configures and builds one configuration.
#   release  optimised build with tests and benchmarks (build/)
#   sanitize clang build with AddressSanitizer, UndefinedBehaviorSanitizer and the fuzz targets (build-sanitize/)
#   threads  clang build with ThreadSanitizer of the programs whose tests run threads (build-threads/)
set -euo pipefail
cd "$(dirname "$0")/.."

config=${1:-release}
jobs=$(nproc)
case "$config" in
  release)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j "$jobs"
    ;;
  sanitize)
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_COMPILER=clang++ -DTALU_SANITIZE=ON -DTALU_FUZZ=ON -DTALU_BENCHMARKS=OFF >/dev/null
    cmake --build build-sanitize -j "$jobs"
    ;;
  threads)
    # Only the programs whose tests run threads.
    cmake -S . -B build-threads -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ -DTALU_TSAN=ON -DTALU_BENCHMARKS=OFF >/dev/null
    cmake --build build-threads -j "$jobs" --target talu_host_tests talu_host_audio_tests talu_stage_pixel_tests talu_stage_tests talu_font_tests talu_app_tests talu_qt_reading_tests talu_qt_read_along_tests
    ;;
  *)
    echo "usage: scripts/build.sh [release|sanitize|threads]" >&2
    exit 2
    ;;
esac
