// The official holiday arrangements of mainland China, as the State Council announces them each year:
// the days off (休) of each holiday and the weekend days worked instead (补班, 班). No window code.
//
// Built in for 2010 through kLastHolidayTableYear; the user's holiday file adds dates or replaces
// them, for a year announced after a release or a local rule. A working day is Monday to Friday
// unless it is a day off, and any 补班 day. A year with neither built-in nor user dates has no data:
// its working days are its weekdays, and whoever shows such a count says so.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CivilDate.h"

constexpr int kFirstHolidayTableYear = 2010;
constexpr int kLastHolidayTableYear = 2026;

struct HolidayDay {
  CivilDate date;
  std::string name;   // GBK: "春节", "中秋节、国庆节", or the user's own
  bool work = false;  // a 补班 day; else a day off
};

// One holiday break: its days off in a row (with the weekend days they join), and the 补班 days that
// belong to it.
struct HolidayBreak {
  std::string name;
  CivilDate first;
  CivilDate last;
  std::vector<CivilDate> workdays;  // ascending
};

class HolidayCalendar {
 public:
  HolidayCalendar();  // the built-in table

  // The user's dates, added to the built-in ones or replacing them date by date; a new call replaces
  // the previous user dates.
  void setUserDays(const std::vector<HolidayDay>& days);

  // The date's entry; null for an ordinary day.
  const HolidayDay* find(const CivilDate& date) const;
  // Whether the year's arrangement is known: built in, or named by a user line.
  bool hasYear(int year) const;
  // The year's entries, ascending, built-in and user lines merged.
  std::vector<HolidayDay> yearDays(int year) const;

  bool isWorkday(const CivilDate& date) const;
  // The working days d with from < d <= to, or to < d <= from when to is the earlier; noDataYear (when
  // given) receives the first year of that range without data, 0 when every year has data.
  int workdaysBetween(const CivilDate& from, const CivilDate& to, int* noDataYear) const;

  // The first break whose first day is on or after from. False when no known year has one.
  bool nextBreak(const CivilDate& from, HolidayBreak* next) const;

 private:
  std::map<int64_t, HolidayDay> m_builtIn;
  std::map<int64_t, HolidayDay> m_days;  // built-in and user, merged
  std::set<int> m_userYears;
};

// The program's one calendar, the user's holiday file merged in by whoever reads it.
HolidayCalendar& holidayCalendar();

// What the next-holiday row's tooltip says of its break (GBK):
// "放假 10月1日至8日，共 8 天；9月28日（星期日）、10月11日（星期六）补班".
std::string holidayBreakText(const HolidayBreak& holidayBreak);

// The note on the day before a 补班 day (GBK): "明天（星期日）要上班：国庆节调休".
std::string workdayNoteText(const HolidayDay& workday);

// The user's holiday file, beside the list: optional, in any of the list's encodings, one date a line,
// "日期,名称,休" or "日期,名称,班" (the date with its year, in any form the list takes; the name without
// a comma; "，" counts as ","). Empty lines and lines holding ";" are skipped, as in the list.
constexpr char kHolidayFileName[] = "Tessaly_holidays.txt";

// The dates of the file's text (GBK); badLines (when given) receives each line that is none of these,
// trimmed, in order.
std::vector<HolidayDay> readHolidayText(std::string_view text, std::vector<std::string>* badLines);

// Reads the holiday file beside the list at listPath into holidayCalendar(): its dates replace the
// user dates there before; a missing file leaves none. False when an existing file could not be read,
// and the calendar keeps what it had. badLines as for readHolidayText.
bool loadHolidayFile(const std::string& listPath, std::vector<std::string>* badLines);

// The note naming the file's unreadable lines (GBK, the first few of them); empty when there are none.
std::string holidayFileNote(const std::vector<std::string>& badLines);

// One line of "--holidays YEAR" (GBK, no line break): "2025-10-01\t中秋节、国庆节\t休".
std::string holidayListLine(const HolidayDay& day);
