# Sourced by the run and test commands: picks the Wine that can run here and the build that goes
# with it, and prepares a Wine prefix of the build's own.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

# The shipped program is 32-bit. A kernel without 32-bit support cannot run 32-bit Wine; there the
# same sources are built for 64-bit Windows and run by 64-bit Wine. TESSALY_WIN_ARCH=x86_64 takes
# that path on any machine (TESSALY_WIN_ARCH=i686 insists on the 32-bit one).
WIN_ARCH=${TESSALY_WIN_ARCH:-}
if [ -z "$WIN_ARCH" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then WIN_ARCH=i686; else WIN_ARCH=x86_64; fi
fi
case "$WIN_ARCH" in
  i686) WINE=wine; WINEARCH=win32 ;;
  x86_64) WINE=/usr/lib/wine/wine64; WINEARCH=win64 ;;
  *) echo "TESSALY_WIN_ARCH must be i686 or x86_64, not '$WIN_ARCH'" >&2; return 1 2>/dev/null || exit 1 ;;
esac
WIN_BUILD="$BUILD/win-$WIN_ARCH"
export WINEARCH WINEPREFIX="$BUILD/wineprefix-$WIN_ARCH" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

configure_and_build() {  # dir toolchain-file-or-empty build-type [target]
  local dir=$1 toolchain=$2 type=$3 target=${4:-}
  if ! grep -qx "CMAKE_BUILD_TYPE:STRING=$type" "$dir/CMakeCache.txt" 2>/dev/null; then
    # ccache, when there, makes a rebuild after a checkout or in a second work tree cheap.
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" ${toolchain:+-DCMAKE_TOOLCHAIN_FILE=$toolchain} \
      $(command -v ccache >/dev/null && echo -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null
  fi
  cmake --build "$dir" -j2 ${target:+--target "$target"}
}

# The Windows builds are release builds: the program tested, run and packaged is the one users get.
# Where the tests run as 64-bit programs, the 32-bit build makes only the program that is packaged.
build_windows() {
  if [ "$WIN_ARCH" = i686 ]; then
    configure_and_build "$BUILD/win-i686" "$ROOT/cmake/mingw-i686.cmake" Release
  else
    configure_and_build "$BUILD/win-i686" "$ROOT/cmake/mingw-i686.cmake" Release Tessaly
    configure_and_build "$WIN_BUILD" "$ROOT/cmake/mingw-x86_64.cmake" Release
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

# Starts a virtual X display on a free number with a window manager on it, as a user's desktop has
# (without one Wine waits some seconds at every window hide, and new windows get no keyboard), and
# exports DISPLAY; stop_display ends both. JWM rather than Openbox: Openbox makes a window's frame at
# 0,0 and moves it there afterwards, and Wine at times takes that passing place for the window's own.
start_display() {
  local n=${1:-91} attempt _
  for attempt in 1 2 3; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 200); do
      xdpyinfo >/dev/null 2>&1 && break
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.05
    done
    if xdpyinfo >/dev/null 2>&1; then
      jwm -f "$ROOT/scripts/jwmrc" >/dev/null 2>&1 &
      WM_PID=$!
      # The window manager manages windows once it has announced itself on the root window.
      for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        kill -0 "$WM_PID" 2>/dev/null || break
        sleep 0.05
      done
    fi
    stop_display  # a display number taken meanwhile, or a start too slow: the next number
    n=$((n + 1))
  done
  echo "The virtual display or its window manager did not start" >&2
  return 1
}

stop_display() {
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  WM_PID= XVFB_PID=
}

# A copy of a Wine prefix that a test may change: files hard-linked, the registry and the .ini files
# (which Wine may rewrite in place) real copies.
copy_prefix() {  # from to
  local f
  mkdir -p "$2"
  cp -al "$1/." "$2"
  for f in "$1"/*.reg "$1"/drive_c/windows/*.ini; do
    [ -f "$f" ] || continue
    rm -f "$2/${f#"$1"/}"
    cp "$f" "$2/${f#"$1"/}"
  done
}

# Lanes in which the Windows tests run side by side: each has a display and a Wine prefix (with its
# own Wine server) of its own, since a test's keys go to whatever window has the focus on its display
# and its winctl finds windows by title in its server. Lane 0 is the display already started and
# $WINEPREFIX; the others get a new display and a copy of the prefix (files hard-linked, the registry
# copied). LANES holds one "display prefix" a lane.
LANES=()
LANE_PIDS=()
LANE_PREFIXES=()
start_lanes() {  # count
  local count=$1 i prefix
  LANES=("$DISPLAY $WINEPREFIX")
  local first_display=$DISPLAY first_xvfb=$XVFB_PID first_wm=$WM_PID
  for ((i = 1; i < count; i++)); do
    start_display $((${first_display#:} + 10 * i)) || return 1
    LANE_PIDS+=("$WM_PID" "$XVFB_PID")
    prefix="$BUILD/wineprefix-$WIN_ARCH-lane$i"
    rm -rf "$prefix"
    copy_prefix "$WINEPREFIX" "$prefix"
    LANE_PREFIXES+=("$prefix")
    LANES+=("$DISPLAY $prefix")
  done
  export DISPLAY=$first_display
  XVFB_PID=$first_xvfb WM_PID=$first_wm
}
# Runs every test of the build in the lanes: each lane takes the next name from one queue, the
# longest tests first (CTest's times of the last run), and runs it with its display and prefix.
# Each lane's output goes to log.<lane>, printed after the others; false when any test failed.
run_in_lanes() {  # build-dir log
  local dir=$1 log=$2 queue="$2.queue" i status=0
  local costs="$dir/Testing/Temporary/CTestCostData.txt"
  [ -f "$costs" ] || costs=/dev/null
  ctest --test-dir "$dir" -N | sed -n 's/^ *Test *#[0-9]*: //p' |
    awk 'FILENAME == ARGV[1] { cost[$1] = $3; next } { print (($1 in cost) ? cost[$1] : 1000), $1 }' "$costs" - |
    sort -k1,1gr | cut -d' ' -f2 >"$queue"
  [ -s "$queue" ] || { echo "No tests in $dir" >&2; return 1; }
  local pids=()
  for i in "${!LANES[@]}"; do
    (
      read -r DISPLAY WINEPREFIX <<<"${LANES[$i]}"
      export DISPLAY WINEPREFIX
      failed=0
      while name=$(flock "$queue.lock" sh -c 'head -1 "$1" && sed -i 1d "$1"' _ "$queue") && [ -n "$name" ]; do
        ctest --test-dir "$dir" --output-on-failure -R "^$name\$" || failed=1
      done
      exit $failed
    ) >"$log.$i" 2>&1 &
    pids+=($!)
  done
  # The lanes by name: the caller may have other jobs running beside them.
  local pid
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
  for i in "${!LANES[@]}"; do cat "$log.$i"; done >"$log"
  rm -f "$queue" "$queue.lock"
  return $status
}
stop_lanes() {
  local pid prefix
  for prefix in "${LANE_PREFIXES[@]}"; do
    WINEPREFIX=$prefix "$(wineserver_cmd)" -k 2>/dev/null || true
    rm -rf "$prefix"
  done
  for pid in "${LANE_PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  LANE_PIDS=() LANE_PREFIXES=()
}
