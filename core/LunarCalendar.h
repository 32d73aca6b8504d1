// The Chinese lunar (农历) calendar of the years 1900 to 2100, without any window code: a table of
// month lengths and leap months per lunar year, and day arithmetic on top of it.
#pragma once
#include <string>

#include "framework/CivilDate.h"

constexpr int kFirstLunarYear = 1900;
constexpr int kLastLunarYear = 2100;

struct LunarDate {
  int year = kFirstLunarYear;
  int month = 1;      // 1..12
  bool leap = false;  // the leap month that follows the ordinary month of the same number
  int day = 1;        // 1..30
};

inline bool operator==(const LunarDate& a, const LunarDate& b) {
  return a.year == b.year && a.month == b.month && a.leap == b.leap && a.day == b.day;
}

// The month that is leap in year (1..12), 0 when it has none or year is out of the table.
int lunarLeapMonth(int year);

// Days (29 or 30) of the month; 0 when year has no such month.
int lunarMonthDays(int year, int month, bool leap);

// The solar date of the lunar year's first day (正月初一).
CivilDate lunarNewYear(int year);

// False when the lunar date does not exist (out of range, no such leap month, 三十 in a short month).
bool lunarToSolar(const LunarDate& lunar, CivilDate* solar);

// False for a solar date outside lunar 1900 to 2100 (before 1900-01-31 or after 2101-01-28).
bool solarToLunar(const CivilDate& solar, LunarDate* lunar);

// The date as users read it, without the year, in GBK: "农历八月十五", "农历闰四月初八", "农历腊月三十".
std::string lunarDateText(const LunarDate& lunar);
