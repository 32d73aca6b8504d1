#!/usr/bin/env bash
# The look as a user sets it: the classic rows by default; "外观" 浅色 and "不透明度" 50 chosen in the
# options dialog, stored as theme=light and opacity=50, and read back from the screen's pixels over
# the black desktop (the rows at half alpha, the texts above them more opaque), also after a
# restart; "跟随系统" and Windows' text size followed at a setting change, without a restart; a 岁
# line whose row, tooltip and --list carry its label; the item form's check boxes that write it.
source "$(dirname "$0")/lib.sh"
use_prefix_copy  # the app mode and the text size are set in the registry

# A birthday three days ahead, sixty years back: "·60岁" until that day, on the day too.
birthday=$(date -d '+3 days' +%F)
born="$(($(date -d '+3 days' +%Y) - 60))${birthday:4}"
write_items_gbk <<ITEMS
妈妈生日,$born,每年,岁
考试,2030-06-07
ITEMS

cp "$EXE" "$APP_DIR/Tessaly.exe"
list_out() { (cd "$APP_DIR" && "$WINE" Tessaly.exe --list 2>/dev/null | tr -d '\r'); }
OUT=$(list_out)
check "--list keeps the name in column 1 and gives the label in column 10 ($(head -1 <<<"$OUT" | cut -f1,10))" \
  [ "$(head -1 <<<"$OUT" | cut -f1,2,3,9,10)" = "妈妈生日	upcoming	3		60岁" ]
check "a line without the option has no tenth column" [ "$(tail -1 <<<"$OUT" | awk -F '\t' '{print NF}')" = 8 ]

start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
row_height=$(((bottom - top) / 2))
width=$((right - left)) height=$((bottom - top))

# Over the black desktop the screen shows each pixel's colour times its alpha.
shown() { echo $(($1 * $2 / 255)); }  # channel alpha
grey() { printf '%02X%02X%02X' "$1" "$1" "$1"; }
rows_count() { count_colour "$left" "$top" "$width" "$height" "$1" "$2"; }
check "by default the rows are the classic grey at alpha 253" [ "$(rows_count "$(grey "$(shown 0x26 253)")" 1)" -gt 100 ]

tip_has() { [[ "$(winctl tooltip Tessaly)" == *"$1"* ]]; }
hover_row 0
check "the row's tooltip says the years ahead" wait_for 10 tip_has "还有 3 天满 60 岁"
park_pointer

# 浅色 and 50 % through the dialog, with the keyboard as a user does.
open_options
click_control 选项 "$IDC_THEME"
press_keys Home Down Down Return
click_control 选项 "$IDC_OPACITY"
press_keys End shift+Home BackSpace
type_text 50
press_keys Return
check "the dialog takes them" options_closed
check "theme=light is stored" [ "$(ini_value theme)" = light ]
check "opacity=50 is stored" [ "$(ini_value opacity)" = 50 ]

# 50 % is alpha 128 for the rows; the texts are halfway up to 253, 191.
even=$(grey "$(shown 0xFA 128)") odd=$(grey "$(shown 0xEB 128)") names=$(grey "$(shown 0x1A 191)")
light_rows() { [ "$(rows_count "$even" 3)" -gt 100 ] && [ "$(rows_count "$odd" 3)" -gt 100 ]; }
check "the rows are light at half alpha ($even, $odd)" wait_for 10 light_rows
check "no classic row is left" [ "$(rows_count "$(grey "$(shown 0x26 253)")" 1)" -eq 0 ]
check "no row is opaque" [ "$(rows_count FAFAFA 3)" -eq 0 ]
check "the names are dark and more opaque than the rows ($names)" [ "$(rows_count "$names" 3)" -gt 20 ]

check "the widget quits" quit_app
start_app || { finish; exit 1; }
check "after a restart the settings file's look is the one drawn" wait_for 10 light_rows

# The options dialog shows them again.
open_options
check "the dialog shows 50" [ "$(winctl text 选项 "$IDC_OPACITY")" = 50 ]
options_cancel
check "Cancel closes the dialog" options_closed

# The item form's two check boxes write 岁 or 周年, one of them at a time.
form=添加纪念日
click_check() { click_control "$form" "$1" 6 "$(($(control_rect "$form" "$1" | awk '{print int(($4 - $2) / 2)}')))"; }
has_keyboard() { [ "$(xdotool getwindowname "$(xdotool getwindowfocus 2>/dev/null)" 2>/dev/null)" = "$form" ]; }
winctl command Tessaly "$ID_APP_ADD" >/dev/null
check "the item form opens with the keyboard in its name box" wait_for 10 has_keyboard
press_keys M e e t Tab
type_text 2016-05-20
click_check "$IDC_ITEM_AGE"
check "显示岁数 is checked" wait_for 5 eval '[ "$(winctl checked "$form" "$IDC_ITEM_AGE")" = 1 ]'
click_check "$IDC_ITEM_ANNIVERSARY"
check "checking 显示周年 takes 显示岁数 off" wait_for 5 eval '[ "$(winctl checked "$form" "$IDC_ITEM_AGE")" = 0 ]'
click_control "$form" "$IDOK"
check "the form closes" dialog_gone "$form" 10
check "the line is written with 周年" grep -qx 'Meet,2016-05-20,周年' <(iconv -f CP936 -t UTF-8 "$(items_file)" | tr -d '\r')

# 跟随系统: dark while Windows' apps are dark, light once they are light and Windows says a setting
# changed (WM_SETTINGCHANGE, "ImmersiveColorSet" on Windows).
check "the widget quits again" quit_app
personalize='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
"$WINE" reg add "$personalize" /v AppsUseLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1
printf '[Tessaly]\r\ntheme=system\r\n' >"$(ini_file)"
start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
width=$((right - left)) height=$((bottom - top))
check "跟随系统 with dark apps draws the dark rows" [ "$(rows_count "$(grey "$(shown 0x1C 253)")" 1)" -gt 100 ]
setting_changed() { winctl send Tessaly 26 0 0 >/dev/null; }  # WM_SETTINGCHANGE (sent: it cannot be posted)
"$WINE" reg add "$personalize" /v AppsUseLightTheme /t REG_DWORD /d 1 /f >/dev/null 2>&1
setting_changed
check "light apps: the rows turn light at once" \
  wait_for 10 eval '[ "$(rows_count "$(grey "$(shown 0xFA 253)")" 1)" -gt 100 ]'

# "Make text bigger": 150 % makes the rows half as tall again (its range is the native tests').
accessibility='HKCU\Software\Microsoft\Accessibility'
"$WINE" reg add "$accessibility" /v TextScaleFactor /t REG_DWORD /d 150 /f >/dev/null 2>&1
setting_changed
taller() { [ "$(widget_height)" -ge $((height * 3 / 2 - 4)) ]; }
check "at 150 % text size the widget grows to about 1.5 times ($height to $(widget_height))" wait_for 10 taller

finish
