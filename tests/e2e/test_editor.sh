#!/usr/bin/env bash
# The anniversaries editor, driven with the real pointer and keyboard: OK rewrites the item file with
# full-width commas made ASCII and the widget shows the new rows; Esc changes nothing; a file that
# cannot be written or lines whose dates or options cannot be read keep the dialog open with the text
# as typed;
# UTF-8 files and bare line feeds come back byte for byte; a file the editor cannot hold whole is
# not opened at all.
source "$(dirname "$0")/lib.sh"

ITEMS=$(items_file)
EXPECTED=$APP_DIR/expected.bin
BEFORE=$APP_DIR/before.bin

# The lines a question lists: after its first line and the empty line, up to the next empty line.
listed_lines() { awk 'NR > 2 { if ($0 == "") exit; print }' <<<"$MESSAGE"; }
# The item file holds exactly these bytes (printf format, UTF-8), in GBK or as they are.
file_is_raw() { printf "$1" >"$EXPECTED" && cmp -s "$EXPECTED" "$ITEMS"; }
rows_are() {  # n: the widget is n rows of ROW pixels high, once the new layout is on
  local deadline=$((SECONDS + 5))
  until [ "$(widget_height)" -eq $(($1 * ROW)) ]; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}
clear_box() { click_box; press_keys ctrl+Home shift+ctrl+End Delete; }

# The first name is the longest throughout, so that every layout has the same row height.
printf '结婚纪念日,2020-05-20\r\n生日，2030-01-01\r\n' | write_items_gbk
start_app || { finish; exit 1; }

# OK without a change: the full-width comma between name and date becomes the reader's comma.
info=$(winctl info Tessaly)
open_editor
check "the editor opens with the file's text" [ "$(box_text)" = "$(printf '结婚纪念日,2020-05-20\n生日，2030-01-01')" ]
editor_ok
check "OK closes the editor" editor_closed
check "OK without a change rewrites the file, full-width comma replaced" \
  file_is_gbk "$ITEMS" '结婚纪念日,2020-05-20\r\n生日,2030-01-01\r\n'
widget_changed_from "$info" 5 || fail "the widget was laid out anew (the name lost its date)"
ROW=$(($(widget_height) / 2))
check "the widget shows two rows of equal height ($ROW px)" [ "$ROW" -gt 10 -a "$(widget_height)" -eq $((2 * ROW)) ]

# Esc cancels: typed text is dropped, the file stays byte for byte.
cp "$ITEMS" "$BEFORE"
info=$(winctl info Tessaly)
open_editor
click_box
type_text '改动'
press_keys Escape
check "Esc closes the editor" editor_closed
check "after Esc the file is byte-identical" file_unchanged
sleep 0.5  # time for a layout that must not come
check "after Esc the widget is as it was" [ "$(winctl info Tessaly)" = "$info" ]

# Lines typed with "，": Enter starts a new line; a "，" inside a name splits it, and the date that
# leaves cannot be read, so the question comes first.
open_editor
click_box
press_keys ctrl+End
type_text '新年，2031-01-01'
press_keys Return
type_text '小，明,2020-01-01'
typed=$(printf '结婚纪念日,2020-05-20\n生日,2030-01-01\n新年，2031-01-01\n小，明,2020-01-01')
check "the typed lines are in the box" [ "$(box_text)" = "$typed" ]
editor_ok
check "an unreadable date brings the question" wait_message
check "the question lists the one line with the unreadable date" [ "$(listed_lines)" = "小,明,2020-01-01" ]
answer_message n
check "No closes the question" message_gone
check "after No the editor stays open" editor_open
check "after No the text is intact" [ "$(box_text)" = "$typed" ]
check "after No the file is unchanged" file_is_gbk "$ITEMS" '结婚纪念日,2020-05-20\r\n生日,2030-01-01\r\n'
editor_ok
check "OK again asks again" wait_message
answer_message y
check "Yes saves and closes the editor" editor_closed
check "the file holds the lines with ASCII commas and the typed line break" \
  file_is_gbk "$ITEMS" '结婚纪念日,2020-05-20\r\n生日,2030-01-01\r\n新年,2031-01-01\r\n小,明,2020-01-01'
check "the widget shows four rows" rows_are 4

# A read-only file: the warning names it, the editor stays open with the text, the file stays.
# (Every date readable, so that no question comes first.)
printf '结婚纪念日,2020-05-20\r\n生日,2030-01-01\r\n新年,2031-01-01\r\n小明,2020-01-01' | write_items_gbk
cp "$ITEMS" "$BEFORE"
chmod 444 "$ITEMS"
open_editor
click_box
press_keys ctrl+End Return
type_text '元旦,2032-01-01'
typed=$(box_text)
editor_ok
check "saving a read-only file brings a warning" wait_message
check "the warning names the file" grep -q 'Tessaly_items.txt' <<<"$MESSAGE"
check "the warning says it could not save" grep -q '无法保存纪念日文件' <<<"$MESSAGE"
answer_message Return
check "the warning closes" message_gone
check "the editor stays open" editor_open
check "the text is still in the box" [ "$(box_text)" = "$typed" ]
check "the read-only file is unchanged" file_unchanged
editor_cancel
check "Cancel closes the editor" editor_closed
chmod 644 "$ITEMS"

