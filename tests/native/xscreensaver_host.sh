#!/bin/bash
# Runs one hack under XScreenSaver's own daemon on a private Xvfb and prints facts a test can check.
# Usage: xscreensaver_host.sh HACK_COMMAND_LINE SCRATCH_DIR SECONDS
# SECONDS is the longest wait for each of the two screen captures.
# With XSH_HOME_TEMPLATE set, that folder's files are copied into the daemon user's home first.
# HACK_COMMAND_LINE is one line of the daemon's "programs" list, e.g. "deco --root".
set -u
die() { echo "xscreensaver_host: $*" >&2; exit 1; }
[ $# -eq 3 ] || die "usage: $0 HACK_COMMAND_LINE SCRATCH_DIR SECONDS"
HACK=$1 SCRATCH=$2 SECS=$3
case $SECS in '' | *[!0-9]*) die "SECONDS must be a whole number" ;; esac
for t in Xvfb xdpyinfo xscreensaver xscreensaver-command import convert compare setpriv; do
    command -v "$t" >/dev/null || die "missing $t (packages: xvfb x11-utils xscreensaver imagemagick)"
done

# XScreenSaver 6.06 never launches hacks as root (man xscreensaver, "DON'T LOG IN AS ROOT";
# xscreensaver-gfx logs "running as root: not launching hacks") and has no option to allow it.
# So as root the daemon runs as an unprivileged system user created here; otherwise as the caller.
if [ "$(id -u)" = 0 ]; then
    USR=xshost
    id -u $USR >/dev/null 2>&1 ||
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin $USR 2>/dev/null ||
        id -u $USR >/dev/null 2>&1 || die "cannot create user $USR"
    AS=(setpriv --reuid="$(id -u $USR)" --regid="$(id -g $USR)" --init-groups --)   # execs: $! is the daemon
else
    USR=$(id -un) AS=()
fi

