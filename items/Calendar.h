// The item list as an iCalendar file (RFC 5545) for a phone's or mail program's calendar. No window
// code: the widget's "导出日历..." and "Tessaly.exe --ics FILE" write what this returns.
//
// UTF-8 without a byte-order mark, CRLF line ends, lines folded at 75 octets never inside a UTF-8
// sequence; every event lasts one whole day (DTSTART;VALUE=DATE). A UID names the line by its name
// and date text (a second identical line gets "-2", a third "-3") and the occurrence, so that the list
// can be reordered and a second import updates the events instead of duplicating them.
//   - Solar dates that repeat yearly (dated dates from their day, dates without a year from their next
//     occurrence): one event with RRULE:FREQ=YEARLY; 2月29日 starts on a 29 February, which the rule
//     repeats only in the years that have it, as the widget counts it.
//   - 每周, 每N天 and 每月 on days 1..28: one event with a weekly, daily or monthly rule.
//   - Lunar dates, 农历每月, 每月 on days 29..31 and milestones: one event per occurrence, from 1
//     January of this year for 30 years (the lunar table ends with 2100).
//   - Reminders: one VALARM per lead, TRIGGER:-PnD (on the day: TRIGGER:PT0S).
// Unreadable lines are left out; hidden lines (隐藏) are written.
#pragma once
#include <string>
#include <string_view>

#include "framework/Time.h"
#include "items/ItemOptions.h"
#include "items/ItemRecord.h"

constexpr int kCalendarYears = 30;

// The whole file; options is parallel to records (may be null). now gives this year and DTSTAMP.
std::string writeIcs(const ItemRecord* records, const ItemOptions* options, int stored, CTime now);

// One content line (UTF-8, without its line end) folded: CRLF and a space before each continuation,
// every physical line at most 75 octets, never cutting a UTF-8 sequence. Ends with CRLF.
std::string foldIcsLine(std::string_view line);