# A folder where no new file can be made: the same warning, nothing lost.
mkdir "$ITEMS.tessaly.tmp"
open_editor
click_box
press_keys ctrl+End Return
type_text '元旦,2032-01-01'
editor_ok
check "a file that cannot be replaced brings the warning" wait_message
check "that warning says it could not save" grep -q '无法保存纪念日文件' <<<"$MESSAGE"
answer_message Return
check "that warning closes" message_gone
check "the editor stays open after that warning" editor_open
check "and the file is unchanged" file_unchanged
editor_cancel
editor_closed || true
rmdir "$ITEMS.tessaly.tmp"
check "the widget still shows four rows" rows_are 4

# An empty box stores an empty file; the widget has no rows.
open_editor
clear_box
check "the box is empty" [ -z "$(box_text)" ]
editor_ok
check "OK with an empty box closes the editor" editor_closed
check "the file is empty" [ -f "$ITEMS" -a ! -s "$ITEMS" ]
check "the widget has no rows" rows_are 0

# Eight lines typed: all are kept in the file, five are shown.
open_editor
click_box
eight=(结婚纪念日,2020-05-20 一,2021-01-01 二,2022-02-02 三,2023-03-03 四,2024-04-04 五,5月5日 六,6-6 七,2027/7/7)
for i in "${!eight[@]}"; do
  [ "$i" -gt 0 ] && press_keys Return
  type_text "${eight[$i]}"
done
editor_ok
check "eight typed lines are saved" editor_closed
check "all eight lines are in the file" file_is_gbk "$ITEMS" "$(printf '%s\\r\\n' "${eight[@]}" | sed 's/\\r\\n$//')"
check "the widget shows five rows" rows_are 5

# A typo in an option (提醒我 for 提醒): the question names the line before anything is saved.
cp "$ITEMS" "$BEFORE"
open_editor
click_box
press_keys ctrl+End Return
type_text '纪念,2020-01-01,提醒我'
editor_ok
check "an unknown option brings the question" wait_message
check "it lists the line with the unknown option" [ "$(listed_lines)" = "纪念,2020-01-01,提醒我" ]
answer_message n
check "after No the question closes, the editor stays open" eval 'message_gone && editor_open'
check "and nothing was saved" file_unchanged
editor_cancel
check "Cancel closes the editor after the question" editor_closed

# UTF-8 with its byte-order mark and characters GBK does not have: shown as they are, written back
# byte for byte apart from the full-width comma.
printf '\xEF\xBB\xBF结婚纪念日,2020-05-20\r\n한국，2030-01-01\r\n𠀀名,5月1日\r\n' | write_items_raw
open_editor
check "a UTF-8 file is shown without loss" [ "$(box_text)" = "$(printf '结婚纪念日,2020-05-20\n한국，2030-01-01\n𠀀名,5月1日')" ]
editor_ok
check "the UTF-8 file is saved" editor_closed
check "it stays UTF-8 with its byte-order mark, only the comma changed" \
  file_is_raw '\xEF\xBB\xBF结婚纪念日,2020-05-20\r\n한국,2030-01-01\r\n𠀀名,5月1日\r\n'
check "the widget shows its three rows" rows_are 3

# UTF-8 without a byte-order mark, lines ending in bare line feeds: byte-identical after OK.
printf '结婚纪念日,2020-05-20\n生日,2030-01-01\n' | write_items_raw
cp "$ITEMS" "$BEFORE"
open_editor
check "bare line feeds are shown as line breaks" [ "$(box_text)" = "$(printf '结婚纪念日,2020-05-20\n生日,2030-01-01')" ]
editor_ok
editor_closed || true
check "the file comes back byte-identical" file_unchanged
check "the widget shows its two rows" rows_are 2

# A file too large to be held whole is not opened: saving the box would cut it.
awk 'BEGIN { for (i = 0; i < 300000; i++) print "生日,2025-05-20" }' | write_items_gbk
cp "$ITEMS" "$BEFORE"
winctl command Tessaly "$ID_APP_ITEMS" >/dev/null
check "a too large file brings a warning" wait_message
check "the warning says the file is too large" grep -q '纪念日文件太大' <<<"$MESSAGE"
answer_message Return
check "the too-large warning closes" message_gone
check "the editor does not open" editor_never_shown
check "the large file is unchanged" file_unchanged

# A file that exists but cannot be read (here a folder) is not opened either.
rm -f "$ITEMS"
mkdir "$ITEMS"
winctl command Tessaly "$ID_APP_ITEMS" >/dev/null
check "an unreadable file brings a warning" wait_message
check "the warning says it cannot read the file" grep -q '无法读取纪念日文件' <<<"$MESSAGE"
answer_message Return
check "the unreadable-file warning closes" message_gone
check "the editor does not open for it" editor_never_shown

check "the program is still running" app_running
quit_app || true
finish
