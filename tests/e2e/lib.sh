# Shared by the end-to-end tests: start the real program in a folder of its own under Wine on the
# X display, act on it as a user, read the screen and the files, and stop it.
# Each test script is called as: test_x.sh <Tessaly.exe> <winctl.exe>, with WINE, WINEPREFIX and
# DISPLAY in the environment (the README's test command sets them).
set -euo pipefail

EXE=$1
WINCTL=$2
: "${WINE:?WINE must name the Wine launcher}"
: "${DISPLAY:?DISPLAY must be set}"
APP_ROOT=$(mktemp -d /tmp/tessaly-e2e.XXXXXX)
APP_DIR=$APP_ROOT  # a test may move the program to a folder inside it
APP_PID=
OTHER_PIDS=()  # further copies of the program a test starts
FAILURES=0
PASSES=0

# Every Wine tool goes through $WINE: the bare names start the 32-bit loader, which a machine with
# only 64-bit Wine cannot run. On the 64-bit path a bare call fails here as it would there, loudly
# (on a descriptor the call's own redirections do not reach) and for the whole script (also from
# inside a command substitution or a background subshell).
if [ "$WINE" != wine ]; then
  exec {BARE_WINE_FD}>&2
  bare_wine_tool() {
    echo "FAIL: '$1' called bare; Wine tools are run through \"\$WINE\" ($WINE)" >&"$BARE_WINE_FD"
    kill -TERM $$
    exit 1
  }
  wine() { bare_wine_tool wine; }
  winepath() { bare_wine_tool winepath; }
  regedit() { bare_wine_tool regedit; }
  wineboot() { bare_wine_tool wineboot; }
fi

