#!/bin/sh
# The shape of src/, checked from its #include lines. Run from src/.
#
# 1. An allow-list per folder: each folder of the saver may include the C++
#    standard library and the project folders listed for it below, nothing
#    else. The core reaches the desktop only through the portable half of
#    platform/ (its own headers, the form framework, the decoders'
#    interfaces); no backend header, no system or toolkit header.
#    The software compositor, platform/compose/, knows pixels and rectangles
#    and never a window system: of the system's headers it may include any
#    but those of X11, XCB, xkbcommon, GLib and GIO, cairo, Pango, GDK, GTK,
#    Wayland, EGL and OpenGL.
# 2. No cycle between folders: the folder-to-folder include graph (backends
#    and platform's portable half as folders of their own) has a topological
#    order.
status=0
[ -f platform/desktop.h ] || { echo "run from src/"; exit 1; }

# The portable half of platform/, as include paths.
portable='platform/[a-z_]*\.h|platform/forms/[a-z_]*\.h|platform/jpeg/jpeg_decoder\.h|platform/photo/[a-z_]*\.h'

# The project headers a folder's files may include, as one extended regular
# expression over the quoted path.
allowed() {
  case "$1" in
    instance) echo "instance/.*|$portable" ;;
    slideshow) echo "slideshow/.*|instance/.*|$portable" ;;
    settings) echo "settings/.*|instance/.*|resources/maker\.h|$portable" ;;
    screens) echo "screens/.*|instance/.*|$portable" ;;
    shell) echo "shell/.*|slideshow/.*|settings/.*|screens/.*|instance/.*|resources/maker\.h|$portable" ;;
    resources) echo "resources/.*" ;;
    platform) echo "$portable" ;;
    platform/compose) echo 'platform/compose/.*|platform/geometry\.h|platform/window_handle\.h' ;;
    # Backends and the libraries' wrappers translate for one desktop or
    # library: any project header, and the system's.
    platform/gtk|platform/win32|platform/sim|platform/ini|platform/jpeg|platform/photo) echo "any" ;;
    *) echo "" ;;
  esac
}

# The folder a file of src/ belongs to: a backend or platform's portable half
# counts as a folder of its own.
folder_of() {
  case "$1" in
    platform/forms/*|platform/jpeg/jpeg_decoder.h|platform/photo/*.h) echo platform ;;
    platform/*/*) echo "$1" | cut -d/ -f1-2 ;;
    platform/*) echo platform ;;
    *) echo "$1" | cut -d/ -f1 ;;
  esac
}

edges=$(mktemp)
trap 'rm -f "$edges" "$edges.lines"' EXIT

files=$(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)
for file in $files; do
  from=$(folder_of "$file")
  rule=$(allowed "$from")
  if [ -z "$rule" ]; then
    echo "$file: the folder $from/ has no list in $0"; status=1; continue
  fi
  [ "$rule" = any ] && rule=""
  grep -E '^[[:space:]]*#[[:space:]]*include' "$file" |
    sed -E 's/.*#[[:space:]]*include[[:space:]]*//; s/[[:space:]]*(\/\/.*)?$//' > "$edges.lines"
  while IFS= read -r header; do
    case "$header" in
      \"*\")
        path=${header#\"}; path=${path%\"}
        to=$(folder_of "$path")
        [ "$to" != "$from" ] && echo "$from $to" >> "$edges"
        if [ -n "$rule" ] && ! printf '%s\n' "$path" | grep -qxE "$rule"; then
          echo "$file: $header is not on $from/'s list"; status=1
        fi ;;
      \<*\>)
        # Backends and their libraries include system headers; the saver's
        # own folders only the standard library's (no slash, no extension).
        if [ "$from" = platform/compose ]; then
          if printf '%s\n' "$header" | grep -qiE '^<(X11|xcb|xkbcommon|glib|gio|cairo|pango|gdk|gtk|wayland|EGL|GL/|epoxy)'; then
            echo "$file: $header belongs to a window system"; status=1
          fi
        elif [ -n "$rule" ] && printf '%s\n' "$header" | grep -qE '[/.]'; then
          echo "$file: $header is not a standard C++ header"; status=1
        fi ;;
      *) echo "$file: unreadable include $header"; status=1 ;;
    esac
  done < "$edges.lines"
done
rm -f "$edges.lines"

# tsort reports a loop on standard error when the graph has a cycle.
loops=$(sort -u "$edges" | tsort 2>&1 >/dev/null)
if [ -n "$loops" ]; then
  echo "include cycle between folders:"; echo "$loops"; status=1
fi
exit $status
