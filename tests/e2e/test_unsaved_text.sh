#!/usr/bin/env bash
# What the user typed is never lost, with the real pointer and keyboard: a 40-line list can be typed
# into the editor and scrolled; a list changed on disk by another program while the editor is open is
# not overwritten without a yes; 退出 with unsaved changes asks 是/否/取消; the end of the session
# asks nothing but keeps the text in a recovery file that the next start names (in the list's
# encoding, or UTF-8 when the list's cannot hold the text).
source "$(dirname "$0")/lib.sh"

ITEMS=$(items_file)
RECOVERY=$APP_DIR/Tessaly_items.recovered.txt
EXPECTED=$APP_DIR/expected.bin

first_visible_line() { winctl lines 纪念日 "$IDC_ITEMS_TEXT" | awk '{print $1}'; }
line_count() { winctl lines 纪念日 "$IDC_ITEMS_TEXT" | awk '{print $2}'; }

printf '生日,2020-05-20' | write_items_gbk
start_app || { finish; exit 1; }

# --- 40 lines typed, then scrolled with the keyboard and the scroll bar ---
open_editor
click_box
press_keys ctrl+a Delete
lines=$(for i in $(seq -w 1 40); do printf 'L%s,2020-01-%02d\n' "$i" $(((10#$i - 1) % 28 + 1)); done)
xdotool type --delay 12 "$(printf '%s' "$lines")"
# Keys reach the box after xdotool returns: wait for the last one.
check "all 40 typed lines are in the box" wait_for 10 eval '[ "$(box_text)" = "$lines" ]'
check "the box holds 40 lines" [ "$(line_count)" = 40 ]
check "the box has scrolled down with the caret" [ "$(first_visible_line)" -gt 20 ]
press_keys ctrl+Home
check "Ctrl+Home scrolls back to the first line" wait_for 3 eval '[ "$(first_visible_line)" = 0 ]'
click_control 纪念日 "$IDC_ITEMS_TEXT" -10 -10  # the scroll bar's down arrow, in the box's corner
click_control 纪念日 "$IDC_ITEMS_TEXT" -10 -10
check "the scroll bar's arrow scrolls the box" wait_for 3 eval '[ "$(first_visible_line)" -gt 0 ]'
editor_ok
check "OK saves the 40 lines" editor_closed
check "the file holds the 40 lines" file_is_gbk "$ITEMS" "$(printf '%s' "$lines" | sed 's/$/\\r\\n/' | tr -d '\n' | sed 's/\\r\\n$//')"
check "the widget shows five rows" wait_for 5 eval '[ "$(widget_height)" -gt 0 ]'

# --- another program changes the list while the editor is open ---
printf '生日,2020-05-20' | write_items_gbk
open_editor
click_box
press_keys ctrl+End Return
type_text 'mine,2021-02-03'
sleep 1.1  # a later write time than the load's, on any file system
printf '生日,2020-05-20\r\n别人,2022-02-02\r\n' | write_items_gbk
cp "$ITEMS" "$APP_DIR/theirs.bin"
editor_ok
check "OK after an outside change asks first" wait_message
check "the question says another program changed the file" grep -q '被其他程序修改过' <<<"$MESSAGE"
check "the question names the file" grep -q 'Tessaly_items.txt' <<<"$MESSAGE"
answer_message n
check "No closes the question" message_gone
check "after No the editor stays open with the text" eval 'editor_open && grep -q "mine,2021-02-03" < <(box_text)'
check "after No the other program's change is kept" cmp -s "$APP_DIR/theirs.bin" "$ITEMS"
editor_ok
check "OK again asks again" wait_message
answer_message y
check "Yes saves and closes the editor" editor_closed
check "after Yes the file holds the box's text" file_is_gbk "$ITEMS" '生日,2020-05-20\r\nmine,2021-02-03'

# --- 退出 while the editor holds changes ---
printf '生日,2020-05-20' | write_items_gbk
cp "$ITEMS" "$APP_DIR/before.bin"
open_editor
click_box
press_keys ctrl+End Return
type_text 'quit,2023-03-03'
winctl command Tessaly "$ID_APP_QUIT" >/dev/null  # 退出
check "退出 with changes asks" wait_message
check "it asks whether to save them" grep -q '退出前要保存吗' <<<"$MESSAGE"
answer_message Escape
check "取消 closes the question" message_gone
check "after 取消 the program runs on with the editor and its text" \
  eval 'app_running && editor_open && grep -q "quit,2023-03-03" < <(box_text)'
# Asked again, this time by the installer's way, "Tessaly.exe --quit": the same question.
(cd "$APP_DIR" && exec "$WINE" Tessaly.exe --quit >/dev/null 2>&1) &
quitter=$!
OTHER_PIDS+=("$quitter")
check "--quit asks as 退出 does" eval 'wait_message && grep -q "退出前要保存吗" <<<"$MESSAGE"'
answer_message n
check "否 ends the program" app_ended
wait "$quitter" && status=0 || status=$?
check "and --quit ends with 0 once it has ended ($status)" [ "$status" = 0 ]
check "after 否 the file is as it was" cmp -s "$APP_DIR/before.bin" "$ITEMS"

restart || { finish; exit 1; }
open_editor
click_box
press_keys ctrl+End Return
type_text 'quit,2023-03-03'
winctl command Tessaly "$ID_APP_QUIT" >/dev/null
wait_message || fail "退出 asks"
answer_message y
check "是 saves and ends the program" app_ended
check "after 是 the file holds the text" file_is_gbk "$ITEMS" '生日,2020-05-20\r\nquit,2023-03-03'

restart || { finish; exit 1; }
open_editor
winctl command Tessaly "$ID_APP_QUIT" >/dev/null
check "退出 with the editor open but unchanged ends without a question" app_ended

# --- the session ends while the editor holds changes ---
restart || { finish; exit 1; }
cp "$ITEMS" "$APP_DIR/before.bin"
open_editor
click_box
press_keys ctrl+End Return
type_text 'late,2024-04-04'
winctl post Tessaly "$WM_QUERYENDSESSION" 0 0 >/dev/null
check "the end of the session writes the recovery file" wait_for 10 test -s "$RECOVERY"
check "it holds the box's text, GBK like the list" \
  file_is_gbk "$RECOVERY" '生日,2020-05-20\r\nquit,2023-03-03\r\nlate,2024-04-04'
sleep 1  # time for a question that must not come
check "the end of the session asks nothing" [ -z "$(message_text)" ]
check "the list itself is untouched" cmp -s "$APP_DIR/before.bin" "$ITEMS"
kill "$APP_PID" 2>/dev/null  # the session ends the process
wait_for 10 eval '! app_running' || true
restart || { finish; exit 1; }
note=$(winctl balloon 15) || note=
check "the next start says where the text is, without a box" grep -q 'Tessaly_items.recovered.txt' <<<"$note"
check "no message box stops the user" [ -z "$(message_text)" ]

# Text GBK cannot hold, typed into a GBK list: the recovery file is UTF-8 with its mark, so that
# nothing of it is lost.
open_editor
click_box
press_keys ctrl+End Return
type_text '한국,2025-01-01'
wait_for 10 eval 'grep -q "한국,2025-01-01" < <(box_text)' || fail "the Korean line was typed"
winctl post Tessaly "$WM_QUERYENDSESSION" 0 0 >/dev/null
printf '\xEF\xBB\xBF生日,2020-05-20\r\nquit,2023-03-03\r\n한국,2025-01-01' >"$EXPECTED"
# The first recovery file is kept: this one is the second.
check "Korean text in a GBK list is recovered as UTF-8 with its mark" \
  wait_for 10 cmp -s "$EXPECTED" "$APP_DIR/Tessaly_items.recovered.2.txt"

quit_app || true
finish