cleanup() {
  local pid
  for pid in "$APP_PID" "${OTHER_PIDS[@]}"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  done
  rm -rf "$APP_ROOT"
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

# The program's menu command and control ids by name (ID_APP_QUIT, IDC_ITEMS_TEXT, ...), read from its
# resource header so that the tests and the program cannot disagree on them.
SOURCE_ROOT=${TESSALY_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
RESOURCE_H=$SOURCE_ROOT/res/resource.h
eval "$(sed -n 's/^#define \(ID[A-Z0-9_]*\) \([0-9][0-9]*\)\b.*/\1=\2/p' "$RESOURCE_H")"
[ -n "${ID_APP_QUIT:-}" ] || { echo "FAIL: no command ids in $RESOURCE_H" >&2; exit 1; }
# Windows' own ids and messages the tests use.
IDOK=1 IDCANCEL=2
IDC_STATIC=65535      # a message box's text
IDC_FILE_NAME=1148    # the file dialog's file name box (cmb13)
WM_CLOSE=16 WM_QUERYENDSESSION=17 WM_ENDSESSION=22 WM_COMMAND=273 WM_TIMER=275 WM_DPICHANGED=736
WM_TRAY_NOTIFY=$((0x400 + 100))  # the program's tray icon message, WM_USER + 100
NIN_BALLOONTIMEOUT=$((0x400 + 4)) NIN_BALLOONUSERCLICK=$((0x400 + 5))
TRAY_ICON_ID=100

# Puts the pointer in the screen's far corner, away from the widget, so that no row's tooltip covers
# the rows a test reads from the screen.
park_pointer() {
  local w h
  read -r w h < <(xdotool getdisplaygeometry)
  xdotool mousemove $((w - 1)) $((h - 1))
}

# Starts the program and waits for its widget; WIDGET holds "hwnd left top right bottom exstyle visible pid".
start_app() {
  park_pointer
  cp "$EXE" "$APP_DIR/Tessaly.exe"
  (cd "$APP_DIR" && exec "$WINE" Tessaly.exe >/dev/null 2>&1) &
  APP_PID=$!
  WIDGET=$(winctl wait Tessaly 60) || { fail "the widget window appeared"; return 1; }
  wait_for 10 tray_icon_present || fail "the tray icon appeared"
  WIDGET=$(winctl info Tessaly)
}

widget_field() {  # 1-based field of winctl info: 2 left 3 top 4 right 5 bottom 6 exstyle 7 visible
  winctl info Tessaly | awk -v f="$1" '{print $f}'
}

# Ends the program through its own quit command and waits for the process to end.
quit_app() {
  winctl command Tessaly "$ID_APP_QUIT" >/dev/null || true
  local i
  for i in $(seq 100); do
    kill -0 "$APP_PID" 2>/dev/null || { APP_PID=; return 0; }
    sleep 0.1
  done
  return 1
}

app_running() { [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; }

# Runs a further start of the program from a folder (default: the program's own) and waits for it
# to end by itself; false when it is still running after the seconds (it is then left running).
run_second_start() {  # [folder] [exe-name] [seconds]
  local dir=${1:-$APP_DIR} name=${2:-Tessaly.exe} pid
  (cd "$dir" && exec "$WINE" "$name" >/dev/null 2>&1) &
  pid=$!
  OTHER_PIDS+=("$pid")
  wait_for "${3:-20}" eval '! kill -0 '"$pid"' 2>/dev/null'
}
# Number of top-level windows with the title, shown or not.
window_count() { winctl list "$1" | grep -c . || true; }

# Saves a screenshot of the whole display to $1 (PNG).
screenshot() { import -window root "$1"; }

# Prints the colour of the screen pixel at x y as RRGGBB.
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -1
}

# Real pointer and keys through the X server, as a user would.
click_at() { xdotool mousemove --sync "$1" "$2" click "${3:-1}"; }
press_keys() { xdotool key --delay 50 "$@"; }
# Characters the keyboard map lacks are typed one by one, slowly: xdotool binds each to a spare key
# and unbinds it after the release, and Wine reads the key map when it handles the key, so a quick
# unbind loses the character.
type_text() {
  local LC_ALL=C.UTF-8 text=$1 run= ch i
  for ((i = 0; i < ${#text}; i++)); do
    ch=${text:i:1}
    if [[ $ch == [[:ascii:]] ]]; then run+=$ch; continue; fi
    [ -z "$run" ] || xdotool type --delay 30 "$run"
    run=
    xdotool type --delay 150 "$ch"
  done
  [ -z "$run" ] || xdotool type --delay 30 "$run"
}

# --- Menus, the tray icon, pointer gestures, waiting and colours --------------------------------

# Polls a command until it succeeds or the seconds run out.
wait_for() {  # seconds command...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

# Starts the program like start_app, with extra environment (NAME=value ...) for the program alone.
start_app_env() {
  park_pointer
  cp "$EXE" "$APP_DIR/Tessaly.exe"
  (cd "$APP_DIR" && exec env "$@" "$WINE" Tessaly.exe >/dev/null 2>&1) &
  APP_PID=$!
  WIDGET=$(winctl wait Tessaly 60) || { fail "the widget window appeared"; return 1; }
  wait_for 10 tray_icon_present || fail "the tray icon appeared"
  WIDGET=$(winctl info Tessaly)
}

# The pop-up menu that is open, one entry a line: "id left top right bottom text" (separator "-").
# MENU holds it after wait_menu.
read_menu() { MENU=$(winctl menu) && [ -n "$MENU" ]; }
wait_menu() { wait_for "${1:-10}" read_menu; }
menu_closed() { ! winctl menu >/dev/null; }
# The entries' texts joined by "|", from MENU.
menu_texts() { printf '%s\n' "$MENU" | cut -d' ' -f6- | paste -sd'|'; }
# Centre of the entry with the given text, from MENU: "x y".
menu_entry_xy() {
  printf '%s\n' "$MENU" | awk -v t="$1" '{ s = $6; for (i = 7; i <= NF; i++) s = s " " $i }
                                         s == t { print int(($2 + $4) / 2), int(($3 + $5) / 2); exit }'
}
# Clicks the entry with the given text in the open menu, with the real pointer.
click_menu_entry() {
  local xy
  xy=$(menu_entry_xy "$1")
  [ -n "$xy" ] || return 1
  # shellcheck disable=SC2086
  click_point $xy
}

# Centre of the program's tray icon, the first one in the notification area: "x y".
tray_icon_xy() {
  local l t r b
  read -r l t r b < <(winctl tray-area) || return 1
  echo $((l + (b - t) / 2)) $((t + (b - t) / 2))
}
tray_icon_present() { winctl tray Tessaly exists >/dev/null; }
# Presses the right button on the tray icon at x y and holds it until the menu it opens is there
# (MENU holds it); false when none opened. Under a window manager the press that moves the keyboard
# to Wine's tray window is now and then lost on the way to the program (about one in five right after
# the widget came back): a user presses again, and so does this, once. The caller releases the button.
press_tray_menu() {  # x y
  local attempt
  for attempt in 1 2; do
    [ "$attempt" = 1 ] || { xdotool mouseup 3; echo "   (the tray menu took a second press)"; }
    xdotool mousemove "$1" "$2" sleep 0.15 mousedown 3
    wait_menu 5 && return 0
  done
  return 1
}

widget_shown() { [ "$(widget_field 7)" = 1 ]; }
widget_hidden() { [ "$(widget_field 7)" = 0 ]; }
# A point inside the widget, away from the faded left edge: "x y".
widget_point() {
  local l t r b
  read -r l t r b < <(winctl info Tessaly | awk '{print $2, $3, $4, $5}')
  echo $(((l + r) / 2)) $((t + (b - t) / 4))
}

# Clicks at x y like click_at, also fast when the pointer is already there (xdotool's --sync then waits
# some 15 seconds for a move that never comes).
click_point() {  # x y [button] [repeat]
  xdotool mousemove "$1" "$2" sleep 0.15 click --repeat "${4:-1}" --delay 120 "${3:-1}"
}

# Clicks a dialog's control and waits until the keyboard is on it, so that keys typed next land there.
has_keyboard() { [ "$(winctl foreground)" = "$1" ] && [ "$(winctl focus "$1")" = "$2" ]; }  # title control-id
click_into() {  # title control-id
  click_control "$1" "$2" || return 1
  wait_for 10 has_keyboard "$1" "$2" || fail "the click put the keyboard on control $2 of '$1'"
}

# Presses the left button at x y, moves by dx dy in small steps, releases.
drag_by() {  # x y dx dy
  local x=$1 y=$2 dx=$3 dy=$4 i steps=8
  xdotool mousemove "$x" "$y" sleep 0.15 mousedown 1
  sleep 0.3
  for i in $(seq $steps); do
    xdotool mousemove $((x + dx * i / steps)) $((y + dy * i / steps))
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.5
}

# Number of screen pixels in the rectangle x y w h whose colour lies within tol of RRGGBB in every
# channel.
count_colour() {  # x y w h RRGGBB tol
  local want=$5 tol=$6
  import -window root -crop "${3}x${4}+${1}+${2}" -depth 8 txt:- 2>/dev/null |
    awk -v r=$((16#${want:0:2})) -v g=$((16#${want:2:2})) -v b=$((16#${want:4:2})) -v tol="$tol" '
      function abs(v) { return v < 0 ? -v : v }
      /^[0-9]/ { split($2, c, /[(),]/)
                 if (abs(c[2] - r) <= tol && abs(c[3] - g) <= tol && abs(c[4] - b) <= tol) n++ }
      END { print n + 0 }'
}
# count_colour over the widget's rectangle.
widget_colour_count() {  # RRGGBB tol
  local l t r b
  read -r l t r b < <(winctl info Tessaly | awk '{print $2, $3, $4, $5}')
  count_colour "$l" "$t" $((r - l)) $((b - t)) "$1" "$2"
}

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
# A control's rectangle on the screen, "left top right bottom", found by its id.
control_rect() { winctl item "$1" "$2"; }  # title control-id
# Clicks a control of a dialog with the real pointer, as a user does: at its centre, or at dx dy from
# its top-left corner (negative: from its right or bottom edge).
click_control() {  # title control-id [dx dy]
  local l t r b x y
  read -r l t r b < <(control_rect "$1" "$2") || { fail "control $2 of '$1' was there to click"; return 1; }
  x=$(((l + r) / 2)) y=$(((t + b) / 2))
  if [ $# -ge 4 ]; then
    if [ "$3" -lt 0 ]; then x=$((r + $3)); else x=$((l + $3)); fi
    if [ "$4" -lt 0 ]; then y=$((b + $4)); else y=$((t + $4)); fi
  fi
  click_point "$x" "$y"
}

# The text of the program's message box on top (its windows are all titled "Tessaly"; only a
# message box has the static control 65535), empty when none is open.
# Opens About from the menu command, prints its text, and closes it.
about_text() {
  winctl command Tessaly "$ID_APP_ABOUT" >/dev/null
  dialog_shown "关于 Tessaly" 10 || return 1
  winctl text "关于 Tessaly" "$IDC_ABOUT_TEXT"
  winctl command "关于 Tessaly" "$IDOK" >/dev/null
  dialog_gone "关于 Tessaly" 5
}
message_text() { winctl text Tessaly "$IDC_STATIC" || true; }
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
# True when the keyboard is on a message box: a dialog window titled "Tessaly" (the widget, the
# program's other window of that title, is a normal one). The window manager gives it the keyboard
# once it is on screen.
message_has_keyboard() {
  local window
  window=$(xdotool getwindowfocus 2>/dev/null) || return 1
  [ "$(xdotool getwindowname "$window" 2>/dev/null)" = Tessaly ] &&
    xprop -id "$window" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG
}
# Answers the message box on top with keys, once it has the keyboard.
answer_message() {  # keys...
  wait_for 5 message_has_keyboard || fail "the message box got the keyboard"
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
# True when the widget's place and size stay the same for a moment (a layout has finished).
widget_steady() {
  local before
  before=$(winctl info Tessaly)
  sleep 0.3
  [ "$(winctl info Tessaly)" = "$before" ]
}
# Waits until the widget's winctl info line differs from the one given (a new layout moved or
# resized it); false when it stays the same.
widget_changed_from() {  # info-line [seconds]
  local deadline=$((SECONDS + ${2:-5}))
  while [ "$(winctl info Tessaly)" = "$1" ]; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

# A right press on the tray icon, then "退出" from its menu; true when the process has ended.
quit_from_tray_menu() {
  local tx ty pid=$APP_PID
  read -r tx ty < <(tray_icon_xy)
  press_tray_menu "$tx" "$ty" || { xdotool mouseup 3; return 1; }
  xdotool mouseup 3
  click_menu_entry "退出"
  wait_for 15 eval '! kill -0 '"$pid"' 2>/dev/null'
}

# --- A Wine prefix of the test's own --------------------------------------------------------------

# Runs the rest of the test in a copy of the Wine prefix whose registry the test may change (display
# DPI, a virtual desktop). The copy's Wine server is ended and the copy removed on exit.
PREFIX_COPY=
use_prefix_copy() {
  PREFIX_COPY=$(mktemp -d /tmp/tessaly-prefix.XXXXXX)
  bash -c 'source "$1/scripts/env.sh" && copy_prefix "$2" "$3"' _ "$SOURCE_ROOT" "$WINEPREFIX" "$PREFIX_COPY"
  export WINEPREFIX=$PREFIX_COPY
  trap 'cleanup; end_prefix_copy' EXIT
}
wineserver_of_wine() { echo "$(dirname "$(command -v "$WINE")")/wineserver"; }
end_prefix_copy() {
  [ -n "$PREFIX_COPY" ] || return 0
  "$(wineserver_of_wine)" -k 2>/dev/null || true
  "$(wineserver_of_wine)" -w 2>/dev/null || true
  rm -rf "$PREFIX_COPY"
  PREFIX_COPY=
}
# Sets a value in the prefix's registry and restarts its Wine server, so that the next program starts
# with it.
set_registry() {  # key name type data
  "$WINE" reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
  "$(wineserver_of_wine)" -k 2>/dev/null || true
  "$(wineserver_of_wine)" -w 2>/dev/null || true
}

# Bounding box of the screen pixels within tol of RRGGBB in the rectangle x y w h, in screen
# coordinates: "left top right bottom" (inclusive), empty when there are none.
ink_box() {  # x y w h RRGGBB tol
  local want=$5 tol=$6
  import -window root -crop "${3}x${4}+${1}+${2}" -depth 8 txt:- 2>/dev/null |
    awk -v r=$((16#${want:0:2})) -v g=$((16#${want:2:2})) -v b=$((16#${want:4:2})) -v tol="$tol" -v x0="$1" -v y0="$2" '
      function abs(v) { return v < 0 ? -v : v }
      /^[0-9]/ { split($1, p, /[,:]/); split($2, c, /[(),]/)
                 if (abs(c[2] - r) <= tol && abs(c[3] - g) <= tol && abs(c[4] - b) <= tol) {
                   if (n++ == 0) { l = p[1]; t = p[2]; rr = p[1]; bb = p[2] }
                   if (p[1] < l) l = p[1]; if (p[1] > rr) rr = p[1]; if (p[2] < t) t = p[2]; if (p[2] > bb) bb = p[2] } }
      END { if (n) print l + x0, t + y0, rr + x0, bb + y0 }'
}

# The anniversaries editor.
open_editor() { winctl command Tessaly "$ID_APP_ITEMS" >/dev/null; dialog_shown 纪念日 10; }
editor_ok() { click_control 纪念日 "$IDOK"; }
editor_cancel() { click_control 纪念日 "$IDCANCEL"; }
click_box() { click_into 纪念日 "$IDC_ITEMS_TEXT"; }
box_text() { winctl text 纪念日 "$IDC_ITEMS_TEXT"; }  # UTF-8, carriage returns left out
editor_open() { [ "$(winctl info 纪念日 | awk '{print $7}')" = 1 ]; }
editor_closed() { dialog_gone 纪念日 5; }
editor_never_shown() { ! dialog_shown 纪念日 2; }

# The options dialog.
open_options() { winctl command Tessaly "$ID_APP_OPTIONS" >/dev/null; dialog_shown 选项 10; }
options_open() { [ "$(winctl info 选项 | awk '{print $7}')" = 1 ]; }
options_closed() { dialog_gone 选项 5; }
options_ok() { click_control 选项 "$IDOK"; }
options_cancel() { click_control 选项 "$IDCANCEL"; }
# Clicks a control of the options dialog at its left end: on a check or radio box, its box.
click_option() { click_control 选项 "$1" 6 "$(($(control_rect 选项 "$1" | awk '{print int(($4 - $2) / 2)}')))"; }


# The widget's rectangle: "left top right bottom" (of another window with its title given).
rect() { winctl info "${1:-Tessaly}" | awk '{print $2, $3, $4, $5}'; }
# Starts the program again after it ended.
restart() { APP_PID=; start_app; }
app_ended() { wait_for 15 eval '! app_running'; }
# A path between the two file systems, through Wine.
windows_path() { "$WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
unix_path() { "$WINE" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
# Moves the pointer over row n (from 0) of the widget at left top right with rows row_height high.
hover_row() { xdotool mousemove $(((left + right) / 2)) $((top + $1 * row_height + row_height / 2)); }
# The item file ITEMS has the bytes it had when BEFORE was copied from it.
file_unchanged() { cmp -s "$BEFORE" "$ITEMS"; }
# Compares a file with the GBK form of UTF-8 text (printf escapes allowed); EXPECTED names a scratch file.
file_is_gbk() {  # file text
  printf "$2" | iconv -f UTF-8 -t CP936 >"$EXPECTED" && cmp -s "$EXPECTED" "$1"
}
