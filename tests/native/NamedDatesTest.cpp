// The named yearly dates: the 24 solar terms, computed, against a reference over every year of
// 1900..2100; 除夕; the nth or last weekday of a month; and how dates in these forms read. Chinese
// literals compile to GBK.
#include <gtest/gtest.h>

#include <string>

#include "core/DateText.h"
#include "core/SolarTerms.h"

namespace {

struct ReferenceYear {
  int year;
  int days[kSolarTermCount];
};

const ReferenceYear kReference[] = {
#include "SolarTermReference.inc"
};

TEST(SolarTermsTest, EveryTermOf1900To2100OnTheReferenceDay) {
  ASSERT_EQ(sizeof kReference / sizeof kReference[0], 201u);
  int wrong = 0;
  for (const auto& r : kReference) {
    for (int k = 0; k < kSolarTermCount; ++k) {
      const CivilDate date = solarTermDate(r.year, k);
      const CivilDate expected{r.year, k / 2 + 1, r.days[k]};
      if (date != expected) ++wrong;
      EXPECT_EQ(date, expected) << r.year << " " << k << ": " << date.month << "-" << date.day;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(SolarTermsTest, NamesBothWays) {
  for (int k = 0; k < kSolarTermCount; ++k) EXPECT_EQ(solarTermIndex(solarTermName(k)), k);
  EXPECT_EQ(solarTermIndex("清明"), 6);
  EXPECT_EQ(solarTermIndex("冬至"), 23);
  EXPECT_EQ(solarTermIndex("清明节"), -1);
  EXPECT_EQ(solarTermIndex(""), -1);
}

std::string show(const CivilDate& d) {
  return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

TEST(NamedDatesTest, ReadAsYearlyDates) {
  const struct {
    const char* text;
    CivilDate today;
    const char* date;  // empty: no date
  } cases[] = {
      {"清明", {2025, 3, 1}, "2025-4-4"},
      {" 清明\t", {2025, 4, 4}, "2025-4-4"},  // today's
      {"清明", {2025, 4, 5}, "2026-4-5"},
      {"\xA1\xA1冬至\xA1\xA1", {2025, 12, 22}, "2026-12-22"},
      {"除夕", {2025, 1, 1}, "2025-1-28"},   // 腊月廿九: lunar 2024's 腊月 has 29 days
      {"除夕", {2025, 1, 29}, "2026-2-16"},  // 腊月三十
      {"5月第2个周日", {2025, 1, 1}, "2025-5-11"},
      {"5月第2个周日", {2025, 5, 12}, "2026-5-10"},
      {"６月第３个星期日", {2025, 1, 1}, "2025-6-15"},
      {"11月第四个周四", {2025, 1, 1}, "2025-11-27"},
      {"5月最后一个周一", {2025, 1, 1}, "2025-5-26"},
      {"5月最后一个周天", {2025, 1, 1}, "2025-5-25"},
      {"3月第1个周六", {2025, 1, 1}, "2025-3-1"},   // on the 1st
      {"2月第5个周日", {2025, 1, 1}, "2032-2-29"},  // the next February with five Sundays
      {"清明节", {2025, 1, 1}, ""},
      {"除夕夜", {2025, 1, 1}, ""},
      {"5月第6个周日", {2025, 1, 1}, ""},
      {"5月第0个周日", {2025, 1, 1}, ""},
      {"13月第1个周一", {2025, 1, 1}, ""},
      {"5月第2个周八", {2025, 1, 1}, ""},
      {"5月第2个周日 ,", {2025, 1, 1}, ""},
      {"5月第2周日", {2025, 1, 1}, ""},
      {"农历清明", {2025, 1, 1}, ""},
  };
  for (const auto& c : cases) {
    CivilDate date;
    WrittenDate written;
    const DateProblem problem = readDateText(c.text, c.today, &date, &written);
    EXPECT_EQ(problem == DateProblem::None ? show(date) : "", c.date) << c.text;
    if (problem == DateProblem::None) {
      EXPECT_TRUE(isYearlyForm(written.form)) << c.text;
      // The canonical text reads as the same date.
      CivilDate again;
      EXPECT_TRUE(parseDateText(namedDateText(written), c.today, &again)) << c.text;
      EXPECT_EQ(show(again), show(date)) << namedDateText(written);
    }
  }
}

TEST(NamedDatesTest, TheEveAtBothEndsOfTheLunarTable) {
  const struct {
    CivilDate from;
    const char* eve;
  } cases[] = {
      {{1900, 1, 1}, "1900-1-30"},  // lunar 1899's, the day before the table's first new year
      {{2100, 6, 1}, "2101-1-28"},  // lunar 2100's, from its months: the table has no 2101
      {{2101, 1, 29}, ""},          // none after it
  };
  for (const auto& c : cases) {
    CivilDate date;
    int year;
    const bool found = nextOccurrence(WrittenDate{DateForm::LunarEve}, c.from, &date, &year);
    EXPECT_EQ(found ? show(date) : "", c.eve) << show(c.from);
  }
}

}  // namespace
