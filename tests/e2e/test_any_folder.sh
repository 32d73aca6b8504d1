#!/usr/bin/env bash
# Any folder, any name: a program folder named with Korean letters (and ß, ö) keeps its list and its
# settings and shows the paths whole in About; so does a folder deeper than MAX_PATH. A list that
# another program writes with a pause mid-file is shown only once it is whole. An item file
# that is there but cannot be read is named in a balloon from the tray icon, the widget stays empty;
# a settings file that cannot be written is reported by the options dialog and quitting says nothing.
source "$(dirname "$0")/lib.sh"

APP_DIR="$APP_ROOT/한국어 폴더 ßö"
mkdir -p "$APP_DIR"
ITEMS=$(items_file)
EXPECTED=$APP_ROOT/expected.bin

set_size() {  # n: typed into the options dialog, then Enter
  open_options
  click_into 选项 "$IDC_FONT_SIZE"
  press_keys End shift+Home BackSpace
  type_text "$1"
  press_keys Return
}

# --- a folder with Korean letters ---
printf '结婚纪念日,2020-05-20\r\n生日,2030-01-01\r\n' | write_items_gbk
start_app || { finish; exit 1; }
h20=$(widget_height)
check "the list in the Korean folder is read: two rows" [ "$h20" -gt 20 ]
about=$(about_text)
check "About names the item file with the folder's own letters" \
  grep -qF '한국어 폴더 ßö\Tessaly_items.txt' <<<"$about"
check "About names the settings file likewise" grep -qF '한국어 폴더 ßö\Tessaly.ini' <<<"$about"
check "About shows no '?' for them" eval '! grep -q "?" <<<"$about"'
set_size 30
check "the options dialog closes" dialog_gone 选项 5
check "the size is stored in the Korean folder's settings file" wait_for 5 eval '[ "$(ini_value fsize)" = 30 ]'
h30=$(widget_height)
check "the widget grows at size 30" [ "$h30" -gt "$h20" ]
quit_app || fail "the program ended"
check "the place is stored there too" [ -n "$(ini_value posleft)" ]
restart || { finish; exit 1; }
check "the next start keeps size 30 and both rows" [ "$(widget_height)" = "$h30" ]
winctl command Tessaly "$ID_APP_ITEMS" >/dev/null
dialog_shown 纪念日 10 && editor_ok  # OK
dialog_gone 纪念日 5 || fail "the editor closed"
printf '结婚纪念日,2020-05-20\r\n生日,2030-01-01\r\n' | iconv -f UTF-8 -t CP936 >"$EXPECTED"
check "the editor saves the list in the Korean folder" cmp -s "$EXPECTED" "$ITEMS"

# --- a list written by a writer that pauses mid-file (a slow sync, a network drive) ---
row=$((h30 / 2))
printf '结婚纪念日,2020-05-20\r\n生日,2030-01-01\r\n春游,2031-04-01\r\n' | write_items_gbk
check "a list written by another program is read: three rows" wait_for 15 eval '[ "$(widget_height)" = $((3 * row)) ]'
write_slowly() {  # the first line and half the second, a pause longer than the quiet time, the rest
  printf '结婚纪念日,2020-05-20\r\n生日,20' | write_items_gbk
  sleep 2
  printf '30-01-01\r\n春游,2031-04-01\r\n新年,2032-01-01\r\n' | iconv -f UTF-8 -t CP936 >>"$ITEMS"
}
write_slowly &
writer=$!
lowest=$((3 * row))
full_list_shown() {  # notes the lowest height seen on the way
  local h
  h=$(widget_height)
  [ -n "$h" ] && [ "$h" -lt "$lowest" ] && lowest=$h
  ! kill -0 "$writer" 2>/dev/null && [ "$h" = $((4 * row)) ]
}
check "the whole list is shown once written: four rows" wait_for 20 full_list_shown
wait "$writer" || true
check "the half-written list was never shown (lowest height $lowest, three rows $((3 * row)))" [ "$lowest" -ge $((3 * row)) ]
quit_app || true

