// The item list as the widget holds it: loading, clearing, the rows the settings give, the line of
// each row, and the day's facts kept until the next day or the next load. Chinese literals compile to
// GBK.
#include <gtest/gtest.h>

#include <string>

#include "core/Core.h"
#include "core/Holidays.h"
#include "framework/String.h"
#include "items/ItemList.h"

namespace {

const CTime kNow(2025, 5, 18, 12, 0, 0);

// Today, upcoming in 2 and 365 days, past 8 days, unreadable, hidden, pinned.
const char kList[] =
    "远,2026-05-18\n近,2025-05-20\n今天,2025-05-18\n过去,2025-05-10\n坏,2025-02-30\n藏,2025-05-19,隐藏\n"
    "顶,2020-01-01,置顶\n";
const char kFar[] = "远,2026-05-18\r\n;注释\r\n过去,2025-05-10\r\n";

// The names of the rows, "|" between them; "(近期没有)" for the row that says none is near.
std::string rowNames(const ItemList& list) {
  if (list.nothingSoon()) return list.rows() == 1 ? "(近期没有)" : "(近期没有, rows != 1)";
  std::string names;
  for (int row = 0; row < list.rows(); ++row) {
    const ItemRecord& line = list.line(list.lineOfRow(row));
    if (&line != &list.rowLine(row)) return "rowLine differs from lineOfRow";
    names += (row ? "|" : "") + std::string(line.name);
  }
  return names;
}

TEST(ItemListTest, RowsFollowTheSettingsOverTheStoredLines) {
  struct Case {
    const char* text;
    int rows;
    RowOrder order;
    int within;
    int stored;
    const char* names;
  };
  const Case cases[] = {
      {kList, 5, RowOrder::File, 0, 7, "顶|远|近|今天|过去"},
      {kList, 2, RowOrder::File, 0, 7, "顶|远"},
      {kList, 20, RowOrder::Soon, 0, 7, "顶|今天|近|远|过去|坏"},
      {kList, 20, RowOrder::Soon, 3, 7, "顶|今天|近"},
      {kFar, 5, RowOrder::File, 0, 2, "远|过去"},
      {kFar, 5, RowOrder::Soon, 8, 2, "过去"},
      {kFar, 5, RowOrder::File, 7, 2, "(近期没有)"},
      {"", 5, RowOrder::File, 7, 0, ""},  // no list: no row at all, not the "none near" row
  };
  CCore core;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " rows " << c.rows << " within " << c.within);
    ItemList list;
    list.loadBytes(core, c.text);
    EXPECT_EQ(list.stored(), c.stored);
    // Before the first arrangement: the default rows of the file's first lines.
    EXPECT_EQ(list.rows(), std::min(c.stored, kDefaultRows));
    list.count(kNow);
    list.arrange(c.rows, c.order, c.within);
    EXPECT_EQ(rowNames(list), c.names);
    EXPECT_FALSE(list.arrange(c.rows, c.order, c.within)) << "the same rows again are no change";
  }
}

TEST(ItemListTest, ClearAndAFailedLoadLeaveTheListAsTheySay) {
  CCore core;
  ItemList list;
  list.loadBytes(core, kList);
  list.count(kNow);
  list.arrange(5, RowOrder::File, 0);
  const ItemFileLoad missing = list.load(core, testing::TempDir() + "tessaly-no-such-folder/Tessaly_items.txt");
  EXPECT_EQ(missing.status, ItemFileStatus::Missing);
  EXPECT_EQ(list.stored(), 7) << "a list that cannot be read keeps the one shown";
  EXPECT_EQ(rowNames(list), "顶|远|近|今天|过去");
  EXPECT_EQ(list.line(0).days, 365);

  list.clear();
  EXPECT_EQ(list.stored(), 0);
  EXPECT_EQ(list.rows(), 0);
  EXPECT_STREQ(list.line(0).name, "") << "slot 0, measured with no rows, holds no old name";
  EXPECT_FALSE(list.arrange(5, RowOrder::File, 7));
  EXPECT_EQ(rowNames(list), "");

  const ItemRecord records[2] = {{"甲", "2025-05-20", 0, 0}, {"乙", "5月18日", 0, 0}};
  const ItemOptions options[2] = {ItemOptions(), parseItemOptions("置顶")};
  list.assign(records, options, 2);
  list.count(kNow);
  list.arrange(5, RowOrder::File, 0);
  EXPECT_EQ(rowNames(list), "乙|甲");
  EXPECT_EQ(list.line(1).kind, Today);
}

