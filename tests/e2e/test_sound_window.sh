#!/usr/bin/env bash
# What only the window shows of a sound widget: a close request or the commands OK and Cancel do not
# end it; each log-off keeps its own recovery file, named once at the next start, with a second place
# when the list's folder cannot take it and a refused log-off when nothing can; a click on the note
# opens the folder; a DPI change lands on the place Windows suggests, and no DPI hides or bloats the
# widget; one widget per folder, also through a link; a start right after 退出 gets a widget; a
# settings file that cannot be written is told once.
source "$(dirname "$0")/lib.sh"

RECOVERED=$APP_DIR/Tessaly_items.recovered
type_line() { LINE=$1; open_editor && click_box && press_keys ctrl+End Return && type_text "$LINE" &&
  wait_for 10 eval 'grep -qF "$LINE" < <(box_text)'; }
end_session() { winctl send Tessaly "$WM_QUERYENDSESSION" 0 0; }  # prints the widget's answer
killed() { kill "$APP_PID" 2>/dev/null; wait_for 10 eval '! app_running'; APP_PID=; }  # the session ended it

printf '生日,2020-05-20\r\n相识纪念日,2015-03-01' | write_items_gbk
start_app || { finish; exit 1; }

# --- only 退出 ends the widget ---
winctl send Tessaly "$WM_CLOSE" 0 0 >/dev/null  # as another program or the task list asks
winctl send Tessaly "$WM_COMMAND" "$IDOK" 0 >/dev/null
winctl send Tessaly "$WM_COMMAND" "$IDCANCEL" 0 >/dev/null
check "WM_CLOSE, IDOK and IDCANCEL leave the widget running and shown" eval 'app_running && widget_shown'

# --- each log-off keeps its own recovery file, named once ---
type_line 'first,2021-01-01' || fail "a line was typed"
check "the session may end once the text is kept" [ "$(end_session)" = 1 ]
check "the text is in the first recovery file" grep -q 'first,2021-01-01' "$RECOVERED.txt"
killed
restart || { finish; exit 1; }
note=$(winctl balloon 15) || note=
check "the next start names the file" grep -qF 'Tessaly_items.recovered.txt' <<<"$note"
check "it says it was the last log-off" grep -q '上次注销或关机时' <<<"$note"
type_line 'second,2022-02-02' || fail "a second line was typed"
check "a second log-off may end too" [ "$(end_session)" = 1 ]
check "it writes a second file" grep -q 'second,2022-02-02' "$RECOVERED.2.txt"
check "the first file is kept as it was" eval '! grep -q second "$RECOVERED.txt"'
killed
restart || { finish; exit 1; }
note=$(winctl balloon 15) || note=
check "the start after names the second file" grep -qF 'Tessaly_items.recovered.2.txt' <<<"$note"
check "and not the first, named already" eval '! grep -qF "Tessaly_items.recovered.txt" <<<"$note"'
quit_app || fail "退出 ends the program"
restart || { finish; exit 1; }
check "a start with nothing new to tell names no recovery file" eval '! winctl balloon 6 >/dev/null'

# --- the list's folder cannot take the file: the second place; no place at all: the log-off waits ---
mkdir "$RECOVERED.3.txt.tessaly.tmp"  # where the write would go first
type_line 'third,2023-03-03' || fail "a third line was typed"
check "the log-off may end, the text kept elsewhere" [ "$(end_session)" = 1 ]
check "nothing was written beside the list" [ ! -e "$RECOVERED.3.txt" ]
killed
restart || { finish; exit 1; }
note=$(winctl balloon 15) || note=
check "the note says the text could not be kept beside the list" grep -q '无法保存在纪念日文件旁边' <<<"$note"
check "and names the application-data folder" grep -q 'AppData.*Tessaly.*Tessaly_items.recovered.txt' <<<"$note"
second=$("$WINE" winepath -u "$(grep -o 'C:.*Tessaly_items.recovered.txt' <<<"$note" | head -1)" 2>/dev/null | tr -d '\r')
check "the file there holds the text" grep -q 'third,2023-03-03' "$second"
folder=$(basename "$(dirname "$second")")
# Wine's tray closes a clicked balloon without telling the program: the message Windows' shell sends
# on that click comes from here instead (the tray callback with NIN_BALLOONUSERCLICK).
winctl post Tessaly "$WM_TRAY_NOTIFY" "$TRAY_ICON_ID" "$NIN_BALLOONUSERCLICK" >/dev/null
check "a click on the note opens the file's folder" wait_for 20 eval '[ "$(window_count "$folder")" -ge 1 ]'
winctl post "$folder" "$WM_CLOSE" 0 0 >/dev/null || true
winctl gone "$folder" 10 >/dev/null || true  # the folder's window closes before the editor takes keys
mkdir "$(dirname "$second")/Tessaly_items.recovered.2.txt.tessaly.tmp"
type_line 'fourth,2024-04-04' || fail "a fourth line was typed"
check "with no place for the text the log-off is refused" [ "$(end_session)" = 0 ]
check "and the widget and its editor stay" eval 'app_running && editor_open'
check "nothing new was written" eval '[ ! -e "$RECOVERED.3.txt" ] && [ ! -e "$(dirname "$second")/Tessaly_items.recovered.2.txt" ]'
editor_cancel
editor_closed || fail "the editor closed"
[ -n "$second" ] && rm -rf "$(dirname "$second")"

