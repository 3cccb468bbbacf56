#!/usr/bin/env bash
# Builds and runs every test: the optimised build, the AddressSanitizer/UndefinedBehaviorSanitizer
# build, the ThreadSanitizer build of the threaded tests, and a bounded run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_seconds=${TALU_FUZZ_SECONDS:-10}
# The CI log shows where the time goes: seconds since the start at the end of each stage.
stage_done() { echo "== $1 done at ${SECONDS}s"; }

scripts/build.sh release
ctest --test-dir build --output-on-failure -j "$jobs"
stage_done "optimised build and tests"

# The Debian package, checked by Debian's and the desktop's tools and used from a scratch root.
deb=$(scripts/package.sh | tail -n 1)
tests/packaging/check_package.sh "$deb"
stage_done "Debian package and its checks"

scripts/build.sh sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
stage_done "sanitizer build and tests"

scripts/build.sh threads
export TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan.supp"
build-threads/tests/host/talu_host_tests --gtest_brief=1
build-threads/tests/host/audio/talu_host_audio_tests --gtest_brief=1
build-threads/tests/stage/talu_stage_pixel_tests --gtest_brief=1
build-threads/tests/stage/talu_stage_tests --gtest_brief=1
build-threads/tests/host/fonts/talu_font_tests --gtest_brief=1
build-threads/tests/app/talu_app_tests --gtest_brief=1
# The window with its worker, and read-aloud with its speech thread (a test that starts
# programs cannot run here: the sanitizer does not survive a fork of a threaded program).
QT_QPA_PLATFORM="offscreen:configfile=$PWD/tests/qt/offscreen_screen.json" SDL_AUDIODRIVER=dummy \
  build-threads/tests/qt/talu_qt_reading_tests -silent
QT_QPA_PLATFORM=offscreen build-threads/tests/qt/talu_qt_read_along_tests -silent
stage_done "thread sanitizer build and tests"

# Each fuzzer runs for a fixed time, so they run side by side, one per core.
run_fuzzer() {
  local fuzzer=$1 name corpus seeds runs rate reach
  name=$(basename "$fuzzer")
  corpus="build-sanitize/fuzz-corpus/$name"
  seeds="fuzz/seeds/${name#fuzz_}"
  mkdir -p "$corpus"
  [ -d "$seeds" ] || seeds=""
  # An input may take up to the audio decoders' own 10 s bound, so the per-input limit lies above it.
  if ! "$fuzzer" -max_total_time="$fuzz_seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
    "$corpus" $seeds >"$corpus.log" 2>&1; then
    echo "== $name failed"
    tail -n 40 "$corpus.log"
    return 1
  fi
  # How fast it ran and how much of the code it reached: edges (cov) and features (ft).
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$corpus.log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$corpus.log")
  reach=$(grep -E '^#[0-9]+' "$corpus.log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+')
  echo "$name (${fuzz_seconds}s): $runs runs, $rate runs/s, ${reach:-no coverage reported}"
}

failed=0
running=0
for fuzzer in build-sanitize/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_fuzzer "$fuzzer" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
[ "$failed" -eq 0 ] || exit 1
stage_done "fuzzing"
echo "all tests passed"
