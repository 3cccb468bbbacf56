# Sourced by the scripts that drive the real program: the tools they need, a scratch folder
# removed at exit with the player and the X server they started, and an X server of their own.
require_tools() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps.sh installs it)"; exit 1; }
  done
}
work=$(mktemp -d)
xvfb_pid="" talu_pid=""
cleanup() {
  [ -n "$talu_pid" ] && kill "$talu_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# An Xvfb of the given size (1024x768 by default); DISPLAY names it once it is up.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$work/display")
}
