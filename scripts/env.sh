# Sourced by the run and test commands: picks the Wine that can run here and the build that goes
# with it, and prepares a Wine prefix of the build's own.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

# The shipped program is 32-bit. A kernel without 32-bit support cannot run 32-bit Wine; there the
# same sources are built for 64-bit Windows and run by 64-bit Wine.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  WIN_ARCH=i686; WINE=wine; WINEARCH=win32
else
  WIN_ARCH=x86_64; WINE=/usr/lib/wine/wine64; WINEARCH=win64
fi
WIN_BUILD="$BUILD/win-$WIN_ARCH"
export WINEARCH WINEPREFIX="$BUILD/wineprefix-$WIN_ARCH" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

configure_and_build() {  # dir toolchain-file-or-empty
  local dir=$1 toolchain=$2
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${toolchain:+-DCMAKE_TOOLCHAIN_FILE=$toolchain} >/dev/null
  fi
  cmake --build "$dir" -j2
}

build_windows() {
  configure_and_build "$BUILD/win-i686" "$ROOT/cmake/mingw-i686.cmake"
  if [ "$WIN_ARCH" != i686 ]; then
    configure_and_build "$WIN_BUILD" "$ROOT/cmake/mingw-x86_64.cmake"
  fi
}

# A prefix where "黑体" and "宋体" (and their Latin names) resolve to the installed CJK font.
prepare_prefix() {
  [ -f "$WINEPREFIX/.tessaly-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i >/dev/null 2>&1 || true
  local face
  for face in 黑体 宋体 SimHei SimSun "Microsoft YaHei"; do
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "WenQuanYi Zen Hei" /f >/dev/null 2>&1
  done
  "$(wineserver_cmd)" -w 2>/dev/null || true
  touch "$WINEPREFIX/.tessaly-ready"
}

wineserver_cmd() {
  if [ "$WIN_ARCH" = i686 ]; then echo wineserver; else echo /usr/lib/wine/wineserver64; fi
}

# Starts a virtual X display on a free number and exports DISPLAY; stop_display ends it.
start_display() {
  local n=${1:-91}
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb did not start" >&2
  return 1
}

stop_display() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}
