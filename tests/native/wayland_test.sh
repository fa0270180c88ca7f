#!/bin/bash
# The native program on a Wayland desktop (a headless sway, no X at all), as
# an idle daemon starts it and a user meets it:
#   full screen, every output of two of different sizes covered by a picture;
#   each of several keys ends it at once;
#   the opening fade starts from the desktop, read or seen through, the right
#   way up;
#   pictures change with the period;
#   the pointer ends it beyond 10 px, not within;
#   swayidle starts it after its idle timeout;
#   -settings opens the dialog: Cancel keeps the settings, the folder chooser
#   picks a folder, OK stores; -window shows pictures in a window;
#   an output at scale 2 is covered whole;
#   the compositor killed, it ends at once, without a core dump.
#   wayland_test.sh ORVANEL VIRTUAL_INPUT
set -u
orvanel=$1
virtual_input=$2
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
  pkill -KILL -f "^$scratch/orvanel /s" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
swaymsg create_output >/dev/null
swaymsg output HEADLESS-1 mode 1280x720 position 0 0 >/dev/null
swaymsg output HEADLESS-2 mode 1024x768 position 1280 0 >/dev/null
covered() { grim -o "$1" "$scratch/$1.png" 2>/dev/null && shows_picture "$scratch/$1.png"; }
# The opening fade darkens the desktop: one look mid-way finds the whole
# output an even green between the desktop's and black. The saver reads the
# output first where the compositor lets it; elsewhere the compositor blends
# its surfaces over the live desktop.
# The desktop green above, blue below: a copy read upside down, or rows out
# of place, darkens the wrong colour.
chmod 755 "$scratch"
convert -size 1280x360 xc:"#00ff00" xc:"#0000ff" -append "$scratch/desktop.png"
chmod 644 "$scratch/desktop.png"
swaymsg output HEADLESS-1 bg "$scratch/desktop.png" stretch >/dev/null
# The mean of each channel, and the spread, over a band of rows.
band() { convert "$scratch/fade.png" -crop "1280x120+0+$1" -format "%[fx:mean.r] %[fx:mean.g] %[fx:mean.b] %[fx:standard_deviation]" info:; }
desktop() {
  grim -o HEADLESS-1 "$scratch/fade.png" 2>/dev/null || return 1
  band 60 | awk '{ exit !($2 > 0.99 && $1 < 0.01 && $3 < 0.01) }' && band 540 | awk '{ exit !($3 > 0.99 && $1 < 0.01 && $2 < 0.01) }'
}
await 100 desktop || fail "sway did not show the green and blue desktop"
mid_fade() {
  grim -o HEADLESS-1 "$scratch/fade.png" 2>/dev/null || return 1
  band 60 | awk '{ exit !($1 < 0.01 && $3 < 0.01 && $2 > 0.1 && $2 < 0.9 && $4 < 0.02) }' &&
    band 540 | awk '{ exit !($1 < 0.01 && $2 < 0.01 && $3 > 0.1 && $3 < 0.9 && $4 < 0.02) }'
}
for unread in "" 1; do
  ORVANEL_NO_SCREENCOPY=$unread XDG_CONFIG_HOME="$scratch/config" "$orvanel" /s 2> "$scratch/saver.log" &
  saver=$!
  await 100 mid_fade ||
    fail "no look caught the opening fade between the desktop and black${unread:+, the output unread}: $(cat "$scratch/saver.log")"
  kill -TERM "$saver"
  await_clean_end "$saver" 50 || fail "SIGTERM did not end the saver cleanly"
  saver=""
