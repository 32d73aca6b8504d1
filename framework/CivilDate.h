// Proleptic Gregorian calendar arithmetic on day numbers (days since 1970-01-01), exact for any year
// an int holds; the algorithms are Howard Hinnant's days_from_civil and civil_from_days.
#pragma once
#include <cstdint>

struct CivilDate {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
};

inline bool operator==(const CivilDate& a, const CivilDate& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}
inline bool operator!=(const CivilDate& a, const CivilDate& b) { return !(a == b); }

inline bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

inline int daysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

inline bool isRealDate(int year, int month, int day) { return day >= 1 && day <= daysInMonth(year, month); }

// Day number of year-month-day; month must be 1..12, day may run past the month's end.
inline int64_t daysFromCivil(int year, int month, int day) {
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;                          // 0..399
  const int64_t mp = month > 2 ? month - 3 : month + 9;       // March = 0
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;           // 0..365
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;  // 0..146096
  return era * 146097 + doe - 719468;
}

inline CivilDate civilFromDays(int64_t days) {
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;                                       // 0..146096
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // 0..399
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                // 0..365
  const int64_t mp = (5 * doy + 2) / 153;                                     // March = 0
  CivilDate date;
  date.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  date.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  date.year = static_cast<int>(yoe + era * 400 + (date.month <= 2 ? 1 : 0));
  return date;
}

// Floor division, so that times before 1970 fall on the day they belong to.
inline int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }
