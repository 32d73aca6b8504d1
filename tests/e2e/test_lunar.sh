#!/usr/bin/env bash
# Lunar dates as a user sees them, checked against an independent converter (Debian's
# python3-lunardate, installed by scripts/setup.sh): the --list output for today's date, the calendar
# file --ics writes (read by python3-icalendar), the counts
# drawn on screen (a lunar row draws exactly like a row holding the solar date the converter names),
# and the tooltips that follow the pointer from row to row without taking the focus.
source "$(dirname "$0")/lib.sh"

PYTHON=/usr/bin/python3
if ! "$PYTHON" -c 'import lunardate' 2>/dev/null; then
  fail "python3-lunardate is installed (scripts/setup.sh installs it)"
  finish
  exit 1
fi

# What the converter says, for today's date: "solar-date" of a yearly lunar month/day, the text of a
# date's lunar day, weekday names. Its own formatting, not the program's.
lunar() {
  "$PYTHON" - "$@" <<'PY'
import datetime, sys
from lunardate import LunarDate
MONTHS = "正二三四五六七八九十冬腊"
DIGITS = " 一二三四五六七八九十"
def day_name(d):
    if d <= 10: return "初" + DIGITS[d]
    if d < 20: return "十" + DIGITS[d - 10]
    if d == 20: return "二十"
    if d < 30: return "廿" + DIGITS[d - 20]
    return "三十"
today = datetime.date.today()
what, args = sys.argv[1], sys.argv[2:]
if what == "next":  # month day: the yearly lunar date's next occurrence, today included
    m, d = int(args[0]), int(args[1])
    year = LunarDate.fromSolarDate(today.year, today.month, today.day).year
    print(next(s for s in (LunarDate(y, m, d).toSolarDate() for y in (year, year + 1)) if s >= today))
elif what == "leap":  # year month day of a leap month
    print(LunarDate(int(args[0]), int(args[1]), int(args[2]), True).toSolarDate())
elif what == "text":  # YYYY-MM-DD: its lunar day as the program writes it
    l = LunarDate.fromSolarDate(*map(int, args[0].split("-")))
    print("农历" + ("闰" if l.isLeapMonth else "") + MONTHS[l.month - 1] + "月" + day_name(l.day))
elif what == "days":  # YYYY-MM-DD: days from today
    print((datetime.date.fromisoformat(args[0]) - today).days)
elif what == "day":  # YYYY-MM-DD: "2027年9月15日 星期三"
    s = datetime.date.fromisoformat(args[0])
    print(f"{s.year}年{s.month}月{s.day}日 星期" + "一二三四五六日"[s.weekday()])
PY
}

mid_autumn=$(lunar next 8 15)
laba=$(lunar next 12 8)
after_mid_autumn=$(date -d "$mid_autumn +1 day" +%Y-%m-%d)
mother=$(lunar leap 1990 5 1)
# Rows 0, 2 and 4 share a background, as do rows 1 and 3: rows 0 and 2 and rows 1 and 3 must draw
# alike; row 4, a day after row 2, must not.
write_items_gbk <<ITEMS
甲,农历八月十五
乙,农历腊月初八
甲,$mid_autumn
乙,$laba
甲,$after_mid_autumn
妈妈,农历1990年闰五月初一
坏,农历2025年闰四月初一
ITEMS

# --- the listing ---
kind_of() { if [ "$1" -gt 0 ]; then echo upcoming; elif [ "$1" -eq 0 ]; then echo today; else echo past; fi; }
expected_line() {  # name date
  local days
  days=$(lunar days "$2")
  # Columns 6 to 8 (options, next reminder, next milestone) are empty: no line has options.
  printf '%s\t%s\t%s\t%s\t%s\t\t\t\n' "$1" "$(kind_of "$days")" "${days#-}" "$2" "$(lunar text "$2")"
}
expected=$(
  expected_line 甲 "$mid_autumn"
  expected_line 乙 "$laba"
  expected_line 甲 "$mid_autumn"
  expected_line 乙 "$laba"
  expected_line 甲 "$after_mid_autumn"
  expected_line 妈妈 "$mother"
  printf '坏\tunreadable\t\t\t\t\t\t\n'
)
cp "$EXE" "$APP_DIR/Tessaly.exe"
status=0
listing=$(cd "$APP_DIR" && "$WINE" Tessaly.exe --list 2>/dev/null | tr -d '\r') || status=$?
check "--list ends with exit code 0 (was $status)" [ "$status" -eq 0 ]
check "--list prints every counted line as the converter counts it today" [ "$listing" = "$expected" ]
[ "$listing" = "$expected" ] || diff <(echo "$expected") <(echo "$listing") >&2 || true
check "/list prints the same" [ "$(cd "$APP_DIR" && "$WINE" Tessaly.exe /list 2>/dev/null | tr -d '\r')" = "$expected" ]
check "--list shows no widget (no window, no settings written)" \
  eval '! winctl info Tessaly >/dev/null && [ ! -e "$(ini_file)" ]'
