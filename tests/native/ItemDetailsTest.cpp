// What a row's tooltip and its --list line say. Chinese literals compile to GBK.
#include <gtest/gtest.h>

#include <string>

#include "items/DayCount.h"
#include "items/ItemDetails.h"

namespace {

// Sunday 2025-06-15, lunar 五月二十, in the middle of the day.
CTime now() { return CTime(2025, 6, 15, 10, 30, 0); }

TEST(ItemDetailsTest, TooltipTexts) {
  const struct {
    std::string dateText;
    std::string tip;
  } cases[] = {
      // A coming date: its day and lunar date.
      {"2027-09-15", "2027年9月15日 星期三\r\n农历八月十五"},
      // Yearly dates, solar and lunar, say so.
      {"农历八月十五", "2025年10月6日 星期一\r\n农历八月十五\r\n每年"},
      {"5月20日", "2026年5月20日 星期三\r\n农历四月初四\r\n每年"},
      {"6-15", "2025年6月15日 星期日\r\n农历五月二十\r\n每年"},
      // Past one-off dates count to their next anniversary, by the calendar they were written in.
      {"2022-07-31", "2022年7月31日 星期日\r\n农历七月初三\r\n第 3 个周年还有 46 天"},
      {"农历1990年八月十五", "1990年10月3日 星期三\r\n农历八月十五\r\n第 35 个周年还有 113 天"},
      {"2020-06-15", "2020年6月15日 星期一\r\n农历闰四月廿四\r\n今天是第 5 个周年"},
      // Before lunar 1900 there is no lunar date.
      {"1900-01-01", "1900年1月1日 星期一\r\n第 126 个周年还有 200 天"},
      // Today's one-off date is no anniversary yet.
      {"2025-06-15", "2025年6月15日 星期日\r\n农历五月二十"},
      // Texts that are no date say why.
      {"2025-02-30", "无法识别的日期：2025-02-30\r\n日历上没有这一天"},
      {" 1899-12-31 ", "无法识别的日期：1899-12-31\r\n年份要在 1900 到 9999 之间"},
      {"农历2101年正月初一", "无法识别的日期：农历2101年正月初一\r\n农历日期要在 1900 到 2100 年之间"},
      {"农历2025年闰四月初一", "无法识别的日期：农历2025年闰四月初一\r\n那一年没有这个闰月"},
      {"农历2025年八月三十", "无法识别的日期：农历2025年八月三十\r\n那一年的这个农历月只有 29 天"},
      {"", "无法识别的日期：\r\n这一行没有日期：名称后面要有逗号和日期"},
      {"明天",
       "无法识别的日期：明天\r\n日期可以写成 2025-05-20、2025/5/20、2025年5月20日、农历1990年八月十五，"
       "每年一次的写成 5月20日、农历八月十五"},
      {"农历0000年八月十五", "无法识别的日期：农历0000年八月十五\r\n农历日期要在 1900 到 2100 年之间"},
  };
  for (const auto& c : cases) EXPECT_EQ(itemTipText(c.dateText, itemDetails(c.dateText, now())), c.tip) << c.dateText;
}

TEST(ItemDetailsTest, ListLines) {
  const struct {
    std::string name, dateText, line;
  } cases[] = {
      {"生日", "2027-09-15", "生日\tupcoming\t822\t2027-09-15\t农历八月十五"},
      {"中秋", "农历8-15", "中秋\tupcoming\t113\t2025-10-06\t农历八月十五"},
      {"今天", "农历五月二十", "今天\ttoday\t0\t2025-06-15\t农历五月二十"},
      {"相识", "2022-07-31", "相识\tpast\t1050\t2022-07-31\t农历七月初三"},
      {"很久", "1900-01-01", "很久\tpast\t45821\t1900-01-01\t"},
      {"a\tb", "x", "a b\tunreadable\t\t\t"},
      {"", "", "\tunreadable\t\t\t"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(itemListLine(c.name, itemDetails(c.dateText, now())), c.line + "\t\t\t") << c.name;  // no options
}

// 岁 and 周年: the years a dated date reaches on its next yearly occurrence, on the day itself that
// day's; the row's name, its tooltip and its --list line carry them.
TEST(ItemDetailsTest, YearsReachedOnTheNextOccurrence) {
  const struct {
    const char* dateText;
    const char* options;
    CTime now;
    const char* shown;  // the name "x" as the row shows it
    int days;           // to the occurrence that reaches them
  } cases[] = {
      {"1966-05-20", "岁", CTime(2026, 5, 19, 23, 59, 0), "x·60岁", 1},
      {"1966-05-20", "岁", CTime(2026, 5, 20, 0, 0, 0), "x·60岁", 0},
      {"1966-05-20", "岁", CTime(2026, 5, 21, 0, 0, 0), "x·61岁", 364},
      {"1966-05-20", "每年,岁", CTime(2026, 5, 20, 12, 0, 0), "x·60岁", 0},
      {"2016-10-01", "周年", CTime(2026, 9, 30, 12, 0, 0), "x·10周年", 1},
      {"2016-10-01", "岁,周年", CTime(2026, 10, 2, 12, 0, 0), "x·11周年", 364},  // the last one written
      // 29 February: its anniversaries fall in the years that have it, as 每年 counts them.
      {"2000-02-29", "岁", CTime(2027, 2, 28, 12, 0, 0), "x·28岁", 366},
      {"2000-02-29", "岁", CTime(2028, 2, 29, 12, 0, 0), "x·28岁", 0},
      {"2000-02-29", "岁", CTime(2028, 3, 1, 12, 0, 0), "x·32岁", 1460},
      // Lunar dates by lunar years: 农历八月十五 was 2025-10-06.
      {"农历1990年八月十五", "岁", CTime(2025, 10, 5, 12, 0, 0), "x·35岁", 1},
      {"农历1990年八月十五", "岁", CTime(2025, 10, 6, 12, 0, 0), "x·35岁", 0},
      {"农历1990年八月十五", "周年", CTime(2025, 10, 7, 12, 0, 0), "x·36周年", 353},
      // No label without a year, before the first anniversary, or for a date that cannot be read.
      {"5月20日", "岁", CTime(2026, 5, 20, 12, 0, 0), "x", 0},
      {"农历八月十五", "周年", CTime(2026, 5, 20, 12, 0, 0), "x", 0},
      {"2030-01-01", "周年", CTime(2026, 5, 20, 12, 0, 0), "x", 0},
      {"2026-05-20", "岁", CTime(2026, 5, 20, 12, 0, 0), "x", 0},
      {"2025-02-30", "岁", CTime(2026, 5, 20, 12, 0, 0), "x", 0},
      {"1966-05-20", "", CTime(2026, 5, 20, 12, 0, 0), "x", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.dateText) + " " + c.options + " " + std::to_string(c.now.GetDay()));
    const ItemOptions options = parseItemOptions(c.options);
    EXPECT_TRUE(options.unknown.empty());
    const ItemDetails d = itemDetails(c.dateText, options, c.now);
    EXPECT_EQ(shownName("x", d), c.shown);
    EXPECT_EQ(d.yearsDays, c.days);
    const std::vector<std::string> fields = itemListFields("x", d, options);
    const std::string label = std::string(c.shown).substr(1);
    ASSERT_EQ(fields.size(), label.empty() ? 8u : 10u);
    EXPECT_EQ(fields[0], "x");  // the name column stays the name as written
    if (!label.empty()) {
      EXPECT_EQ(fields[8], "");
      EXPECT_EQ("·" + fields[9], label);
    }
  }
}

TEST(ItemDetailsTest, YearsInTheTooltipAndBesideTheWorkdayColumn) {
  const CTime day(2026, 5, 18, 12, 0, 0);
  const auto tip = [&](const char* date, const char* options) {
    return itemTipText(date, itemDetails(date, parseItemOptions(options), day));
  };
  EXPECT_EQ(tip("1966-05-20", "每年,岁"),
            "2026年5月20日 星期三\r\n农历四月初四\r\n第 60 个周年还有 2 天\r\n还有 2 天满 60 岁");
  EXPECT_EQ(tip("1966-05-18", "岁"), "1966年5月18日 星期三\r\n农历闰三月廿八\r\n今天是第 60 个周年\r\n今天满 60 岁");
  // The anniversary line says the 周年 already.
  EXPECT_EQ(tip("2016-05-20", "周年"), "2016年5月20日 星期五\r\n农历四月十四\r\n第 10 个周年还有 2 天");
  EXPECT_EQ(tip("2016-05-20", "每月,周年"), "2026年5月20日 星期三\r\n农历四月初四\r\n每月\r\n还有 2 天满 10 周年");
  // 工作日 keeps its ninth column; the label is the tenth.
  const ItemOptions options = parseItemOptions("工作日,周年");
  const std::vector<std::string> fields = itemListFields("x", itemDetails("2016-05-20", options, day), options);
  ASSERT_EQ(fields.size(), 10u);
  EXPECT_EQ(fields[8].substr(0, 8), "workdays");
  EXPECT_EQ(fields[9], "10周年");
}

// The widget's counts come from the same details as the tooltip and the listing.
TEST(ItemDetailsTest, CountsOfLunarRows) {
  ItemRecord records[3] = {
      {"a", "农历八月十五", 0, 0}, {"b", "农历1990年闰五月初一", 0, 0}, {"c", "农历1990年闰四月初一", 0, 0}};
  countDaysAt(now(), records, 3);
  EXPECT_EQ(records[0].kind, Upcoming);
  EXPECT_EQ(records[0].days, 113);
  EXPECT_EQ(records[1].kind, Past);
  EXPECT_EQ(records[1].days, 12776);  // 1990-06-23
  EXPECT_EQ(records[2].kind, Unreadable);
}

}  // namespace
