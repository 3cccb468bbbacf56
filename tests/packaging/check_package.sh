#!/usr/bin/env bash
# Checks the Debian package as Debian and the desktop would, then unpacks it into a scratch root
# and uses it from there as an installed talu: the demo book plays and reaches every file it
# names, the versions answer, the desktop entry's command opens the demo, books are recognised by
# name and by content, and talu-cli completes in bash.
#   check_package.sh talu_VERSION_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
source "$(dirname "$0")/../qt/e2e/desktop.sh"
require_tools lintian desktop-file-validate appstreamcli dpkg-deb update-mime-database gio Xvfb xdotool
fail() { echo "package check failed: $*"; exit 1; }

# Errors fail; what lintian still warns about is shown (the overrides in the package explain
# theirs).
lintian_status=0
lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || lintian_status=$?
grep -v 'root privileges' "$work/lintian" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports an error"

root=$work/root
dpkg-deb -x "$deb" "$root"
for entry in "$root"/usr/share/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "desktop-file-validate $(basename "$entry")"
done
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
  fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$root" >/dev/null || fail "appstreamcli validate-tree"

bin=$root/usr/bin demo=$root/usr/share/talu/demo/demo.talu
version=$(dpkg-deb -f "$deb" Version)
[[ $("$bin/talu" --version) == "talu $version "* ]] || fail "talu --version does not say $version"
[[ $("$bin/talu-cli" --version) == *"$version"* ]] || fail "talu-cli --version does not say $version"
# Every file the installed demo names is installed, and it plays to its end.
"$bin/talu-cli" check "$demo" || fail "talu-cli check finds the installed demo incomplete"
"$bin/talu-cli" run "$demo" --input reader=Aoi --input waves=1 --choose 2 >"$work/trace" ||
  fail "talu-cli run on the installed demo"
grep -q '^end end-tag' "$work/trace" || fail "the installed demo did not play to its end"

# A book is known by its name, and by its first bytes where it has no name to go by.
XDG_DATA_DIRS=$root/usr/share update-mime-database "$root/usr/share/mime"
printf '<BGM SRC="sea.mid">\r\n' >"$work/downloaded"
for file in "$demo" "$work/downloaded"; do
  type=$(XDG_DATA_DIRS=$root/usr/share gio info -a standard::content-type "$file" |
    sed -n 's/.*content-type: //p' || true)
  [ "$type" = application/x-talu-book ] || fail "$(basename "$file") is $type, not a book"
done

# talu-cli's completion offers its commands and each command's options.
completions=$(PATH=$bin:$PATH bash -c '
  source "$1"
  complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _talu_cli; echo "${COMPREPLY[*]}"; }
  complete_words talu-cli ru; complete_words talu-cli run --scr; complete_words talu-cli explore --max-p' \
  _ "$root/usr/share/bash-completion/completions/talu-cli")
[ "$completions" = $'run\n--screenshot\n--max-paths' ] || fail "completion gave: $completions"

# The desktop entry's command, with no book, opens the installed demo: after the question of
# full screen or window, the window takes the demo's title.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config SDL_AUDIODRIVER=dummy
mkdir -p "$XDG_CONFIG_HOME"
start_xvfb
command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/usr/share/applications/talu.desktop")
"$bin/$command" >"$work/talu.log" 2>&1 &
talu_pid=$!
box=$(timeout 20 xdotool search --sync --onlyvisible --name '^talu$' | head -n 1 || true)
[ -n "$box" ] || fail "no question of full screen: was a book opened?"
xdotool windowfocus --sync "$box" key Return
timeout 20 xdotool search --sync --onlyvisible --name 'talu demo' >/dev/null ||
  fail "the installed talu did not open its demo: $(cat "$work/talu.log")"
echo "package checks passed: $(basename "$deb")"
