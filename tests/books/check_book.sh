#!/usr/bin/env bash
# Checks a book with talu-cli check and compares the report with the expected one beside it.
# Paths in the report are relative to the book's folder, so the report is the same anywhere.
set -u
cli=$1
book=$2
expected=${book%.talu}.expected
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
"$cli" check "$book" >"$actual"
status=$?
want=1
[ -s "$expected" ] || want=0
if [ "$status" -ne "$want" ]; then
  echo "talu-cli check exited $status, expected $want"
  exit 1
fi
if ! diff -u "$expected" "$actual"; then
  echo "report of $book differs from $expected"
  exit 1
fi
