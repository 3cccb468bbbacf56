#!/usr/bin/env bash
# `talu book.zip` on a real X server (its own Xvfb): the window opens the book inside the archive
# and shows the same first page the headless runner shows for the same archive.
#   archive_e2e.sh TALU TALU_CLI BOOK
set -euo pipefail
source "$(dirname "$0")/e2e/pixels.sh"
talu=$1 cli=$2 book=$3
source "$(dirname "$0")/e2e/desktop.sh"
require_tools Xvfb xdotool import compare convert python3
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$XDG_CONFIG_HOME"

# The book in its one top folder, as books are downloaded: with the CR LF line ends of the
# systems they were written on (archive members end their lines at CR, as the old reader did).
mkdir -p "$work/books"
zip=$work/books/story.zip
python3 - "$book" "$zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[2], "w", zipfile.ZIP_DEFLATED) as z:
    with open(sys.argv[1], "rb") as book:
        z.writestr("story/story.talu", book.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))
    z.writestr("story/readme.txt", "read me")
PY
"$cli" run "$zip" --frames "$work/expected" >"$work/trace"
frames=("$work"/expected/*.png)
[ ${#frames[@]} -ge 1 ] || { echo "the runner kept no page"; exit 1; }

start_xvfb

"$talu" --window "$zip" >"$work/talu.log" 2>&1 &
talu_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^TALU Version' | head -n 1)

quantise "${frames[0]}" "$work/wanted.png"
shown=""
for _ in $(seq 60); do
  import -window "$window" "$work/grab.png"
  quantise "$work/grab.png" "$work/shown.png"
  if [ "$(compare -metric AE "$work/shown.png" "$work/wanted.png" null: 2>&1 || true)" = 0 ]; then
    shown=yes; break
  fi
  sleep 0.3
done
if [ -z "$shown" ]; then
  echo "the window never showed the runner's first page of the book inside the archive"
  if xdotool search --onlyvisible --name '^talu$' >/dev/null 2>&1; then echo "(a box is up)"; fi
  cat "$work/talu.log"; exit 1
fi

echo "talu opened the book inside story.zip and showed the runner's first page"
