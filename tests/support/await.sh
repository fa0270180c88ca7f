# Waiting on a condition in the end-to-end test scripts, never on a fixed
# sleep followed by one look. Sourced, not run.

# Waits up to $1 tenths of a second for the command after it to succeed.
await() {
  tries=$1; shift
  until "$@" 2>/dev/null; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# Waits up to $2 tenths of a second for the child process $1 to end, and
# fails, saying why on standard error, unless it ended of itself rather than
# by a signal (a crash, a core dump).
await_clean_end() {
  await "$2" sh -c "! kill -0 $1" || { echo "process $1 is still running" >&2; return 1; }
  wait "$1"
  ended=$?
  [ "$ended" -lt 128 ] || { echo "process $1 died of signal $((ended - 128))" >&2; return 1; }
}
