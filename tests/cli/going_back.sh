#!/usr/bin/env bash
# Going back reads on as a fresh run would: after "back 3" and the other link, the reader sees
# what a run that took that link at once sees (texts, waits, links, boxes, values), and a page
# returned to across a music change, a character and a filter shows the same pixels as before.
set -u
cli=$1
source_dir=$2
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$source_dir/tests/books/run/." "$work/"

# What the reader sees and what the book ends with, without the run loop's own steps.
seen() {
  grep -vE '^(step|present|end) ' "$1"
}

"$cli" run "$work/goback.talu" --lang en --choose 0,1 --at 4:back:3 >"$work/back.trace" || failures=$((failures + 1))
"$cli" run "$work/goback.talu" --lang en --choose 1 >"$work/fresh.trace" || failures=$((failures + 1))
# From the page returned to ("Two.") on; the fresh run reaches it after its first click.
seen "$work/back.trace" | sed -n '/^back 3 ok$/,$p' | tail -n +2 >"$work/back.seen"
seen "$work/fresh.trace" | sed -n '/^click$/,$p' | tail -n +2 >"$work/fresh.seen"
if [ ! -s "$work/back.seen" ] || ! diff -u "$work/fresh.seen" "$work/back.seen"; then
  echo "FAIL: the path taken after going back differs from a fresh run that took it"
  failures=$((failures + 1))
fi

"$cli" run "$work/gobackstage.talu" --lang en --at 3:back:1 --frames "$work/frames" >/dev/null ||
  failures=$((failures + 1))
# Frames 2 and 3: "Still with the face." and "Without it."; 4 and 5 the same pages after going back.
for pair in "0002 0004" "0003 0005"; do
  set -- $pair
  if ! cmp -s "$work/frames/$1.png" "$work/frames/$2.png"; then
    echo "FAIL: frame $2 after going back differs from frame $1"
    failures=$((failures + 1))
  fi
done
if cmp -s "$work/frames/0002.png" "$work/frames/0003.png"; then
  echo "FAIL: the stage did not change between the pages, so going back proves nothing"
  failures=$((failures + 1))
fi
exit $((failures > 0))
