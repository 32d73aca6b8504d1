// What comes next for a line with options: each repeat rule's next occurrence, milestones under both
// conventions, and what the row, its tooltip and its --list line say. Chinese literals compile to GBK.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "items/ItemDetails.h"
#include "items/ItemOptions.h"
#include "items/Occurrence.h"

namespace {

CTime at(const CivilDate& day) { return CTime(day.year, day.month, day.day, 10, 30, 0); }

std::string row(const ItemDetails& d) {
  static const char* const kKinds[] = {"upcoming", "today", "past", "unreadable"};
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", d.date.year, d.date.month, d.date.day);
  return std::string(kKinds[d.kind]) + " " + std::to_string(d.days) + " " + date;
}

struct RowCase {
  const char* dateText;
  const char* options;
  CivilDate today;
  const char* row;  // kind, days and the date the count refers to
};

TEST(OccurrenceTest, EachRulesNextOccurrence) {
  const RowCase cases[] = {
      // 每月: a day the month lacks is its last day, without carrying over.
      {"2025-01-31", "每月", {2025, 2, 10}, "upcoming 18 2025-02-28"},
      {"2025-01-31", "每月", {2025, 3, 1}, "upcoming 30 2025-03-31"},
      {"2024-01-31", "每月", {2024, 2, 10}, "upcoming 19 2024-02-29"},
      {"2025-01-29", "每月", {2025, 3, 1}, "upcoming 28 2025-03-29"},
      {"2025-01-30", "每月", {2025, 4, 30}, "today 0 2025-04-30"},
      {"2025-01-31", "每月", {2026, 1, 1}, "upcoming 30 2026-01-31"},
      {"12-25", "每月", {2025, 6, 15}, "upcoming 10 2025-06-25"},
      // 2月29日: the 29th of a month (or its last day), the weekday of the latest 29 February.
      {"2月29日", "每月", {2026, 12, 8}, "upcoming 21 2026-12-29"},
      {"2月29日", "每周", {2026, 12, 8}, "upcoming 2 2026-12-10"},
      // Before its first date a repeating row counts down to that date.
      {"2025-06-20", "每月", {2025, 6, 15}, "upcoming 5 2025-06-20"},
      {"2025-12-30", "每3天", {2025, 12, 20}, "upcoming 10 2025-12-30"},
      {"2030-01-01", "每年", {2025, 6, 15}, "upcoming 1661 2030-01-01"},
      {"农历2025年正月十七", "农历每月", {2025, 1, 1}, "upcoming 44 2025-02-14"},
      // 每周 and 每N天, across years.
      {"2025-06-01", "每周", {2025, 6, 15}, "today 0 2025-06-15"},
      {"2025-06-01", "每周", {2025, 6, 16}, "upcoming 6 2025-06-22"},
      {"6-15", "每周", {2025, 6, 15}, "today 0 2025-06-15"},
      {"2024-12-25", "每10天", {2025, 1, 1}, "upcoming 3 2025-01-04"},
      {"2023-12-31", "每366天", {2025, 1, 1}, "upcoming 365 2026-01-01"},
      // 每年: 2月29日 only in the years that have it, as the widget counts yearly dates.
      {"2024-02-29", "每年", {2025, 6, 15}, "upcoming 989 2028-02-29"},
      {"2024-02-29", "每年", {2028, 2, 29}, "today 0 2028-02-29"},
      {"2024-02-29", "每年", {2028, 3, 1}, "upcoming 1460 2032-02-29"},
      {"2020-06-15", "每年", {2025, 6, 15}, "today 0 2025-06-15"},
      {"农历2020年五月二十", "每年", {2025, 6, 15}, "today 0 2025-06-15"},
      {"2020-06-15", "", {2025, 6, 15}, "past 1826 2020-06-15"},
      // 农历每月: leap months included; 三十 is the last day of a 29-day month (闰二月 2023 has 29 days).
      {"农历2023年二月三十", "农历每月", {2023, 3, 21}, "today 0 2023-03-21"},
      {"农历2023年二月三十", "农历每月", {2023, 3, 22}, "upcoming 28 2023-04-19"},
      {"农历2025年正月十七", "农历每月", {2025, 8, 1}, "upcoming 9 2025-08-10"},  // 闰六月十七
      {"农历2025年正月十七", "农历每月", {2025, 7, 20}, "upcoming 21 2025-08-10"},
      {"2026-03-18", "农历每月", {2026, 12, 1}, "upcoming 7 2026-12-08"},  // 正月三十 → 十月三十
      // A date without a year repeats from its latest occurrence.
      {"5-20", "每月", {2025, 6, 15}, "upcoming 5 2025-06-20"},
      {"5-20", "每年", {2025, 6, 15}, "upcoming 339 2026-05-20"},
      // Milestones: day 100 of 2025-03-07 is 2025-06-15, or 2025-06-14 when the first day is day 1.
      {"2025-03-07", "里程碑", {2025, 6, 15}, "today 100 2025-06-15"},
      {"2025-03-07", "里程碑,含当天", {2025, 6, 15}, "past 100 2025-03-07"},
      {"2025-03-07", "里程碑,含当天", {2025, 6, 14}, "today 100 2025-06-14"},
      {"2025-03-07", "里程碑", {2025, 6, 14}, "past 99 2025-03-07"},
      // The boundary: on the first day itself it is day 1 only with 含当天.
      {"2025-06-15", "里程碑1,含当天", {2025, 6, 15}, "today 1 2025-06-15"},
      {"2025-06-15", "里程碑1", {2025, 6, 15}, "today 0 2025-06-15"},
      {"2025-06-15", "里程碑1", {2025, 6, 16}, "today 1 2025-06-16"},
      // A milestone day of a repeating row shows the milestone.
      {"2025-03-07", "每月,里程碑", {2025, 6, 15}, "today 100 2025-06-15"},
  };
  for (const RowCase& c : cases) {
    EXPECT_EQ(row(itemDetails(c.dateText, parseItemOptions(c.options), at(c.today))), c.row)
        << c.dateText << " " << c.options << " " << c.today.year << "-" << c.today.month << "-" << c.today.day;
  }
}

TEST(OccurrenceTest, MilestoneDatesUnderBothConventions) {
  const struct {
    const char* options;
    int number;
    CivilDate date;
  } cases[] = {
      {"里程碑", 100, {2025, 6, 15}},  {"里程碑,含当天", 100, {2025, 6, 14}},
      {"里程碑", 520, {2026, 8, 9}},   {"里程碑,含当天", 520, {2026, 8, 8}},
      {"里程碑", 1000, {2027, 12, 2}}, {"里程碑,含当天", 1000, {2027, 12, 1}},
      {"里程碑1", 1, {2025, 3, 8}},    {"里程碑1,含当天", 1, {2025, 3, 7}},
  };
  for (const auto& c : cases) {
    const DateRule rule = dateRule(WrittenDate{DateForm::Dated, 2025, 3, 7, false}, CivilDate{2025, 3, 7},
                                   parseItemOptions(c.options), CivilDate{2025, 1, 1});
    EXPECT_EQ(milestoneDate(rule, c.number), c.date) << c.options << " " << c.number;
  }
  EXPECT_EQ(milestoneNumbers(parseItemOptions("里程碑2000,里程碑,里程碑7")),
            (std::vector<int>{7, 100, 200, 300, 500, 520, 1000, 1314, 2000, 3000, 5000, 10000}));
  EXPECT_TRUE(milestoneNumbers(parseItemOptions("每年")).empty());
}

TEST(OccurrenceTest, TooltipsTellTheRuleAnniversariesAndMilestones) {
  const struct {
    const char* dateText;
    const char* options;
    CivilDate today;
    const char* ending;
  } cases[] = {
      {"2025-01-31", "每月", {2025, 2, 10}, "\r\n每月"},
      {"2025-06-01", "每周", {2025, 6, 16}, "\r\n每周"},
      {"2024-12-25", "每10天", {2025, 1, 1}, "\r\n每 10 天"},
      {"农历2025年正月十七", "农历每月", {2025, 8, 1}, "\r\n农历每月"},
      {"2020-06-15", "每年", {2025, 6, 15}, "\r\n今天是第 5 个周年"},
      {"2024-02-29", "每年", {2025, 6, 15}, "2028年2月29日 星期二\r\n农历二月初五\r\n第 4 个周年还有 989 天"},
      {"2025-03-07",
       "里程碑",
       {2025, 6, 15},
       "\r\n今天是第 100 天\r\n下一个里程碑：第 200 天，2025年9月23日 星期二，还有 100 天"},
      {"2025-03-07", "里程碑,含当天", {2025, 6, 15}, "\r\n下一个里程碑：第 200 天，2025年9月22日 星期一，还有 99 天"},
  };
  for (const auto& c : cases) {
    const std::string tip = itemTipText(c.dateText, itemDetails(c.dateText, parseItemOptions(c.options), at(c.today)));
    const std::string ending = c.ending;
    EXPECT_TRUE(tip.size() >= ending.size() && tip.substr(tip.size() - ending.size()) == ending)
        << c.dateText << " " << c.options << ": " << tip;
  }
}

TEST(OccurrenceTest, ListLinesAddOptionsNextReminderAndNextMilestone) {
  const struct {
    const char* name;
    const char* dateText;
    const char* options;
    const char* line;
  } cases[] = {
      {"a", "2027-09-15", "", "a\tupcoming\t822\t2027-09-15\t农历八月十五\t\t\t"},
      {"妈妈生日", "5月20日", "提前7天,提醒",
       "妈妈生日\tupcoming\t339\t2026-05-20\t农历四月初四\t提前7天,提醒\t2026-05-13\t"},
      {"相识", "2025-03-07", "里程碑,提醒",
       "相识\ttoday\t100\t2025-06-15\t农历五月二十\t里程碑,提醒\t2025-06-15\t100 2025-06-15"},
      {"相识", "2025-03-07", "里程碑,含当天",
       "相识\tpast\t100\t2025-03-07\t农历二月初八\t里程碑,含当天\t\t200 2025-09-22"},
      // A one-off date whose reminder day has passed: none comes, its anniversaries are 每年's.
      {"考试", "2025-06-20", "提前30天", "考试\tupcoming\t5\t2025-06-20\t农历五月廿五\t提前30天\t\t"},
      {"结婚", "2020-06-14", "提醒", "结婚\tpast\t1827\t2020-06-14\t农历闰四月廿三\t提醒\t\t"},
      {"结婚", "2020-06-14", "每年,提醒", "结婚\tupcoming\t364\t2026-06-14\t农历四月廿九\t每年,提醒\t2026-06-14\t"},
      // A lead as long as the gap: the reminder of the later occurrence is on its own day.
      {"周会", "2025-06-10", "每周,提前7天", "周会\tupcoming\t2\t2025-06-17\t农历五月廿二\t每周,提前7天\t2025-06-17\t"},
      // Nothing past 2100: day 10000 of 2080-01-01 would be 2107-05-20.
      {"远", "2080-01-01", "里程碑10000,提醒",
       "远\tupcoming\t19923\t2080-01-01\t农历腊月初十\t里程碑10000,提醒\t2080-01-01\t"},
      {"x", "明天", "提醒", "x\tunreadable\t\t\t\t提醒\t\t"},
      // 工作日: Monday 16 to Friday 20; back to Sunday 1 June, 端午节 on Monday 2 June not counted.
      {"报告", "2025-06-20", "工作日", "报告\tupcoming\t5\t2025-06-20\t农历五月廿五\t工作日\t\t\tworkdays"},
      {"入职", "2025-06-01", "工作日", "入职\tpast\t9\t2025-06-01\t农历五月初六\t工作日\t\t\tworkdays"},
      {"x", "明天", "工作日", "x\tunreadable\t\t\t\t工作日\t\t"},
  };
  for (const auto& c : cases) {
    const ItemOptions options = parseItemOptions(c.options);
    EXPECT_EQ(itemListLine(c.name, itemDetails(c.dateText, options, at({2025, 6, 15})), options), c.line) << c.name;
  }
}

}  // namespace
