# scripts/test's bookkeeping: the time each stage takes, and the tests CTest
# reports as skipped, read from its JUnit files. Sourced, not run.

STAGE_TIMES=()
STAGE_NAME=""
STAGE_BEGAN=0

# Runs a command as a named stage and notes how long it took. Called plainly,
# not in a condition, so that the command's own steps still stop the script
# at their first failure; the stage under way then is reported as failed.
stage() {
  STAGE_NAME="$1"
  STAGE_BEGAN=$SECONDS
  shift
  log "$STAGE_NAME"
  "$@"
  STAGE_TIMES+=("$(printf '%5d s  %s' $((SECONDS - STAGE_BEGAN)) "$STAGE_NAME")")
  STAGE_NAME=""
}

# Each skipped test in these JUnit files as "NAME<TAB>REASON": the reason is
# what the test said about its skip (a script's "…; skipped" line, or the
# message after GoogleTest's "Skipped").
skipped_tests() {
  local file count i name output reason
  local pick='//testcase[@status="notrun" or @status="disabled"]'
  for file in "$@"; do
    [ -f "$file" ] || continue
    count=$(xmllint --xpath "count($pick)" "$file")
    for ((i = 1; i <= count; i++)); do
      name=$(xmllint --xpath "string(($pick)[$i]/@name)" "$file")
      output=$(xmllint --xpath "string(($pick)[$i]/system-out)" "$file")
      reason=$(printf '%s\n' "$output" | grep -i -A1 'skipped' | grep -vE '^(\[  SKIPPED \]|--$)' |
        head -n 2 | tr '\n' ' ')
      printf '%s\t%s\n' "$name" "${reason:-no reason given}"
    done
  done
}

# Names listed in the allowed-skips file: the first word of each line that
# is not a comment.
allowed_skip() {
  grep -vE '^[[:space:]]*(#|$)' "$1" | awk '{ print $1 }' | grep -qxF "$2"
}

# Fails when a test was skipped that the allowed-skips file does not name.
check_skips() {
  local allowed="$1" name reason bad=0
  shift
  while IFS=$'\t' read -r name reason; do
    allowed_skip "$allowed" "$name" || { echo "skipped, and not on the list of allowed skips: $name" >&2; bad=1; }
  done < <(skipped_tests "$@")
  return "$bad"
}

# The time of each stage, then every skipped test with its reason.
report_stages() {
  [ -n "$STAGE_NAME" ] &&
    STAGE_TIMES+=("$(printf '%5d s  %s  (failed)' $((SECONDS - STAGE_BEGAN)) "$STAGE_NAME")")
  [ ${#STAGE_TIMES[@]} -gt 0 ] || return 0
  echo "== time per stage (total $SECONDS s)"
  printf '%s\n' "${STAGE_TIMES[@]}"
  local skips
  skips=$(skipped_tests "$results"/*.xml 2>/dev/null || true)
  if [ -n "$skips" ]; then
    echo "== skipped tests"
    printf '%s\n' "$skips" | awk -F'\t' '{ printf "  %s: %s\n", $1, $2 }'
  fi
}
