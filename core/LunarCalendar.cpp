#include "core/LunarCalendar.h"

#include <cstdint>

namespace {

// One word per lunar year from 1900: bit i set when the year's month i (counted from 0, the leap
// month in its place after the ordinary month of its number) has 30 days, else 29; bits 13..16 the
// leap month's number (0 for none); bits 17..22 the days from 1 January to the year's 正月初一.
// Made from the month starts of python3-lunardate (1900..2099) and lunar-date (2100); see
// tests/native/LunarReference.inc for how it was checked.
constexpr uint32_t kYears[kLastLunarYear - kFirstLunarYear + 1] = {
    0x03d16d2, 0x0620752, 0x04c0ea5, 0x038b64a, 0x05c064b, 0x0440a9b, 0x0309556, 0x056056a,  // 1900
    0x0400b59, 0x02a5752, 0x0500752, 0x03adb25, 0x0600b25, 0x0480a4b, 0x032b4ab, 0x05802ad,  // 1908
    0x042056b, 0x02c4b69, 0x0520da9, 0x03efd92, 0x0640e92, 0x04c0d25, 0x036ba4d, 0x05c0a56,  // 1916
    0x04602b6, 0x02e95b5, 0x05606d4, 0x0400ea9, 0x02c5e92, 0x0500e92, 0x03acd26, 0x05e052b,  // 1924
    0x0480a57, 0x032b2d6, 0x0580b5a, 0x04406d4, 0x02e6ec9, 0x0520749, 0x03cf693, 0x0620a93,  // 1932
    0x04c052b, 0x034ca5b, 0x05a0aad, 0x046056a, 0x0309b55, 0x0560ba4, 0x0400b49, 0x02a5a93,  // 1940
    0x0500a95, 0x038f52d, 0x05e0536, 0x0480aad, 0x034b5aa, 0x05805b2, 0x0420ba5, 0x02e7d4a,  // 1948
    0x0540b4a, 0x03d0a95, 0x0600a97, 0x04c0556, 0x036cab5, 0x05a0ad5, 0x04606d2, 0x0308ea5,  // 1956
    0x0560ea5, 0x040064a, 0x0286c97, 0x04e0a9b, 0x03af55a, 0x05e056a, 0x0480b69, 0x034b752,  // 1964
    0x05a0b52, 0x0420b25, 0x02c964b, 0x0520a4b, 0x03d14ab, 0x06002ad, 0x04a05ad, 0x036cb69,  // 1972
    0x05c0da9, 0x0460d92, 0x0309d25, 0x0560d25, 0x0415a4d, 0x0640a56, 0x04e02b6, 0x038c5b5,  // 1980
    0x05e06d5, 0x0480ea9, 0x034be92, 0x05a0e92, 0x0440d26, 0x02c6a56, 0x0500a57, 0x03d14d6,  // 1988
    0x062035a, 0x04a06d5, 0x036b6c9, 0x05c0749, 0x0460693, 0x02e952b, 0x054052b, 0x03e0a5b,  // 1996
    0x02a555a, 0x04e056a, 0x038fb55, 0x0600ba4, 0x04a0b49, 0x032ba93, 0x0580a95, 0x042052d,  // 2004
    0x02c8aad, 0x0500ab5, 0x03d35aa, 0x06205d2, 0x04c0da5, 0x036dd4a, 0x05c0d4a, 0x0460c95,  // 2012
    0x030952e, 0x0540556, 0x03e0ab5, 0x02a55b2, 0x05006d2, 0x038cea5, 0x05e0725, 0x048064b,  // 2020
    0x032ac97, 0x0560cab, 0x042055a, 0x02c6ad6, 0x0520b69, 0x03d7752, 0x0620b52, 0x04c0b25,  // 2028
    0x036da4b, 0x05a0a4b, 0x04404ab, 0x02ea55b, 0x05405ad, 0x03e0b6a, 0x02a5b52, 0x0500d92,  // 2036
    0x03afd25, 0x05e0d25, 0x0480a55, 0x032b4ad, 0x05804b6, 0x04005b5, 0x02c6daa, 0x0520ec9,  // 2044
    0x03f1e92, 0x0620e92, 0x04c0d26, 0x036ca56, 0x05a0a57, 0x0440556, 0x02e86d5, 0x0540755,  // 2052
    0x0400749, 0x0286e93, 0x04e0693, 0x038f52b, 0x05e052b, 0x0460a5b, 0x032b55a, 0x058056a,  // 2060
    0x0420b65, 0x02c974a, 0x0520b4a, 0x03d1a95, 0x0620a95, 0x04a052d, 0x034caad, 0x05a0ab5,  // 2068
    0x04605aa, 0x02e8ba5, 0x0540da5, 0x0400d4a, 0x02a7c95, 0x04e0c96, 0x038f94e, 0x05e0556,  // 2076
    0x0480ab5, 0x032b5b2, 0x05806d2, 0x0420ea5, 0x02e8e4a, 0x050068b, 0x03b0c97, 0x06004ab,  // 2084
    0x04a055b, 0x034cad6, 0x05a0b6a, 0x0460752, 0x0309725, 0x0540b45, 0x03e0a8b, 0x028549b,  // 2092
    0x04e04ab,                                                                               // 2100
};

uint32_t yearWord(int year) { return kYears[year - kFirstLunarYear]; }

bool inTable(int year) { return year >= kFirstLunarYear && year <= kLastLunarYear; }

int monthCount(int year) { return lunarLeapMonth(year) ? 13 : 12; }

// Position of the month in the year's sequence of 12 or 13 months; -1 when the year lacks it.
int monthIndex(int year, int month, bool leap) {
  if (!inTable(year) || month < 1 || month > 12) return -1;
  const int leapMonth = lunarLeapMonth(year);
  if (leap) return month == leapMonth ? month : -1;
  return leapMonth && month > leapMonth ? month : month - 1;
}

int daysOfIndex(int year, int index) { return yearWord(year) >> index & 1 ? 30 : 29; }

int64_t newYearDayNumber(int year) { return daysFromCivil(year, 1, 1) + (yearWord(year) >> 17 & 0x3F); }

}  // namespace