# --- an item file that is there but cannot be read ---
rm -f "$ITEMS"
mkdir "$ITEMS"
restart || { finish; exit 1; }
note=$(winctl balloon 15) || note=
check "a folder named like the list: a balloon names the file" grep -qF '한국어 폴더 ßö\Tessaly_items.txt' <<<"$note"
check "and says it is a folder" grep -q '文件夹' <<<"$note"
check "no message box stops the user" [ -z "$(message_text)" ]
check "the widget stays empty" [ "$(widget_height)" = 0 ]
quit_app || true
rmdir "$ITEMS"

printf '生日,2020-05-20\r\n' | write_items_gbk
"$WINE" "$WINCTL" lock "$(windows_path "$ITEMS")" 90 >"$APP_ROOT/lock.out" 2>/dev/null &
OTHER_PIDS+=($!)
wait_for 20 grep -qs locked "$APP_ROOT/lock.out" || fail "another program locked the list"
restart || { finish; exit 1; }
note=$(winctl balloon 15) || note=
check "a list locked by another program: the balloon says so" grep -q '占用' <<<"$note"
check "and names the file" grep -qF 'Tessaly_items.txt' <<<"$note"
check "the widget stays empty while it is locked" [ "$(widget_height)" = 0 ]
quit_app || true
kill "${OTHER_PIDS[-1]}" 2>/dev/null || true

# --- a settings file that cannot be written ---
rm -f "$(ini_file)"
mkdir "$(ini_file)"
restart || { finish; exit 1; }
before=$(widget_height)
set_size 40
check "storing the size fails with a message" wait_message
check "it says the size is used but could not be stored" grep -q '无法保存到设置文件' <<<"$MESSAGE"
check "it names the settings file" grep -qF 'Tessaly.ini' <<<"$MESSAGE"
answer_message Return
check "then the options dialog closes" dialog_gone 选项 10
check "and the widget takes the new size" wait_for 5 eval '[ "$(widget_height)" -gt "$before" ]'
winctl command Tessaly "$ID_APP_QUIT" >/dev/null
check "quitting says nothing and ends" app_ended
check "no message was left behind" [ -z "$(message_text)" ]
rmdir "$(ini_file)"

# --- a folder deeper than MAX_PATH ---
APP_DIR="$APP_ROOT/$(printf 'a%.0s' {1..100})/$(printf '깊%.0s' {1..60})/$(printf 'c%.0s' {1..90})"
mkdir -p "$APP_DIR"
ITEMS=$(items_file)
check "the test folder's path is longer than MAX_PATH" [ "$(printf '%s' "$APP_DIR" | iconv -f UTF-8 -t UTF-16LE | wc -c)" -gt 520 ]
printf '生日,2020-05-20\r\n' | write_items_gbk
restart || { finish; exit 1; }
check "the list in the deep folder is read" [ "$(widget_height)" -gt 20 ]
set_size 30
dialog_gone 选项 5 || true
check "the size is stored beside it" wait_for 5 eval '[ "$(ini_value fsize)" = 30 ]'
check "without a message" [ -z "$(message_text)" ]
winctl command Tessaly "$ID_APP_ITEMS" >/dev/null
dialog_shown 纪念日 10 && click_box && press_keys ctrl+End Return && type_text 'deep,2021-01-01'
wait_for 10 eval 'grep -q "deep,2021-01-01" < <(winctl text 纪念日 "$IDC_ITEMS_TEXT")' || fail "a line was typed"
editor_ok  # OK
check "the editor saves the list in the deep folder" \
  eval 'dialog_gone 纪念日 5 && printf "生日,2020-05-20\r\n\r\ndeep,2021-01-01" | iconv -f UTF-8 -t CP936 | cmp -s - "$ITEMS"'
quit_app || true
finish
