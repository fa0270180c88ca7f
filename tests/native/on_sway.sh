#!/bin/bash
# Runs a command as a client of a headless sway of its own, with that sway's
# WAYLAND_DISPLAY, XDG_RUNTIME_DIR, SWAYSOCK and SWAY_PID, DISPLAY unset; the
# compositor ends with the command. sway will not run as root: it runs as
# nobody, and root's clients reach its socket.
#   on_sway.sh COMMAND [ARGUMENTS...]
set -u
run=$(mktemp -d /tmp/orvanel-sway-XXXXXX)
sway=""
cleanup() {
  [ -n "$sway" ] && { kill "$sway" 2>/dev/null; wait "$sway" 2>/dev/null; }
  rm -rf "$run"
}
trap cleanup EXIT
chmod 755 "$run"
mkdir -m 700 "$run/rt" && chown nobody "$run/rt"
printf 'output * bg #00ff00 solid_color\nxwayland disable\ndefault_border none\n' > "$run/sway.conf"
setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin HOME="$run" \
  XDG_RUNTIME_DIR="$run/rt" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$run/sway.conf" > "$run/sway.log" 2>&1 &
sway=$!
. "$(dirname "$0")/../support/await.sh"
ready() { [ -S "$run/rt/wayland-1" ] && ls "$run"/rt/sway-ipc.*.sock >/dev/null 2>&1; }
await 50 ready || { echo "on_sway: sway did not start: $(cat "$run/sway.log")" >&2; exit 1; }
env -u DISPLAY XDG_RUNTIME_DIR="$run/rt" WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$(ls "$run"/rt/sway-ipc.*.sock)" \
  SWAY_PID="$sway" "$@"