mv "$(items_file)" "$APP_DIR/items.bak"
status=0
message=$(cd "$APP_DIR" && "$WINE" Tessaly.exe --list 2>&1 | tr -d '\r') || status=$?
# No list is the widget's ordinary empty state.
check "--list without an item file ends with exit code 0 (was $status)" [ "$status" -eq 0 ]
check "and prints nothing ($message)" [ -z "$message" ]
mv "$APP_DIR/items.bak" "$(items_file)"

# --- the calendar file ---
status=0
(cd "$APP_DIR" && "$WINE" Tessaly.exe --ics 纪念日.ics >/dev/null 2>&1) || status=$?
check "--ics FILE ends with exit code 0 (was $status)" [ "$status" -eq 0 ]
check "and writes the events of 农历八月十五 on the days the converter names" "$PYTHON" - "$APP_DIR/纪念日.ics" <<'PY'
import sys, datetime, icalendar
from lunardate import LunarDate
cal = icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read())
days = [e.decoded("DTSTART") for e in cal.walk("VEVENT") if str(e["SUMMARY"]) == "甲"]
this_year = datetime.date.today().year
want = [LunarDate(y, 8, 15).toSolarDate() for y in range(this_year - 1, this_year + 31)]
want = [d for d in want if this_year <= d.year < this_year + 30]
# 甲 is also the name of two solar dated lines, written as yearly rules: their DTSTART is their date.
sys.exit(0 if set(want) <= set(days) else 1)
PY
status=0
message=$(cd "$APP_DIR" && "$WINE" Tessaly.exe --ics 2>&1 >/dev/null | tr -d '\r') || status=$?
check "--ics without a file name ends with exit code 1 (was $status) and says so ($message)" \
  eval '[ "$status" -eq 1 ] && [[ "$message" == 缺少日历文件名* ]]'
status=0
message=$(cd "$APP_DIR" && "$WINE" Tessaly.exe --ics no/such/folder/x.ics 2>&1 >/dev/null | tr -d '\r') || status=$?
check "--ics into a missing folder ends with exit code 1 (was $status) and says so ($message)" \
  eval '[ "$status" -eq 1 ] && [[ "$message" == 无法写入日历文件* ]]'

# --- the counts on screen ---
start_app || { finish; exit 1; }
read -r _ left top right bottom _ <<<"$WIDGET"
row_height=$(((bottom - top) / 5))
# Each row right of the faded left edge, as a picture of its own.
row_picture() { import -window root -crop "$((right - left - 12))x${row_height}+$((left + 12))+$((top + $1 * row_height))" "$APP_DIR/row$1.png"; }
differing_pixels() { compare -metric AE "$APP_DIR/row$1.png" "$APP_DIR/row$2.png" null: 2>&1 | cut -d' ' -f1; }
for row in 0 1 2 3 4; do row_picture $row; done
check "农历八月十五 draws like $mid_autumn" [ "$(differing_pixels 0 2)" = 0 ]
check "农历腊月初八 draws like $laba" [ "$(differing_pixels 1 3)" = 0 ]
check "a count a day off draws differently" [ "$(differing_pixels 2 4)" != 0 ]

# --- tooltips ---
"$WINE" "$WINCTL" window "another program" 60 >/dev/null 2>&1 &
other=$!
wait_for 10 eval '[ "$(winctl foreground)" = "another program" ]' || fail "another program's window came to the front"
tip_is() { [ "$(winctl tooltip Tessaly)" = "$1" ]; }
comctl_loaded() { grep -qi 'comctl32\.dll' "/proc/$APP_PID/maps"; }
check "until the pointer comes over the widget, its tooltips cost nothing (no common controls loaded)" eval '! comctl_loaded'
hover_row 0
want="$(lunar day "$mid_autumn")"$'\n'"农历八月十五"$'\n'"每年"
check "over a yearly lunar row the tooltip tells its day, lunar date and 每年" wait_for 10 tip_is "$want"
check "the tooltips came with the common controls" comctl_loaded
hover_row 2
want="$(lunar day "$mid_autumn")"$'\n'"农历八月十五"
check "it follows the pointer to the row of the solar date" wait_for 10 tip_is "$want"
hover_row 1
want="$(lunar day "$laba")"$'\n'"农历腊月初八"$'\n'"每年"
check "and to the row above it" wait_for 10 tip_is "$want"
check "hovering leaves the focus with the other program" [ "$(winctl foreground)" = "another program" ]
xdotool mousemove $((right + 200)) $((bottom + 100))
check "the tooltip disappears when the pointer leaves the widget" wait_for 10 eval '! winctl tooltip Tessaly >/dev/null'
kill "$other" 2>/dev/null || true
wait "$other" 2>/dev/null || true

quit_app
finish