mkdir -p "$SCRATCH" && SCRATCH=$(cd "$SCRATCH" && pwd) || die "cannot use $SCRATCH"
H=$SCRATCH/home
rm -rf "$H" "$SCRATCH"/capture-[12].png && mkdir -p "$H" || die "cannot make $H"
# Files a caller wants in the home the hack sees (its settings, say).
if [ -n "${XSH_HOME_TEMPLATE:-}" ]; then cp -R "$XSH_HOME_TEMPLATE"/. "$H"/ || die "cannot copy $XSH_HOME_TEMPLATE"; fi
[ ${#AS[@]} = 0 ] || { chmod a+x "$SCRATCH"; chown -R "$USR:" "$H"; }
"${AS[@]}" test -w "$H" || die "$USR cannot write $H (a parent directory is not searchable by others?)"
HACKBIN=${HACK#"${HACK%%[![:space:]]*}"}; HACKBIN=${HACKBIN%%[[:space:]]*}
# The daemon puts its hack directory first on PATH for the programs list; check with the same PATH.
HPATH=/usr/libexec/xscreensaver:/usr/local/bin:/usr/bin:/bin
"${AS[@]}" env PATH=$HPATH sh -c 'command -v "$1"' _ "$HACKBIN" >/dev/null || die "$USR cannot run $HACKBIN"

XPID="" DPID="" HPID="" GPIDS=""
cleanup() {
    rc=$?
    if [ -n "$DPID" ] && kill -0 "$DPID" 2>/dev/null; then
        timeout 5 "${RUN[@]}" xscreensaver-command -exit >/dev/null 2>&1
        for _ in $(seq 30); do kill -0 "$DPID" 2>/dev/null || break; sleep 0.1; done
        kill "$DPID" 2>/dev/null
    fi
    for p in $HPID $GPIDS; do kill -KILL "$p" 2>/dev/null; done   # had their TERM already
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null && wait "$XPID" 2>/dev/null
    exit $rc
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Private server; -ac because the daemon's user differs from the one that started the server and
# the socket is local only (-nolisten tcp), so no cookie handling is needed.
for n in $(seq 120 199); do
    { [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; } && continue
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp -ac >"$SCRATCH/xvfb.log" 2>&1 &
    XPID=$!
    for _ in $(seq 50); do
        kill -0 $XPID 2>/dev/null || break
        # The lock file naming our pid proves we reached our server, not a racing run's.
        [ "$(tr -d ' \n' 2>/dev/null </tmp/.X$n-lock)" = $XPID ] && DISPLAY=:$n xdpyinfo >/dev/null 2>&1 && break 2
        sleep 0.1
    done
    kill $XPID 2>/dev/null; XPID=""
done
[ -n "$XPID" ] || die "could not start Xvfb on :120..:199 (see $SCRATCH/xvfb.log)"
D=:$n
RUN=("${AS[@]}" env -i HOME="$H" DISPLAY="$D" PATH=/usr/local/bin:/usr/bin:/bin USER="$USR" LOGNAME="$USR")

# One hack, always that one (mode one; selected 0 = the first line of programs, here the only one),
# no lock, no fades, no splash, no hack cycling, no power saving; -activate skips the idle timeout.
cat >"$H/.xscreensaver" <<EOF
mode:		one
selected:	0
timeout:	0:01:00
cycle:		0:00:00
lock:		False
lockTimeout:	0:00:00
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
grabDesktopImages:	False
programs:	$HACK \\n
EOF
[ ${#AS[@]} = 0 ] || chown "$USR:" "$H/.xscreensaver"

# Started from HOME so the daemon and the hack never sit in a directory their user cannot read.
(cd "$H" && exec "${RUN[@]}" xscreensaver --no-splash --log "$H/xscreensaver.log") </dev/null >/dev/null 2>&1 &
DPID=$!
for _ in $(seq 100); do
    "${RUN[@]}" xscreensaver-command -version >/dev/null 2>&1 && break
    # The scratch folder goes with the run: the daemon's own words go with the failure.
    kill -0 $DPID 2>/dev/null || { cat "$H/xscreensaver.log" >&2 2>/dev/null; die "daemon exited"; }
    sleep 0.1
done
"${RUN[@]}" xscreensaver-command -version >/dev/null 2>&1 || die "daemon does not answer"

# The hack is a child of xscreensaver-gfx (itself a child of the daemon) whose command line names
# HACKBIN; its argv and environment are read at once, while it is surely alive.
t0=$(date +%s%N)
"${RUN[@]}" xscreensaver-command -activate >/dev/null 2>&1 || die "xscreensaver-command -activate failed"
for _ in $(seq 150); do
    GPIDS=$(pgrep -P $DPID -f '^xscreensaver-gfx' | tr '\n' ' ')
    for g in $GPIDS; do
        for c in $(pgrep -P "$g"); do
            ARGV=$(tr '\0' '\n' 2>/dev/null <"/proc/$c/cmdline") && ENVV=$(tr '\0' '\n' 2>/dev/null <"/proc/$c/environ") &&
                grep -qF -- "${HACKBIN##*/}" <<<"$ARGV" && HPID=$c && break 3
        done
    done
    sleep 0.1
done
[ -n "$HPID" ] || die "hack not seen running within 15 s of -activate (see $H/xscreensaver.log)"
echo "hack-pid $HPID"
echo "hack-start-ms $((($(date +%s%N) - t0) / 1000000))"
echo "hack-cmdline $(tr '\n' ' ' <<<"$ARGV" | sed 's/ *$//')"
WENV=$(sed -n 's/^XSCREENSAVER_WINDOW=//p' <<<"$ENVV")
WARG=$(sed -n '/^--*window-id$/{n;p;q}' <<<"$ARGV")
if [ -n "$WENV" ]; then echo "hack-window $WENV"; else echo "hack-window ${WARG:-none}"; fi
via=${WENV:+env}; [ -n "$WARG" ] && via=${via:+$via+}argv
echo "hack-window-via ${via:-none}"

cap() { DISPLAY=$D import -window root "$SCRATCH/capture-$1.png" || die "capture $1 failed"; }
mean() { convert "$SCRATCH/capture-$1.png" -format '%[fx:mean]' info:; }
alive() { [ -e "/proc/$HPID" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$HPID/status" 2>/dev/null; }
lit() { awk -v m="$(mean "$1")" -v t="${XSH_LIT:-0.08}" 'BEGIN { exit !(m > t) }'; }
differ() { ! compare -metric AE "$SCRATCH/capture-1.png" "$SCRATCH/capture-2.png" null: >/dev/null 2>&1; }
# Waits on what the screen shows, for up to SECONDS each: capture 1 once the
# hack has drawn something lit (mean above XSH_LIT, default 0.08); capture 2
# once the screen differs from capture 1 and is lit again.
first_lit() { cap 1 && lit 1; }
second_changed() { cap 2 && differ && lit 2; }
. "$(dirname "$0")/../support/await.sh"
await $((SECS * 10)) first_lit || true
await $((SECS * 10)) second_changed || true
echo "capture-1 $(mean 1)"
echo "capture-2 $(mean 2)"
ae=$(compare -metric AE "$SCRATCH/capture-1.png" "$SCRATCH/capture-2.png" null: 2>&1); crc=$?
[ $crc -le 1 ] || die "compare failed: $ae"
echo "changed $([ $crc = 1 ] && echo yes || echo no)"
echo "hack-running $(alive && echo yes || echo no)"

"${RUN[@]}" xscreensaver-command -deactivate >/dev/null 2>&1 || die "xscreensaver-command -deactivate failed"
gone=no
for _ in $(seq 50); do alive || { gone=yes; break; }; sleep 0.1; done
echo "hack-exit $gone"
