#!/usr/bin/env bash
# Explores a book with talu-cli explore and compares the report with the expected one beside it.
# Options come from NAME.args (one per line); the book runs from a scratch copy of its folder.
set -u
cli=$1
book=$2
expected=${book%.talu}.expected
args=()
if [ -f "${book%.talu}.args" ]; then
  mapfile -t args < "${book%.talu}.args"
fi
scratch=$(mktemp -d)
actual=$(mktemp)
trap 'rm -rf "$actual" "$scratch"' EXIT
cp -R "$(dirname "$book")"/. "$scratch"/
"$cli" explore "$scratch/$(basename "$book")" --lang en "${args[@]}" >"$actual"
status=$?
want=0
grep -qE '^(unreached|box|stuck|loop) ' "$expected" && want=1
if [ "$status" -ne "$want" ]; then
  echo "talu-cli explore exited $status, expected $want"
  exit 1
fi
if ! diff -u "$expected" "$actual"; then
  echo "report of $book differs from $expected"
  exit 1
fi
