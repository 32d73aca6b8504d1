#!/usr/bin/env bash
# The item dialog, with the real keyboard and pointer: a lunar anniversary with a reminder added from
# the widget's menu by keys alone (the other lines keep their bytes), a row's line opened and closed
# unchanged (not rewritten), a line changed from the editor's "编辑此行..." as one undoable change, and
# a festival chosen from the 节日 list by keys.
source "$(dirname "$0")/lib.sh"

ITEMS=$(items_file)
EXPECTED=$APP_DIR/expected.bin
BEFORE=$APP_DIR/before.bin
ADD=添加纪念日
EDIT=编辑纪念日

form_text() { winctl text "$1" "$2"; }  # title control-id
preview_has() { form_text "$1" "$IDC_ITEM_PREVIEW" | grep -q "$2"; }
stamp() { stat -c '%i %Y' "$ITEMS"; }
# The window manager has given the dialog with the title the keyboard (keys typed before are lost).
has_keyboard() { [ "$(xdotool getwindowname "$(xdotool getwindowfocus 2>/dev/null)" 2>/dev/null)" = "$1" ]; }
# Clicks a check box of a dialog on its box, at its left end.
click_check() { click_control "$1" "$2" 6 "$(($(control_rect "$1" "$2" | awk '{print int(($4 - $2) / 2)}')))"; }

# A comment and a name with a full-width comma: the dialog's save must leave them as they are.
printf '; 我的纪念日，一行一个\r\n\r\n结婚纪念日,2020-05-20\r\n生日，2030-01-01\r\n' | write_items_gbk
start_app || { finish; exit 1; }

# --- added from the widget's menu, by keys alone ---
info=$(winctl info Tessaly)
two_rows=$(widget_height)
read -r wx wy < <(widget_point)
click_point "$wx" "$wy" 3
wait_menu || fail "the widget's menu opened"
press_keys Down Down Return
check "Down Down Enter on the menu opens $ADD" dialog_shown "$ADD" 10
wait_for 5 has_keyboard "$ADD" || fail "the dialog got the keyboard"
type_text '外婆生日'
# Tab past the date, 选择... and 节日 to the lunar helper: 不记年份, 腊月 (the twelfth month), 初八.
press_keys Tab Tab Tab Tab Down Tab $(printf "Down %.0s" {1..12}) Tab $(printf "Down %.0s" {1..8})
check "the lunar helper writes the date" wait_for 5 eval '[ "$(form_text "$ADD" "$IDC_ITEM_DATE")" = 农历腊月初八 ]'
check "the preview reads it" wait_for 5 preview_has "$ADD" '· 农历腊月初八'
check "a date without a year repeats yearly" [ "$(form_text "$ADD" "$IDC_ITEM_REPEAT")" = 每年 ]
# Repeat, then (the 每 N 天 box is off) 提醒 with Space and 提前 3 天; Enter is OK.
press_keys Tab Tab space Tab 3 Return
check "Enter closes the dialog" dialog_gone "$ADD" 10
check "the line is appended, every other byte kept" \
  file_is_gbk "$ITEMS" '; 我的纪念日，一行一个\r\n\r\n结婚纪念日,2020-05-20\r\n生日，2030-01-01\r\n外婆生日,农历腊月初八,提醒,提前3天\r\n'
widget_changed_from "$info" 10 || fail "the widget was laid out anew"
check "the widget shows the new row" [ "$(widget_height)" -eq $((two_rows / 2 * 3)) ]

