#!/usr/bin/env bash
# talu-cli as a Unix tool: help, version, usage errors and a real book.
set -u
cli=$1
source_dir=$2
failures=0
out=$(mktemp)

expect_status() {
  local want=$1
  shift
  "$@" >"$out" 2>&1
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAIL: '$*' exited $got, expected $want"
    cat "$out"
    failures=$((failures + 1))
  fi
}

expect_status 0 "$cli" --help
grep -q '^Usage: talu-cli' "$out" || { echo "FAIL: --help prints no usage"; failures=$((failures + 1)); }
expect_status 0 "$cli" --version
grep -q '^talu-cli [0-9]' "$out" || { echo "FAIL: --version"; failures=$((failures + 1)); }
expect_status 0 "$cli" fetch --help
expect_status 2 "$cli"
expect_status 2 "$cli" frobnicate
expect_status 2 "$cli" fetch
expect_status 2 "$cli" fetch "$source_dir/books/demo/demo.talu" --lang fr
expect_status 2 "$cli" fetch "$source_dir/books/demo/demo.talu" --bogus
expect_status 1 "$cli" fetch "$source_dir/no/such/book.talu"
expect_status 2 "$cli" check
expect_status 2 "$cli" check "$source_dir/books/demo/demo.talu" --bogus
expect_status 1 "$cli" check "$source_dir/no/such/book.talu"
expect_status 0 "$cli" check "$source_dir/books/demo/demo.talu"
if [ -s "$out" ]; then
  echo "FAIL: check reports on the demo book"
  cat "$out"
  failures=$((failures + 1))
fi
expect_status 0 "$cli" fetch "$source_dir/books/demo/demo.talu" --lang en
grep -q '___COMMAND___=33' "$out" || { echo "FAIL: the demo book does not reach its END"; failures=$((failures + 1)); }
if grep -q '^box ' "$out"; then
  echo "FAIL: the demo book shows a message box"
  failures=$((failures + 1))
fi
# The demo runs from a copy, so the picture its SNAP writes stays out of the source tree.
demo=$(mktemp -d)
cp -R "$source_dir/books/demo/." "$demo/"
expect_status 2 "$cli" run
expect_status 2 "$cli" run "$source_dir/books/demo/demo.talu" --answer maybe
expect_status 2 "$cli" run "$source_dir/books/demo/demo.talu" --max-steps many
expect_status 1 "$cli" run "$source_dir/no/such/book.talu"
expect_status 2 "$cli" run "$demo/demo.talu" --at 1:save:10
expect_status 2 "$cli" run "$demo/demo.talu" --date yesterday
expect_status 2 "$cli" run "$demo/demo.talu" --skip unread
expect_status 2 "$cli" run "$demo/demo.talu" --auto 40 --skip read
expect_status 2 "$cli" run "$demo/demo.talu" --auto 201
expect_status 2 "$cli" bookmarks
expect_status 1 "$cli" bookmarks "$source_dir/no/such/book.talu"
# The first wait is a line wait, before any save point; the second ends a page.
expect_status 0 "$cli" run "$demo/demo.talu" --lang en --date 2024-05-06T07:08 --at 1:save:3 --at 2:save:3
grep -q '^save 3 fail$' "$out" && grep -q '^save 3 ok$' "$out" ||
  { echo "FAIL: the demo saves before its first page ends, or not after it"; failures=$((failures + 1)); }
expect_status 0 "$cli" bookmarks "$demo/demo.talu"
[ "$(sed -n 3p "$out")" = " 05/06 07:08 - NEW BOOKMARK" ] && [ "$(wc -l <"$out")" -eq 9 ] ||
  { echo "FAIL: bookmarks does not list the saved slot"; cat "$out"; failures=$((failures + 1)); }
expect_status 0 "$cli" run "$demo/demo.talu" --lang en
tail -n 1 "$out" | grep -q '^end end-tag ' || { echo "FAIL: the demo run does not end at its END"; failures=$((failures + 1)); }
if grep -q '^box Syntax' "$out"; then
  echo "FAIL: the demo run shows a script error"
  grep '^box Syntax' "$out"
  failures=$((failures + 1))
fi
expect_status 0 "$cli" run "$demo/demo.talu" --lang en --input reader=Aoi --input waves=1 --choose 2
for line in 'control TEXT reader' 'choose 2' 'text You pick up a small white shell.' 'snap keepsake.jpg' \
  'var reader Aoi'; do
  grep -q "^$line" "$out" || { echo "FAIL: the demo's form, choice or SNAP: no '$line'"; failures=$((failures + 1)); }
