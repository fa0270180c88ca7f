# Shared steps of scripts/run and scripts/test: Debian packages, the build
# trees, a display and the Wine prefix. Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="$ROOT/build"
JOBS="$(nproc 2>/dev/null || echo 2)"

# What scripts/run needs for the native program, and in addition for
# orvanel.scr under Wine; scripts/test needs all of BASE_PACKAGES.
RUN_PACKAGES=(cmake ninja-build g++ pkg-config libjpeg-dev libpng-dev libwebp-dev libheif-dev libtiff-dev libgif-dev liblcms2-dev
              libgtkmm-3.0-dev libx11-xcb-dev libicu-dev
              libgtk-layer-shell-dev libxml2-utils xvfb x11-utils xcompmgr imagemagick)
# The cross build of orvanel.scr, and its libraries built from Debian's sources.
MINGW_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev nasm)
WINE_PACKAGES=("${MINGW_PACKAGES[@]}" wine)

# Packages every build needs; each script adds its own.
BASE_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev libjpeg-dev libpng-dev liblcms2-dev
               libwebp-dev libheif-dev libtiff-dev libgif-dev webp libheif-examples libavif-bin
               g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev nasm
               clang libclang-rt-14-dev
               wine xvfb x11-utils xcompmgr xdotool
               xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
               libgtkmm-3.0-dev libx11-xcb-dev libicu-dev libxdamage-dev libxext-dev libgtk-layer-shell-dev
               pkg-config xscreensaver imagemagick sway swayidle grim wtype libwayland-dev libxkbcommon-dev weston
               libxml2-utils desktop-file-utils mate-screensaver dbus-x11 man-db tesseract-ocr tesseract-ocr-eng
               wixl msitools colord-data)

log() { printf '== %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages that are not installed yet, and only those.
ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  as_root apt-get update -qq
  local install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}")
  local count
  count=$(as_root "${install[@]}" -s 2>/dev/null | grep -c '^Inst ' || true)
  log "setting up $count packages, those and what they need (a minute or two on a fresh machine)"
  as_root "${install[@]}" -qq | show_setup_progress
}

# Names each package as apt sets it up, on one line rewritten in place, when
# the output is a terminal; a log gets only the summary before.
show_setup_progress() {
  if [ -t 1 ]; then
    awk '/^Setting up /{ n++; printf "\r\033[K  %d: %s", n, $3; fflush() } END { if (n) printf "\r\033[K" }'
  else
    cat >/dev/null
  fi
}

# Configures a build tree; ninja then builds only what changed.
configure() {
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
}

# Builds a tree, or the targets named after it, showing the compiler's
# warnings but not ninja's progress.
build_tree() {
  local dir="$1"; shift
  ninja -C "$dir" -j "$JOBS" "$@" | { grep -vE '^(\[[0-9]+/[0-9]+\]|ninja: (Entering|leaving|no work))' || true; }
}

# Builds one target of a tree, showing ninja's progress, one line rewritten
# in place. Says how long it may take only for a tree that has never built:
# ninja keeps its log from the first build on.
build_program() {
  if [ -f "$1/.ninja_log" ]; then
    log "building $2"
  else
    log "building $2 (the first build takes a few minutes)"
  fi
  ninja -C "$1" -j "$JOBS" "$2"
}

# Source entries for apt, made from the machine's own package sources, so
# that `apt-get source` works; no host name is written here.
ensure_deb_src() {
  if apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Package:'; then return 0; fi
  local file made=0
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    case "$file" in *-src.sources) continue ;; esac
    grep -q '^Types:.*\bdeb\b' "$file" || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$file" | as_root tee "${file%.sources}-src.sources" >/dev/null
    made=1
  done
  if [ -f /etc/apt/sources.list ] && grep -qE '^deb ' /etc/apt/sources.list; then
    sed -nE 's/^deb (.*)/deb-src \1/p' /etc/apt/sources.list |
      as_root tee /etc/apt/sources.list.d/orvanel-src.list >/dev/null
    made=1
  fi
  [ "$made" -eq 1 ] && as_root apt-get update -qq
}

# libjpeg-turbo for the Windows build: Debian's source package, built once
# with the cross compiler (static, with its SIMD code) into the build tree.
MINGW_JPEG="$BUILD/deps/libjpeg-turbo-mingw"
# Unpacks Debian's source package into a folder: the newest version the
# sources list, else the next older one that the mirror still holds (a
# security update's source is sometimes not there yet).
fetch_source() {
  local package="$1" into="$2" version
  (cd "$into" && apt-get source -qq "$package" >/dev/null 2>&1) && return 0
  for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -rV); do
    (cd "$into" && apt-get source -qq "$package=$version" >/dev/null 2>&1) && return 0
  done
  echo "no source of $package could be fetched" >&2
  return 1
}

# Builds a library from Debian's source package with the MinGW-w64 cross
# compiler and installs it under a prefix inside the build tree.
#   build_for_windows SOURCE_PACKAGE PREFIX [cmake options...]
build_for_windows() {
  local package="$1" prefix="$2" lists=""
  shift 2
  if [ "${1:-}" = "--cmake-lists" ]; then lists="$2"; shift 2; fi
  ensure_deb_src
  local src="$BUILD/deps/src-$package" tree="$BUILD/deps/$package-build" dir
  rm -rf "$src" "$tree"
  mkdir -p "$src"
  log "fetching Debian's $package source"
  fetch_source "$package" "$src"
  dir=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "$package-*" | head -n 1)
  [ -n "$dir" ] || { echo "apt-get source $package gave no source tree" >&2; return 1; }
  log "building $package for Windows"
  # A package without CMake lists of its own is built by the project's.
  if [ -n "$lists" ]; then set -- -DPACKAGE_SOURCE="$dir" "$@"; dir="$lists"; fi
  cmake -S "$dir" -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -Wno-dev "$@" >/dev/null
  ninja -C "$tree" -j "$JOBS" install >/dev/null
}

