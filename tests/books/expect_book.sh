#!/usr/bin/env bash
# Plays, checks or explores a book with talu-cli and compares the output with the expected one
# beside it: NAME.trace for run, NAME.expected for check and explore. Options come from NAME.args
# (one per line). A run book with NAME.feed is also run with --text-feed, and what the text feed
# would send is compared with it. The book works on a scratch copy of its folder, so what it writes (SNAP
# pictures) stays out of the source tree; the copy's folder is written {FOLDER} in traces. A run
# book with NAME.moved.args is run again with those options after its folder has been moved, as a
# reader moves a book with its slots; both runs go to the one trace. A run book with
# NAME.again.args is run again in the same folder with those options first, as a reader comes
# back to a book (its pages read, its slots); that trace comes after the first one's. A run book
# with NAME.edited (a changed copy of the book) and NAME.edited.args is run again with those
# options after the book's file has been replaced by NAME.edited, as a reader comes back to a book
# fixed since; that trace comes after the first one's too.
set -u
cli=$1
command=$2
book=$3
args=()
if [ -f "${book%.talu}.args" ]; then
  mapfile -t args < "${book%.talu}.args"
fi
scratch=$(mktemp -d)
actual=$(mktemp)
trap 'rm -rf "$actual" "$scratch"' EXIT
mkdir "$scratch/book"
cp -R "$(dirname "$book")"/. "$scratch/book"/
copy="$scratch/book/$(basename "$book")"

case "$command" in
  run)
    expected=${book%.talu}.trace
    # A book with NAME.backlog also has the backlog the run ends with compared.
    if [ -f "${book%.talu}.backlog" ]; then
      args+=(--backlog "$scratch/backlog")
    fi
    if [ -f "${book%.talu}.feed" ]; then
      args+=(--text-feed "$scratch/feed")
    fi
    "$cli" run "$copy" --lang en --trace "$actual" "${args[@]}" || { echo "talu-cli failed"; exit 1; }
    if [ -f "${book%.talu}.feed" ] && ! diff -u "${book%.talu}.feed" "$scratch/feed"; then
      echo "text feed of $book differs from ${book%.talu}.feed"
      exit 1
    fi
    folders=("$scratch/book")
    if [ -f "${book%.talu}.again.args" ]; then
      mapfile -t again < "${book%.talu}.again.args"
      "$cli" run "$copy" --lang en --trace "$actual.again" "${again[@]}" ||
        { echo "talu-cli failed when run again"; exit 1; }
      cat "$actual.again" >>"$actual"
      rm -f "$actual.again"
    fi
    if [ -f "${book%.talu}.edited" ]; then
      mapfile -t edited < "${book%.talu}.edited.args"
      cp "${book%.talu}.edited" "$copy"
      "$cli" run "$copy" --lang en --trace "$actual.edited" "${edited[@]}" ||
        { echo "talu-cli failed on the edited book"; exit 1; }
      cat "$actual.edited" >>"$actual"
      rm -f "$actual.edited"
    fi
    if [ -f "${book%.talu}.moved.args" ]; then
      mapfile -t moved < "${book%.talu}.moved.args"
      mv "$scratch/book" "$scratch/moved"
      folders+=("$scratch/moved")
      "$cli" run "$scratch/moved/$(basename "$book")" --lang en --trace "$actual.moved" "${moved[@]}" ||
        { echo "talu-cli failed after the move"; exit 1; }
      cat "$actual.moved" >>"$actual"
      rm -f "$actual.moved"
    fi
    for folder in "${folders[@]}"; do
      folder_inside="Z:$(readlink -f "$folder" | tr / '\\')\\"
      sed -i "s|$(printf '%s' "$folder_inside" | sed 's/[\\|]/\\&/g')|{FOLDER}|g" "$actual"
    done
    want=0
    ;;
  check)
    expected=${book%.talu}.expected
    "$cli" check "$copy" "${args[@]}" >"$actual"
    status=$?
    want=1
    [ -s "$expected" ] || want=0
    ;;
  explore)
    expected=${book%.talu}.expected
    "$cli" explore "$copy" --lang en "${args[@]}" >"$actual"
    status=$?
    want=0
    grep -qE '^(unreached|box|stuck|loop) ' "$expected" && want=1
    ;;
  *)
    echo "usage: expect_book.sh CLI run|check|explore BOOK" >&2
    exit 2
    ;;
esac
if [ "$command" != run ] && [ "$status" -ne "$want" ]; then
  echo "talu-cli $command exited $status, expected $want"
  exit 1
fi
if ! diff -u "$expected" "$actual"; then
  echo "output of $book differs from $expected"
  exit 1
fi
if [ "$command" = run ] && [ -f "${book%.talu}.backlog" ] &&
  ! diff -u "${book%.talu}.backlog" "$scratch/backlog"; then
  echo "the backlog of $book differs from ${book%.talu}.backlog"
  exit 1
fi
