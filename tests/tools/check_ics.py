#!/usr/bin/python3
"""Reads the widget's calendar file back with independent tools: Debian's python3-icalendar parses it,
python-dateutil expands its rules, python3-lunardate checks its lunar dates. Usage: check_ics.py ICS_SAMPLE
(the native tool that writes the calendar file of an item file on a given day)."""
import datetime
import os
import subprocess
import sys
import tempfile

import icalendar
import lunardate
from dateutil import rrule

SAMPLE = sys.argv[1]
LONG_NAME = "很长的名字" * 5  # 25 hanzi, 75 octets of UTF-8: the summary must fold inside it
LINES = [
    "妈妈生日,5月20日,提前7天,提醒",
    "结婚纪念日,2020-05-20,每年,提醒",
    "闰日,2月29日",
    "闰日生日,2024-02-29,每年",
    "中秋,农历八月十五,提前3天",
    "腊八,农历2020年腊月初八,每年",
    "发薪日,2025-01-31,每月",
    "三十日,2025-01-30,每月",
    "房租,2025-01-05,每月",
    "跑步,2025-06-01,每周",
    "浇花,2024-12-25,每10天",
    "初一,农历2026年正月三十,农历每月",
    "相识,2024-08-19,里程碑,里程碑999,含当天,提前1天",
    LONG_NAME + ",2025-07-01",
    "坏,明天",
    "同名,2025-03-01",
    "同名,2025-03-01",
]
START, END = datetime.date(2025, 1, 1), datetime.date(2055, 1, 1)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def write_ics(lines, day):
    with tempfile.TemporaryDirectory() as folder:
        items = os.path.join(folder, "items.txt")
        out = os.path.join(folder, "out.ics")
        with open(items, "wb") as f:
            f.write("\n".join(lines).encode("gbk") + b"\n")
        subprocess.run([SAMPLE, items, day, out], check=True)
        with open(out, "rb") as f:
            return f.read()


def occurrences(event):
    start = event.decoded("DTSTART")
    if "RRULE" not in event:
        return [start] if START <= start < END else []
    rule = rrule.rrulestr(event["RRULE"].to_ical().decode(), dtstart=datetime.datetime.combine(start, datetime.time()))
    return [d.date() for d in rule.between(datetime.datetime.combine(START, datetime.time()),
                                           datetime.datetime.combine(END, datetime.time()), inc=True)]


raw = write_ics(LINES, "2025-06-15")
check(not raw.startswith(b"\xef\xbb\xbf"), "no byte-order mark")
check(raw.endswith(b"\r\n"), "ends with CRLF")
physical = raw[:-2].split(b"\r\n")
check(all(b"\n" not in line and b"\r" not in line for line in physical), "every line break is CRLF")
check(all(len(line) <= 75 for line in physical), "lines at most 75 octets")
for line in physical:
    try:
        line.decode("utf-8")
    except UnicodeDecodeError:
        failures.append("a fold cuts a UTF-8 sequence: %r" % line)
check(any(line.startswith(b" ") for line in physical), "some line folded")

calendar = icalendar.Calendar.from_ical(raw)
check(str(calendar["VERSION"]) == "2.0", "VERSION 2.0")
check("PRODID" in calendar, "PRODID")
events = list(calendar.walk("VEVENT"))
by_summary = {}
uids = []
for event in events:
    for key in ("UID", "DTSTAMP", "DTSTART", "DTEND", "SUMMARY"):
        check(key in event, "%s in every event" % key)
    start = event.decoded("DTSTART")
    check(type(start) is datetime.date, "all-day start %r" % start)
    check(event.decoded("DTEND") == start + datetime.timedelta(days=1), "one-day event")
    uids.append(str(event["UID"]))
    by_summary.setdefault(str(event["SUMMARY"]), []).append(event)
check(len(uids) == len(set(uids)), "UIDs unique")
check("坏" not in by_summary, "unreadable lines left out")
check(LONG_NAME in by_summary, "a folded summary reads back whole")


def days(summary):
    return sorted(d for e in by_summary.get(summary, []) for d in occurrences(e))


def triggers(summary):
    return sorted({-a.decoded("TRIGGER").days for e in by_summary[summary] for a in e.walk("VALARM")})


