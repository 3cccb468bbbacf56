#!/usr/bin/env bash
# Runs a book through talu-cli and compares its trace with the expected one beside it.
# The book's folder depends on where the clone is, so it is written {FOLDER} in both.
set -u
cli=$1
book=$2
expected=${book%.talu}.trace
folder_inside="Z:$(dirname "$(readlink -f "$book")" | tr / '\\')\\"
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
"$cli" run "$book" --lang en --trace "$actual" || { echo "talu-cli failed"; exit 1; }
if ! diff -u "$expected" <(sed "s|$(printf '%s' "$folder_inside" | sed 's/[\\|]/\\&/g')|{FOLDER}|g" "$actual"); then
  echo "trace of $book differs from $expected"
  exit 1
fi
