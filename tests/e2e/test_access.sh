#!/usr/bin/env bash
# The widget for screen readers and the keyboard, as a user of either meets it: its rows read from
# another process as a screen reader reads them (MSAA, across processes), the hotkey and the arrows
# walked with no pointer event (the selection read back from the accessible states and from the focus
# mark's pixels), Enter opening the row's line in the form, Esc giving the keyboard back, the hotkey
# changed in the options and a hotkey another widget holds told in a balloon. What Wine cannot show, a
# real screen reader speaking, is stood in for by winctl's client (AccessibleObjectFromWindow).
# Wine makes a window it activates the X server's keyboard focus only when the window manager manages
# it, and the layered widget is not managed: where Windows hands the keyboard over with the foreground,
# the test does it for the X server (xdotool windowfocus, no pointer event), and only once the program
# has made the widget the foreground window. Wine sees a hotkey only in the keys of its own windows:
# another program's window has the X focus when the hotkey is pressed.
source "$(dirname "$0")/lib.sh"

EDIT=编辑纪念日
MARK=1E90FF  # the focus mark's colour

ymd() { date -d "$1" +%Y-%m-%d; }
# The day as the widget writes it, without the weekday: "2026年12月11日".
day_text() { date -d "$1" +%Y年%-m月%-d日; }
# A day count of 2352 lies that many days back.
printf '妈妈生日,%s\n毕业,%s\n相识纪念日,%s\n生日,2025-02-30\n' "$(ymd '+3 days')" "$(ymd '-2352 days')" \
  "$(date +%-m月%-d日)" | write_items_gbk
start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
row_height=$(((bottom - top) / 4))

# --- the rows, read as a screen reader reads them ---
oleacc_loaded() { grep -qi 'oleacc\.dll' "/proc/$APP_PID/maps"; }
check "until a screen reader asks, the widget costs nothing for one (oleacc not loaded)" eval '! oleacc_loaded'
ACCESS=$(winctl access Tessaly) || fail "the widget's accessible object was read from another process"
echo "$ACCESS" | sed 's/^/   | /'
line_of() { printf '%s\n' "$ACCESS" | awk -v id="$1" '$1 == id'; }
name_of() { line_of "$1" | cut -d' ' -f8- | cut -f1; }
value_of() { line_of "$1" | cut -f2; }
field_of() { line_of "$1" | cut -d' ' -f"$2"; }
check "the widget is a list (ROLE_SYSTEM_LIST) named 纪念日" [ "$(field_of 0 2) $(name_of 0)" = "21 纪念日" ]
check "with one list item (ROLE_SYSTEM_LISTITEM) per row" \
  [ "$(printf '%s\n' "$ACCESS" | awk '$1 ~ /^[1-9]/ {print $2}' | paste -sd,)" = 22,22,22,22 ]
check "an upcoming row reads as a sentence" [ "$(name_of 1)" = "妈妈生日，还有 3 天" ]
check "its value is its day and lunar date" eval '[[ "$(value_of 1)" == "$(day_text "+3 days") 星期"?"，农历"* ]]'
# Each kind of row's sentence is the native tests' table; here one unreadable row, across processes.
check "an unreadable row says why" [ "$(name_of 4) $(value_of 4)" = "生日，日期无法识别 日历上没有这一天" ]
check "each row's location is its rectangle on the screen" \
  [ "$(field_of 2 4) $(field_of 2 5) $(field_of 2 6) $(field_of 2 7)" = "$left $((top + row_height)) $((right - left)) $row_height" ]