// What the rows, tips, reminders, --list and --ics read: the same as worked out afresh, and never
// the facts of another day or of the list before a load.
TEST(ItemListTest, TheDaysFactsAreKeptUntilTheNextDayOrTheNextLoad) {
  struct Step {
    const char* load;  // text loaded first, or null
    CTime now;
    int days[2];  // of lines 0 and 1
    DayKind kinds[2];
  };
  const Step steps[] = {
      {"远,2025-05-20,里程碑\n近,5月19日,提前1天\n", CTime(2025, 5, 18, 0, 0, 0), {2, 1}, {Upcoming, Upcoming}},
      {nullptr, CTime(2025, 5, 18, 23, 59, 0), {2, 1}, {Upcoming, Upcoming}},
      {nullptr, CTime(2025, 5, 19, 0, 0, 0), {1, 0}, {Upcoming, Today}},
      {"近,5月19日\n远,2025-05-25\n", CTime(2025, 5, 19, 8, 0, 0), {0, 6}, {Today, Upcoming}},
      {nullptr, CTime(2025, 5, 17, 8, 0, 0), {2, 8}, {Upcoming, Upcoming}},  // the clock set back
  };
  CCore core;
  ItemList list;
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << s.now.GetDay() << " " << (s.load ? s.load : "-"));
    if (s.load) list.loadBytes(core, s.load);
    const CTime before(s.now.GetTime() - 86400);
    const LineFacts yesterday = list.facts(0, before);
    list.count(s.now);
    for (int i = 0; i < 2; ++i) {
      const ItemRecord& line = list.line(i);
      EXPECT_EQ(line.days, s.days[i]) << i;
      EXPECT_EQ(line.kind, s.kinds[i]) << i;
      const ItemDetails fresh = itemDetails(std::string_view(line.dateText), list.optionsOf(i), s.now);
      const LineFacts kept = list.facts(i, s.now);
      EXPECT_EQ(kept.details.days, fresh.days);
      EXPECT_EQ(kept.details.kind, fresh.kind);
      EXPECT_EQ(kept.details.hasReminder, fresh.hasReminder);
      EXPECT_TRUE(!fresh.hasReminder || kept.details.reminder == fresh.reminder);
      EXPECT_EQ(kept.details.nextMilestoneDays, fresh.nextMilestoneDays);
      const CivilDate today{s.now.GetYear(), s.now.GetMonth(), s.now.GetDay()};
      EXPECT_TRUE(kept.rule.first == dateRule(fresh.written, fresh.date, list.optionsOf(i), today).first);
    }
    // Asked of another day, the list works it out for that day, whatever it keeps.
    const LineFacts other = list.facts(0, before);
    EXPECT_EQ(other.details.days, yesterday.details.days);
    EXPECT_EQ(other.details.kind, yesterday.details.kind);
  }
}

// The row's name carries its years label from the day's count, and follows the day.
TEST(ItemListTest, TheShownNameFollowsTheCountedDay) {
  CCore core;
  ItemList list;
  list.loadBytes(core, "妈妈,1966-05-20,每年,岁\n相识,2016-05-20\n");
  EXPECT_EQ(list.shownName(0), "妈妈");  // not counted yet
  list.count(CTime(2026, 5, 20, 8, 0, 0));
  EXPECT_EQ(list.shownName(0), "妈妈·60岁");
  EXPECT_EQ(list.shownName(1), "相识");
  list.count(CTime(2026, 5, 21, 8, 0, 0));
  EXPECT_EQ(list.shownName(0), "妈妈·61岁");
}

