#!/usr/bin/env bash
# What scripts/run says, from the functions it says it with:
#   the build: "the first build takes a few minutes" only for a tree that has
#     never built;
#   Wine's dissolves: the advice to start a compositing manager only while
#     none owns the display's _NET_WM_CM_S0 selection (none, xcompmgr
#     running, xcompmgr gone again).
#   run_messages_test.sh SCRATCH_FOLDER
set -euo pipefail
scratch=$1
here=$(cd "$(dirname "$0")" && pwd)
# The shared steps stop their Wine prefix on exit; this test has none.
unset WINEPREFIX
source "$here/../../scripts/lib/common.sh"
source "$here/../support/await.sh"
BUILD="$scratch/build"

fail() { echo "FAILED: $*"; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch/tree"

echo "the build's messages"
tree="$scratch/tree"
printf 'rule copy\n  command = cp $in $out\nbuild program: copy source\n' > "$tree/build.ninja"
echo one > "$tree/source"
says() { build_program "$tree" program 2>&1 >/dev/null; }
[ "$(says)" = "== building program (the first build takes a few minutes)" ] || fail "a fresh tree: $(says)"
[ -f "$tree/program" ] || fail "the program was not built"
[ "$(says)" = "== building program" ] || fail "a tree built before: $(says)"

echo "the advice on compositing"
n=150
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY=":$n"
await 100 sh -c 'xdpyinfo >/dev/null' || fail "no display"
advice() { advise_on_compositing 2>&1; }
[[ "$(advice)" == *"no compositing manager runs on :$n"*"xcompmgr -n &"* ]] || fail "no advice without one: $(advice)"
xcompmgr -n >"$scratch/xcompmgr.log" 2>&1 &
XCOMPMGR_PID=$!
await 300 compositing_manager_runs ||
  fail "xcompmgr running is not seen (probe: $(compositing_manager_runs; echo $?); xcompmgr: $(kill -0 "$XCOMPMGR_PID" 2>/dev/null && echo running || echo gone) $(cat "$scratch/xcompmgr.log"))"
[ -z "$(advice)" ] || fail "advice while xcompmgr runs: $(advice)"
kill "$XCOMPMGR_PID" && wait "$XCOMPMGR_PID" 2>/dev/null || true
XCOMPMGR_PID=""
await 100 sh -c '! "$0"' "$BUILD/tools/compositing-manager" || fail "xcompmgr gone is still seen"
[[ "$(advice)" == *"no compositing manager runs"* ]] || fail "no advice once xcompmgr has gone: $(advice)"
echo "scripts/run's messages: all cases passed"
