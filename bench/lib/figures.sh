# What the native benchmark scripts read of a process and how they give it.
# Sourced, not run.

# A line of /proc/PID/status in kB: kb PID VmRSS
kb() { sed -n "s/^$2:[[:space:]]*\([0-9]*\) kB/\1/p" "/proc/$1/status"; }
# utime + stime in clock ticks.
ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
# kB in frames of $2 bytes.
frames() { awk -v kb="$1" -v frame="$2" 'BEGIN { printf "%.2f", kb * 1024 / frame }'; }
seconds() { awk -v t="$1" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", t / hz }'; }
# Resident memory of a program that has run a few seconds.
settled() {
  "$@" &
  pid=$!
  sleep 5
  kb "$pid" VmRSS
  kill "$pid"; wait "$pid" 2>/dev/null || true
}
# kB over the toolkit's base as it starts by default and with its OpenGL
# probe off, in frames of $frame bytes.
both() { echo "$(frames $(($1 - base)) "$frame") / $(frames $(($1 - lean)) "$frame")"; }

# The growth from the first size to the second, in full-screen frames, of
# the figures in $1: one line a size, "FRAME FADE REST AFTER PEAK DIALOG BASE",
# each figure less the minimal GTK program's (BASE). Between two sizes the
# fixed costs cancel: what is left grows with the screen.
growth() {
  head -n 2 "$1" | tr '\n' ' ' | awk '{
    n = split("opening fade|at rest|after a minute|high-water mark|settings dialog", name, "|")
    goal[1] = "at most 4"; goal[2] = "at most 3"; goal[3] = "at most 3"; goal[4] = ""; goal[5] = "0"
    print "== growth from the first size to the second over the minimal GTK program, in full-screen frames"
    for (i = 1; i <= n; i++) {
      g = (($(i + 8) - $14) - ($(i + 1) - $7)) * 1024 / ($8 - $1)
      printf "%-16s %.2f frames%s\n", name[i] ":", g, goal[i] == "" ? "" : "  (goal: " goal[i] ")"
    }
  }'
}

# Runs the saver full screen and reads its figures: resident memory in the
# opening fade ($fade), at rest ($rest), after a minute of dissolves ($after)
# and at its high-water mark ($peak); processor ticks over that minute of the
# saver ($saver_ticks) and of the process $2 that shows it, the display's
# server or compositor ($server_ticks). The saver is left running as $pid.
#   saver_figures PROGRAM SERVER_PID
saver_figures() {
  "$1" /s 2>/dev/null &
  pid=$!
  sleep 1
  fade=$(kb "$pid" VmRSS)
  sleep 9
  rest=$(kb "$pid" VmRSS)
  saver0=$(ticks "$pid"); server0=$(ticks "$2")
  sleep 60
  saver_ticks=$(($(ticks "$pid") - saver0)); server_ticks=$(($(ticks "$2") - server0))
  after=$(kb "$pid" VmRSS)
  peak=$(kb "$pid" VmHWM)
}
