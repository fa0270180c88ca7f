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
