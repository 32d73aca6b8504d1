#!/usr/bin/env bash
# The official holidays as a user meets them: --holidays for a built-in year and for one the user's
# holiday file adds, the next holiday that --list names with holidayrow on, and a 工作日 row: its
# --list column, the tooltip that says when a year has no published arrangement, the holiday file
# read again when it changes (its bad line named in a balloon), the room the longer unit takes, and
# the next holiday's row: its tooltip, and the options dialog's check box that takes it away.
source "$(dirname "$0")/lib.sh"

cp "$EXE" "$APP_DIR/Tessaly.exe"
# Runs the program with arguments: OUT and ERR get its output (UTF-8, no CRs), STATUS its exit code.
run() {
  STATUS=0
  OUT=$(cd "$APP_DIR" && "$WINE" Tessaly.exe "$@" 2>"$APP_ROOT/stderr" | tr -d '\r') || STATUS=$?
  ERR=$(tr -d '\r' <"$APP_ROOT/stderr")
}
holiday_file() { iconv -f UTF-8 -t CP936 >"$APP_DIR/Tessaly_holidays.txt"; }
# The first year after this one that the built-in table lacks: a 工作日 count into it is estimated.
this_year=$(date +%Y)
next=$((this_year + 1 > 2027 ? this_year + 1 : 2027))

# --- --holidays ---
run --holidays 2025
check "--holidays 2025 ends with exit code 0 (was $STATUS)" [ "$STATUS" -eq 0 ]
check "it prints the year's 33 dates, sorted" eval '[ "$(wc -l <<<"$OUT")" -eq 33 ] && sort -c <<<"$OUT"'
check "a make-up Sunday is a 班 day" grep -qx $'2025-04-27\t劳动节\t班' <<<"$OUT"
check "the combined break carries both names" grep -qx $'2025-10-06\t中秋节、国庆节\t休' <<<"$OUT"
run --holidays 2020
check "2020 has the 春节 extension" grep -qx $'2020-02-02\t春节\t休' <<<"$OUT"
run --holidays "$next"
check "a year without data prints nothing, exit code 0 (was $STATUS)" eval '[ "$STATUS" -eq 0 ] && [ -z "$OUT" ]'
check "and says so on standard error ($ERR)" [ "$ERR" = "$next 年的放假安排尚未公布" ]
run --holidays 1899
check "a year outside 1900-2100 ends with exit code 1 (was $STATUS) and a message ($ERR)" \
  eval '[ "$STATUS" -eq 1 ] && [[ "$ERR" == 年份要在* ]]'

holiday_file <<LINES
$next-01-01,元旦,休
$next-01-09,元旦,班
; $next-02-06,春节,班
这一行不对
LINES
run --holidays "$next"
check "the holiday file's year is printed from its lines" \
  [ "$OUT" = "$next-01-01"$'\t元旦\t休\n'"$next-01-09"$'\t元旦\t班' ]
check "and its unreadable line is named ($ERR)" grep -qF "这一行不对" <<<"$ERR"

# --- --list: the next holiday and a 工作日 line ---
write_items_gbk <<ITEMS
报告,$next-01-08,工作日
ITEMS
printf '[Tessaly]\r\nholidayrow=1\r\n' >"$(ini_file)"
run --list
days_to() { echo $((($(date -d "$1" +%s) - $(date -d "$(date +%F)" +%s)) / 86400)); }
check "a 工作日 line with data for every year: column 9 says workdays" \
  eval '[ "$(head -1 <<<"$OUT" | cut -f1,2,4,6,9)" = "报告	upcoming	$next-01-08	工作日	workdays" ]'
check "holidayrow adds the next holiday, kind holiday ($(tail -1 <<<"$OUT" | cut -f1-4))" \
  [ "$(tail -1 <<<"$OUT" | cut -f1-4)" = "元旦	holiday	$(days_to "$next-01-01")	$next-01-01" ]
rm "$APP_DIR/Tessaly_holidays.txt"
run --list
check "without the holiday file the count is estimated" \
  [ "$(head -1 <<<"$OUT" | cut -f9)" = "workdays-estimated" ]
rm "$(ini_file)"

# --- the 工作日 row on screen ---
start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
row_height=$((bottom - top))
note="$next 年的放假安排尚未公布，按周末计算"
tip_has() { [[ "$(winctl tooltip Tessaly)" == *"$1"* ]]; }
hover_row 0
check "the row's tooltip says the year has no arrangement yet" wait_for 10 tip_has "$note"
holiday_file <<LINES
$next-01-01,元旦,休
$next-13-01,元旦,休
LINES
balloon=$(winctl balloon 15) || balloon=
check "the holiday file written beside the list is read at once: a balloon names its bad line ($balloon)" \
  grep -qF "$next-13-01,元旦,休" <<<"$balloon"
wide=$(widget_field 4)
write_items_gbk <<ITEMS
报告,$next-01-08
ITEMS
check "without 工作日 the unit is 天 again and the widget narrower" \
  wait_for 15 eval '[ "$(widget_field 4)" -lt "$wide" ]'
quit_app

# --- the next holiday's row on screen: its tooltip, and gone when unchecked ---
holiday_file <<LINES
$next-01-01,元旦,休
$next-01-02,元旦,休
$next-01-03,元旦,休
LINES
printf '[Tessaly]\r\nholidayrow=1\r\n' >"$(ini_file)"
run --list
first=$(tail -1 <<<"$OUT" | cut -f4)
check "--list names the next holiday ($(tail -1 <<<"$OUT" | cut -f1,2,4))" \
  eval '[ "$(tail -1 <<<"$OUT" | cut -f2)" = holiday ] && [ -n "$first" ]'
start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
# Two rows, the line and the holiday after it: unchecked, the widget is half as high.
row_height=$(((bottom - top) / 2))
break_tip="放假 $(date -d "$first" +%-m月%-d日)至"
hover_row 1
check "the second row's tooltip gives the break from $first" wait_for 10 tip_has "$break_tip"
open_options
click_option "$IDC_HOLIDAY_ROW"
options_ok
check "显示下一个假期 unchecked: the options dialog closes" options_closed
check "the holiday row is gone: one row left" wait_for 15 eval '[ "$(widget_height)" -eq "$row_height" ]'
check "holidayrow=0 is saved" [ "$(ini_value holidayrow)" = 0 ]

quit_app
finish
