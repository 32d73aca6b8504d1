#!/usr/bin/env bash
# The widget window with the real pointer and keys: dragging it, clicking it without a move, the keys
# that would close an ordinary dialog, the About box, a layout after a drag (options dialog OK), and
# quitting while hidden, which stores the last place.
source "$(dirname "$0")/lib.sh"

printf '生日,2020-05-20\n新年,2030-01-01\n' | write_items_gbk
start_app || { finish; exit 1; }
read -r left top right bottom < <(rect)

# --- dragging ---
read -r wx wy < <(widget_point)
click_point "$wx" "$wy" 1
sleep 0.5  # time for a move that must not happen
check "a press and release without a move leaves the widget in place" [ "$(rect)" = "$left $top $right $bottom" ]

drag_by "$wx" "$wy" -230 140
expected="$((left - 230)) $((top + 140)) $((right - 230)) $((bottom + 140))"
check "a drag moves the widget by the pointer's offset (-230, 140)" [ "$(rect)" = "$expected" ]
read -r wx wy < <(widget_point)
drag_by "$wx" "$wy" 57 -33
expected="$((left - 173)) $((top + 107)) $((right - 173)) $((bottom + 107))"
check "a second drag adds its offset (57, -33)" [ "$(rect)" = "$expected" ]
read -r left top right bottom < <(rect)

# --- keys that would end an ordinary dialog ---
read -r wx wy < <(widget_point)
click_point "$wx" "$wy" 1  # a click gives the widget the keyboard
check "the widget is the foreground window" wait_for 5 eval '[ "$(winctl foreground)" = Tessaly ]'
for key in Return Escape alt+F4 F10 alt+space; do
  press_keys "$key"
  sleep 0.7  # time for a close, hide or menu that must not come
  check "$key leaves the program running with its widget shown" eval 'app_running && widget_shown && menu_closed'
done
check "the keys moved nothing" [ "$(rect)" = "$left $top $right $bottom" ]

# --- About, from the widget's menu ---
click_point "$wx" "$wy" 3
wait_menu
click_menu_entry "关于"
ABOUT="关于 Tessaly"
check "关于 opens the About box" eval 'winctl wait "$ABOUT" 10 >/dev/null'
about=$(winctl text "$ABOUT" "$IDC_ABOUT_TEXT")
check "it names the program and its version, the CMake project's" \
  eval '[ "$(head -1 <<<"$about")" = "Tessaly ${TESSALY_VERSION:?}" ]'
app_dir_wine="Z:${APP_DIR//\//\\}"
check "it gives the item file's full path" eval '[[ "$about" == *"$app_dir_wine\\Tessaly_items.txt"* ]]'
check "it gives the settings file's full path" eval '[[ "$about" == *"$app_dir_wine\\Tessaly.ini"* ]]'
check "it says what a line of the item file holds" eval '[[ "$about" == *"名称"*"逗号"*"日期"* ]]'
check "it shows the lunar forms" eval '[[ "$about" == *"农历1990年八月十五"*"农历八月十五"* ]]'
press_keys Escape
check "Esc closes the About box: it has the keyboard once shown" winctl gone "$ABOUT" 5
check "and the widget stays" eval 'app_running && widget_shown'

winctl command Tessaly "$ID_APP_ABOUT" >/dev/null
winctl wait "$ABOUT" 10 >/dev/null
click_control "$ABOUT" "$IDOK"
check "its OK button closes it" winctl gone "$ABOUT" 5

# Over a widget in the screen's corner the About box stays on the screen.
read -r wx wy < <(widget_point)
drag_by "$wx" "$wy" $((4 - left)) $((4 - top))
read -r left top right bottom < <(rect)
check "the widget was dragged to the corner ($left, $top)" [ "$left" -lt 10 -a "$top" -lt 10 ]
winctl command Tessaly "$ID_APP_ABOUT" >/dev/null
winctl wait "$ABOUT" 10 >/dev/null
read -r l t r b < <(rect "$ABOUT")
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
check "the About box over it lies on the screen ($l $t $r $b)" [ "$l" -ge 0 -a "$t" -ge 0 -a "$r" -le "$screen_w" -a "$b" -le "$screen_h" ]
press_keys Escape
winctl gone "$ABOUT" 5 || fail "the About box closed"

# --- a layout after the drag keeps the dragged place ---
read -r wx wy < <(widget_point)
click_point "$wx" "$wy" 3
wait_menu
click_menu_entry "选项"
if winctl wait "选项" 10 >/dev/null; then
  click_into 选项 "$IDC_FONT_SIZE"
  press_keys End BackSpace BackSpace BackSpace
  type_text 30
  press_keys Return
  check "OK closes the options dialog" winctl gone "选项" 5
  wait_for 5 eval '[ "$(rect | awk "{print \$3 - \$1}")" -gt $((right - left)) ]' || true
  read -r nl nt nr nb < <(rect)
  check "the new font size laid the widget out anew (width $((right - left)) -> $((nr - nl)))" \
    [ $((nr - nl)) -gt $((right - left)) ]
  check "the layout left the widget where it was dragged ($left, $top)" [ "$nl $nt" = "$left $top" ]
  right=$nr bottom=$nb
else
  fail "选项 opens the options dialog"
fi

# --- hidden, then 退出: the place is stored ---
read -r wx wy < <(widget_point)
drag_by "$wx" "$wy" 40 25
left=$((left + 40)) top=$((top + 25))
check "dragged once more to ($left, $top)" [ "$(rect | cut -d' ' -f1,2)" = "$left $top" ]
winctl command Tessaly "$ID_APP_HIDE" >/dev/null
check "hidden to the tray" wait_for 10 widget_hidden
check "退出 ends the program" quit_from_tray_menu
check "posleft holds the last left edge ($left)" [ "$(ini_value posleft)" = "$left" ]
check "postop holds the last top edge ($top)" [ "$(ini_value postop)" = "$top" ]
check "fsize holds the size chosen in the options dialog" [ "$(ini_value fsize)" = 30 ]

# --- the next start opens at the stored place ---
start_app || { finish; exit 1; }
read -r _ nl nt _ <<<"$WIDGET"
check "the next start opens where the widget was left ($left, $top)" [ "$nl $nt" = "$left $top" ]
quit_app
finish