check "a child id past the rows is refused (E_INVALIDARG)" [ "$(printf '%s\n' "$ACCESS" | sed -n 's/^beyond //p')" = 80070057 ]
check "the object was made when asked" oleacc_loaded
none_selected() {
  local id state
  for id in 1 2 3 4; do
    state=$(field_of "$id" 3)
    [ -n "$state" ] && [ $((16#$state & 2)) = 0 ] || return 1
  done
}
check "no row is selected before the keyboard comes" none_selected
check "and no focus mark is drawn" [ "$(widget_colour_count $MARK 24)" = 0 ]

# A row's state (hex) from a fresh read; selected and focused: STATE_SYSTEM_SELECTED | FOCUSED.
state_of() { winctl access Tessaly | awk -v id="$1" '$1 == id {print $3}'; }
row_has_keyboard() {
  local state
  state=$(state_of "$1")
  [ -n "$state" ] && [ $((16#$state & 6)) = 6 ]
}
mark_in_row() { [ "$(count_colour "$left" $((top + $1 * row_height)) $((right - left)) "$row_height" $MARK 24)" -gt 20 ]; }
mark_only_in_row() {
  local row
  for row in 0 1 2 3; do
    if [ "$row" = "$1" ]; then mark_in_row "$row" || return 1; else ! mark_in_row "$row" || return 1; fi
  done
}
selected_row() { row_has_keyboard $(($1 + 1)) && mark_only_in_row "$1"; }
foreground_is() { [ "$(winctl foreground)" = "$1" ]; }
# The widget took the keyboard (the foreground), and the X server follows.
widget_takes_keyboard() {
  wait_for 10 foreground_is Tessaly || return 1
  xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^Tessaly$' | head -1)"
}
# Another program's window comes in front (of its own accord, as a program that starts does).
other_in_front() {
  OTHER=$1
  "$WINE" "$WINCTL" window "$OTHER" 200 >/dev/null 2>&1 &
  OTHER_PIDS+=("$!")
  wait_for 10 foreground_is "$OTHER"
}

# --- the hotkey, the arrows, Enter and Esc, with no pointer event ---
other_in_front "another program" || fail "another program's window came to the front"
press_keys ctrl+alt+d
check "the hotkey gives the widget the keyboard" widget_takes_keyboard
check "with the first row selected and focused, its mark drawn" wait_for 10 selected_row 0
press_keys Down
check "Down selects the next row" wait_for 10 selected_row 1
press_keys End
check "End the last" wait_for 10 selected_row 3
press_keys Up
check "Up the one above" wait_for 10 selected_row 2
press_keys Return
check "Enter opens the form over the row's line" dialog_shown "$EDIT" 10
check "with the line's name" [ "$(winctl text "$EDIT" "$IDC_ITEM_NAME")" = 相识纪念日 ]
check "and its date" [ "$(winctl text "$EDIT" "$IDC_ITEM_DATE")" = "$(date +%-m月%-d日)" ]
wait_for 5 foreground_is "$EDIT" || fail "the form got the keyboard"
press_keys Escape
check "Esc closes the form" dialog_gone "$EDIT" 10
check "the keyboard comes back to the widget" widget_takes_keyboard
check "the row still selected" selected_row 2
press_keys Menu
check "the menu key opens the row's menu" wait_menu
check "the menu a right click on the row gives" [ "$(menu_texts | awk -F'|' '{print $NF}')" = '编辑“相识纪念日”...' ]
press_keys Escape
wait_for 5 menu_closed || fail "Esc closed the menu"
press_keys Escape
check "Esc gives the keyboard back to the window that had it" wait_for 10 foreground_is "$OTHER"
check "and takes the mark away" wait_for 10 eval '[ "$(widget_colour_count $MARK 24)" = 0 ]'
check "no row is selected any more" eval '! row_has_keyboard 3'
check "Enter and Esc never end the widget" app_running

# --- hidden to the tray, the hotkey brings it back ---
winctl command Tessaly "$ID_APP_HIDE" >/dev/null
wait_for 10 widget_hidden || fail "the widget was hidden"
other_in_front "a second program" || fail "a second program's window came to the front"
press_keys ctrl+alt+d
check "the hotkey shows a hidden widget, with the keyboard" wait_for 10 eval 'widget_shown && selected_row 0'
widget_takes_keyboard || fail "the widget had the keyboard"
press_keys Escape
# Where the keyboard goes after a widget shown again is left to the walk above: under Wine the X
# focus then stays with the widget, and Wine gives it the foreground back.
check "Esc takes the mark away again" wait_for 10 eval '[ "$(widget_colour_count $MARK 24)" = 0 ]'

# --- the hotkey in the options ---
open_options || fail "the options opened"
check "the options show the hotkey" [ "$(winctl text 选项 "$IDC_HOTKEY")" = Ctrl+Alt+D ]
click_control 选项 "$IDC_HOTKEY"
press_keys ctrl+a BackSpace
type_text 'Ctrl+Alt'
options_ok
check "a hotkey without its key is refused" wait_message
check "saying how to write it" eval '[[ "$MESSAGE" == 快捷键要写成* ]]'
answer_message Return
message_gone || fail "the message closed"
click_control 选项 "$IDC_HOTKEY"
press_keys ctrl+a BackSpace
type_text 'ctrl+shift+f12'
options_ok
check "a good one is taken" options_closed
check "and stored as the options write it" [ "$(ini_value hotkey)" = Ctrl+Shift+F12 ]
other_in_front "a third program" || fail "a third program's window came to the front"
press_keys ctrl+alt+d
sleep 1  # a key that does nothing leaves nothing to wait for
check "the old hotkey is given up" eval '! foreground_is Tessaly'
press_keys ctrl+shift+F12
check "the new one works at once" wait_for 10 eval 'foreground_is Tessaly && selected_row 0'

# --- a hotkey another widget holds ---
second=$APP_ROOT/second
mkdir -p "$second"
cp "$EXE" "$second/Tessaly.exe"
printf '[Tessaly]\r\nhotkey=Ctrl+Shift+F12\r\n' >"$second/Tessaly.ini"
(cd "$second" && exec "$WINE" Tessaly.exe >/dev/null 2>&1) &
OTHER_PIDS+=("$!")
balloon=$(winctl balloon 30) || balloon=
check "a hotkey that cannot be registered is said in a balloon, naming the key" \
  eval '[[ "$balloon" == *"快捷键 Ctrl+Shift+F12 无法使用"* ]]'
(cd "$second" && "$WINE" Tessaly.exe --quit >/dev/null 2>&1) || fail "the second widget quit"

quit_app
finish