# --- the editor takes as much as it can open, and does not save a box it had to cut ---
cp "$(items_file)" "$APP_DIR/list.bak"
for i in $(seq 2000); do printf 'name%04d,2020-01-01\r\n' "$i"; done | write_items_raw  # 40,000 characters
type_line 'typed,2021-01-01' || fail "typing into a list of 40,000 characters"
editor_ok
check "a list longer than the box's default limit takes typing and saves it" \
  eval 'editor_closed && grep -q "^typed,2021-01-01" "$(items_file)"'
# Exactly 4 MiB: the box is full; a typed character is refused, and OK asks before saving the rest.
line=$(printf '%*s' 1022 '' | tr ' ' a)
{ for i in $(seq 4095); do printf '%s\r\n' "$line"; done; printf '%s' "${line:0:1022}"; printf 'zz'; } | write_items_raw
check "the 4 MiB list is exactly 4 MiB" [ "$(stat -c %s "$(items_file)")" = 4194304 ]
open_editor || fail "the editor opened the 4 MiB list"
click_box
press_keys ctrl+End x
editor_ok
check "OK after a cut asks first" wait_message 30
check "saying the box reached its limit" grep -q '长度上限' <<<"$MESSAGE"
answer_message n
check "No keeps the editor open, the file as it was" \
  eval 'message_gone && editor_open && [ "$(stat -c %s "$(items_file)")" = 4194304 ] && ! grep -q x "$(items_file)"'
editor_cancel
editor_closed || fail "the editor closed"
long_rect=$(winctl info Tessaly | cut -d' ' -f2-5)
cp "$APP_DIR/list.bak" "$(items_file)"
# The widget reads a list another program changed: the DPI steps measure the restored rows. A list
# whose last line has no line end is held back up to 10 s more (its writer may not be done).
wait_for 25 eval '[ "$(winctl info Tessaly | cut -d" " -f2-5)" != "$long_rect" ]' || fail "the restored list is shown"

# --- DPI changes land where Windows suggests ---
read -r _ l t r b _ <<<"$(winctl info Tessaly)"
read -r dl dt dr db < <(winctl dpi Tessaly 144 100 120) || fail "the DPI change was handed over"
check "at 144 DPI the widget is at the suggested place (100 120: $dl $dt)" [ "$dl $dt" = "100 120" ]
check "and about one and a half times as wide" [ $(((dr - dl) * 10 / (r - l))) -ge 14 -a $(((dr - dl) * 10 / (r - l))) -le 16 ]
read -r dl dt dr db < <(winctl dpi Tessaly 1 100 120)
check "DPI 1 is taken as 96: the widget is its usual size" [ $((dr - dl)) = $((r - l)) -a $((db - dt)) = $((b - t)) ]
read -r dl dt dr db < <(winctl dpi Tessaly 20000 0 0)
read -r sw sh < <(xdotool getdisplaygeometry)
check "DPI 20000 is taken as 480 and the widget stays within twice the screen" \
  eval 'app_running && [ $((dr - dl)) -gt $((4 * (r - l))) ] && [ $((dr - dl)) -le $((2 * sw)) ] && [ $((db - dt)) -le $((2 * sh)) ]'
read -r dl dt dr db < <(winctl dpi Tessaly 96 30000 30000)
read -r wl wt wr wb < <(winctl workarea)
check "a suggested place where it cannot be grabbed gives way to the work area's middle" \
  [ "$dl $dt" = "$((wl + (wr - wl - (dr - dl)) / 2)) $((wt + (wb - wt - (db - dt)) / 2))" ]

# --- one widget per folder, however reached ---
ln -s "$APP_DIR" "$APP_ROOT/link"
check "a start through a link to the folder hands over and ends" run_second_start "$APP_ROOT/link"
check "one widget" [ "$(window_count Tessaly)" = 1 ]

# --- a start right after 退出 gets a widget ---
old=$APP_PID
winctl command Tessaly "$ID_APP_QUIT" >/dev/null
(cd "$APP_DIR" && exec "$WINE" Tessaly.exe >/dev/null 2>&1) &
APP_PID=$!
# Handed over to the dying widget, the new start would end too and leave no widget.
check "the start right after 退出 runs a widget of its own" \
  wait_for 60 eval '! kill -0 '"$old"' 2>/dev/null && app_running && [ "$(window_count Tessaly)" = 1 ]'

# --- a settings file that cannot be written: told once ---
quit_app || fail "退出 ends the program"
rm -f "$(ini_file)"
mkdir "$(ini_file)"
restart || { finish; exit 1; }
read -r x y < <(widget_point)
drag_by "$x" "$y" 60 40
note=$(winctl balloon 15) || note=
check "a dragged place that cannot be stored is told" grep -q '无法保存设置' <<<"$note"
check "naming the settings file" grep -qF 'Tessaly.ini' <<<"$note"
quit_app || true
finish
