#!/bin/sh
# The core reaches the desktop only through src/platform: its sources may
# include the C++ standard library and the project's own portable headers,
# nothing else. Run from src/.
status=0
for file in $(find shell slideshow settings screens resources platform/forms platform/*.h platform/*.cpp \
                   -name '*.h' -o -name '*.cpp' 2>/dev/null); do
  grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" | while IFS= read -r line; do
    header=$(printf '%s' "$line" | sed -E 's/.*#[[:space:]]*include[[:space:]]*//')
    case "$header" in
      \<*/*\>|\<*.*\>) echo "$file: $header is not a standard C++ header"; exit 1 ;;
      \<*\>) ;;
      \"platform/sim/*|\"platform/win32/*|\"platform/ini/*) echo "$file: $header belongs to a backend"; exit 1 ;;
      \"shell/*|\"slideshow/*|\"settings/*|\"screens/*|\"platform/*|\"resources/*) ;;
      *) echo "$file: $header is outside the project's portable headers"; exit 1 ;;
    esac
  done || status=1
done
exit $status