// The next holiday's row: one more line after the stored ones, ordered, cut and left out like them.
TEST(ItemListTest, TheHolidayRowIsALineAfterTheStoredOnes) {
  struct Case {
    const char* text;
    bool shown;
    CTime now;
    int rows;
    RowOrder order;
    int within;
    const char* names;
    int days;  // of the holiday row; -1: none
  };
  const char kTwo[] = "近,2025-09-22\n远,2025-12-25\n";
  const CTime kSeptember(2025, 9, 20, 12, 0, 0);
  const Case cases[] = {
      {kTwo, true, kSeptember, 5, RowOrder::File, 0, "近|远|中秋节、国庆节", 11},
      {kTwo, true, kSeptember, 5, RowOrder::Soon, 0, "近|中秋节、国庆节|远", 11},
      {kTwo, true, kSeptember, 2, RowOrder::File, 0, "近|远", 11},
      {kTwo, true, kSeptember, 2, RowOrder::Soon, 0, "近|中秋节、国庆节", 11},
      {kTwo, true, kSeptember, 5, RowOrder::Soon, 5, "近", 11},
      {kTwo, false, kSeptember, 5, RowOrder::File, 0, "近|远", -1},
      {"", true, kSeptember, 5, RowOrder::File, 0, "中秋节、国庆节", 11},
      {"", true, CTime(2025, 10, 1, 8, 0, 0), 5, RowOrder::File, 0, "中秋节、国庆节", 0},  // its first day
      {"", true, CTime(2025, 10, 2, 8, 0, 0), 5, RowOrder::File, 0, "元旦", 91},           // the next one
      {"", true, CTime(2026, 12, 1, 8, 0, 0), 5, RowOrder::File, 0, "", -1},               // no year ahead has data
  };
  holidayCalendar().setUserDays({});
  CCore core;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " " << c.now.GetMonth() << "-" << c.now.GetDay() << " rows " << c.rows
                                    << " within " << c.within);
    ItemList list;
    list.loadBytes(core, c.text);
    list.showHoliday(c.shown);
    list.count(c.now);
    list.arrange(c.rows, c.order, c.within);
    EXPECT_EQ(rowNames(list), c.names);
    EXPECT_EQ(list.holidayLine(), c.days < 0 ? -1 : list.stored());
    if (c.days < 0) continue;
    EXPECT_EQ(list.line(list.holidayLine()).days, c.days);
    EXPECT_EQ(list.facts(list.holidayLine(), c.now).details.days, c.days);
    HolidayBreak next;
    ASSERT_TRUE(holidayCalendar().nextBreak({c.now.GetYear(), c.now.GetMonth(), c.now.GetDay()}, &next));
    EXPECT_EQ(
        list.line(list.holidayLine()).dateText,
        zeroPadded(next.first.year, 4) + "-" + zeroPadded(next.first.month, 2) + "-" + zeroPadded(next.first.day, 2));
  }
  // Switched off, the row goes at the next count, the same day too.
  ItemList list;
  list.showHoliday(true);
  list.count(kSeptember);
  ASSERT_EQ(list.holidayLine(), 0);
  list.showHoliday(false);
  list.count(kSeptember);
  list.arrange(5, RowOrder::File, 0);
  EXPECT_EQ(list.holidayLine(), -1);
  EXPECT_EQ(list.rows(), 0);
}

// What a screen reader says of each kind of row: the name as the row shows it, read as a sentence,
// and the day with its lunar date.
TEST(ItemListTest, EachRowIsReadAsASentenceWithItsDay) {
  struct Case {
    const char* list;
    CTime now;
    bool holidayRow;
    int within;
    int row;
    const char* name;
    const char* value;
  };
  const CTime dec8(2026, 12, 8, 12, 0, 0);
  const Case cases[] = {
      {"妈妈生日,2026-12-11", dec8, false, 0, 0, "妈妈生日，还有 3 天", "2026年12月11日 星期五，农历冬月初三"},
      {"毕业,2020-06-30", dec8, false, 0, 0, "毕业，过去 2352 天", "2020年6月30日 星期二，农历五月初十"},
      {"相识纪念日,12月8日", dec8, false, 0, 0, "相识纪念日，今天", "2026年12月8日 星期二，农历十月三十"},
      {"生日,2026-02-30", dec8, false, 0, 0, "生日，日期无法识别", "日历上没有这一天"},
      {"生日,", dec8, false, 0, 0, "生日，日期无法识别", "这一行没有日期：名称后面要有逗号和日期"},
      {"奶奶生日,农历冬月初三", dec8, false, 0, 0, "奶奶生日，还有 3 天", "2026年12月11日 星期五，农历冬月初三"},
      {"在一起,2024-03-13,里程碑", dec8, false, 0, 0, "在一起，今天是第 1000 天", "2026年12月8日 星期二，农历十月三十"},
      {"项目,2026-12-18,工作日", dec8, false, 0, 0, "项目，还有 8 个工作日", "2026年12月18日 星期五，农历冬月初十"},
      {"远,2030-01-01\n近,2026-12-09", dec8, false, 0, 1, "近，还有 1 天", "2026年12月9日 星期三，农历冬月初一"},
      {"远,2030-01-01", dec8, false, 7, 0, "近期没有纪念日", ""},
      {"远,2030-01-01", CTime(2026, 9, 20, 12, 0, 0), true, 0, 1, "中秋节，还有 5 天",
       "2026年9月25日 星期五，农历八月十五"},
  };
  CCore core;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    ItemList list;
    list.loadBytes(core, c.list);
    list.showHoliday(c.holidayRow);
    list.count(c.now);
    list.arrange(kDefaultRows, RowOrder::File, c.within);
    ASSERT_LT(c.row, list.rows());
    const ItemSpeech speech = list.rowSpeech(c.row, c.now);
    EXPECT_EQ(speech.name, c.name);
    EXPECT_EQ(speech.value, c.value);
    // The sentence starts with the name the row draws.
    EXPECT_EQ(speech.name.rfind(list.rowName(c.row), 0), 0u);
  }
}

}  // namespace
