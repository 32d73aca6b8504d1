#!/usr/bin/env bash
# The widget's desktop manners, walked as a user would: a locked widget stays where it is when
# dragged; the list changed by another program shows its new rows (not while the editor is open);
# 普通 and 鼠标穿透 chosen in the options dialog take the widget out of the topmost band and let clicks
# through to the window below, saying once how to get back; 在桌面上 puts it under that window; a borderless window over the whole
# screen hides the widget and it comes back after. Wine tells no foreground changes to event hooks,
# so here the full-screen look comes at the minute tick, the fallback; the test gives the widget that
# tick itself (the minute timer's own ticking is walked by the day-change test).
source "$(dirname "$0")/lib.sh"

WS_EX_TOPMOST=$((0x8))
WS_EX_TRANSPARENT=$((0x20))
exstyle() { echo $(($(widget_field 6))); }
rows_high() { [ "$(widget_height)" -eq $(($1 * row_height)) ]; }

printf '[Tessaly]\r\nlock=1\r\nposleft=950\r\npostop=550\r\n' > "$(ini_file)"
printf '生日,2020-05-20\r\n新年,2030-01-01\r\n' | write_items_gbk
start_app || { finish; exit 1; }
read -r left top right bottom < <(rect)
row_height=$(((bottom - top) / 2))

# --- locked: a drag does not move it ---
drag_by $(((left + right) / 2)) $((top + row_height / 2)) -150 -120
check "a locked widget stays where it is when dragged" [ "$(rect)" = "$left $top $right $bottom" ]
check "it is above every window by default" [ $(($(exstyle) & WS_EX_TOPMOST)) -ne 0 ]

# --- the list changed by another program ---
printf '生日,2020-05-20\r\n新年,2030-01-01\r\n春游,2031-04-01\r\n' | write_items_gbk
check "a list written by another program shows its new row" wait_for 15 rows_high 3
check "in the same place" [ "$(rect | cut -d' ' -f1-2)" = "$left $top" ]
printf 'x,2031-04-01\r\n' > "$APP_DIR/Tessaly_items (conflict copy).txt"
open_editor || fail "the editor opened"
printf '生日,2020-05-20\r\n' | write_items_gbk
sleep 2  # more than the quiet time after a change
check "while the editor is open the list is not read again" rows_high 3
editor_cancel
check "once it closes without saving, the changed list is read" wait_for 15 rows_high 1

# --- 普通 and 鼠标穿透 from the options dialog ---
open_options || fail "the options dialog opened"
click_option "$IDC_LAYER_NORMAL"  # 普通
click_option "$IDC_CLICK_THROUGH"  # 鼠标穿透, offered because the place is locked
press_keys Return
check "the options dialog closes" dialog_gone 选项 5
check "turning click-through on says how to get back, in a balloon" \
  eval 'winctl balloon 15 | grep -q "托盘图标"'
check "the choices are stored" [ "$(ini_value layer) $(ini_value lock) $(ini_value clickthrough)" = "normal 1 1" ]
check "the note is remembered as given" [ "$(ini_value clickthroughtold)" = 1 ]
check "普通 takes it out of the topmost band" [ $(($(exstyle) & WS_EX_TOPMOST)) -eq 0 ]
check "鼠标穿透 makes it transparent to the mouse" [ $(($(exstyle) & WS_EX_TRANSPARENT)) -ne 0 ]
# A window of another program under the widget: the widget is moved over it by its stored place.
"$WINE" "$WINCTL" window below 100 clicks >/dev/null 2>&1 &
OTHER_PIDS+=($!)
wait_for 15 eval '[ "$(winctl foreground)" = below ]' || fail "the window below came to the front"
winctl command Tessaly "$ID_APP_OPTIONS" >/dev/null && dialog_shown 选项 10 && click_option "$IDC_LAYER_TOP" && press_keys Return  # 总在最前
dialog_gone 选项 5 || fail "the options dialog closed"
read -r bl bt br bb < <(winctl info below | awk '{print $2, $3, $4, $5}')
inside=0
[ "$left" -gt "$bl" ] && [ "$top" -gt "$bt" ] && [ "$left" -lt "$br" ] && [ "$top" -lt "$bb" ] && inside=1
check "the widget lies over the window below" [ "$inside" = 1 ]
xdotool mousemove $((left + 20)) $((top + row_height / 2)) sleep 0.2 click 3
check "a right click goes through to the window below" wait_for 10 eval 'winctl list "below clicked" >/dev/null'
check "and opens no menu on the widget" eval '! winctl menu >/dev/null'
park_pointer

# --- 在桌面上: below every window ---
covered() { [ "$(pixel $((left + 20)) $((top + row_height / 2)))" = "$(pixel $((br - 20)) $((bb - 20)))" ]; }
check "总在最前 shows it over the other program's window" eval '! covered'
open_options || fail "the options dialog opened"
click_option "$IDC_LAYER_NORMAL"
press_keys Right Return  # the next button of the group: 在桌面上
dialog_gone 选项 5 || fail "the options dialog closed"
check "在桌面上 is stored" [ "$(ini_value layer)" = desktop ]
# Wine restacks its X windows only when a window is brought forward: the user clicks the other window.
click_point $((br - 20)) $((bb - 20))
check "在桌面上 keeps it below the other program's window" wait_for 10 covered

# --- full screen ---
"$WINE" "$WINCTL" window "full screen" 200 full >/dev/null 2>&1 &
OTHER_PIDS+=($!)
wait_for 15 eval '[ "$(winctl foreground)" = "full screen" ]' || fail "the full-screen window came to the front"
minute_tick() { winctl send Tessaly "$WM_TIMER" 1 0 >/dev/null; }
check "a full-screen program in front hides the widget" wait_for 15 eval 'minute_tick; widget_hidden'
winctl post "full screen" "$WM_CLOSE" 0 0 >/dev/null  # the program ends
wait_for 15 eval '! winctl info "full screen" >/dev/null 2>&1' || fail "the full-screen program ended"
check "it comes back once the full-screen program has gone" wait_for 15 eval 'minute_tick; widget_shown'

quit_app
finish
