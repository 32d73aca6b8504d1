// Date texts as users type them in the item file, read into calendar dates without any window code.
//
// Accepted, with ASCII or full-width digits and separators alike, and spaces (ASCII, tab or full-width)
// around the text ignored:
//   2025-05-20  2025/5/20  2025.05.20  2025年5月20日   a date in the years 1900..9999
//   5-20  05/20  5.20  5月20日                         a yearly date: its next occurrence from today
// The year has four digits, month and day one or two. A yearly date falls this year when today or
// later, else next year; 2月29日 falls in the next year that has it. Anything else, including dates
// the calendar does not have (2025-02-30) and texts with anything before or after the date, is not
// a date. Years outside 1900..9999 are refused so that every date read is one the widget's count
// and Windows' time-zone rules both cover.
#pragma once
#include <string_view>

#include "framework/CivilDate.h"
#include "framework/Time.h"

constexpr int kFirstDateYear = 1900;
constexpr int kLastDateYear = 9999;

// Reads text (GBK) as a date; today is the local date a yearly date counts from. False when text
// names no real date.
bool parseDateText(std::string_view text, const CivilDate& today, CivilDate* date);

// The local midnight that starts the date text names, a yearly date counted from now's local date;
// CTime(kUnreadableTime) when text names no real date.
CTime timeFromDateText(std::string_view text, CTime now);