done
[ -s "$demo/keepsake.jpg" ] || { echo "FAIL: the demo's SNAP wrote no picture"; failures=$((failures + 1)); }
# Explore: every path of the demo; the shells are seen only by a reader who likes the waves.
expect_status 2 "$cli" explore
expect_status 2 "$cli" explore "$demo/demo.talu" --max-paths 0
expect_status 1 "$cli" explore "$demo/demo.talu"
grep -q '^unreached demo.talu:[0-9]* shells$' "$out" || { echo "FAIL: explore misses an unreachable label"; failures=$((failures + 1)); }
expect_status 0 "$cli" explore "$demo/demo.talu" --input waves=1
grep -q '^explored 3 paths; 5 of 5 labels reached; 0 boxes' "$out" || { echo "FAIL: explore of the demo"; cat "$out"; failures=$((failures + 1)); }
expect_status 1 "$cli" explore "$demo/demo.talu" --input waves=1 --max-paths 1
grep -q '^explored 1 paths (2 more not tried' "$out" || { echo "FAIL: explore --max-paths"; failures=$((failures + 1)); }
expect_status 0 "$cli" run "$demo/demo.talu" --max-steps 5
tail -n 1 "$out" | grep -q '^end max-steps ' || { echo "FAIL: --max-steps"; failures=$((failures + 1)); }

# Explore plays a scratch copy: the book's folder keeps its files as they were, and every path,
# run after run, starts from the memos on disk.
memo=$(mktemp -d)
cp "$source_dir/tests/books/explore/memo.talu" "$memo/"
listing() { (cd "$memo" && find . -print0 | sort -z | xargs -0 sha256sum 2>&1); }
first=$(mktemp)
for on_disk in none written; do
  before=$(listing)
  want=1
  [ "$on_disk" = written ] && want=0
  expect_status $want "$cli" explore "$memo/memo.talu"
  cp "$out" "$first"
  expect_status $want "$cli" explore "$memo/memo.talu"
  cmp -s "$out" "$first" || { echo "FAIL: two explore runs differ (memo $on_disk)"; diff "$first" "$out"; failures=$((failures + 1)); }
  [ "$(listing)" = "$before" ] || { echo "FAIL: explore changed the book's folder (memo $on_disk)"; failures=$((failures + 1)); }
  # The first explore never sees the memo its own write path stores; run stores it for real.
  expect_status 0 "$cli" run "$memo/memo.talu" --choose 0
done
grep -q '^reached memo.talu:[0-9]* secret$' "$first" || { echo "FAIL: explore ignores the memo on disk"; failures=$((failures + 1)); }
rm -rf "$memo" "$first"

# A choice or a form the scripted reader cannot get past ends the run with its reason.
books=$(mktemp -d)
printf '<A HREF="#a" ALT="one" ENABLE="no"><A HREF="#a" ALT="two">\n<A NAME="a">x<P>\n' >"$books/links.talu"
printf '<FORM><INPUT NAME="who"></FORM>after<P>\n' >"$books/form.talu"
expect_status 2 "$cli" run "$books/links.talu" --choose 1,x
expect_status 2 "$cli" run "$books/form.talu" --input novalue
for choose in 0 2; do
  expect_status 0 "$cli" run "$books/links.talu" --choose "$choose"
  tail -n 1 "$out" | grep -q '^end no-choice ' || { echo "FAIL: --choose $choose"; failures=$((failures + 1)); }
  grep -q '^talu-cli: link' "$out" || { echo "FAIL: --choose $choose gives no reason"; failures=$((failures + 1)); }
done
expect_status 0 "$cli" run "$books/form.talu" --input who=me
tail -n 1 "$out" | grep -q '^end no-submit ' || { echo "FAIL: a form without SUBMIT"; failures=$((failures + 1)); }

# Includes that branch out (each file includes the next twice, 2^31 readings) end with the
# include error in every command instead of filling memory.
for n in $(seq 0 29); do
  printf '<INCLUDE SRC="e%d.inc"><INCLUDE SRC="e%d.inc">\n' $((n + 1)) $((n + 1)) >"$books/e$n.inc"
done
printf 'leaf\n' >"$books/e30.inc"
printf '<INCLUDE SRC="e0.inc">after<P>\n' >"$books/branching.talu"
for command in 'run 0 --lang en' 'fetch 0 --lang en' 'check 1' 'explore 1 --lang en'; do
  set -- $command
  expect_status "$2" timeout 60 "$cli" "$1" "$books/branching.talu" "${@:3}"
  grep -q "can't open file\|past what the player reads" "$out" ||
    { echo "FAIL: $1 of branching includes gives no include error"; cat "$out"; failures=$((failures + 1)); }
done
# A book in a folder that takes no files keeps its slots in the reader's data folder, never
# beside talu-cli (permissions do not hold the superuser back, so only others can try it).
if [ "$(id -u)" -ne 0 ]; then
  mkdir -p "$books/readonly" "$books/data"
  printf 'one<P>two<P>\n' >"$books/readonly/tale.talu"
  chmod a-w "$books/readonly"
  XDG_DATA_HOME="$books/data" expect_status 0 "$cli" run "$books/readonly/tale.talu" --at 1:save:3
  [ -f "$books/data/Velmor/talu/bookmark/tale.03.bmk" ] && [ ! -e "$(dirname "$cli")/bookmark" ] ||
    { echo "FAIL: a read-only book's slot is not in the reader's data folder"; failures=$((failures + 1)); }
  chmod u+w "$books/readonly"
fi
rm -rf "$books" "$demo"
rm -f "$out"
exit $failures
