#!/usr/bin/env bash
# Runs a book through talu-cli and compares its trace with the expected one beside it.
# The book's folder depends on where the clone is, so it is written {FOLDER} in both.
set -u
cli=$1
book=$2
expected=${book%.talu}.trace
# Options for the run, one per line, in NAME.args beside the book (optional).
args=()
if [ -f "${book%.talu}.args" ]; then
  mapfile -t args < "${book%.talu}.args"
fi
# The book runs from a scratch copy of its folder, so what it writes (SNAP pictures) stays out
# of the source tree.
scratch=$(mktemp -d)
actual=$(mktemp)
trap 'rm -rf "$actual" "$scratch"' EXIT
cp -R "$(dirname "$book")"/. "$scratch"/
folder_inside="Z:$(readlink -f "$scratch" | tr / '\\')\\"
"$cli" run "$scratch/$(basename "$book")" --lang en --trace "$actual" "${args[@]}" || { echo "talu-cli failed"; exit 1; }
if ! diff -u "$expected" <(sed "s|$(printf '%s' "$folder_inside" | sed 's/[\\|]/\\&/g')|{FOLDER}|g" "$actual"); then
  echo "trace of $book differs from $expected"
  exit 1
fi
