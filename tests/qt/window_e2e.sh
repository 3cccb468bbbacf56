#!/usr/bin/env bash
# The desktop player on a real X server (its own Xvfb): it opens a book, is clicked through it
# with synthetic input, and every page it shows must equal, pixel for pixel, the page the
# headless runner keeps for the same book. Ctrl+S on the first page saves bookmark slot 1; Ctrl+L
# on the third, where a character stands, brings back the pages after the saved one with no box
# and no second character; Close Window from the menu shows the stage without the message window
# and the next click brings it back. Escape and OK then end it with status 0 and the settings
# written; started again, Ctrl+L and OK bring back the page after the saved one.
#   window_e2e.sh TALU TALU_CLI BOOK
set -euo pipefail
source "$(dirname "$0")/e2e/pixels.sh"
talu=$1 cli=$2 book=$3
source "$(dirname "$0")/e2e/desktop.sh"
require_tools Xvfb xdotool import compare convert
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$XDG_CONFIG_HOME"

start_xvfb

# The book's copy takes the bookmark files, not the source tree.
mkdir -p "$work/book"
cp "$book" "$work/book/"
book=$work/book/$(basename "$book")
# The runner hides the window at the third wait, as the reader does below.
"$cli" run "$book" --frames "$work/expected" --choose 1 --at 3:hide-window >"$work/trace"

start_talu() {
  "$talu" --window "$book" >"$work/talu.log" 2>&1 &
  talu_pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^TALU Version' | head -n 1)
}
start_talu

# Grabs the window until two grabs 300 ms apart agree, so typing and effects have ended.
settled_grab() {
  local out=$1 previous=""
  for _ in $(seq 60); do
    import -window "$window" "$work/grab.png"
    quantise "$work/grab.png" "$out"
    if [ -n "$previous" ] && [ "$(compare -metric AE "$out" "$previous" null: 2>&1)" = 0 ]; then
      return 0
    fi
    cp "$out" "$work/previous.png"; previous=$work/previous.png
    sleep 0.3
  done
  echo "the window never settled"; return 1
}

# The settled window must show page i+1 of the runner's.
expect_page() {
  settled_grab "$work/shown.png"
  quantise "${frames[$1]}" "$work/wanted.png"
  differing=$(compare -metric AE "$work/shown.png" "$work/wanted.png" null: 2>&1 || true)
  if [ "$differing" != 0 ]; then
    echo "page $(($1 + 1))${2:-}: $differing pixels differ from the headless runner's"
    mkdir -p "${TALU_E2E_KEEP:-/tmp/talu-e2e}"
    cp "$work/shown.png" "$work/wanted.png" "${TALU_E2E_KEEP:-/tmp/talu-e2e}/"
    exit 1
  fi
}

# Escape asks "Exit Application?"; OK (Enter) ends the player, which writes its settings.
quit_talu() {
  xdotool windowfocus --sync "$window" key Escape
  box=$(timeout 10 xdotool search --sync --onlyvisible --name '^talu$' | head -n 1)
  xdotool windowfocus --sync "$box" key Return
  status=0
  for _ in $(seq 100); do kill -0 "$talu_pid" 2>/dev/null || break; sleep 0.1; done
  wait "$talu_pid" || status=$?
  talu_pid=""
  [ "$status" -eq 0 ] || { echo "talu ended with status $status"; cat "$work/talu.log"; exit 1; }
}

# Ctrl+L and OK ("Load from bookmark  No.1."): no other box may follow.
load_slot() {
  xdotool windowfocus --sync "$window" key ctrl+l
  box=$(timeout 10 xdotool search --sync --onlyvisible --name '^talu$' | head -n 1)
  xdotool windowfocus --sync "$box" key Return
  sleep 1
  if xdotool search --onlyvisible --name '^talu$' >/dev/null 2>&1; then
    echo "a box came up after the load"; exit 1
  fi
}

click() { xdotool mousemove --window "$window" 5 5 click 1; }

frames=("$work"/expected/*.png)
[ ${#frames[@]} -eq 5 ] || { echo "the runner kept ${#frames[@]} pages, not 5"; exit 1; }
expect_page 0
# Ctrl+S saves slot 1 without a question once the book waits (a settled picture may still have
# the book finishing its step, when Ctrl+S does nothing): pressed until the slot is there.
for _ in $(seq 40); do
  xdotool windowfocus --sync "$window" key ctrl+s
  sleep 0.25
  [ -s "$work/book/pages.01.bmk" ] && break
done
[ -s "$work/book/pages.01.bmk" ] || { echo "Ctrl+S wrote no bookmark"; exit 1; }
click; expect_page 1
click; expect_page 2
load_slot
expect_page 1 " (loaded where the character stood)"
click; expect_page 2 " (loaded where the character stood)"
# Close Window from the popup menu (its accelerator C), then a click brings the window back.
xdotool mousemove --window "$window" 100 100 click 3
sleep 0.5
xdotool key c
expect_page 3 " (the message window hidden)"
click; expect_page 2 " (the message window back)"
click
# The choice: point at the second link ("Right", on the second line), as the runner chose.
settled_grab "$work/links.png"
xdotool mousemove --window "$window" 40 62 sleep 0.3 click 1
expect_page 4

quit_talu
grep -q '^m_nTextWait=' "$XDG_CONFIG_HOME/Velmor/talu.conf" ||
  { echo "the settings were not written"; exit 1; }

# Started again: Ctrl+L asks "Load from bookmark  No.1."; OK goes on from the saved first page.
start_talu
expect_page 0 " (started again)"
xdotool windowfocus --sync "$window" key ctrl+l
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^talu$' | head -n 1)
xdotool windowfocus --sync "$box" key Return
sleep 1  # the load redraws the background on the interface thread, the box's place meanwhile stale
expect_page 1 " (loaded from the bookmark)"
quit_talu
echo "window and runner agree on ${#frames[@]} pages, after bookmark loads and with the window hidden; closed cleanly"
