#!/bin/sh
# The same 48-megapixel PNG (8000 x 6000, light across the frame and grain
# over it, as the reading benchmark's) read by the native build and by the
# Windows build under Wine, one after the other on the same machine: the
# median real time and processor time of each step, in ms, and the Windows
# build's real time against the native one's. The goal: the Windows build's
# FitPhoto and LoadPhoto within 1.5 times the native build's.
#   bench/png_side_by_side.sh NATIVE_BENCH WINDOWS_BENCH.EXE   (with WINEPREFIX set)
set -eu
native="$1"
windows="$2"
. "$(dirname "$0")/lib/scratch_display.sh"
start_scratch_display 1920x1080
convert -size 8000x6000 gradient:'#3060a0'-'#c08040' -attenuate 0.3 +noise Gaussian -type TrueColor \
  PNG24:"$scratch/48.png"

# NAME REAL CPU of each step's median, from Google Benchmark's CSV.
medians() {
  tr -d '\r' | sed -n 's/^"BM_\([A-Za-z]*\)\/real_time_median",[0-9]*,\([0-9.]*\),\([0-9.]*\),.*/\1 \2 \3/p'
}
options="--benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv"
# shellcheck disable=SC2086
"$native" $options "$scratch/48.png" 2>/dev/null | medians > "$scratch/native"
# shellcheck disable=SC2086
wine "$windows" $options "$(winepath -w "$scratch/48.png")" 2>/dev/null | medians > "$scratch/windows"
# Wine's own programs hold this display: ended before it is.
wineserver -k 2>/dev/null || true
awk 'NR == FNR { real[$1] = $2; cpu[$1] = $3; next }
  FNR == 1 { printf "%-10s %18s %18s %8s\n", "step", "native real/cpu", "Wine real/cpu", "ratio" }
  $1 in real { printf "%-10s %9.0f/%-8.0f %9.0f/%-8.0f %8.2f\n", $1, $2, $3, real[$1], cpu[$1], real[$1] / $2 }' \
  "$scratch/windows" "$scratch/native"
