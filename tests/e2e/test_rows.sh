#!/usr/bin/env bash
# Up to 20 rows, nearest first, as a user sets them: of 22 lines (one pinned, one hidden) 20 rows in
# the order pinned, today's, upcoming by days left, past by days since (read from the rows' tooltips);
# at size 200 taller than the screen, starting at its top so that the first row can be grabbed;
# "只显示 N 天内" that leaves nothing draws one dim row "近期没有纪念日"; "导出日历..." writes the list
# through the Save dialog as an iCalendar file that an independent parser reads back, as --ics does.
source "$(dirname "$0")/lib.sh"

day() { date -d "$1 days" +%Y-%m-%d; }
tip_day() { date -d "$1 days" +%Y年%-m月%-d日; }  # how a row's tooltip names its day

{
  printf '过去五天,%s\r\n' "$(day -5)"
  printf '隐藏明天,%s,隐藏\r\n' "$(day 1)"
  for n in 9 4 12 7 15 3 11 6 14 8 13 5 10 16; do printf '还有%s天,%s\r\n' "$n" "$(day "$n")"; done
  printf '今天的,%s\r\n' "$(day 0)"
  printf '置顶远行,%s,置顶\r\n' "$(day 400)"
  printf '过去两天,%s\r\n' "$(day -2)"
  printf '还有二天,%s\r\n' "$(day 2)"
  printf '过去九十天,%s\r\n' "$(day -90)"
  printf '过去一年,%s\r\n' "$(day -365)"
} | write_items_gbk
printf '[Tessaly]\r\nfsize=20\r\nrows=20\r\norder=soon\r\n' > "$(ini_file)"

tip_is_day() { winctl tooltip Tessaly | head -1 | grep -q "^$1"; }

# --- 20 of the 21 lines shown, nearest first (at size 20 all of them fit on the screen) ---
start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
height=$((bottom - top)) row_height=$(((bottom - top) / 20))
check "20 rows of the same height ($height px)" [ $((height % 20)) = 0 -a "$row_height" -gt 20 ]
check "About says how many rows are shown" grep -qF '小窗口最多显示 20 个纪念日（“选项”中可改为 1 到 20 个）' <<<"$(about_text)"
want=(400 0 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 -2 -5 -90)  # days of each row's line
what=("the pinned line, though 400 days away" "today's" "the nearest upcoming (the hidden one of tomorrow left out)")
for row in 0 1 2 16 17 18 19; do
  hover_row $row
  check "row $((row + 1)): ${what[$row]:-${want[$row]} days}" wait_for 10 tip_is_day "$(tip_day "${want[$row]}")"
done
park_pointer
quit_app || fail "the program quit"

# --- the same at size 200: taller than the screen, its first row at the top, grabbable ---
printf '[Tessaly]\r\nfsize=200\r\nrows=20\r\norder=soon\r\n' > "$(ini_file)"
start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
read -r _ area_top _ area_bottom < <(winctl workarea)
echo "   at size 200: widget $left $top $right $bottom"
# Windows keeps the whole 20 rows; the test desktop's window manager cuts a window to the screen.
check "it reaches the screen's bottom" [ "$bottom" -ge "$area_bottom" ]
check "its first row is on the screen, at the work area's top" [ "$top" = "$area_top" ]
row_height=100  # well inside the first row at this size
hover_row 0
check "row 1 at size 200: the pinned line" wait_for 10 tip_is_day "$(tip_day 400)"
park_pointer
drag_by $(((left + right) / 2)) $((top + 50)) 40 30
check "dragged by its first row, it moves" [ "$(widget_field 2) $(widget_field 3)" = "$((left + 40)) $((top + 30))" ]
quit_app || fail "the program quit"

# --- nothing within the days asked: one dim row ---
{
  printf '还有十天,%s\r\n' "$(day 10)"
  printf '过去十天,%s,提醒\r\n' "$(day -10)"
  printf '隐藏明天,%s,隐藏\r\n' "$(day 1)"
  printf '中秋,农历八月十五\r\n'
} | write_items_gbk
printf '[Tessaly]\r\nfsize=20\r\nrows=20\r\norder=soon\r\nwithin=3\r\n' > "$(ini_file)"
list_sum=$(md5sum < "$(items_file)")
start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
check "one row is left ($((bottom - top)) px high)" [ $((bottom - top)) -gt 15 -a $((bottom - top)) -lt 60 ]
check "it is drawn in dim grey (8C8C8C)" [ "$(widget_colour_count 8C8C8C 12)" -gt 30 ]
# Right of the edge strip, which whitens towards the bottom: no name in white, no count in any kind's
# colour.
check "nothing else is drawn" [ "$(count_colour $((left + 10)) "$top" $((right - left - 10)) $((bottom - top)) FFFFFF 8)" = 0 \
  -a "$(widget_colour_count A5B6EC 12)" = 0 -a "$(widget_colour_count F7A000 12)" = 0 -a "$(widget_colour_count FF0400 12)" = 0 ]
check "the file is never rewritten by sorting" [ "$(md5sum < "$(items_file)")" = "$list_sum" ]

# --- the calendar file, from the menu and from the command line ---
winctl command Tessaly "$ID_APP_EXPORT" >/dev/null
check "导出日历... opens the Save dialog" dialog_shown 导出日历 15
check "its file name is Tessaly.ics" [ "$(winctl text 导出日历 "$IDC_FILE_NAME")" = Tessaly.ics ]
press_keys ctrl+a
type_text "Z:${APP_DIR//\//\\}\\menu.ics"
press_keys Return
check "the dialog closes" dialog_gone 导出日历 10
check "the file is written" wait_for 10 test -s "$APP_DIR/menu.ics"
(cd "$APP_DIR" && "$WINE" Tessaly.exe --ics cli.ics >/dev/null 2>&1) || fail "--ics ran"
read_back() {  # the events' UIDs and summaries, one a line, sorted
  /usr/bin/python3 -c 'import sys, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read())
rows = sorted("%s %s" % (e.get("UID"), e.get("SUMMARY")) for e in cal.walk("VEVENT"))
print("\n".join(rows))' "$1"
}
menu_events=$(read_back "$APP_DIR/menu.ics") || menu_events=
echo "   $(wc -l <<<"$menu_events") events"
check "an independent parser reads it back, hidden lines included" \
  eval 'grep -q " 还有十天$" <<<"$menu_events" && grep -q " 隐藏明天$" <<<"$menu_events" && grep -q " 中秋$" <<<"$menu_events"'
check "no byte-order mark, CRLF line ends" \
  eval '[ "$(head -c 15 "$APP_DIR/menu.ics")" = "BEGIN:VCALENDAR" ] && [ "$(grep -c $'"'"'\r$'"'"' "$APP_DIR/menu.ics")" = "$(wc -l < "$APP_DIR/menu.ics")" ]'
check "the menu and --ics write the same events" [ "$menu_events" = "$(read_back "$APP_DIR/cli.ics")" ]
quit_app || fail "the program quit"
finish
