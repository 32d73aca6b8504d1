#!/usr/bin/env bash
# Item files in every encoding, as a user meets them: short GBK lists whose bytes are also valid UTF-8
# show as Chinese and stay GBK; Notepad's "Unicode" files (UTF-16 LE and BE with the mark) are shown
# and written back as UTF-16; a file with a zero byte is only edited after a plain word that what
# follows the zero would be lost.
source "$(dirname "$0")/lib.sh"

ITEMS=$(items_file)
EXPECTED=$APP_DIR/expected.bin
BEFORE=$APP_DIR/before.bin

file_is() { printf "$1" | iconv -f UTF-8 -t "$2" >"$EXPECTED" && cmp -s "$EXPECTED" "$ITEMS"; }
rows_are() {  # n: the widget is n rows high (every name is two hanzi, so all rows are equally high)
  local deadline=$((SECONDS + 5))
  until [ "$(widget_height)" -eq $(($1 * ROW)) ]; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

# Words whose GBK bytes are valid UTF-8 (Cyrillic and Latin letters).
words='小小,2020-05-20\r\n谢谢,2030-01-01\r\n毛毛,5月20日\r\n'
printf "$words" | write_items_gbk
cp "$ITEMS" "$BEFORE"
start_app || { finish; exit 1; }
ROW=$(($(widget_height) / 3))
check "the widget shows the GBK list's three rows" [ "$ROW" -gt 10 ]
open_editor
check "the editor shows the GBK words as Chinese" [ "$(box_text)" = "$(printf '小小,2020-05-20\n谢谢,2030-01-01\n毛毛,5月20日')" ]
editor_ok
check "OK closes the editor" editor_closed
check "the GBK file stays GBK, byte for byte" file_unchanged

# UTF-16 with its mark, little- and big-endian: shown, and written back as UTF-16 with the mark.
for form in UTF-16LE UTF-16BE; do
  mark='\xFF\xFE'; [ "$form" = UTF-16BE ] && mark='\xFE\xFF'
  { printf "$mark"; printf '石头,2020-05-20\r\n笑笑，2030-01-01\r\n;한국 ç\r\n' | iconv -f UTF-8 -t "$form"; } | write_items_raw
  open_editor
  check "a $form file is shown as text" [ "$(box_text)" = "$(printf '石头,2020-05-20\n笑笑，2030-01-01\n;한국 ç')" ]
  editor_ok
  check "the $form file is saved" editor_closed
  { printf "$mark"; printf '石头,2020-05-20\r\n笑笑,2030-01-01\r\n;한국 ç\r\n' | iconv -f UTF-8 -t "$form"; } >"$EXPECTED"
  check "it stays $form with its mark, only the comma changed" cmp -s "$EXPECTED" "$ITEMS"
  check "the widget shows the $form file's two rows" rows_are 2
done

# A zero byte: the box cannot hold what follows it, and the user is told so before anything is lost.
{ printf '\xFF\xFE'; printf '一,2020-05-20\r\n二\0,2030-01-01\r\n三,2031-01-01\r\n' | iconv -f UTF-8 -t UTF-16LE; } | write_items_raw
cp "$ITEMS" "$BEFORE"
winctl command Tessaly "$ID_APP_ITEMS" >/dev/null
check "a file with a zero brings a question" wait_message
check "the question says what follows the zero would be lost" grep -q '其后的所有内容都会丢失' <<<"$MESSAGE"
answer_message n
check "No closes the question" message_gone
check "after No the editor does not open" editor_never_shown
check "after No the file is unchanged" file_unchanged

check "the program is still running" app_running
quit_app || true
finish
