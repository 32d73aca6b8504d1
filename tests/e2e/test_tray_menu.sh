#!/usr/bin/env bash
# The tray icon and the pop-up menus, with the real pointer and keys: the widget's own menu (eight
# entries and, on a row, that row's "编辑“名称”...", on release of the right button), the tray menu
# (seven), dismissing them, hiding to the
# tray and coming back, the icon after a shell restart, and log-off.
# Wine without a desktop taskbar shows tray icons in a small window of its own ("Wine System Tray",
# top left); the icon there is clicked like any other.
source "$(dirname "$0")/lib.sh"

WIDGET_MENU="纪念日...|添加纪念日...|选项|导出日历...|-|隐藏到托盘|关于|退出|-|编辑“生日”..."
TRAY_MENU="纪念日...|添加纪念日...|选项|导出日历...|-|关于|退出"

printf '生日,2020-05-20\n新年,2030-01-01\n' | write_items_gbk
start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
width=$((right - left)) height=$((bottom - top))
rows_on_screen() { [ "$(count_colour "$left" "$top" "$width" "$height" 262626 12)" -gt 100 ]; }
rows_gone() { [ "$(count_colour "$left" "$top" "$width" "$height" 262626 12)" -eq 0 ]; }
no_dialog() { ! winctl info "选项" >/dev/null && ! winctl info "纪念日" >/dev/null && ! winctl info "关于 Tessaly" >/dev/null; }
unchanged_after_dismiss() {  # shown|hidden
  wait_for 5 menu_closed && app_running && no_dialog && "widget_$1"
}

# --- the widget's menu: eight entries and the row's, opened by the release of the right button ---
read -r wx wy < <(widget_point)
xdotool mousemove "$wx" "$wy" sleep 0.15 mousedown 3
sleep 1  # time for a menu that must not open yet
check "no menu while the right button is held" menu_closed
xdotool mouseup 3
check "releasing the right button on the widget opens a menu" wait_menu
check "the widget's menu: $WIDGET_MENU" [ "$(menu_texts)" = "$WIDGET_MENU" ]
menu_ids="$ID_APP_ITEMS $ID_APP_ADD $ID_APP_OPTIONS $ID_APP_EXPORT 0 $ID_APP_HIDE $ID_APP_ABOUT $ID_APP_QUIT 0 $ID_APP_EDIT_ROW "
check "its commands: $menu_ids" [ "$(printf '%s\n' "$MENU" | awk '{printf "%s ", $1}')" = "$menu_ids" ]
press_keys Escape
check "Esc dismisses the widget's menu and nothing happens" unchanged_after_dismiss shown

click_point "$wx" "$wy" 3
wait_menu
click_point 1100 700
check "a click elsewhere dismisses it and nothing happens" unchanged_after_dismiss shown

# --- hide to the tray ---
click_point "$wx" "$wy" 3
wait_menu
click_menu_entry "隐藏到托盘"
check "隐藏到托盘 hides the widget" wait_for 10 widget_hidden
check "its rows leave the screen" wait_for 10 rows_gone
check "the program keeps running while hidden" app_running

# --- the tray menu: seven entries, opened by the press of the right button ---
# A click on Wine's tray window gives that window (of Wine's shell) the keyboard, and Wine does not
# take it back for the menu: here the tray menu gets neither keys nor clicks on the bare desktop. It
# is left by choosing an entry, or by a click on the widget, which takes the keyboard back.
read -r tx ty < <(tray_icon_xy) || fail "the tray icon is shown"
check "pressing the right button on the tray icon opens a menu" press_tray_menu "$tx" "$ty"
xdotool mouseup 3
check "the tray menu: $TRAY_MENU" [ "$(menu_texts)" = "$TRAY_MENU" ]
click_menu_entry "关于"
check "关于 in the tray menu opens the About box" eval 'winctl wait "关于 Tessaly" 10 >/dev/null'
press_keys Escape
check "the About box closes with Esc and the widget stays hidden" \
  eval 'winctl gone "关于 Tessaly" 5 >/dev/null && menu_closed && widget_hidden && app_running'

# --- a left press on the tray icon brings the widget back ---
click_point "$tx" "$ty" 1
check "a left press on the tray icon shows the widget" wait_for 10 widget_shown
check "its rows are back on screen" wait_for 10 rows_on_screen
check "the widget is in front (foreground)" wait_for 5 eval '[ "$(winctl foreground)" = Tessaly ]'
press_tray_menu "$tx" "$ty" || fail "the tray menu opens again"
xdotool mouseup 3
read -r wx wy < <(widget_point)
click_point "$wx" "$wy" 1
check "a click on the widget dismisses the tray menu and nothing happens" unchanged_after_dismiss shown
"$WINE" "$WINCTL" window "another program" 30 >/dev/null 2>&1 &
other=$!
wait_for 10 eval '[ "$(winctl foreground)" = "another program" ]' || fail "another program's window came to the front"
click_point "$tx" "$ty" 1
check "a left press on the tray icon brings the shown widget to the front" \
  wait_for 5 eval '[ "$(winctl foreground)" = Tessaly ]'
kill "$other" 2>/dev/null || true
wait "$other" 2>/dev/null || true

winctl command Tessaly "$ID_APP_HIDE" >/dev/null
wait_for 10 widget_hidden
click_point "$tx" "$ty" 1 2
wait_for 5 widget_shown || true
sleep 1.5  # time for a second toggle that must not hide it again
check "a double-click on the tray icon shows the hidden widget once, and it stays" widget_shown
click_point "$tx" "$ty" 1 2
sleep 1.5  # time for a hide or a menu that must not come
check "a double-click while it is shown leaves it shown, without a menu" \
  eval 'widget_shown && menu_closed && no_dialog'

# --- the shell restarts: the icon is lost, then TaskbarCreated brings it back ---
winctl tray Tessaly delete >/dev/null
check "the shell has lost the icon" wait_for 5 eval '! tray_icon_present'
winctl taskbar-created >/dev/null
check "TaskbarCreated adds the icon again" wait_for 10 tray_icon_present
read -r tx ty < <(tray_icon_xy) || fail "the tray icon is shown again"
check "the icon that came back opens the tray menu" eval 'press_tray_menu "$tx" "$ty" && [ "$(menu_texts)" = "$TRAY_MENU" ]'
xdotool mouseup 3
read -r wx wy < <(widget_point)
click_point "$wx" "$wy" 1
wait_for 5 menu_closed || fail "the tray menu closed"

# The taskbar rebuilt without a restart: the icon is still there; it must still be removed at the end.
winctl taskbar-created >/dev/null
sleep 1  # time for the icon to be lost, which must not happen
check "a second TaskbarCreated leaves one icon" tray_icon_present
read -r _ left top _ <<<"$(winctl info Tessaly)"
winctl post Tessaly "$WM_ENDSESSION" 1 0 >/dev/null  # the session is ending
check "log-off removes the tray icon" wait_for 10 eval '! tray_icon_present'
check "log-off saves the place ($left, $top)" \
  wait_for 5 eval '[ "$(ini_value posleft)" = "$left" ] && [ "$(ini_value postop)" = "$top" ]'

# --- 退出 from the tray menu ends the program ---
winctl taskbar-created >/dev/null
wait_for 10 tray_icon_present
check "退出 in the tray menu ends the program" quit_from_tray_menu
finish
