// What comes next for a line: the next occurrence of its date under its repeat rule, its milestones
// (day counts since its date), and the next day a reminder falls on. No window code.
//
// Rules, from the line's first date A (the date written; a date without a year is anchored at its
// latest occurrence on or before today) and a day D on or after which the next occurrence is asked:
//   none     a dated date occurs once, on A (its anniversaries are 每年's; the tooltip may name the
//            next one, but nothing reminds of it); a date without a year on its yearly dates
//   每年      the yearly anniversaries of A (2月29日 only in the years that have it, lunar by lunar year)
//   每月      A's day of the month; a day the month lacks is its last day, without carrying over
//   每周      A's weekday             每N天   A + k*N days
//   农历每月   A's lunar day in every lunar month, leap months included; 三十 in a 29-day month is
//            its last day
// Never before A: before its first date a repeating line counts down to A. A date without a year
// and with another repeat than 每年 takes its latest occurrence on or before today as A.
// Nothing falls after kLastOccurrenceYear: that is the range the calendars are known in.
//
// Milestones: day number N falls on A + N (A is day 0, the widget's own count: on that day the row
// says "过去 N 天"); with 含当天 A is day 1 and N falls on A + N - 1.
#pragma once
#include <vector>

#include "core/DateText.h"
#include "framework/CivilDate.h"
#include "items/ItemOptions.h"

constexpr int kLastOccurrenceYear = 2100;

// A line's date as the rules above read it.
struct DateRule {
  WrittenDate written;
  CivilDate first;  // A
  Repeat repeat = Repeat::None;
  int everyDays = 0;
  bool countStartDay = false;
  std::vector<int> milestones;  // ascending, without duplicates; empty without 里程碑
};

// The rule of a readable date text (written and date as readDateText gives them for today).
DateRule dateRule(const WrittenDate& written, const CivilDate& date, const ItemOptions& options,
                  const CivilDate& today);

// True when the line counts down to its next occurrence instead of up from a past date: a repeat
// option, or a date without a year.
bool countsDown(const DateRule& rule);

// Whether the line has one occurrence only, its date (a dated date without a repeat): no repeat rule
// in a calendar, no reminder after it.
bool isOneOff(const DateRule& rule);

// The first occurrence on or after from; walking on from the day after each gives every occurrence
// of the line (one for isOneOff): the one place that says when a line occurs. number is the
// how-manieth anniversary of a dated date's yearly occurrence (0 for A itself and for the other
// rules). False when none is left in the range.
bool nextOccurrenceOn(const DateRule& rule, const CivilDate& from, CivilDate* date, int* number);

// The standard milestones (100, 200, 300, 500, 520, 1000, 1314, 2000, 3000, 5000, 10000) when
// options ask for them, and the line's own, ascending without duplicates.
std::vector<int> milestoneNumbers(const ItemOptions& options);

// The day milestone number falls on.
CivilDate milestoneDate(const DateRule& rule, int number);

// The first milestone on or after from. False when none is left (or the line has none).
bool nextMilestoneOn(const DateRule& rule, const CivilDate& from, CivilDate* date, int* number);

// The next day on or after today on which one of the line's reminders falls (R = O - N for each lead
// N, over the date's occurrences and its milestones). False when the line asks for none or none is
// left.
bool nextReminderDay(const DateRule& rule, const ItemOptions& options, const CivilDate& today, CivilDate* day);

// The day as a line of text (GBK): "2027年3月2日 星期二".
std::string dayText(const CivilDate& date);
