// The item list as an iCalendar file (RFC 5545) for a phone's or mail program's calendar. No window
// code: the widget's "导出日历..." and "Tessaly.exe --ics FILE" write what this returns.
//
// UTF-8 without a byte-order mark, CRLF line ends, lines folded at 75 octets never inside a UTF-8
// sequence; every event lasts one whole day (DTSTART;VALUE=DATE). A UID names the line by its name
// and date text (a second identical line gets "-2", a third "-3") and the occurrence, so that the list
// can be reordered and a second import updates the events instead of duplicating them.
//   - A one-off date (a date with a year and no repeat option): one event on the date, no rule.
//   - Solar dates that repeat yearly: one event with RRULE:FREQ=YEARLY that starts on the date written
//     (a date without a year on its day in 2000, a leap year, so that every export writes the same
//     start and 2月29日 starts on a 29 February, which the rule repeats only in the years that have
//     it, as the widget counts it).
//   - 每周, 每N天 and 每月 on days 1..28: one event with a weekly, daily or monthly rule.
//   - Lunar dates, 农历每月, 每月 on days 29..31 and milestones: one event per occurrence, from 1
//     January of this year for 30 years (the lunar table ends with 2100).
//   - Reminders: one VALARM per lead at the reminder time N days before the event (its start is
//     midnight): 7 days before at 09:00 is TRIGGER:-P6DT15H, the day itself TRIGGER:PT9H.
// Unreadable lines are left out; hidden lines (隐藏) are written.
//
// Bounded, so that one line cannot make a file of hundreds of MB: the nearest kMaxIcsAlarms leads
// per event, kMaxIcsLineEvents events per line, and no event begun past kMaxIcsBytes. What a bound
// left out is named in the result, for the user to be told.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "framework/Time.h"
#include "items/ItemList.h"

constexpr int kCalendarYears = 30;
constexpr int kMaxIcsAlarms = 10;
constexpr int kMaxIcsLineEvents = 400;  // 30 years of a month-end or lunar monthly date fit
constexpr size_t kMaxIcsBytes = 16u << 20;

struct IcsFile {
  std::string text;                   // the whole file
  std::vector<std::string> cutNames;  // names (GBK) of the lines a bound cut, in list order
};

// The calendar file of the list's lines, from their rules for the day (ItemList::facts). now gives
// this year and DTSTAMP; remindAt is the reminder time in minutes after midnight.
IcsFile writeIcs(const ItemList& list, CTime now, int remindAt);
// The same for a bare table; options is parallel to records (may be null).
IcsFile writeIcs(const ItemRecord* records, const ItemOptions* options, int stored, CTime now, int remindAt);

// What the user is told when a bound cut the file (GBK, lines broken by "\r\n"); empty when none did.
std::string icsBoundNote(const IcsFile& file);

// The alarm's TRIGGER line for a lead in days at the reminder time (minutes after midnight),
// relative to the all-day event's start.
std::string icsTrigger(int lead, int remindAt);

// One content line (UTF-8, without its line end) folded: CRLF and a space before each continuation,
// every physical line at most 75 octets, never cutting a UTF-8 sequence. Ends with CRLF.
std::string foldIcsLine(std::string_view line);
