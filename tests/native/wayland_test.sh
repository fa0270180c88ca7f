#!/bin/bash
# The native program on a Wayland desktop (a headless sway, no X at all), as
# an idle daemon starts it and a user meets it:
#   full screen, every output of two of different sizes covered by a picture;
#   each of several keys ends it at once;
#   swayidle starts it after its idle timeout;
#   -settings opens the dialog as a window of the desktop.
#   wayland_test.sh ORVANEL
set -u
orvanel=$1
here=$(dirname "$0")
# Run again as a client of a sway of its own.
[ -n "${SWAYSOCK:-}" ] || exec bash "$here/on_sway.sh" bash "$0" "$@"
. "$here/../support/await.sh"
. "$here/../support/picture_shown.sh"
fail() { echo "wayland_test: $*" >&2; exit 1; }
scratch=$(mktemp -d /tmp/orvanel-wayland-XXXXXX)
# No accessibility bus here: the toolkit's bridge to it would only wait and leak.
export NO_AT_BRIDGE=1
saver="" idle=""
cleanup() {
  [ -n "$idle" ] && kill "$idle" 2>/dev/null
  [ -n "$saver" ] && kill -KILL "$saver" 2>/dev/null
  pkill -KILL -f "^$orvanel /s" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
swaymsg create_output >/dev/null
swaymsg output HEADLESS-1 mode 1280x720 position 0 0 >/dev/null
swaymsg output HEADLESS-2 mode 1024x768 position 1280 0 >/dev/null
covered() { grim -o "$1" "$scratch/$1.png" 2>/dev/null && shows_picture "$scratch/$1.png"; }
for key in space Return a Escape; do
  XDG_CONFIG_HOME="$scratch/config" "$orvanel" /s 2> "$scratch/saver.log" &
  saver=$!
  for output in HEADLESS-1 HEADLESS-2; do
    await 150 covered "$output" || fail "$output shows no picture with the saver running: $(cat "$scratch/saver.log")"
    size=$(identify -format "%w x %h" "$scratch/$output.png")
    green=$(convert "$scratch/$output.png" -fill black +opaque "#00ff00" -format "%[fx:mean]" info:)
    awk -v g="$green" 'BEGIN { exit !(g == 0) }' || fail "$output ($size): the desktop shows beside the saver"
  done
  # A pause first: the virtual keyboard appears as wtype starts.
  wtype -s 200 -k "$key"
  await 30 sh -c "! kill -0 $saver" || fail "the key $key did not end the saver"
  wait "$saver" || fail "the saver ended badly after $key: $(cat "$scratch/saver.log")"
  saver=""
done
# As a user sets it up: started by the idle daemon, by name, after a timeout.
export XDG_CONFIG_HOME="$scratch/config"
swayidle -w timeout 2 "$orvanel /s 2> $scratch/idle.log" &
idle=$!
await 150 covered HEADLESS-1 || fail "swayidle did not start the saver: $(cat "$scratch/idle.log" 2>/dev/null)"
saver=$(pgrep -f "^$orvanel /s" | head -n 1)
[ -n "$saver" ] || fail "the saver swayidle started is not running"
wtype -s 200 -k space
await 30 sh -c "! kill -0 $saver" || fail "a key did not end the saver swayidle started"
kill "$idle"; wait "$idle" 2>/dev/null
idle="" saver=""
"$orvanel" -settings 2> "$scratch/dialog.log" &
saver=$!
dialog() { swaymsg -t get_tree | grep -q '"name": "Orvanel Screensaver"'; }
await 100 dialog || fail "-settings showed no dialog: $(cat "$scratch/dialog.log")"
kill -TERM "$saver"
await 50 sh -c "! kill -0 $saver" || fail "SIGTERM did not end the dialog"
saver=""
echo "wayland: two outputs covered, four keys each ended the saver, swayidle started it, the dialog opened"
