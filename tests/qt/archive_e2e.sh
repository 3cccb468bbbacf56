#!/usr/bin/env bash
# `talu book.zip` on a real X server (its own Xvfb): the window opens the book inside the archive
# and shows the same first page the headless runner shows for the same archive; Ctrl+S keeps the
# slot in the reader's bookmark folder, since nothing may be written into or beside the archive.
#   archive_e2e.sh TALU TALU_CLI BOOK
set -euo pipefail
talu=$1 cli=$2 book=$3
for tool in Xvfb xdotool import compare convert python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps.sh installs it)"; exit 1; }
done
work=$(mktemp -d)
xvfb_pid="" talu_pid=""
cleanup() {
  [ -n "$talu_pid" ] && kill "$talu_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
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

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

"$talu" --window "$zip" >"$work/talu.log" 2>&1 &
talu_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^TALU Version' | head -n 1)

# The stage as 5-6-5 values: the window widens 16-bit pixels one way, the runner's PNGs another.
quantise() { convert "$1" -channel R -evaluate And 248 -channel G -evaluate And 252 \
  -channel B -evaluate And 248 +channel "$2"; }
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

# Ctrl+S once the book waits: the slot lands in the bookmark folder.
slot=""
for _ in $(seq 40); do
  xdotool windowfocus --sync "$window" key ctrl+s
  sleep 0.25
  slot=$(find "$HOME" -name '*.01.bmk' | head -n 1)
  [ -n "$slot" ] && break
done
[ -n "$slot" ] || { echo "Ctrl+S wrote no bookmark"; exit 1; }
case "$slot" in
  "$work/books"/*) echo "the slot was written beside the archive: $slot"; exit 1 ;;
esac
[ "$(ls "$work/books")" = story.zip ] || { echo "files appeared beside the archive"; ls "$work/books"; exit 1; }

xdotool windowfocus --sync "$window" key Escape
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^talu$' | head -n 1)
xdotool windowfocus --sync "$box" key Return
status=0
for _ in $(seq 100); do kill -0 "$talu_pid" 2>/dev/null || break; sleep 0.1; done
wait "$talu_pid" || status=$?
talu_pid=""
[ "$status" -eq 0 ] || { echo "talu ended with status $status"; cat "$work/talu.log"; exit 1; }
echo "talu opened the book inside story.zip, showed the runner's first page and kept its slot in $slot"
