// The lunar calendar and the lunar date texts. Chinese literals compile to GBK, the program's text
// encoding, like every narrow literal of the program.
#include <gtest/gtest.h>

#include <string>

#include "core/DateText.h"
#include "core/LunarCalendar.h"

namespace {

std::string show(const CivilDate& d) {
  return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

std::string show(const LunarDate& d) {
  return std::to_string(d.year) + (d.leap ? "-R" : "-") + std::to_string(d.month) + "-" + std::to_string(d.day);
}

struct ReferencePair {
  int year, month, day;
  int lunarYear, lunarMonth;
  bool leap;
  int lunarDay;
};

const ReferencePair kReference[] = {
#include "LunarReference.inc"
};

TEST(LunarCalendarTest, AgreesWithTheReferenceConvertersBothWays) {
  ASSERT_EQ(sizeof kReference / sizeof kReference[0], 3335u);
  for (const auto& r : kReference) {
    const CivilDate solar{r.year, r.month, r.day};
    const LunarDate lunar{r.lunarYear, r.lunarMonth, r.leap, r.lunarDay};
    LunarDate toLunar;
    ASSERT_TRUE(solarToLunar(solar, &toLunar)) << show(solar);
    EXPECT_EQ(show(toLunar), show(lunar)) << show(solar);
    CivilDate toSolar;
    ASSERT_TRUE(lunarToSolar(lunar, &toSolar)) << show(lunar);
    EXPECT_EQ(show(toSolar), show(solar)) << show(lunar);
  }
}

// Each year's months add up to the distance between its 正月初一 and the next year's: a wrong bit in
// a month length or a new year's day shows here for every year, not only for the reference days.
TEST(LunarCalendarTest, EveryYearsMonthsFillTheYear) {
  for (int year = kFirstLunarYear; year < kLastLunarYear; ++year) {
    int days = 0;
    for (int month = 1; month <= 12; ++month) {
      ASSERT_GE(lunarMonthDays(year, month, false), 29) << year << " " << month;
      days += lunarMonthDays(year, month, false) + lunarMonthDays(year, month, true);
    }
    const CivilDate start = lunarNewYear(year), next = lunarNewYear(year + 1);
    EXPECT_EQ(daysFromCivil(next.year, next.month, next.day) - daysFromCivil(start.year, start.month, start.day), days)
        << year;
    EXPECT_TRUE(days == 353 || days == 354 || days == 355 || days == 383 || days == 384 || days == 385) << year;
  }
}

TEST(LunarCalendarTest, LeapMonths) {
  const struct {
    int year, leapMonth;
  } cases[] = {
      {1900, 8}, {1901, 0}, {1990, 5},  {2017, 6}, {2020, 4}, {2023, 2}, {2024, 0},
      {2025, 6}, {2028, 5}, {2033, 11}, {2099, 2}, {2100, 0}, {1899, 0}, {2101, 0},  // outside the table
  };
  for (const auto& c : cases) EXPECT_EQ(lunarLeapMonth(c.year), c.leapMonth) << c.year;
}

TEST(LunarCalendarTest, MonthLengths) {
  const struct {
    int year, month;
    bool leap;
    int days;
  } cases[] = {
      {2025, 6, false, 30},
      {2025, 6, true, 29},
      {2025, 7, false, 30},
      {2025, 8, false, 29},
      {2026, 8, false, 29},
      {2027, 1, false, 30},
      {1900, 8, true, 29},
      {2100, 12, false, 29},
      // Months a year does not have.
      {2024, 6, true, 0},
      {2025, 5, true, 0},
      {2025, 0, false, 0},
      {2025, 13, false, 0},
      {1899, 12, false, 0},
      {2101, 1, false, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(lunarMonthDays(c.year, c.month, c.leap), c.days) << c.year << " " << c.month << " " << c.leap;
}

TEST(LunarCalendarTest, EdgesOfTheRange) {
  const struct {
    CivilDate solar;
    bool inRange;
    LunarDate lunar;
  } cases[] = {
      {{1850, 6, 1}, false, {}},
      {{1900, 1, 1}, false, {}},
      {{1900, 1, 30}, false, {}},
      {{1900, 1, 31}, true, {1900, 1, false, 1}},
      {{1900, 9, 24}, true, {1900, 8, true, 1}},
      {{2100, 2, 9}, true, {2100, 1, false, 1}},
      {{2101, 1, 10}, true, {2100, 12, false, 11}},
      {{2101, 1, 28}, true, {2100, 12, false, 29}},
      {{2101, 1, 29}, false, {}},
      {{2101, 6, 1}, false, {}},
      {{2200, 1, 1}, false, {}},
  };
  for (const auto& c : cases) {
    LunarDate lunar;
    ASSERT_EQ(solarToLunar(c.solar, &lunar), c.inRange) << show(c.solar);
    if (c.inRange) {
      EXPECT_EQ(show(lunar), show(c.lunar)) << show(c.solar);
    }
  }
  const struct {
    LunarDate lunar;
    bool exists;
  } lunarCases[] = {
      {{1899, 12, false, 1}, false},  {{2101, 1, false, 1}, false},  {{2100, 12, false, 29}, true},
      {{2100, 12, false, 30}, false}, {{2025, 8, false, 30}, false}, {{2025, 6, true, 30}, false},
      {{2025, 4, true, 1}, false},    {{2025, 8, false, 0}, false},  {{2025, 8, false, 31}, false},
  };
  for (const auto& c : lunarCases) {
    CivilDate solar;
    EXPECT_EQ(lunarToSolar(c.lunar, &solar), c.exists) << show(c.lunar);
  }
}

TEST(LunarCalendarTest, DateTextsAsUsersReadThem) {
  const struct {
    LunarDate lunar;
    std::string text;
  } cases[] = {
      {{2025, 1, false, 1}, "农历正月初一"},   {{2025, 2, false, 10}, "农历二月初十"},
      {{2025, 8, false, 15}, "农历八月十五"},  {{2025, 10, false, 19}, "农历十月十九"},
      {{2025, 11, false, 20}, "农历冬月二十"}, {{2025, 12, false, 8}, "农历腊月初八"},
      {{2025, 6, true, 21}, "农历闰六月廿一"}, {{2025, 7, false, 29}, "农历七月廿九"},
      {{2025, 7, false, 30}, "农历七月三十"},
  };
  for (const auto& c : cases) EXPECT_EQ(lunarDateText(c.lunar), c.text) << show(c.lunar);
}

// Today is 2025-06-15, lunar 2025 五月二十; 2025 has a leap sixth month and a 29-day eighth month.
const CivilDate kToday{2025, 6, 15};

TEST(LunarDateTextTest, YearlyDatesNameTheirNextOccurrence) {
  const struct {
    std::string text;
    CivilDate date;
  } cases[] = {
      {"农历八月十五", {2025, 10, 6}},
      {"农历8月15", {2025, 10, 6}},
      {"农历8月15日", {2025, 10, 6}},
      {"农历8-15", {2025, 10, 6}},
      {"农历8/15", {2025, 10, 6}},
      {"农历８月１５", {2025, 10, 6}},
      {"农历８－１５", {2025, 10, 6}},
      {" 农历 八月十五　", {2025, 10, 6}},
      {"农历八月廿一", {2025, 10, 12}},
      {"农历八月初十", {2025, 10, 1}},
      {"农历冬月初一", {2025, 12, 20}},
      {"农历十一月初一", {2025, 12, 20}},
      {"农历腊月初八", {2026, 1, 26}},
      {"农历十二月初八", {2026, 1, 26}},
      {"农历正月初一", {2026, 2, 17}},
      {"农历一月初一", {2026, 2, 17}},
      // Today counts; yesterday's comes back next year.
      {"农历五月二十", {2025, 6, 15}},
      {"农历五月十九", {2026, 7, 3}},
      {"农历四月初八", {2026, 5, 24}},
      // 三十 in a 29-day month is the month's last day.
      {"农历八月三十", {2025, 10, 20}},
      {"农历七月三十", {2025, 9, 21}},
      // 闰: the leap month in the years that have it, else the ordinary month of that number.
      {"农历闰六月初一", {2025, 7, 25}},
      {"农历六月初一", {2025, 6, 25}},
      {"农历闰六月三十", {2025, 8, 22}},
      {"农历闰四月初八", {2026, 5, 24}},
  };
  for (const auto& c : cases) {
    CivilDate date;
    WrittenDate written;
    ASSERT_EQ(readDateText(c.text, kToday, &date, &written), DateProblem::None) << c.text;
    EXPECT_EQ(show(date), show(c.date)) << c.text;
    EXPECT_EQ(written.form, DateForm::LunarYearly) << c.text;
  }
}

TEST(LunarDateTextTest, OneOffDates) {
  const struct {
    std::string text;
    CivilDate date;
  } cases[] = {
      {"农历1990年八月十五", {1990, 10, 3}},     {"农历1990-8-15", {1990, 10, 3}},
      {"农历1990/8/15", {1990, 10, 3}},          {"农历1990年8月15日", {1990, 10, 3}},
      {"农历１９９０年８月１５", {1990, 10, 3}}, {"农历1990年闰五月初一", {1990, 6, 23}},
      {"农历1900年正月初一", {1900, 1, 31}},     {"农历2100年腊月廿九", {2101, 1, 28}},
      {"农历2025年闰六月廿九", {2025, 8, 22}},   {"农历1990年八月初十", {1990, 9, 28}},
  };
  for (const auto& c : cases) {
    CivilDate date;
    WrittenDate written;
    ASSERT_EQ(readDateText(c.text, kToday, &date, &written), DateProblem::None) << c.text;
    EXPECT_EQ(show(date), show(c.date)) << c.text;
    EXPECT_EQ(written.form, DateForm::LunarDated) << c.text;
  }
}

TEST(LunarDateTextTest, UnreadableTextsSayWhy) {
  const struct {
    std::string text;
    DateProblem problem;
  } cases[] = {
      {"农历1899年腊月三十", DateProblem::LunarOutOfRange},
      {"农历2101年正月初一", DateProblem::LunarOutOfRange},
      {"农历0000年八月十五", DateProblem::LunarOutOfRange},  // a year, not a yearly date
      {"农历0000-8-15", DateProblem::LunarOutOfRange},
      {"农历2025年闰四月初一", DateProblem::NoSuchLunarMonth},
      {"农历2025年八月三十", DateProblem::NoSuchLunarDay},
      {"农历十三月初一", DateProblem::NotADate},
      {"农历8月31", DateProblem::NotADate},
      {"农历0-15", DateProblem::NotADate},
      {"农历八月十", DateProblem::NotADate},
      {"农历八月初十一", DateProblem::NotADate},
      {"农历八月卅", DateProblem::NotADate},
      {"农历八月", DateProblem::NotADate},
      {"农历", DateProblem::NotADate},
      {"八月十五", DateProblem::NotADate},
      {"农历八月十五号", DateProblem::NotADate},
      {"农历1990-8月15", DateProblem::NotADate},
      {"农历1990年8-15", DateProblem::NotADate},
      {"农历8-15日", DateProblem::NotADate},
      {"农历90年八月十五", DateProblem::NotADate},
      {"生日农历八月十五", DateProblem::NotADate},
      // Solar texts keep their problems.
      {"2025-02-30", DateProblem::NoSuchDay},
      {"2月30日", DateProblem::NoSuchDay},
      {"1899-12-31", DateProblem::YearOutOfRange},
      {"", DateProblem::NotADate},
  };
  for (const auto& c : cases) {
    CivilDate date;
    EXPECT_EQ(readDateText(c.text, kToday, &date, nullptr), c.problem) << c.text;
  }
}

TEST(LunarDateTextTest, YearlyDatesAtTheEndsOfTheTable) {
  const struct {
    CivilDate today;
    std::string text;
    bool readable;
    CivilDate date;
  } cases[] = {
      {{1900, 1, 1}, "农历正月初一", true, {1900, 1, 31}},
      {{2101, 1, 10}, "农历腊月二十", true, {2101, 1, 19}},
      {{2101, 1, 10}, "农历正月初一", false, {}},
      {{2101, 6, 1}, "农历八月十五", false, {}},
  };
  for (const auto& c : cases) {
    CivilDate date;
    const DateProblem problem = readDateText(c.text, c.today, &date, nullptr);
    EXPECT_EQ(problem, c.readable ? DateProblem::None : DateProblem::LunarOutOfRange) << c.text;
    if (c.readable) {
      EXPECT_EQ(show(date), show(c.date)) << c.text;
    }
  }
}

// The anniversary of a date: the day its month and day come back, by the calendar it was written in.
TEST(LunarDateTextTest, NextOccurrenceOfWrittenDates) {
  const struct {
    WrittenDate written;
    CivilDate date;
    int year;
  } cases[] = {
      {{DateForm::Dated, 2020, 6, 30, false}, {2025, 6, 30}, 2025},
      {{DateForm::Dated, 2020, 6, 15, false}, {2025, 6, 15}, 2025},
      {{DateForm::Dated, 2024, 2, 29, false}, {2028, 2, 29}, 2028},
      {{DateForm::LunarDated, 1990, 8, 15, false}, {2025, 10, 6}, 2025},
      {{DateForm::LunarDated, 1990, 5, 1, true}, {2026, 6, 15}, 2026},
      {{DateForm::LunarDated, 2006, 7, 30, false}, {2025, 9, 21}, 2025},
  };
  for (const auto& c : cases) {
    CivilDate date;
    int year = 0;
    ASSERT_TRUE(nextOccurrence(c.written, kToday, &date, &year));
    EXPECT_EQ(show(date), show(c.date));
    EXPECT_EQ(year, c.year);
  }
}

}  // namespace
