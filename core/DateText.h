// Date texts as users type them in the item file, read into calendar dates without any window code.
//
// Accepted, with ASCII or full-width digits and separators alike, and spaces (ASCII, tab or full-width)
// around the text ignored:
//   2025-05-20  2025/5/20  2025.05.20  2025年5月20日   a date in the years 1900..9999
//   5-20  05/20  5.20  5月20日                         a yearly date: its next occurrence from today
//   农历1990年八月十五  农历1990-8-15  农历1990年闰五月初一   a lunar date of the years 1900..2100
//   农历八月十五  农历8月15  农历8-15  农历腊月初八  农历闰四月初八   a yearly lunar date
// The year has four digits, month and day one or two. A yearly date falls this year when today or
// later, else next year; 2月29日 falls in the next year that has it. Anything else, including dates
// the calendar does not have (2025-02-30) and texts with anything before or after the date, is not
// a date. Years outside 1900..9999 are refused so that every date read is one the widget's count
// and Windows' time-zone rules both cover.
// Lunar months are 正 一..十 冬 十一 腊 十二 or digits, days 初一..初十 十一..十九 二十 廿一..廿九 三十 or
// digits; 年 月 and 日 go with words, the same separator (- / .) throughout with digits. A yearly lunar
// date comes back on its next occurrence, today included; in a year whose month is a day short its
// 三十 is the month's last day. Written with 闰 it falls in that leap month in the years that have
// it, and in the ordinary month of that number in the others; without 闰 always in the ordinary one.
// A one-off lunar date must exist as written.
// Named yearly dates: a solar term (清明, 冬至: all 24, on its day in China Standard Time), 除夕 (the
// lunar year's last day, 腊月廿九 or 三十), and a weekday of a month: 5月第2个周日, 11月第4个星期四,
// 5月最后一个周一 (the 1st to 5th, or the last; a 5th the month lacks falls in the next year that has
// it). An older version reads these as unreadable.
#pragma once
#include <string>
#include <string_view>

#include "framework/CivilDate.h"
#include "framework/Time.h"

constexpr int kFirstDateYear = 1900;
constexpr int kLastDateYear = 9999;

enum class DateForm { Dated, Yearly, LunarDated, LunarYearly, SolarTerm, LunarEve, NthWeekday };

// The forms without a year: each comes back every year.
inline bool isYearlyForm(DateForm form) { return form == DateForm::Yearly || form >= DateForm::LunarYearly; }

// What NthWeekday's day holds for 最后一个.
constexpr int kLastWeekdayOfMonth = -1;

// The date as written, before the calendar is asked: year 0 for the yearly forms.
struct WrittenDate {
  DateForm form = DateForm::Dated;
  int year = 0;
  int month = 0;
  int day = 0;
  bool leap = false;  // 闰
  int weekday = 0;    // NthWeekday: 0 Sunday .. 6 Saturday (month: the month, day: 1..5 or kLastWeekdayOfMonth)
};                    // SolarTerm: day is the term's index (core/SolarTerms.h)

// The named forms' own text (GBK): "清明", "除夕", "5月第2个周日", "5月最后一个周一"; empty for the others.
std::string namedDateText(const WrittenDate& written);

// Why a text names no date.
enum class DateProblem {
  None,
  NotADate,          // no form of date
  NoSuchDay,         // 2025-02-30, 2月30日
  YearOutOfRange,    // outside 1900..9999
  LunarOutOfRange,   // outside lunar 1900..2100
  NoSuchLunarMonth,  // 闰 of a month the year has no leap of
  NoSuchLunarDay,    // 三十 of a 29-day month in a one-off date
};

// Reads text (GBK): date is the solar date it names, a yearly form's next occurrence from today on;
// written (when given) receives the parts of any text in a known form, readable or not.
DateProblem readDateText(std::string_view text, const CivilDate& today, CivilDate* date, WrittenDate* written);

// The first day from `from` on (included) on which the written date's month and day come back, by
// the yearly rules above, whatever its form; year is that occurrence's year (lunar for the lunar
// forms). False when it falls outside the range of its calendar.
bool nextOccurrence(const WrittenDate& written, const CivilDate& from, CivilDate* date, int* year);

// text without the ASCII spaces, tabs and line breaks around it.
std::string_view trimSpaces(std::string_view text);

// The accepted forms in one sentence for the user (GBK, no full stop): the editor's question about
// unreadable dates, the row tooltip and the About box say the same.
const char* acceptedDateForms();

// Reads text (GBK) as a date; today is the local date a yearly date counts from. False when text
// names no real date.
bool parseDateText(std::string_view text, const CivilDate& today, CivilDate* date);

// The local midnight that starts the date text names, a yearly date counted from now's local date;
// CTime(kUnreadableTime) when text names no real date.
CTime timeFromDateText(std::string_view text, CTime now);
