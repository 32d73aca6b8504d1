#!/usr/bin/env bash
# One editor, one options dialog, one program, with the real pointer: while a dialog is open a press
# on the tray icon (either button) or a second command opens nothing
# more and brings the open dialog to the front; a second start of the same Tessaly.exe hands over to
# the running widget (shown again when hidden) and ends; a copy in another folder runs beside it.
source "$(dirname "$0")/lib.sh"

printf '生日,2020-05-20\r\n新年,2030-01-01\r\n' | write_items_gbk
start_app || { finish; exit 1; }

editors() { window_count 纪念日; }
options() { window_count 选项; }
in_front() { wait_for 5 eval '[ "$(winctl foreground)" = "'"$1"'" ]'; }
# Another program's window takes the front for a while, as the user switches away.
other_program_in_front() {
  "$WINE" "$WINCTL" window "another program" 60 >/dev/null 2>&1 &
  OTHER_PIDS+=($!)
  wait_for 10 eval '[ "$(winctl foreground)" = "another program" ]'
}
tray_press() {  # button
  local tx ty
  read -r tx ty < <(tray_icon_xy)
  click_point "$tx" "$ty" "$1"
  sleep 1.5  # time for a menu that must not open
}

# --- the editor, opened from the tray menu ---
read -r tx ty < <(tray_icon_xy) || fail "the tray icon is shown"
click_point "$tx" "$ty" 3
wait_menu && click_menu_entry "纪念日..."
check "纪念日... opens the editor" dialog_shown 纪念日 10
click_box  # into the text box
type_text 'kept42'
other_program_in_front || fail "another program came to the front"
tray_press 3
check "a right press on the tray icon while the editor is open opens no menu" menu_closed
check "it brings the editor to the front" in_front 纪念日
check "there is still one editor" [ "$(editors)" = 1 ]
other_program_in_front || true
tray_press 1
check "a left press brings the editor to the front too" in_front 纪念日
winctl command Tessaly "$ID_APP_ITEMS" >/dev/null
winctl command Tessaly "$ID_APP_OPTIONS" >/dev/null
sleep 1.5  # time for a second window that must not open
check "纪念日... sent again opens no second editor" [ "$(editors)" = 1 ]
check "选项 sent while the editor is open opens no options dialog" [ "$(options)" = 0 ]
check "the editor keeps its text" grep -q 'kept42' < <(winctl text 纪念日 "$IDC_ITEMS_TEXT")
dialog_shown 纪念日 && editor_cancel  # 取消
check "取消 closes the one editor" dialog_gone 纪念日 5

# --- the options dialog ---
winctl command Tessaly "$ID_APP_OPTIONS" >/dev/null
check "选项 opens the options dialog" dialog_shown 选项 10
other_program_in_front || true
tray_press 3
check "a tray press while the options dialog is open opens no menu" menu_closed
check "it brings the options dialog to the front" in_front 选项
winctl command Tessaly "$ID_APP_OPTIONS" >/dev/null
winctl command Tessaly "$ID_APP_ITEMS" >/dev/null
sleep 1.5  # time for an editor that must not open
check "there is one options dialog and no editor" [ "$(options)" = 1 -a "$(editors)" = 0 ]
dialog_shown 选项 && options_cancel  # 取消
check "取消 closes the options dialog" dialog_gone 选项 5

# --- a second start from the same folder ---
winctl command Tessaly "$ID_APP_HIDE" >/dev/null
wait_for 10 widget_hidden || fail "the widget was hidden"
check "a second start from the same folder ends by itself" run_second_start
check "the hidden widget is shown again" wait_for 10 widget_shown
check "and is in front" in_front Tessaly
check "there is still one widget" [ "$(window_count Tessaly)" = 1 ]
check "the first program still runs" app_running

winctl command Tessaly "$ID_APP_ITEMS" >/dev/null
dialog_shown 纪念日 10 || fail "the editor opened again"
other_program_in_front || true
check "a second start while the editor is open ends by itself" run_second_start
check "it brings the editor to the front" in_front 纪念日
check "still one editor and one widget" [ "$(editors)" = 1 -a "$(window_count Tessaly)" = 1 ]
dialog_shown 纪念日 && editor_cancel
dialog_gone 纪念日 5 || true

# The same program under a differently cased name is the same program.
check "a second start as TESSALY.EXE ends by itself" run_second_start "$APP_DIR" TESSALY.EXE
check "and leaves one widget" [ "$(window_count Tessaly)" = 1 ]

# --- a copy in another folder is another program ---
mkdir "$APP_DIR/copy"
cp "$EXE" "$APP_DIR/copy/Tessaly.exe"
printf '别处,2020-01-01\r\n' | iconv -f UTF-8 -t CP936 >"$APP_DIR/copy/Tessaly_items.txt"
(cd "$APP_DIR/copy" && exec "$WINE" Tessaly.exe >/dev/null 2>&1) &
OTHER_PIDS+=($!)
check "a copy in another folder starts its own widget beside the first" \
  wait_for 30 eval '[ "$(window_count Tessaly)" = 2 ]'
check "both programs run" eval 'app_running && kill -0 '"${OTHER_PIDS[-1]}"
kill "${OTHER_PIDS[-1]}" 2>/dev/null || true
wait_for 10 eval '[ "$(window_count Tessaly)" = 1 ]' || true

quit_app || true
finish
