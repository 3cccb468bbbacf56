#!/usr/bin/env bash
# The desktop player as a native Wayland client of weston, its stage compared pixel for pixel
# with the headless runner's pages: in a window, at ×2, on a HiDPI output (scale 2) and full
# screen (letterboxed on black), each on weston's headless backend. Weston's headless backend
# takes no input, so reading on is checked on weston's X11 backend inside an Xvfb, where
# xdotool's clicks and keys reach the player through weston as Wayland input.
#   wayland_e2e.sh TALU TALU_CLI BOOK
set -euo pipefail
source "$(dirname "$0")/e2e/pixels.sh"
talu=$1 cli=$2 book=$3
source "$(dirname "$0")/e2e/desktop.sh"
require_tools weston weston-screenshooter Xvfb xdotool convert compare
weston_pid=""
stop() {
  for pid in "$talu_pid" "$weston_pid"; do
    [ -n "$pid" ] && { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; }
  done
  talu_pid="" weston_pid=""
}
cleanup() {
  stop
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME/Velmor" "$XDG_RUNTIME_DIR" "$work/shots"
chmod 700 "$XDG_RUNTIME_DIR"
# A magenta desktop without a panel: the player's surface is what is not magenta.
printf '[shell]\nbackground-color=0xffff00ff\npanel-position=none\n' >"$work/weston.ini"

mkdir -p "$work/book"
cp "$book" "$work/book/"
book=$work/book/$(basename "$book")
"$cli" run "$book" --frames "$work/expected" --choose 1 >"$work/trace"
frames=("$work"/expected/*.png)
[ ${#frames[@]} -eq 4 ] || { echo "the runner kept ${#frames[@]} pages, not 4"; exit 1; }

start_weston() {
  rm -f "$XDG_RUNTIME_DIR"/talu-wl*
  weston --config="$work/weston.ini" --socket=talu-wl --debug "$@" >"$work/weston.log" 2>&1 &
  weston_pid=$!
  for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/talu-wl" ] && return 0; sleep 0.1; done
  echo "weston did not start"; cat "$work/weston.log"; exit 1
}

# Without Qt's own title bar the surface is exactly the stage (or the whole screen).
start_talu() {
  QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=talu-wl QT_WAYLAND_DISABLE_WINDOWDECORATION=1 \
    SDL_AUDIODRIVER=dummy "$talu" "$@" "$book" >"$work/talu.log" 2>&1 &
  talu_pid=$!
}


# The output as weston shows it, once two shots 300 ms apart agree.
settled_shot() {
  local out=$1 previous=""
  for _ in $(seq 60); do
    rm -f "$work"/shots/*.png
    (cd "$work/shots" && WAYLAND_DISPLAY=talu-wl timeout 10 weston-screenshooter >/dev/null 2>&1) || true
    local shot
    shot=$(ls "$work"/shots/*.png 2>/dev/null | head -n 1)
    if [ -n "$shot" ]; then
      cp "$shot" "$work/raw.png"
      quantise "$shot" "$out"
      if [ -n "$previous" ] && [ "$(compare -metric AE "$out" "$previous" null: 2>&1)" = 0 ]; then
        return 0
      fi
      cp "$out" "$work/previous.png"; previous=$work/previous.png
    fi
    sleep 0.3
  done
  echo "the output never settled"; cat "$work/talu.log"; exit 1
}

# The player's surface in a settled shot: the part that is not the magenta desktop.
# Weston always draws its pointer: it starts in the output's top left corner and the input part
# keeps it in the bottom right one, both painted over first.
surface() {
  settled_shot "$work/shot.png"
  local w h
  read -r w h <<<"$(identify -format '%w %h' "$work/raw.png")"
  convert "$work/raw.png" -fill '#FF00FF' -draw "rectangle 0,0 48,48" \
    -draw "rectangle $((w - 48)),$((h - 48)) $w,$h" \
    -bordercolor '#FF00FF' -border 1 "$work/bordered.png"
  convert "$work/bordered.png" -trim +repage "$work/trimmed.png"
  quantise "$work/trimmed.png" "$1"
  geometry=$(convert "$work/bordered.png" -trim -format '%X %Y' info:)
}

# $1 shown, $2 wanted, $3 what is checked.
same() {
  local differing
  differing=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  if [ "$differing" != 0 ]; then
    echo "$3: $differing pixels differ from the headless runner's ($(identify -format '%wx%h' "$1") shown)"
    mkdir -p "${TALU_E2E_KEEP:-/tmp/talu-wayland-e2e}"
    cp "$1" "${TALU_E2E_KEEP:-/tmp/talu-wayland-e2e}/shown.png"
    cp "$2" "${TALU_E2E_KEEP:-/tmp/talu-wayland-e2e}/wanted.png"
    exit 1
  fi
}

quantise "${frames[0]}" "$work/page1.png"
convert "$work/page1.png" -sample 200% "$work/page1x2.png"

start_weston --backend=headless-backend.so --use-pixman --width=1024 --height=768
start_talu --window
surface "$work/shown.png"
same "$work/shown.png" "$work/page1.png" "in a window"
stop

printf '[SYSTEM]\nWindowScale=2\n' >"$XDG_CONFIG_HOME/Velmor/talu.conf"
start_weston --backend=headless-backend.so --use-pixman --width=1600 --height=1200
start_talu --window
surface "$work/shown.png"
same "$work/shown.png" "$work/page1x2.png" "in a window at x2"
stop
rm "$XDG_CONFIG_HOME/Velmor/talu.conf"

start_weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 --scale=2
start_talu --window
surface "$work/shown.png"
same "$work/shown.png" "$work/page1x2.png" "on an output of scale 2"
stop

start_weston --backend=headless-backend.so --use-pixman --width=1024 --height=768
start_talu --fullscreen
settled_shot "$work/shown.png"
convert "$work/page1.png" -background black -gravity center -extent 1024x768 "$work/boxed.png"
same "$work/shown.png" "$work/boxed.png" "full screen"
stop

# Input: weston's X11 backend opens its window at the Xvfb's top left corner, so the screen's
# coordinates are weston's; the pointer waits in the corner between clicks. Weston follows the
# pointer once it has entered its window, so it starts outside.
start_xvfb 1280x900
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
# Moves the pointer to the bottom right corner; false when weston never draws it there.
park() {
  for _ in $(seq 10); do
    xdotool mousemove 1200 850 sleep 0.1 mousemove 1020 764 sleep 0.2 mousemove 1021 765 sleep 0.2
    rm -f "$work"/shots/*.png
    (cd "$work/shots" && WAYLAND_DISPLAY=talu-wl timeout 10 weston-screenshooter >/dev/null 2>&1) || true
    if [ "$(convert "$work"/shots/*.png -crop 24x24+1000+744 -format '%k' info: 2>/dev/null)" != 1 ]; then
      return 0
    fi
  done
  return 1
}
# A weston that started while the X pointer moved sometimes never follows it; another is started.
for attempt in 1 2 3; do
  xdotool mousemove 1200 850
  start_weston --backend=x11-backend.so --use-pixman --width=1024 --height=768
  start_talu --window
  sleep 1
  park && break
  stop
  [ "$attempt" = 3 ] && { echo "weston never followed the pointer"; exit 1; }
done
surface "$work/shown.png"
same "$work/shown.png" "$work/page1.png" "first page, weston on X11"
read -r left top <<<"$geometry"
left=$((left - 1)) top=$((top - 1))  # the border added before trimming
xdotool mousemove $((left + 320)) $((top + 240)) sleep 0.3 mousemove $((left + 321)) $((top + 241)) \
  sleep 0.3 click 1 sleep 0.3
park || { echo "weston stopped following the pointer"; exit 1; }
surface "$work/shown.png"
quantise "${frames[1]}" "$work/wanted.png"
same "$work/shown.png" "$work/wanted.png" "after a click"
xdotool key Return
surface "$work/shown.png"
quantise "${frames[2]}" "$work/wanted.png"
same "$work/shown.png" "$work/wanted.png" "after Enter"
# Enter again shows the links; the second ("Right", on the second line), as the runner chose.
xdotool key Return
settled_shot "$work/links.png"
xdotool mousemove $((left + 41)) $((top + 63)) sleep 0.3 mousemove $((left + 40)) $((top + 62)) \
  sleep 0.3 click 1 sleep 0.3
park || { echo "weston stopped following the pointer"; exit 1; }
surface "$work/shown.png"
quantise "${frames[3]}" "$work/wanted.png"
same "$work/shown.png" "$work/wanted.png" "after choosing"
stop
echo "under Wayland the stage equals the runner's in a window, at x2, at scale 2 and full screen; clicks, keys and links reach it"
