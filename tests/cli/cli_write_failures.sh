#!/usr/bin/env bash
# Every talu-cli command that writes a trace, a report or a picture fails with a message when
# the write does not get through: a full device, a folder that does not exist, a name taken by
# a folder or a pipe.
set -u
cli=$1
source_dir=$2
[ -w /dev/full ] || { echo "no /dev/full here"; exit 77; }
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'Hello.<P>\n<A HREF="#nowhere">\n' >"$work/book.talu"
picture="$source_dir/tests/data/bmpsuite/g/pal8.bmp"
mkdir -p "$work/frames/0001.png"

# expect_failure WHAT COMMAND... (standard output of COMMAND goes where WHAT says)
expect_failure() {
  local where=$1
  shift
  if [ "$where" = full ]; then
    "$@" >/dev/full 2>"$work/err"
  else
    "$@" >/dev/null 2>"$work/err"
  fi
  local got=$?
  if [ "$got" -eq 0 ] || ! grep -q '^talu-cli: cannot write' "$work/err"; then
    echo "FAIL: '$*' (output to $where) exited $got with: $(cat "$work/err")"
    failures=$((failures + 1))
  fi
}

expect_failure null "$cli" run "$work/book.talu" --trace /dev/full
expect_failure full "$cli" run "$work/book.talu"
expect_failure null "$cli" run "$work/book.talu" --screenshot "$work/missing/shot.png"
expect_failure null "$cli" run "$work/book.talu" --screenshot /dev/full
expect_failure null "$cli" run "$work/book.talu" --frames "$work/frames"
expect_failure null "$cli" run "$work/book.talu" --text-feed /dev/full
expect_failure null "$cli" run "$work/book.talu" --text-feed "$work/missing/feed.txt"
mkfifo "$work/pipe"
expect_failure null "$cli" run "$work/book.talu" --audio "$work/pipe"
[ -p "$work/pipe" ] || { echo "FAIL: --audio replaced a pipe"; failures=$((failures + 1)); }
# A run too long for a WAVE file's sizes says so, at once and in little memory, and its trace is
# still written whole.
head -c 44100 /dev/zero >"$work/second.p16"
printf '<SOUND SRC="second.p16" LOOP="30000">Long.<P>\n' >"$work/long.talu"
expect_failure null "$cli" run "$work/long.talu" --audio "$work/long.wav" --trace "$work/long.trace"
grep -q 'too long for a WAVE file' "$work/err" ||
  { echo "FAIL: a too long recording was not told: $(cat "$work/err")"; failures=$((failures + 1)); }
grep -q '^end ' "$work/long.trace" ||
  { echo "FAIL: the too long run lost its trace"; failures=$((failures + 1)); }
expect_failure full "$cli" explore "$work/book.talu"
expect_failure full "$cli" check "$work/book.talu"
expect_failure full "$cli" fetch "$work/book.talu"
expect_failure full "$cli" --help
expect_failure null "$cli" picture "$picture" --out /dev/full
expect_failure null "$cli" picture "$picture" --out "$work/missing/out.png"
expect_failure full "$cli" picture "$picture" --out "$work/out.png"
[ -c /dev/full ] || { echo "FAIL: /dev/full is gone"; failures=$((failures + 1)); }
exit $failures
