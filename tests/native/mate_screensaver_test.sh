#!/bin/bash
# The hack under mate-screensaver, found through its desktop file: the daemon,
# told to show only this saver, is activated; the hack runs in the daemon's
# window and the screen shows pictures; deactivated, the hack ends.
#   mate_screensaver_test.sh PROGRAM DESKTOP_FILE
# The daemon runs hacks from XScreenSaver's folder alone: the test lays a
# folder holding just this hack over it, in a mount namespace of its own.
set -u
program=$1
desktop=$2
fail() { echo "mate_screensaver_test: $*" >&2; [ -f "$scratch/daemon.log" ] && tail -n 20 "$scratch/daemon.log" >&2; exit 1; }
if [ "$(id -u)" != 0 ]; then
  echo "mate_screensaver_test: needs root for its private mount namespace; skipped" >&2
  exit 77
fi
for tool in Xvfb mate-screensaver mate-screensaver-command dbus-run-session gsettings import convert unshare \
            desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "mate_screensaver_test: missing $tool" >&2; exit 1; }
done

. "$(dirname "$0")/../support/await.sh"
scratch=$(mktemp -d /tmp/orvanel-mate-XXXXXX)
xvfb=""
cleanup() {
  pkill -KILL -f "^orvanel -root" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

desktop-file-validate "$desktop" || fail "$desktop is not a valid desktop file"
mkdir -p "$scratch/hacks" "$scratch/home/.local/share/applications/screensavers" \
         "$scratch/home/.config/vorlanthix" "$scratch/run"
chmod 700 "$scratch/run"
install -m 755 "$program" "$scratch/hacks/orvanel"
cp "$desktop" "$scratch/home/.local/share/applications/screensavers/orvanel.desktop"
printf '[Config]\nSpeed=2\n' > "$scratch/home/.config/vorlanthix/orvanel.ini"

n=160
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
await 100 env DISPLAY=":$n" xdpyinfo >/dev/null || fail "display :$n did not start"

# Inside: a session bus of its own, the daemon's settings in it, the daemon,
# then what a user's session does: activate, look, deactivate.
cat > "$scratch/session.sh" <<'SESSION'
set -u
scratch=$1
. "$2/await.sh"
. "$2/picture_shown.sh"
hack() { pgrep -f '^orvanel -root' | head -n 1; }
hack_running() { test -n "$(hack)"; }
lit() { import -window root "$scratch/screen.png" && shows_picture "$scratch/screen.png"; }
mount --bind "$scratch/hacks" /usr/libexec/xscreensaver || { echo "cannot lay the hack folder over"; exit 1; }
gsettings set org.mate.screensaver mode single
gsettings set org.mate.screensaver themes "['screensavers-orvanel']"
gsettings set org.mate.screensaver lock-enabled false
mate-screensaver --no-daemon --debug > "$scratch/daemon.log" 2>&1 &
daemon=$!
await 100 mate-screensaver-command -q >/dev/null || { echo "the daemon does not answer"; exit 1; }
mate-screensaver-command -a >/dev/null || { echo "mate-screensaver-command -a failed"; exit 1; }
await 150 hack_running || { echo "the daemon started no hack"; exit 1; }
pid=$(hack)
tr '\0' '\n' < "/proc/$pid/environ" | grep -q '^XSCREENSAVER_WINDOW=' || { echo "the hack got no window"; exit 1; }
await 200 lit || { echo "the screen shows no picture"; exit 1; }
mate-screensaver-command -d >/dev/null || { echo "mate-screensaver-command -d failed"; exit 1; }
await 50 sh -c "! kill -0 $pid" || { echo "the hack still runs after -d"; exit 1; }
kill "$daemon"
echo "mate-screensaver: activated, the hack ($pid) showed pictures, deactivated, the hack ended"
SESSION

unshare --mount env -i HOME="$scratch/home" DISPLAY=":$n" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$scratch/run" \
  dbus-run-session -- bash "$scratch/session.sh" "$scratch" "$(cd "$(dirname "$0")/../support" && pwd)" 2> "$scratch/session.err" > "$scratch/session.out"
status=$?
cat "$scratch/session.out"
[ "$status" -eq 0 ] || fail "$(tail -n 1 "$scratch/session.out") (exit $status)"
