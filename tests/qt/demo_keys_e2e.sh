#!/usr/bin/env bash
# The bundled demo book read to its end in the desktop player with the keyboard alone, on its
# own Xvfb: Enter reads on, the form is filled in with typing, Tab and Space (the name, the
# "I like the waves" box, Enter on OK), the choice is made with Down and Enter, and Enter answers
# the end box and the close question. Down three times reaches "Look for shells" only when the
# box was ticked (the link is hidden otherwise, and Down goes round to the first link), so the
# picture the book keeps at its end (SNAP keepsake.jpg) must equal the headless runner's for
# that path, and differ from the first link's.
#   demo_keys_e2e.sh TALU TALU_CLI DEMO_FOLDER
set -euo pipefail
talu=$1 cli=$2 demo=$3
source "$(dirname "$0")/e2e/desktop.sh"
require_tools Xvfb xdotool cmp
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
# Pages at once and no music, so that each key meets a book that waits for it.
mkdir -p "$XDG_CONFIG_HOME/Velmor"
cat >"$XDG_CONFIG_HOME/Velmor/talu.conf" <<'EOF'
[EFFECT]
m_nTextWait=0
m_nCharWait=0
m_nBackWait=0
m_nFadeWait=0
m_nTextEffect=0
m_nCharEffect=0
m_nBackEffect=0
m_nFadeEffect=0
m_nUseCD=0
m_nUsePCM=0
EOF
export SDL_AUDIODRIVER=dummy

# The runner's keepsakes: the path the keys take, and the first link's.
for choice in 2 0; do
  mkdir -p "$work/runner$choice"
  cp -r "$demo"/. "$work/runner$choice/"
  "$cli" run "$work/runner$choice/demo.talu" --input reader=Aoi --input waves=1 \
    --choose "$choice" >/dev/null
done
cmp -s "$work/runner2/keepsake.jpg" "$work/runner0/keepsake.jpg" &&
  { echo "the two paths keep the same picture: the test could not tell them apart"; exit 1; }

start_xvfb

mkdir -p "$work/book"
cp -r "$demo"/. "$work/book/"
"$talu" --window "$work/book/demo.talu" >"$work/talu.log" 2>&1 &
talu_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^talu' | head -n 1)
[ -n "$window" ] || { echo "the window never came up"; exit 1; }

# Each key goes to the focused window, then the book has a moment to reach its next wait.
press() {
  for key in "$@"; do
    xdotool windowfocus --sync "$window" key "$key"
    sleep 0.6
  done
}
sleep 1
press Return Return Return Return                # the prologue and the welcome
xdotool windowfocus --sync "$window" type --delay 50 Aoi
press Tab space Tab Return                       # the box ticked, then OK
press Return Return Return Return                # the greeting and the question
press Down Down Down Return                      # the third link: Look for shells
press Return Return Return Return Return Return  # the shell, the smile, the keepsake
# The end box, then the close question, each taken with Enter.
for _ in 1 2; do
  box=$(timeout 10 xdotool search --sync --onlyvisible --name '^talu$' | head -n 1)
  xdotool windowfocus --sync "$box" key Return
  sleep 0.5
done
status=0
for _ in $(seq 100); do kill -0 "$talu_pid" 2>/dev/null || break; sleep 0.1; done
wait "$talu_pid" || status=$?
talu_pid=""
[ "$status" -eq 0 ] || { echo "talu ended with status $status"; cat "$work/talu.log"; exit 1; }
[ -f "$work/book/keepsake.jpg" ] || { echo "the book never reached its keepsake"; exit 1; }
cmp -s "$work/book/keepsake.jpg" "$work/runner2/keepsake.jpg" ||
  { echo "the keys took another path than Look for shells"; exit 1; }
echo "the demo read to its end with the keyboard alone, by the path of its third link"
