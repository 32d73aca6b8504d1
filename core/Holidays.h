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