# --- a row's line opened and closed without a change: not written ---
cp "$ITEMS" "$BEFORE"
before=$(stamp)
click_point "$wx" "$wy" 3
wait_menu || fail "the widget's menu opened again"
check "the row's entry ends the menu" [ "$(menu_texts | awk -F'|' '{print $(NF-1) "|" $NF}')" = '-|编辑“结婚纪念日”...' ]
click_menu_entry '编辑“结婚纪念日”...'
check "the row's entry opens $EDIT" dialog_shown "$EDIT" 10
check "with the row's name" [ "$(form_text "$EDIT" "$IDC_ITEM_NAME")" = 结婚纪念日 ]
check "and its date" [ "$(form_text "$EDIT" "$IDC_ITEM_DATE")" = 2020-05-20 ]
check "a dated line does not repeat" [ "$(form_text "$EDIT" "$IDC_ITEM_REPEAT")" = 不重复 ]
press_keys Return
check "Enter closes it" dialog_gone "$EDIT" 10
check "the file is byte-identical" file_unchanged
check "and was not written at all" [ "$(stamp)" = "$before" ]

# --- a line changed from the editor: one undoable change in the box, saved by the editor's OK ---
open_editor || fail "the editor opened"
click_box
press_keys ctrl+Home Down Down
click_control 纪念日 "$IDC_ITEMS_EDIT"
check "编辑此行... opens $EDIT on the caret's line" dialog_shown "$EDIT" 10
check "the caret's line is in the form" [ "$(form_text "$EDIT" "$IDC_ITEM_NAME")" = 结婚纪念日 ]
click_check "$EDIT" "$IDC_ITEM_PIN"
click_control "$EDIT" "$IDOK"
check "OK closes the form" dialog_gone "$EDIT" 10
changed=$(printf '; 我的纪念日，一行一个\n\n结婚纪念日,2020-05-20,置顶\n生日，2030-01-01\n外婆生日,农历腊月初八,提醒,提前3天')
check "the box holds the changed line" [ "$(box_text)" = "$changed" ]
click_box
press_keys ctrl+z
check "one undo takes the change back" wait_for 5 eval '[ "$(box_text)" = "$(printf "; 我的纪念日，一行一个\n\n结婚纪念日,2020-05-20\n生日，2030-01-01\n外婆生日,农历腊月初八,提醒,提前3天")" ]'
press_keys ctrl+z
check "and a second one brings it back" wait_for 5 eval '[ "$(box_text)" = "$changed" ]'
check "the file waits for the editor's OK" file_unchanged
editor_ok
check "the editor's OK saves" editor_closed
check "the file holds the line, written by the editor (its commas made ASCII)" \
  file_is_gbk "$ITEMS" '; 我的纪念日,一行一个\r\n\r\n结婚纪念日,2020-05-20,置顶\r\n生日,2030-01-01\r\n外婆生日,农历腊月初八,提醒,提前3天\r\n'

# --- a festival chosen from the 节日 list by keys: each step fills the name the step before filled ---
click_point "$wx" "$wy" 3
wait_menu || fail "the widget's menu opened for a festival"
press_keys Down Down Return
check "the menu opens $ADD again" dialog_shown "$ADD" 10
wait_for 5 has_keyboard "$ADD" || fail "the dialog got the keyboard again"
# 春节, 元宵节, 清明, 端午节, 七夕, 中元节, 中秋节.
press_keys Tab Tab Tab $(printf "Down %.0s" {1..7})
check "the festival fills the name" wait_for 5 eval '[ "$(form_text "$ADD" "$IDC_ITEM_NAME")" = 中秋节 ]'
check "and the date" [ "$(form_text "$ADD" "$IDC_ITEM_DATE")" = 农历八月十五 ]
check "the preview reads it" wait_for 5 preview_has "$ADD" '· 农历八月十五'
press_keys Return
check "Enter stores the festival" dialog_gone "$ADD" 10
check "as an ordinary line, every other byte kept" \
  file_is_gbk "$ITEMS" '; 我的纪念日,一行一个\r\n\r\n结婚纪念日,2020-05-20,置顶\r\n生日,2030-01-01\r\n外婆生日,农历腊月初八,提醒,提前3天\r\n中秋节,农历八月十五\r\n'

quit_app || fail "the program quit"
finish