int lunarLeapMonth(int year) { return inTable(year) ? static_cast<int>(yearWord(year) >> 13 & 0xF) : 0; }

int lunarMonthDays(int year, int month, bool leap) {
  const int index = monthIndex(year, month, leap);
  return index < 0 ? 0 : daysOfIndex(year, index);
}

CivilDate lunarNewYear(int year) { return civilFromDays(newYearDayNumber(year)); }

bool lunarToSolar(const LunarDate& lunar, CivilDate* solar) {
  const int index = monthIndex(lunar.year, lunar.month, lunar.leap);
  if (index < 0 || lunar.day < 1 || lunar.day > daysOfIndex(lunar.year, index)) return false;
  int64_t day = newYearDayNumber(lunar.year);
  for (int i = 0; i < index; ++i) day += daysOfIndex(lunar.year, i);
  *solar = civilFromDays(day + lunar.day - 1);
  return true;
}

bool solarToLunar(const CivilDate& solar, LunarDate* lunar) {
  const int64_t day = daysFromCivil(solar.year, solar.month, solar.day);
  // The lunar year starts in January or February of the solar year of the same number.
  int year = solar.year < kLastLunarYear ? solar.year : kLastLunarYear;
  if (!inTable(year)) return false;
  if (day < newYearDayNumber(year) && !inTable(--year)) return false;
  int64_t offset = day - newYearDayNumber(year);
  const int leapMonth = lunarLeapMonth(year);
  for (int index = 0; index < monthCount(year); ++index) {
    const int length = daysOfIndex(year, index);
    if (offset < length) {
      lunar->year = year;
      lunar->leap = leapMonth && index == leapMonth;
      lunar->month = leapMonth && index >= leapMonth ? index : index + 1;
      lunar->day = static_cast<int>(offset) + 1;
      return true;
    }
    offset -= length;
  }
  return false;  // after the last day of lunar 2100
}

std::string lunarDateText(const LunarDate& lunar) {
  static const char* const kMonths[] = {"正", "二", "三", "四", "五", "六", "七", "八", "九", "十", "冬", "腊"};
  static const char* const kDigits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
  std::string text = "农历";
  if (lunar.leap) text += "闰";
  if (lunar.month >= 1 && lunar.month <= 12) text += kMonths[lunar.month - 1];
  text += "月";
  const int day = lunar.day;
  if (day >= 1 && day <= 10)
    text = text + "初" + kDigits[day];
  else if (day < 20)
    text = text + "十" + kDigits[day - 10];
  else if (day == 20)
    text += "二十";
  else if (day < 30)
    text = text + "廿" + kDigits[day - 20];
  else if (day == 30)
    text += "三十";
  return text;
}
