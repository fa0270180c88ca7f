#!/bin/bash
# The Debian package as a user's machine takes it: dpkg installs it, its files
# lie where the daemons look, the hack runs from its installed path, and
# dpkg removes it again, leaving nothing behind.
#   package_test.sh PACKAGE_FOLDER     (the newest orvanel_*.deb in it)
set -u
folder=$1
fail() { echo "package_test: $*" >&2; exit 1; }
if [ "$(id -u)" != 0 ]; then
  echo "package_test: installing a package needs root; skipped" >&2
  exit 77
fi
if dpkg-query -W -f='${Status}' orvanel 2>/dev/null | grep -q 'install ok installed'; then
  echo "package_test: orvanel is installed on this machine already; left alone, skipped" >&2
  exit 77
fi
deb=$(ls -t "$folder"/orvanel_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package in $folder (scripts/package makes it)"

scratch=$(mktemp -d /tmp/orvanel-package-XXXXXX)
xvfb="" hack=""
cleanup() {
  [ -n "$hack" ] && kill -KILL "$hack" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  dpkg -r orvanel >/dev/null 2>&1
  rm -rf "$scratch"
}
trap cleanup EXIT
. "$(dirname "$0")/../support/await.sh"

dpkg -i "$deb" > "$scratch/install.log" 2>&1 || fail "dpkg -i failed: $(cat "$scratch/install.log")"
files=$(dpkg -L orvanel)
for path in /usr/libexec/xscreensaver/orvanel /usr/share/xscreensaver/config/orvanel.xml \
            /usr/share/applications/screensavers/orvanel.desktop /usr/share/man/man6/orvanel.6.gz \
            /usr/share/doc/orvanel/copyright; do
  grep -qx "$path" <<<"$files" || fail "the package has no $path"
  [ -e "$path" ] || fail "$path is not on the disk"
done
[ -x /usr/libexec/xscreensaver/orvanel ] || fail "the hack is not executable"
# Users and idle daemons run it by name.
grep -qx /usr/bin/orvanel <<<"$files" || fail "the package has no /usr/bin/orvanel"
[ "$(env -i PATH=/usr/local/bin:/usr/bin:/bin sh -c 'command -v orvanel')" = /usr/bin/orvanel ] ||
  fail "orvanel is not a command on the PATH"
env -u DISPLAY orvanel -help | grep -q '^Usage: ' || fail "orvanel on the PATH gives no usage"
man -l /usr/share/man/man6/orvanel.6.gz 2>/dev/null | grep -q -- '-settings' || fail "the manual page does not read"
env -u DISPLAY /usr/libexec/xscreensaver/orvanel -help | grep -q '^Usage: ' || fail "the installed hack gives no usage"

# The installed hack, as XScreenSaver starts it: full screen in the root window.
n=170
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
await 100 env DISPLAY=":$n" xdpyinfo >/dev/null || fail "display :$n did not start"
mkdir -m 700 "$scratch/run"
DISPLAY=":$n" XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config" NO_AT_BRIDGE=1 \
  /usr/libexec/xscreensaver/orvanel -root 2> "$scratch/hack.log" &
hack=$!
held() { ls "$scratch/run"/orvanel-*-SaverActiveMode@* >/dev/null 2>&1; }
await 100 held || fail "the installed hack holds no name: $(cat "$scratch/hack.log")"
kill -0 "$hack" || fail "the installed hack ended"
kill -TERM "$hack"
await 50 sh -c "! kill -0 $hack" || fail "SIGTERM did not end the installed hack"
wait "$hack" || fail "the installed hack ended badly on SIGTERM"
hack=""

dpkg -r orvanel > "$scratch/remove.log" 2>&1 || fail "dpkg -r failed: $(cat "$scratch/remove.log")"
while IFS= read -r path; do
  { [ -f "$path" ] || [ -L "$path" ]; } && fail "$path stayed behind"
done <<<"$files"
dpkg-query -W -f='${Status}' orvanel 2>/dev/null | grep -q 'installed' && fail "dpkg still lists orvanel"
echo "package: $(basename "$deb") installed, ran, removed; nothing left"