done
swaymsg output HEADLESS-1 bg "#00ff00" solid_color >/dev/null
# A picture a second, cut in: the first output shows another one soon.
XDG_CONFIG_HOME="$scratch/config" "$orvanel" -speed 1 -no-blend /s 2> "$scratch/saver.log" &
saver=$!
# Past the opening fade: a picture that holds still over two looks.
settled() {
  covered HEADLESS-1 && grim -o HEADLESS-1 "$scratch/again.png" && cmp -s "$scratch/HEADLESS-1.png" "$scratch/again.png"
}
await 150 settled || fail "HEADLESS-1 shows no picture that holds: $(cat "$scratch/saver.log")"
first=$(md5sum < "$scratch/HEADLESS-1.png")
changed() { covered HEADLESS-1 && [ "$(md5sum < "$scratch/HEADLESS-1.png")" != "$first" ]; }
await 100 changed || fail "the picture on HEADLESS-1 did not change within 10 s at a picture a second"
kill -TERM "$saver"
await_clean_end "$saver" 50 || fail "SIGTERM did not end the saver cleanly"
saver=""
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
# The pointer, once the seat has one: within 10 px of where it was when the
# saver appeared it leaves the saver running, as pictures go on changing;
# beyond, it ends it. Coming onto another output is a move too, measured in
# that output's window. Positions are on the whole layout, 2304 x 768; the
# keyboard that comes with the pointer serves the dialog below.
coproc input { "$virtual_input" 2304 768; }
send() {
  echo "$*" >&"${input[1]}"
  read -r -t 10 answer <&"${input[0]}" || fail "the virtual input did not take \"$*\""
}
point() { send move "$1" "$2"; }
pointer_run() {  # START_X START_Y: a saver shown under the pointer there
  point "$1" "$2"
  XDG_CONFIG_HOME="$scratch/config" "$orvanel" -speed 1 -no-blend /s 2> "$scratch/saver.log" &
  saver=$!
  await 150 settled || fail "HEADLESS-1 shows no picture that holds: $(cat "$scratch/saver.log")"
}
ends_by() {  # what moved the pointer last
  await 30 sh -c "! kill -0 $saver" || fail "$1 did not end the saver"
  wait "$saver" || fail "the saver ended badly after $1: $(cat "$scratch/saver.log")"
  saver=""
}
pointer_run 600 300
point 606 305
first=$(md5sum < "$scratch/HEADLESS-1.png")
await 100 changed || fail "the saver did not go on after the pointer moved 6 px: $(cat "$scratch/saver.log")"
first=$(md5sum < "$scratch/HEADLESS-1.png")
await 100 changed || fail "the saver did not go on after the pointer moved 6 px: $(cat "$scratch/saver.log")"
kill -0 "$saver" || fail "the pointer moving 6 px ended the saver"
point 620 300
ends_by "the pointer moved 20 px"
pointer_run 1275 300
point 1283 300
ends_by "the pointer coming onto HEADLESS-2"
# As a user sets it up: started by the idle daemon, by name, after a timeout.
export XDG_CONFIG_HOME="$scratch/config"
# By a path of its own, so that no other test's saver is taken for it.
ln -s "$(readlink -f "$orvanel")" "$scratch/orvanel"
swayidle -w timeout 2 "$scratch/orvanel /s 2> $scratch/idle.log" &
idle=$!
await 150 covered HEADLESS-1 || fail "swayidle did not start the saver: $(cat "$scratch/idle.log" 2>/dev/null)"
saver=$(pgrep -f "^$scratch/orvanel /s" | head -n 1)
[ -n "$saver" ] || fail "the saver swayidle started is not running"
wtype -s 200 -k space
await 30 sh -c "! kill -0 $saver" || fail "a key did not end the saver swayidle started"
kill "$idle"; wait "$idle" 2>/dev/null
idle="" saver=""
# The dialog, a window of the desktop, from the keyboard: Alt+C leaves the
# settings as they were; in the folder chooser Ctrl+L, the path and Alt+S pick
# a folder; Alt+O stores it all.
settings="$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"
mkdir -p "$(dirname "$settings")" "$scratch/Summer 2025"
printf '[Config]\nSpeed=0x1F\nRandom=0\n' > "$settings"
cp "$settings" "$scratch/stored.ini"
shown() { swaymsg -t get_tree | grep -q "\"name\": \"$1\""; }
dialog_run() {  # KEYS...: given to the dialog once it shows, which they end
  "$orvanel" -settings 2> "$scratch/dialog.log" &
  saver=$!
  await 100 shown "Orvanel Screensaver" || fail "-settings showed no dialog: $(cat "$scratch/dialog.log")"
  "$@"
  await 50 sh -c "! kill -0 $saver" || fail "the dialog did not end after $*"
  wait "$saver" || fail "the dialog ended badly after $*: $(cat "$scratch/dialog.log")"
  saver=""
}
dialog_run send key alt+c
cmp -s "$settings" "$scratch/stored.ini" || fail "Cancel changed the settings: $(cat "$settings")"
pick_folder() {
  send key alt+f
  await 100 shown "Pictures folder" || fail "Alt+F showed no folder chooser"
  send key ctrl+l
  send type "$scratch/Summer 2025"
  send key alt+s
  await 100 sh -c '! swaymsg -t get_tree | grep -q "\"name\": \"Pictures folder\""' || fail "the chooser stayed"
  send key alt+o
}
dialog_run pick_folder
for line in "Speed=31" "Random=0" "Blend=1" "Folder=$scratch/Summer 2025"; do
  grep -q "^$line"$'\r'"\?$" "$settings" || fail "OK did not store $line: $(cat "$settings")"
done
# Tried out in a window of its own: a window of the desktop, showing pictures.
"$orvanel" -window 2> "$scratch/window.log" &
saver=$!
await 100 shown "Orvanel Screensaver" || fail "-window showed no window: $(cat "$scratch/window.log")"
await 150 covered HEADLESS-1 || fail "the window shows no picture: $(cat "$scratch/window.log")"
kill -TERM "$saver"
await_clean_end "$saver" 50 || fail "SIGTERM did not end -window cleanly"
saver=""
# An output the compositor scales is covered whole all the same.
swaymsg output HEADLESS-2 scale 2 >/dev/null
"$orvanel" -speed 1 -no-blend /s 2> "$scratch/saver.log" &
saver=$!
await 150 covered HEADLESS-2 || fail "HEADLESS-2 at scale 2 shows no picture: $(cat "$scratch/saver.log")"
green=$(convert "$scratch/HEADLESS-2.png" -fill black +opaque "#00ff00" -format "%[fx:mean]" info:)
awk -v g="$green" 'BEGIN { exit !(g == 0) }' || fail "HEADLESS-2 at scale 2: the desktop shows beside the saver"
kill -TERM "$saver"
await_clean_end "$saver" 50 || fail "SIGTERM did not end the saver cleanly"
saver=""
swaymsg output HEADLESS-2 scale 1 >/dev/null
# Last, for the compositor does not come back: the saver left without it,
# as when it crashes.
"$orvanel" /s 2> "$scratch/saver.log" &
saver=$!
await 150 covered HEADLESS-1 || fail "HEADLESS-1 shows no picture: $(cat "$scratch/saver.log")"
kill -KILL "$SWAY_PID"
await_clean_end "$saver" 50 || fail "the saver did not end cleanly when the compositor went"
saver=""
echo "wayland: the fade began on the desktop, two outputs covered, pictures changed, four keys each ended the saver, the pointer did beyond 10 px and not within, swayidle started it, the dialog cancelled and stored, -window showed pictures, a scaled output was covered, the compositor killed ended it"
