#!/bin/sh
# One user, two X displays (a second X session, a VNC display): a full-screen
# saver on each runs, each holding the name of its own display; a second
# start on one of them gives way; SIGTERM ends both.
#   two_displays.sh ORVANEL_PROGRAM
set -eu
orvanel=$1
scratch=$(mktemp -d)
pids=""
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config"
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/vorlanthix"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Config]\nSpeed=2\n' > "$XDG_CONFIG_HOME/vorlanthix/orvanel.ini"

fail() { echo "two_displays: $*" >&2; exit 1; }

. "$(dirname "$0")/../support/await.sh"

free_display() {
  n=$1
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  echo "$n"
}

first=$(free_display 170)
Xvfb ":$first" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
pids="$pids $!"
second=$(free_display $((first + 1)))
Xvfb ":$second" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
pids="$pids $!"
await 100 env DISPLAY=":$first" xdpyinfo >/dev/null || fail "display :$first did not start"
await 100 env DISPLAY=":$second" xdpyinfo >/dev/null || fail "display :$second did not start"

lock() { echo "$XDG_RUNTIME_DIR/orvanel-$(id -u)-SaverActiveMode@:$1.lock"; }

DISPLAY=":$first" "$orvanel" /s &
a=$!
pids="$pids $a"
DISPLAY=":$second" "$orvanel" /s &
b=$!
pids="$pids $b"
await 100 test -e "$(lock "$first")" || fail "no saver holds the name of display :$first"
await 100 test -e "$(lock "$second")" || fail "no saver holds the name of display :$second"
kill -0 "$a" || fail "the saver on :$first ended"
kill -0 "$b" || fail "the saver on :$second ended"

# A second full-screen start on the first display gives way at once.
DISPLAY=":$first" "$orvanel" /s &
c=$!
await 50 sh -c "! kill -0 $c" || fail "a second saver on :$first did not give way"
wait "$c" || fail "the second saver on :$first ended with an error"
kill -0 "$a" && kill -0 "$b" || fail "a running saver ended when a second one started"

kill -TERM "$a" "$b"
await 50 sh -c "! kill -0 $a && ! kill -0 $b" || fail "SIGTERM did not end both savers"
wait "$a" || fail "the saver on :$first did not end cleanly on SIGTERM"
wait "$b" || fail "the saver on :$second did not end cleanly on SIGTERM"
await 30 sh -c "! test -e '$(lock "$first")' && ! test -e '$(lock "$second")'" ||
  fail "a name stayed behind"
echo "two displays: both savers ran, a second start gave way"
