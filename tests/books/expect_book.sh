#!/usr/bin/env bash
# Plays, checks or explores a book with talu-cli and compares the output with the expected one
# beside it: NAME.trace for run, NAME.expected for check and explore. Options come from NAME.args
# (one per line). The book works on a scratch copy of its folder, so what it writes (SNAP
# pictures) stays out of the source tree; the copy's folder is written {FOLDER} in traces.
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
cp -R "$(dirname "$book")"/. "$scratch"/
copy="$scratch/$(basename "$book")"

case "$command" in
  run)
    expected=${book%.talu}.trace
    "$cli" run "$copy" --lang en --trace "$actual" "${args[@]}" || { echo "talu-cli failed"; exit 1; }
    folder_inside="Z:$(readlink -f "$scratch" | tr / '\\')\\"
    sed -i "s|$(printf '%s' "$folder_inside" | sed 's/[\\|]/\\&/g')|{FOLDER}|g" "$actual"
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
