#!/bin/bash
# The saver where XScreenSaver's users pick it: xscreensaver-settings, with
# the saver's description among the stock ones and the saver selected, reads
# the description without a parser error, shows "Orvanel Screensaver" as the
# selected saver, and runs the hack in its preview pane, which shows a picture.
# The hack takes every argument the description can give it.
#   xscreensaver_settings_test.sh PROGRAM DESCRIPTION_XML
# The settings app reads descriptions from one fixed folder: the test lays
# its own copy of that folder over it, in a mount namespace of its own.
set -u
program=$1
description=$2
fail() { echo "xscreensaver_settings_test: $*" >&2; exit 1; }
if [ "$(id -u)" != 0 ]; then
  echo "xscreensaver_settings_test: needs root for its private mount namespace; skipped" >&2
  exit 77
fi
for tool in Xvfb xdotool xscreensaver-settings import convert unshare setpriv; do
  command -v "$tool" >/dev/null || fail "missing $tool"
done

# XScreenSaver refuses to run as root: the settings app runs as a system user.
user=xshost
id -u "$user" >/dev/null 2>&1 ||
  useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" 2>/dev/null ||
  id -u "$user" >/dev/null 2>&1 || fail "cannot create user $user"

scratch=$(mktemp -d /tmp/orvanel-xss-settings-XXXXXX)
xvfb="" settings=""
cleanup() {
  [ -n "$settings" ] && kill "$settings" 2>/dev/null
  pkill -KILL -f "^$scratch/orvanel" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
chmod 755 "$scratch"
mkdir -p "$scratch/config" "$scratch/home/.config/vorlanthix"
cp /usr/share/xscreensaver/config/*.xml "$scratch/config/"
cp "$description" "$scratch/config/orvanel.xml"
install -m 755 "$program" "$scratch/orvanel"
printf '[Config]\nSpeed=2\n' > "$scratch/home/.config/vorlanthix/orvanel.ini"
# The one program of the list, under the name the README gives it, selected.
printf 'mode:\tone\nselected:\t0\nprograms:\t"Orvanel Screensaver" %s -root \\n\n' "$scratch/orvanel" \
  > "$scratch/home/.xscreensaver"
chown -R "$user:" "$scratch/home"

# Every argument the description can give the hack is one the hack takes:
# options before -help are read first, and one it refuses ends it with 2.
arguments=$(for attribute in arg-set arg-unset arg; do
  xmllint --xpath "//@$attribute" "$description" 2>/dev/null | sed -n 's/^ *[a-z-]*="\(.*\)"$/\1/p'
done)
[ "$(printf '%s\n' "$arguments" | grep -c .)" -ge 9 ] || fail "too few arguments read from the description: $arguments"
printf '%s\n' "$arguments" | while IFS= read -r argument; do
  # shellcheck disable=SC2086 # an argument of the description is words for the command line
  "$program" $(printf '%s' "$argument" | sed 's|%|8|') -help >/dev/null 2>&1 ||
    fail "the hack refuses \"$argument\" from the description"
done || exit 1

. "$(dirname "$0")/../support/await.sh"
. "$(dirname "$0")/../support/picture_shown.sh"

n=150
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
await 100 xdpyinfo >/dev/null || fail "display :$n did not start"

unshare --mount sh -c '
  mount --bind "$1/config" /usr/share/xscreensaver/config &&
  exec setpriv --reuid="$(id -u "$2")" --regid="$(id -g "$2")" --init-groups -- \
    env -i HOME="$1/home" DISPLAY="$3" PATH=/usr/bin:/bin xscreensaver-settings' \
  settings-app "$scratch" "$user" "$DISPLAY" > "$scratch/settings.log" 2>&1 &
settings=$!

titled() { xdotool search --onlyvisible --name "$1" >/dev/null; }
await 200 titled '^XScreenSaver: Orvanel Screensaver Settings$' ||
  fail "no settings window with Orvanel Screensaver selected; it printed: $(cat "$scratch/settings.log")"

# The preview pane: the window the app gave the hack on its command line.
preview_window() {
  pid=$(pgrep -f "^$scratch/orvanel" | head -n 1)
  [ -n "$pid" ] || return 1
  tr '\0' '\n' < "/proc/$pid/cmdline" | sed -n '/^--*window-id$/{n;p;q}'
}
await 200 preview_window >/dev/null || fail "the settings app started no preview of the hack"
window=$(preview_window)
lit() { import -window "$window" "$scratch/preview.png" && shows_picture "$scratch/preview.png"; }
await 200 lit || fail "the preview pane $window shows no picture"

kill -0 "$settings" || fail "the settings app ended: $(cat "$scratch/settings.log")"
if grep -qiE 'parser error|error|critical|segmentation' "$scratch/settings.log"; then
  fail "the settings app reported: $(cat "$scratch/settings.log")"
fi
echo "xscreensaver-settings: Orvanel Screensaver selected, its preview ($window) shows a picture"
