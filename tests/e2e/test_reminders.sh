#!/usr/bin/env bash
# Reminders and start with Windows, as a user meets them: a line due today and one due in three days
# come as one balloon from the tray icon at start (its text read back), recorded in the settings file
# and not shown again after a restart; a click on the balloon brings the hidden widget back for good
# (the next minute tick leaves it shown), in the layer the settings chose (普通: not topmost). The
# options dialog's "开机时自动启动" writes and removes the current user's Run value (read with
# `reg query`), a value disabled in Task Manager shows the box unchecked with its note, a value left
# by a moved program is rewritten at start, and "--autostart on|off" does the same without a window.
# A settings file that cannot be written: the reminders come all the same, and the balloon says so.
source "$(dirname "$0")/lib.sh"
use_prefix_copy  # the test writes the user's Run key

RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
APPROVED_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
# Lines "name type data" of this program's Run value ("Tessaly " and 16 hex digits), none when absent.
run_value() { "$WINE" reg query "$RUN_KEY" 2>/dev/null | tr -d '\r' | grep -E '^ *Tessaly [0-9a-f]{16} ' || true; }
run_value_name() { run_value | grep -oE 'Tessaly [0-9a-f]{16}'; }
run_value_data() { run_value | sed 's/.*REG_SZ *//'; }
no_run_value() { [ -z "$(run_value)" ]; }
has_run_value() { [ -n "$(run_value)" ]; }

click_autostart() { click_option "$IDC_AUTOSTART"; sleep 0.3; }  # before the next click, not a check

today_md=$(date +%-m月%-d日)
in3=$(date -d '+3 days' +%Y-%m-%d)
printf '妈妈生日,%s,提醒\r\n结婚纪念日,%s,提前3天\r\n旅行,2030-01-01\r\n' "$today_md" "$in3" | write_items_gbk
printf '[Tessaly]\r\nremindat=00:00\r\nlayer=normal\r\n' > "$(ini_file)"

# --- the balloon at start, recorded at once ---
start_app || { finish; exit 1; }
note=$(winctl balloon 30) || note=
echo "   balloon: $(tr '\n' '|' <<<"$note")"
check "a balloon names the reminder due today" grep -q '妈妈生日' <<<"$note"
check "the same balloon names the one due in three days, with its days left" \
  grep -q '结婚纪念日.*还有 3 天' <<<"$note"
check "the line without reminders is not in it" eval '! grep -q 旅行 <<<"$note"'
check "what was shown is in the settings file's own section" grep -q '^\[Reminders\]' "$(ini_file)"
shown=$(sed -n 's/^shown=//p' "$(ini_file)" | tr -d '\r')
check "two keys are recorded ($shown)" [ "$(wc -w <<<"$shown")" -ge 2 ]
check "with today's list, for the tray tip after a restart" \
  grep -q "^today=$(date +%Y%m%d) [0-9]" <(tr -d '\r' <"$(ini_file)")

# A click on the balloon shows the hidden widget and brings it forward. Wine's tray shows the balloon
# but does not pass a click on it on, so the shell's notice of the click (NIN_BALLOONUSERCLICK to the
# icon's callback message, WM_USER + 100) is posted as Windows sends it.
check "the balloon is still on screen" winctl balloon-rect
winctl command Tessaly "$ID_APP_HIDE" >/dev/null
wait_for 5 widget_hidden || fail "the widget hid"
winctl post Tessaly "$WM_TRAY_NOTIFY" "$TRAY_ICON_ID" "$NIN_BALLOONUSERCLICK" >/dev/null
check "a click on the reminder balloon shows the widget" wait_for 10 widget_shown
WS_EX_TOPMOST=8
check "in the chosen layer (普通: not topmost)" [ $(($(widget_field 6) & WS_EX_TOPMOST)) -eq 0 ]
winctl send Tessaly "$WM_TIMER" 1 0 >/dev/null  # the minute tick, handled when send returns
check "for good: the next minute tick leaves it shown" widget_shown
# Once the balloon is gone (timed out), a stray click notice does nothing.
winctl command Tessaly "$ID_APP_HIDE" >/dev/null
wait_for 5 widget_hidden || fail "the widget hid"
winctl post Tessaly "$WM_TRAY_NOTIFY" "$TRAY_ICON_ID" "$NIN_BALLOONTIMEOUT" >/dev/null
winctl post Tessaly "$WM_TRAY_NOTIFY" "$TRAY_ICON_ID" "$NIN_BALLOONUSERCLICK" >/dev/null
sleep 1  # time for a show that must not come
check "a click after the balloon went does not" widget_hidden
quit_app || fail "the program quit"