leap_days = [datetime.date(y, 2, 29) for y in range(2028, 2055, 4)]
check(days("闰日") == leap_days, "2月29日 only in leap years: %s" % days("闰日"))
check(days("闰日生日") == leap_days, "2024-02-29 yearly only in leap years")
check(days("妈妈生日") == [datetime.date(y, 5, 20) for y in range(2025, 2055)], "yearly 5月20日")
check(triggers("妈妈生日") == [0, 7], "alarms 7 days before and on the day: %s" % triggers("妈妈生日"))
check(triggers("中秋") == [3], "alarm 3 days before")
check(days("结婚纪念日")[0] == datetime.date(2025, 5, 20), "dated yearly")


def lunar(day):
    return lunardate.LunarDate.fromSolarDate(day.year, day.month, day.day)


autumn = days("中秋")
check(len(autumn) == 30 and all((lunar(d).month, lunar(d).day, lunar(d).isLeapMonth) == (8, 15, False) for d in autumn),
      "中秋 on 八月十五 of 30 years")
laba = days("腊八")
check(len(laba) == 30 and all((lunar(d).month, lunar(d).day) == (12, 8) for d in laba), "腊八 on 腊月初八")
pay = days("发薪日")
check(len(pay) == 360 and all((d + datetime.timedelta(days=1)).day == 1 for d in pay), "每月 31st: every month's last day")
thirtieth = days("三十日")
check(len(thirtieth) == 360 and sum(d.month == 2 for d in thirtieth) == 30, "每月 30th: February has its event too")
rent = days("房租")
check(len(rent) == 360 and all(d.day == 5 for d in rent), "每月 5th by a monthly rule")
check(all(d.weekday() == 6 for d in days("跑步")) and days("跑步")[0] == datetime.date(2025, 6, 1), "weekly on Sundays")
water = days("浇花")
check(water[0] == datetime.date(2025, 1, 4) and all((b - a).days == 10 for a, b in zip(water, water[1:])), "every 10 days")
first = days("初一")
check(first[0] == datetime.date(2026, 3, 18), "农历每月 from its first date")
check(all(lunar(d).day == 30 or lunar(d + datetime.timedelta(days=1)).day == 1 for d in first),
      "三十 is the last day of each lunar month")
check(any(lunar(d).isLeapMonth for d in first), "leap months included")
check(len(first) > 340, "a lunar month for 29 years")
met = datetime.date(2024, 8, 19)
for n in (100, 200, 300, 500, 520, 1000, 999, 1314, 2000, 3000, 5000, 10000):
    day = met + datetime.timedelta(days=n - 1)  # 含当天: the first date is day 1
    if START <= day < END:
        check(days("相识 第 %d 天" % n) == [day], "milestone %d on %s" % (n, day))
check(days("相识 第 100 天") == [], "milestones before this year left out")
check(len(by_summary["同名"]) == 2, "identical lines both written")
# A one-off date: one event on the date itself, no rule.
for summary, count in (("同名", 2), (LONG_NAME, 1), ("相识", 1)):
    check(len(by_summary[summary]) == count and all("RRULE" not in e for e in by_summary[summary]),
          "%s once, without a rule" % summary)
check(days("同名") == [datetime.date(2025, 3, 1)] * 2, "the one-off date on its day")
check(by_summary["相识"][0].decoded("DTSTART") == datetime.date(2024, 8, 19), "a past one-off date on its day")
# Alarms at the reminder time (09:00 here) on their day.
alarms = sorted({a.decoded("TRIGGER") for e in by_summary["妈妈生日"] for a in e.walk("VALARM")})
check(alarms == [datetime.timedelta(days=-7, hours=9), datetime.timedelta(hours=9)], "alarms at 09:00: %s" % alarms)

# Stable UIDs: another day of the year and the list reordered give the same events.
again = icalendar.Calendar.from_ical(write_ics(LINES[::-1], "2025-11-30"))
check(sorted(str(e["UID"]) for e in again.walk("VEVENT")) == sorted(uids), "UIDs stable across runs and reordering")
# A rule's start stays where it was in another year: a re-import does not move the series.
later = icalendar.Calendar.from_ical(write_ics(LINES, "2031-03-01"))
ruled = {str(e["UID"]): e.decoded("DTSTART") for e in events if "RRULE" in e}
ruled_later = {str(e["UID"]): e.decoded("DTSTART") for e in later.walk("VEVENT") if "RRULE" in e}
check(ruled and ruled == ruled_later, "rule starts unchanged in 2031")

for failure in failures:
    print("FAIL:", failure)
print("%d events checked, %d failures" % (len(events), len(failures)))
sys.exit(1 if failures else 0)
