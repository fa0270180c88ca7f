#!/bin/bash
# The native program on a Wayland compositor without layer shell (weston,
# headless, as GNOME's lacks it too): a full-screen window of its own on the
# output instead, covered edge to edge; SIGTERM ends it cleanly, and so does
# the compositor's end, without a core dump.
#   wayland_fallback_test.sh ORVANEL
set -u
orvanel=$1
here=$(dirname "$0")
. "$here/../support/await.sh"
. "$here/../support/picture_shown.sh"
fail() { echo "wayland_fallback_test: $*" >&2; exit 1; }
scratch=$(mktemp -d /tmp/orvanel-weston-XXXXXX)
weston="" saver=""
cleanup() {
  [ -n "$saver" ] && kill -KILL "$saver" 2>/dev/null
  [ -n "$weston" ] && { kill "$weston" 2>/dev/null; wait "$weston" 2>/dev/null; }
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -m 700 "$scratch/rt"
# A green desktop with a magenta panel at the top, which only a full-screen
# window covers: anything near green or magenta (the panel shades its own)
# is the desktop showing.
printf '[shell]\nbackground-color=0xff00ff00\npanel-color=0xffff00ff\npanel-position=top\n' > "$scratch/weston.ini"
# --debug offers its screenshooter; pixman renders the headless output.
XDG_RUNTIME_DIR="$scratch/rt" weston --config="$scratch/weston.ini" --debug --backend=headless-backend.so \
  --use-pixman --width=1024 --height=768 --socket=wayland-1 --idle-time=0 > "$scratch/weston.log" 2>&1 &
weston=$!
await 150 test -S "$scratch/rt/wayland-1" || fail "weston did not start: $(cat "$scratch/weston.log")"
export XDG_RUNTIME_DIR="$scratch/rt" WAYLAND_DISPLAY=wayland-1 NO_AT_BRIDGE=1 XDG_CONFIG_HOME="$scratch/config"
unset DISPLAY
shoot() {
  rm -f "$scratch"/shot/*.png; mkdir -p "$scratch/shot"
  (cd "$scratch/shot" && timeout 10 weston-screenshooter) || return 1
  shot=$(ls "$scratch"/shot/*.png 2>/dev/null | head -n 1)
  [ -n "$shot" ] && [ "$(identify -format "%w x %h" "$shot")" = "1024 x 768" ]
}
# How much of the screen shows a colour of the desktop's: the green exactly,
# the panel's magenta as it shades it.
showing() { convert "$shot" -fuzz "$2" -fill black +opaque "$1" -format "%[fx:mean]" info:; }
desktop() {
  shoot || return 1
  awk -v g="$(showing "#00ff00" 0)" -v m="$(showing "#ff00ff" 20%)" 'BEGIN { exit !(g > 0 && m > 0) }'
}
covered() {
  shoot && shows_picture "$shot" || return 1
  awk -v g="$(showing "#00ff00" 0)" -v m="$(showing "#ff00ff" 20%)" 'BEGIN { exit !(g == 0 && m == 0) }'
}
# The compositor shows its desktop before anything is asked of it.
await 150 desktop || fail "weston showed no desktop: $(cat "$scratch/weston.log")"
"$orvanel" /s 2> "$scratch/saver.log" &
saver=$!
await 150 covered || fail "the output is not covered by a picture: $(cat "$scratch/saver.log")"
kill -TERM "$saver"
await_clean_end "$saver" 50 || fail "SIGTERM did not end the saver cleanly: $(cat "$scratch/saver.log")"
"$orvanel" /s 2> "$scratch/saver.log" &
saver=$!
await 150 covered || fail "the output is not covered by a picture: $(cat "$scratch/saver.log")"
kill "$weston"; wait "$weston" 2>/dev/null
weston=""
await_clean_end "$saver" 50 || fail "the saver did not end cleanly when the compositor went"
saver=""
echo "wayland without layer shell: the output covered, SIGTERM and the compositor's end each ended the saver"
