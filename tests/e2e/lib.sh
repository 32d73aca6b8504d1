# Shared by the end-to-end tests: start the real program in a folder of its own under Wine on the
# X display, act on it as a user, read the screen and the files, and stop it.
# Each test script is called as: test_x.sh <Tessaly.exe> <winctl.exe>, with WINE, WINEPREFIX and
# DISPLAY in the environment (the README's test command sets them).
set -euo pipefail

EXE=$1
WINCTL=$2
: "${WINE:?WINE must name the Wine launcher}"
: "${DISPLAY:?DISPLAY must be set}"
APP_DIR=$(mktemp -d /tmp/tessaly-e2e.XXXXXX)
APP_PID=
FAILURES=0
PASSES=0

cleanup() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill "$APP_PID" 2>/dev/null || true; fi
  rm -rf "$APP_DIR"
}
trap cleanup EXIT

pass() { PASSES=$((PASSES + 1)); echo "ok: $*"; }
fail() { FAILURES=$((FAILURES + 1)); echo "FAIL: $*" >&2; }
check() {  # description command...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
  echo "$PASSES passed, $FAILURES failed"
  [ "$FAILURES" -eq 0 ]
}

# Writes the item file from UTF-8 text on stdin, converted to GBK as the program expects.
write_items_gbk() { iconv -f UTF-8 -t CP936 > "$APP_DIR/Tessaly_items.txt"; }
# Writes the item file's bytes from stdin unchanged.
write_items_raw() { cat > "$APP_DIR/Tessaly_items.txt"; }
items_file() { echo "$APP_DIR/Tessaly_items.txt"; }
ini_file() { echo "$APP_DIR/Tessaly.ini"; }
# A value of the settings file, empty when absent.
ini_value() { sed -n "s/^$1=//p" "$(ini_file)" 2>/dev/null | tr -d '\r'; }

winctl() { "$WINE" "$WINCTL" "$@" 2>/dev/null | tr -d '\r'; }

# Starts the program and waits for its widget; WIDGET holds "hwnd left top right bottom exstyle visible pid".
start_app() {
  cp "$EXE" "$APP_DIR/Tessaly.exe"
  (cd "$APP_DIR" && exec "$WINE" Tessaly.exe >/dev/null 2>&1) &
  APP_PID=$!
  WIDGET=$(winctl wait Tessaly 60) || { fail "the widget window appeared"; return 1; }
  sleep 1  # first render and tray icon
  WIDGET=$(winctl info Tessaly)
}

widget_field() {  # 1-based field of winctl info: 2 left 3 top 4 right 5 bottom 6 exstyle 7 visible
  winctl info Tessaly | awk -v f="$1" '{print $f}'
}

# Ends the program through its own quit command and waits for the process to end.
quit_app() {
  winctl command Tessaly 32776 >/dev/null || true
  local i
  for i in $(seq 100); do
    kill -0 "$APP_PID" 2>/dev/null || { APP_PID=; return 0; }
    sleep 0.1
  done
  return 1
}

app_running() { [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; }

# Saves a screenshot of the whole display to $1 (PNG).
screenshot() { import -window root "$1"; }

# Prints the colour of the screen pixel at x y as RRGGBB.
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -1
}

# Real pointer and keys through the X server, as a user would.
click_at() { xdotool mousemove --sync "$1" "$2" click "${3:-1}"; }
press_keys() { xdotool key --delay 50 "$@"; }
type_text() { xdotool type --delay 30 "$1"; }

# --- Dialogs and message boxes -------------------------------------------------------------------

# Waits until a window with the title is shown; DIALOG holds its winctl info line.
dialog_shown() {  # title [seconds]
  local deadline=$((SECONDS + ${2:-10}))
  while :; do
    DIALOG=$(winctl info "$1") || DIALOG=
    [ "$(awk '{print $7}' <<<"$DIALOG")" = 1 ] && return 0
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}
dialog_gone() { winctl gone "$1" "${2:-5}" >/dev/null; }  # title [seconds]
# Clicks at dx dy from the top-left corner of DIALOG's window rectangle, with the real pointer.
click_dialog() {
  local left top
  read -r _ left top _ <<<"$DIALOG"
  click_at $((left + $1)) $((top + $2))
}

# The text of the program's message box on top (its windows are all titled "Tessaly"; only a
# message box has the static control 65535), empty when none is open.
message_text() { winctl text Tessaly 65535 || true; }
# Waits for a message box; MESSAGE holds its text.
wait_message() {  # [seconds]
  local deadline=$((SECONDS + ${1:-10}))
  while :; do
    MESSAGE=$(message_text)
    [ -n "$MESSAGE" ] && return 0
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}
# Answers the message box on top with keys, after a click on its blank top-left corner gives it the
# keyboard (a box that opens before any window of the program has it may not get it by itself).
answer_message() {  # keys...
  local left top
  read -r _ left top _ < <(winctl info Tessaly)
  click_at $((left + 12)) $((top + 30))
  sleep 0.2
  press_keys "$@"
}
message_gone() {  # [seconds]
  local deadline=$((SECONDS + ${1:-5}))
  while [ -n "$(message_text)" ]; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

widget_height() { winctl info Tessaly | awk '{print $5 - $3}'; }
# Waits until the widget's winctl info line differs from the one given (a new layout moved or
# resized it); false when it stays the same.
widget_changed_from() {  # info-line [seconds]
  local deadline=$((SECONDS + ${2:-5}))
  while [ "$(winctl info Tessaly)" = "$1" ]; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}