# --- not shown again after a restart ---
start_app || { finish; exit 1; }
check "after a restart the same reminders do not come again" eval '! winctl balloon 8 >/dev/null'
check "the settings file still holds what was shown" [ "$(sed -n 's/^shown=//p' "$(ini_file)" | tr -d '\r')" = "$shown" ]

# --- start with Windows through the options dialog ---
check "no Run value to begin with" no_run_value
open_options
check "the box is unchecked" [ "$(winctl checked 选项 "$IDC_AUTOSTART")" = 0 ]
click_autostart
check "a click checks it" [ "$(winctl checked 选项 "$IDC_AUTOSTART")" = 1 ]
options_ok
check "OK closes the dialog" options_closed
check "the Run value appears" wait_for 5 has_run_value
name=$(run_value_name)
check "it holds the quoted full path of this exe ($(run_value_data))" \
  grep -qiE '^"[A-Z]:\\.*\\Tessaly\.exe"$' <<<"$(run_value_data)"

# Disabled in Task Manager: the box shows unchecked, with the note; OK leaves both values alone.
"$WINE" reg add "$APPROVED_KEY" /v "$name" /t REG_BINARY /d 030000000000000000000000 /f >/dev/null 2>&1
open_options
check "disabled in Task Manager: the box is unchecked" [ "$(winctl checked 选项 "$IDC_AUTOSTART")" = 0 ]
check "and says 已在任务管理器中禁用" [ "$(winctl text 选项 "$IDC_AUTOSTART_NOTE")" = "已在任务管理器中禁用" ]
options_ok
options_closed
check "the Run value stays for Task Manager to switch back on" has_run_value
"$WINE" reg delete "$APPROVED_KEY" /v "$name" /f >/dev/null 2>&1

open_options
check "enabled again: the box is checked" [ "$(winctl checked 选项 "$IDC_AUTOSTART")" = 1 ]
click_autostart
options_ok
options_closed
check "unchecking removes the Run value" wait_for 5 no_run_value
quit_app || fail "the program quit"

# --- the installer's command line, and a stale value after a move ---
cd "$APP_DIR"
"$WINE" Tessaly.exe --autostart on >/dev/null 2>&1 && on=0 || on=$?
check "--autostart on exits 0" [ "$on" = 0 ]
check "--autostart on writes the same value" [ "$(run_value_name)" = "$name" ]
"$WINE" Tessaly.exe --autostart maybe >/dev/null 2>&1 && bad=0 || bad=$?
check "--autostart with another word exits 1" [ "$bad" = 1 ]
"$WINE" reg add "$RUN_KEY" /v "$name" /t REG_SZ /d '"C:\Old place\Tessaly.exe"' /f >/dev/null 2>&1
start_app || { finish; exit 1; }
check "a value naming an old place is rewritten at start" \
  wait_for 15 eval '[ "$(run_value_data)" != "\"C:\\Old place\\Tessaly.exe\"" ] && has_run_value'
quit_app || fail "the program quit"
"$WINE" Tessaly.exe --autostart off >/dev/null 2>&1 && off=0 || off=$?
check "--autostart off exits 0" [ "$off" = 0 ]
check "--autostart off removes the value" no_run_value

# --- a settings file that cannot be written: the reminders still come, and the balloon says so ---
# Without a settings file the reminder time is 09:00: the program runs in a zone of its own (TZ, for
# it alone) where it is past noon on the same date as here, whatever the hour the test runs at.
hour=$((10#$(date +%H)))
east=$((hour < 12 ? 12 - hour : 0))
rm -f "$(ini_file)"
mkdir "$(ini_file)"
start_app_env TZ="$(printf 'TSL-%02d' "$east")" || { finish; exit 1; }
unstored_note() { winctl balloon 2 | grep -q '无法写入设置文件'; }
check "the reminders come all the same, the balloon telling the log could not be kept" wait_for 30 unstored_note
note=$(winctl balloon 5) || note=
check "with the reminders in it" grep -q '妈妈生日' <<<"$note"
quit_app || fail "the program quit"
finish
