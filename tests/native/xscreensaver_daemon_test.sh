#!/bin/bash
# The native program as a hack of XScreenSaver's own daemon: started by the
# daemon in its window, it draws pictures there that change with the period,
# and it ends when the daemon deactivates it.
#   xscreensaver_daemon_test.sh PROGRAM
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
# The daemon runs its hacks as another user: the program and its settings
# live where that user may read them.
scratch=$(mktemp -d /tmp/orvanel-xscreensaver-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
install -m 755 "$program" "$scratch/orvanel"
mkdir -p "$scratch/home/.config/vorlanthix"
printf '[Config]\nSpeed=2\n' >"$scratch/home/.config/vorlanthix/orvanel.ini"

out=$(XSH_HOME_TEMPLATE="$scratch/home" "$here/xscreensaver_host.sh" "$scratch/orvanel -root" "$scratch/host" 15) ||
  { echo "the daemon could not be set up" >&2; exit 1; }
echo "$out"
fail=0
expect() { grep -qx "$1" <<<"$out" || { echo "expected \"$1\"" >&2; fail=1; }; }
expect "hack-window-via env"
expect "hack-running yes"
expect "changed yes"
expect "hack-exit yes"
for n in 1 2; do
  mean=$(sed -n "s/^capture-$n //p" <<<"$out")
  awk -v m="${mean:-0}" 'BEGIN { exit !(m > 0.08) }' || { echo "capture $n is black (mean $mean)" >&2; fail=1; }
done
exit $fail
