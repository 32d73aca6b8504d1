// The holiday arrangements: the built-in table against an independent data set for every date it
// covers, working-day counts and the breaks. Chinese literals compile to GBK.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/Holidays.h"
#include "items/ItemDetails.h"

namespace {

std::string show(const CivilDate& d) {
  return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

struct ReferenceDay {
  int year, month, day;
  const char* name;
  bool work;
};

const ReferenceDay kReference[] = {
#include "HolidayReference.inc"
};

bool isWeekend(const CivilDate& d) {
  const int weekday = static_cast<int>(((daysFromCivil(d.year, d.month, d.day) + 4) % 7 + 7) % 7);
  return weekday == 0 || weekday == 6;
}

TEST(HolidaysTest, AgreesWithTheIndependentDataSetOnEveryDate) {
  std::map<int64_t, const ReferenceDay*> reference;
  for (const auto& r : kReference) reference[daysFromCivil(r.year, r.month, r.day)] = &r;
  // Where the reference misses a 补班 day that the year's notice names.
  const std::map<int64_t, const char*> referenceGaps = {
      {daysFromCivil(2013, 4, 7), "清明节：4月7日（星期日）上班"},
      {daysFromCivil(2013, 10, 12), "国庆节：9月29日（星期日）、10月12日（星期六）上班"}};
  const HolidayCalendar calendar;
  int entries = 0;
  for (int64_t day = daysFromCivil(kFirstHolidayTableYear, 1, 1); day <= daysFromCivil(kLastHolidayTableYear, 12, 31);
       ++day) {
    const CivilDate date = civilFromDays(day);
    const auto ref = reference.find(day);
    const bool referenceWorks = ref != reference.end() ? ref->second->work : !isWeekend(date);
    const HolidayDay* entry = calendar.find(date);
    entries += entry != nullptr;
    if (referenceGaps.count(day)) {
      EXPECT_TRUE(entry && entry->work && ref == reference.end()) << show(date);
      continue;
    }
    EXPECT_EQ(calendar.isWorkday(date), referenceWorks) << show(date);
    if (!entry || ref == reference.end()) continue;
    // Both name the day: the same holiday, and a combined break is either of its parts there.
    const std::string name = ref->second->name;
    EXPECT_TRUE(entry->name == name || (entry->name == "中秋节、国庆节" && (name == "中秋节" || name == "国庆节")))
        << show(date) << " " << entry->name << " / " << name;
    EXPECT_EQ(entry->work, ref->second->work) << show(date);
  }
  EXPECT_EQ(entries, 584);
  ASSERT_TRUE(calendar.find({2020, 2, 2}));  // the 2020 春节 extension
  EXPECT_EQ(calendar.find({2020, 2, 2})->name, "春节");
}

TEST(HolidaysTest, WorkingDayCounts) {
  HolidayCalendar calendar;
  calendar.setUserDays({{{2028, 1, 3}, "元旦", false}});
  const struct {
    CivilDate from, to;
    int workdays;
    int noDataYear;
  } cases[] = {
      {{2025, 4, 25}, {2025, 5, 6}, 5, 0},  // 补班 Sunday 4月27日 counted, 5月1日至5日 not
      {{2025, 5, 6}, {2025, 4, 25}, 5, 0},  // a date before today: the same days
      {{2025, 4, 26}, {2025, 4, 27}, 1, 0},
      {{2025, 4, 27}, {2025, 4, 27}, 0, 0},
      {{2025, 12, 29}, {2026, 1, 5}, 4, 0},      // 12月30日, 31日, 1月4日 (补班), 5日
      {{2024, 12, 31}, {2025, 12, 31}, 248, 0},  // 261 weekdays, 18 of them off, 5 补班 days
      {{2026, 12, 28}, {2027, 1, 8}, 9, 2027},   // 2027 without data: its weekdays, 1月1日 included
      {{2027, 1, 8}, {2026, 12, 28}, 9, 2027},
      {{2027, 12, 31}, {2028, 1, 4}, 1, 0},     // 2028 known from a user line: 1月3日 off
      {{2009, 12, 30}, {2010, 1, 4}, 2, 2009},  // 12月31日, 1月4日; 2010年1月1日至3日 off
  };
  for (const auto& c : cases) {
    int noDataYear = -1;
    EXPECT_EQ(calendar.workdaysBetween(c.from, c.to, &noDataYear), c.workdays) << show(c.from) << " " << show(c.to);
    EXPECT_EQ(noDataYear, c.noDataYear) << show(c.from) << " " << show(c.to);
  }
}

TEST(HolidaysTest, UserDaysAddAndReplace) {
  HolidayCalendar calendar;
  EXPECT_FALSE(calendar.hasYear(2027));
  EXPECT_TRUE(calendar.hasYear(2010));
  EXPECT_FALSE(calendar.hasYear(2009));
  calendar.setUserDays({{{2026, 10, 10}, "公司调休", false}, {{2027, 2, 6}, "春节", false}});
  EXPECT_FALSE(calendar.isWorkday({2026, 10, 10}));  // a 补班 Saturday made a day off
  EXPECT_EQ(calendar.find({2026, 10, 10})->name, "公司调休");
  EXPECT_TRUE(calendar.hasYear(2027));
  ASSERT_EQ(calendar.yearDays(2027).size(), 1u);
  EXPECT_EQ(calendar.yearDays(2026).size(), 39u);  // as many as before: one replaced
  calendar.setUserDays({});                        // the file emptied: the built-in day again
  EXPECT_TRUE(calendar.isWorkday({2026, 10, 10}));
  EXPECT_FALSE(calendar.hasYear(2027));
}

TEST(HolidaysTest, NextBreak) {
  HolidayCalendar calendar;
  calendar.setUserDays({{{2027, 1, 1}, "元旦", false}});
  const struct {
    CivilDate from;
    const char* name;
    CivilDate first, last;
    std::vector<CivilDate> workdays;
  } cases[] = {
      {{2025, 9, 20}, "中秋节、国庆节", {2025, 10, 1}, {2025, 10, 8}, {{2025, 9, 28}, {2025, 10, 11}}},
      {{2025, 10, 1}, "中秋节、国庆节", {2025, 10, 1}, {2025, 10, 8}, {{2025, 9, 28}, {2025, 10, 11}}},
      {{2025, 10, 2}, "元旦", {2026, 1, 1}, {2026, 1, 3}, {{2026, 1, 4}}},
      {{2014, 5, 20}, "端午节", {2014, 5, 31}, {2014, 6, 2}, {}},             // joined to its weekend
      {{2020, 1, 20}, "春节", {2020, 1, 24}, {2020, 2, 2}, {{2020, 1, 19}}},  // the extension
      {{2026, 10, 2}, "元旦", {2027, 1, 1}, {2027, 1, 3}, {}},                // a user line
  };
  for (const auto& c : cases) {
    HolidayBreak next;
    ASSERT_TRUE(calendar.nextBreak(c.from, &next)) << show(c.from);
    EXPECT_EQ(next.name, c.name) << show(c.from);
    EXPECT_EQ(show(next.first) + " " + show(next.last), show(c.first) + " " + show(c.last)) << show(c.from);
    ASSERT_EQ(next.workdays.size(), c.workdays.size()) << show(c.from);
    for (size_t i = 0; i < c.workdays.size(); ++i) EXPECT_EQ(next.workdays[i], c.workdays[i]) << show(c.from);
  }
  HolidayBreak next;
  ASSERT_TRUE(calendar.nextBreak({2025, 9, 20}, &next));
  EXPECT_EQ(holidayBreakText(next), "放假 10月1日至8日，共 8 天；9月28日（星期日）、10月11日（星期六）补班");
  ASSERT_TRUE(calendar.nextBreak({2025, 1, 2}, &next));
  EXPECT_EQ(holidayBreakText(next), "放假 1月28日至2月4日，共 8 天；1月26日（星期日）、2月8日（星期六）补班");
  ASSERT_TRUE(calendar.nextBreak({2025, 5, 6}, &next));
  EXPECT_EQ(holidayBreakText(next), "放假 5月31日至6月2日，共 3 天");
  EXPECT_EQ(workdayNoteText(*calendar.find({2025, 9, 28})), "明天（星期日）要上班：中秋节、国庆节调休");
  HolidayBreak none;
  EXPECT_FALSE(HolidayCalendar().nextBreak({2026, 10, 2}, &none));
}

TEST(HolidaysTest, TheUserFileLines) {
  const std::string text =
      "2027-01-01,元旦,休\r\n"
      " 2027年2月6日 ， 春节 ，休 \n"
      "\n"
      "; 2027-02-07,春节,班\n"
      "2027/2/20,春节,班\n"
      "2027-02-30,春节,休\n"       // no such day
      "5月1日,劳动节,休\n"         // no year
      "2027-05-01,劳动节\n"        // no 休 or 班
      "2027-05-02,,休\n"           // no name
      "2027-05-03,劳动节,休,多\n"  // a field too many
      "2027-05-04,劳\t动,上班";
  std::vector<std::string> bad;
  const std::vector<HolidayDay> days = readHolidayText(text, &bad);
  std::string lines;
  for (const HolidayDay& day : days) lines += holidayListLine(day) + "\n";
  EXPECT_EQ(lines, "2027-01-01\t元旦\t休\n2027-02-06\t春节\t休\n2027-02-20\t春节\t班\n");
  EXPECT_EQ(bad, (std::vector<std::string>{"2027-02-30,春节,休", "5月1日,劳动节,休", "2027-05-01,劳动节",
                                           "2027-05-02,,休", "2027-05-03,劳动节,休,多", "2027-05-04,劳\t动,上班"}));
  EXPECT_EQ(holidayFileNote({}), "");
  EXPECT_EQ(holidayFileNote(bad),
            "Tessaly_holidays.txt 中有 6 行无法识别（每行应为 日期,名称,休 或 日期,名称,班）：2027-02-30,春节,休；"
            "5月1日,劳动节,休；2027-05-01,劳动节");
  EXPECT_EQ(holidayListLine({{2027, 5, 4}, "劳\t动", true}), "2027-05-04\t劳 动\t班");
}

TEST(HolidaysTest, AWorkdayRowIntoAYearWithoutData) {
  const ItemOptions options = parseItemOptions("工作日");
  const CTime now(2026, 12, 28, 9, 0, 0);
  const ItemDetails known = itemDetails("2026-12-31", options, now);
  EXPECT_EQ(known.days, 3);
  EXPECT_EQ(itemTipText("2026-12-31", known).find("尚未公布"), std::string::npos);
  const ItemDetails estimated = itemDetails("2027-01-08", options, now);
  EXPECT_EQ(estimated.days, 9);
  EXPECT_EQ(itemTipText("2027-01-08", estimated),
            "2027年1月8日 星期五\r\n农历腊月初一\r\n2027 年的放假安排尚未公布，按周末计算");
  EXPECT_EQ(itemListFields("x", estimated, options).back(), "workdays-estimated");
}

}  // namespace
