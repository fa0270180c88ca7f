# A virtual display of its own and a scratch home for one run of the native
# saver in a benchmark script, both gone when the script ends. Sourced, not run.
#   start_scratch_display WIDTHxHEIGHT
. "$(dirname "$0")/../tests/support/await.sh"

start_scratch_display() {
  scratch=$(mktemp -d)
  n=70
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$scratch"' EXIT
  export DISPLAY=":$n" HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" NO_AT_BRIDGE=1
  await 100 xdpyinfo >/dev/null || { echo "display :$n did not start" >&2; exit 1; }
  mkdir -p "$XDG_CONFIG_HOME/vorlanthix"
}