ensure_mingw_libjpeg() {
  [ -f "$MINGW_JPEG/lib/libjpeg.a" ] && return 0
  ensure_packages dpkg-dev nasm
  build_for_windows libjpeg-turbo "$MINGW_JPEG" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DCMAKE_POLICY_DEFAULT_CMP0091=NEW
}

# libpng for Windows, over the zlib of Debian's MinGW-w64 package.
MINGW_PNG="$BUILD/deps/libpng-mingw"
ensure_mingw_libpng() {
  [ -f "$MINGW_PNG/lib/libpng.a" ] && return 0
  ensure_packages dpkg-dev libz-mingw-w64-dev
  build_for_windows libpng1.6 "$MINGW_PNG" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON
}

# libwebp for Windows: its licence is BSD, so it is linked into the saver,
# which then shows WebP whatever codecs a Windows has.
MINGW_WEBP="$BUILD/deps/libwebp-mingw"
ensure_mingw_libwebp() {
  [ -f "$MINGW_WEBP/lib/libwebpdemux.a" ] && return 0
  ensure_packages dpkg-dev
  build_for_windows libwebp "$MINGW_WEBP" -DBUILD_SHARED_LIBS=OFF -DWEBP_BUILD_ANIM_UTILS=OFF \
    -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF \
    -DWEBP_BUILD_VWEBP=OFF -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF
}

# Little CMS for Windows: its licence is MIT, so it is linked into the saver.
MINGW_LCMS2="$BUILD/deps/lcms2-mingw"
ensure_mingw_lcms2() {
  [ -f "$MINGW_LCMS2/lib/liblcms2.a" ] && return 0
  ensure_packages dpkg-dev
  build_for_windows lcms2 "$MINGW_LCMS2" --cmake-lists "$ROOT/cmake/lcms2"
}

# The libraries every cross build links, built once; MINGW_OPTIONS then
# points CMake at them.
ensure_mingw_libraries() {
  ensure_mingw_libjpeg
  ensure_mingw_libpng
  ensure_mingw_libwebp
  ensure_mingw_lcms2
  MINGW_OPTIONS=(-DORVANEL_MINGW_JPEG="$MINGW_JPEG" -DORVANEL_MINGW_PNG="$MINGW_PNG"
                 -DORVANEL_MINGW_WEBP="$MINGW_WEBP" -DORVANEL_MINGW_LCMS2="$MINGW_LCMS2")
}

configure_win32() {
  ensure_mingw_libraries
  configure "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release "${MINGW_OPTIONS[@]}"
  SCR="$BUILD/win32/src/platform/win32/orvanel.scr"
}

build_win32() {
  configure_win32
  log "building orvanel.scr"
  build_tree "$BUILD/win32"
}

# Starts a virtual display when there is no usable one, and stops it on exit.
# A compositing manager runs on it, so that window opacity shows on the
# screen as it does on Windows.
XVFB_PID=""
XCOMPMGR_PID=""
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  log "starting a virtual display :$n"
  Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  local ready=0
  for _ in $(seq 100); do
    if xdpyinfo >/dev/null 2>&1; then ready=1; break; fi
    sleep 0.1
  done
  [ "$ready" -eq 1 ] || { echo "the virtual display did not start" >&2; return 1; }
  xcompmgr -n >/dev/null 2>&1 &
  XCOMPMGR_PID=$!
}

# A Wine prefix inside the build tree, made once. Without a window manager
# Wine waits about 2 s whenever a window is hidden; the setting turns that off.
ensure_wine_prefix() {
  export WINEPREFIX="$BUILD/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/.orvanel-ready" ]; then
    log "making the Wine prefix"
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.orvanel-ready"
  fi
}

# Whether a compositing manager runs on $DISPLAY: 0 when one does, 1 when
# none does, 2 when it cannot be told. The probe is built on first use with
# the compiler and Xlib the program's build needs anyway.
compositing_manager_runs() {
  local source="$ROOT/scripts/lib/compositing_manager.c" probe="$BUILD/tools/compositing-manager"
  if [ ! -x "$probe" ] || [ "$source" -nt "$probe" ]; then
    mkdir -p "$BUILD/tools"
    cc -O2 -o "$probe" "$source" -lX11 || return 2
  fi
  "$probe"
}

# Windows always composes its windows; on X only a compositing manager blends
# them, and without one a dissolve of orvanel.scr under Wine shows as black.
advise_on_compositing() {
  local runs=0
  compositing_manager_runs || runs=$?
  [ "$runs" -ne 1 ] ||
    log "no compositing manager runs on $DISPLAY, so the dissolves show as black; run one first: xcompmgr -n &"
}

# The sanitizers' options for every script that runs a sanitized program.
# Leaks are looked for at every exit; a report ends the process with an
# abort, which the tests see as a crash. The toolkit's and codecs' own
# allocations kept for the life of the process are listed in the
# suppressions, each with why.
use_sanitizer_options() {
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
  export LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizers/lsan.supp:print_suppressions=0"
}

cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$XCOMPMGR_PID" ]; then kill "$XCOMPMGR_PID" >/dev/null 2>&1 || true; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT
