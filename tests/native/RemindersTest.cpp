// Which reminders are due, given the list, the day, the time and what was already shown; the shown
// log; the balloon and tray tip texts; the reminder time. Chinese literals compile to GBK.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/Gbk.h"
#include "items/Reminders.h"

namespace {

struct Line {
  const char* name;
  const char* date;
  const char* options;
};

class List {
 public:
  explicit List(const std::vector<Line>& lines) : records(lines.size()) {
    for (size_t i = 0; i < lines.size(); ++i) {
      std::strcpy(records[i].name, lines[i].name);
      std::strcpy(records[i].dateText, lines[i].date);
      options.push_back(parseItemOptions(lines[i].options));
    }
  }
  std::vector<DueReminder> due(CTime now, const ReminderLog& shown = ReminderLog()) const {
    return dueReminders(records.data(), options.data(), static_cast<int>(records.size()), now, kDefaultRemindAt, shown);
  }
  // "name O lead daysLeft", one per due reminder.
  std::string describe(CTime now, const ReminderLog& shown = ReminderLog()) const {
    std::string text;
    for (const DueReminder& d : due(now, shown)) {
      char line[96];
      std::snprintf(line, sizeof line, "%s%s %04d-%02d-%02d %d %d", text.empty() ? "" : "; ", records[d.record].name,
                    d.occurrence.year, d.occurrence.month, d.occurrence.day, d.lead, d.daysLeft);
      text += line;
    }
    return text;
  }

  std::vector<ItemRecord> records;
  std::vector<ItemOptions> options;
};

TEST(RemindersTest, DueAtTheTimeOnDayRThenAtOnceUpToO) {
  const struct {
    Line line;
    CTime now;
    const char* due;
  } cases[] = {
      {{"妈妈生日", "5月20日", "提前7天"}, CTime(2027, 5, 13, 8, 59, 0), ""},
      {{"妈妈生日", "5月20日", "提前7天"}, CTime(2027, 5, 13, 9, 0, 0), "妈妈生日 2027-05-20 7 7"},
      {{"妈妈生日", "5月20日", "提前7天"}, CTime(2027, 5, 12, 23, 59, 0), ""},
      // Catch-up after a missed day R, with the real days left, any time of day.
      {{"妈妈生日", "5月20日", "提前7天"}, CTime(2027, 5, 15, 0, 1, 0), "妈妈生日 2027-05-20 7 5"},
      {{"妈妈生日", "5月20日", "提前7天"}, CTime(2027, 5, 20, 0, 1, 0), "妈妈生日 2027-05-20 7 0"},
      // Never after O: the next O is a year away.
      {{"妈妈生日", "5月20日", "提前7天"}, CTime(2027, 5, 21, 9, 0, 0), ""},
      // On the day: from the reminder time on.
      {{"结婚纪念日", "2022-10-01", "每年,提醒"}, CTime(2027, 10, 1, 8, 0, 0), ""},
      {{"结婚纪念日", "2022-10-01", "每年,提醒"}, CTime(2027, 10, 1, 23, 0, 0), "结婚纪念日 2027-10-01 0 0"},
      // A one-off date has one occurrence: nothing on its anniversaries.
      {{"结婚纪念日", "2022-10-01", "提醒"}, CTime(2027, 10, 1, 23, 0, 0), ""},
      {{"结婚纪念日", "2027-10-01", "提醒"}, CTime(2027, 10, 1, 23, 0, 0), "结婚纪念日 2027-10-01 0 0"},
      // 腊月 dates fall in January or February: reminded across the year end.
      {{"腊八", "农历腊月初八", "提前30天"}, CTime(2025, 12, 28, 10, 0, 0), "腊八 2026-01-26 30 29"},
      {{"腊八", "农历腊月初八", "提前30天"}, CTime(2025, 12, 26, 10, 0, 0), ""},
      {{"腊八", "农历2020年腊月初八", "每年,提醒"}, CTime(2026, 1, 26, 9, 0, 0), "腊八 2026-01-26 0 0"},
      // 2月29日 has no day in a common year: nothing until the next leap year's.
      {{"闰日", "2月29日", "提醒"}, CTime(2027, 2, 28, 10, 0, 0), ""},
      {{"闰日", "2月29日", "提醒"}, CTime(2027, 3, 1, 10, 0, 0), ""},
      {{"闰日", "2024-02-29", "每年,提前1天"}, CTime(2027, 2, 28, 10, 0, 0), ""},
      {{"闰日", "2024-02-29", "每年,提前1天"}, CTime(2028, 2, 28, 10, 0, 0), "闰日 2028-02-29 1 1"},
      // N larger than the days to O: due at once.
      {{"考试", "2027-06-20", "提前30天"}, CTime(2027, 6, 15, 8, 0, 0), "考试 2027-06-20 30 5"},
      // A lead as long as the gap to the next occurrence or milestone: each occurrence's reminder on its
      // own day R, at the reminder time; the nearer one missed (R a week ago) comes at once.
      {{"周会", "2025-06-10", "每周,提前7天"}, CTime(2025, 6, 17, 8, 0, 0), "周会 2025-06-17 7 0"},
      {{"周会", "2025-06-10", "每周,提前7天"}, CTime(2025, 6, 17, 9, 0, 0), "周会 2025-06-17 7 0; 周会 2025-06-24 7 7"},
      {{"相识", "2025-03-07", "里程碑,提前30天"}, CTime(2026, 6, 20, 9, 0, 0), "相识 2026-07-20 30 30"},
      {{"相识", "2025-03-07", "里程碑,提前30天"},
       CTime(2026, 7, 10, 9, 0, 0),
       "相识 2026-07-20 30 10; 相识 2026-08-09 30 30"},
      // Several leads missed at once: one reminder, the smallest lead.
      {{"生日", "6-20", "提前7天,提前3天,提醒"}, CTime(2025, 6, 20, 10, 0, 0), "生日 2025-06-20 0 0"},
      {{"生日", "6-20", "提前7天,提前3天,提醒"}, CTime(2025, 6, 18, 10, 0, 0), "生日 2025-06-20 3 2"},
      // Milestones are reminded like anniversaries; without a reminder option nothing.
      {{"相识", "2025-03-07", "里程碑,提醒"}, CTime(2025, 6, 15, 9, 30, 0), "相识 2025-06-15 0 0"},
      {{"相识", "2025-03-07", "里程碑"}, CTime(2025, 6, 15, 9, 30, 0), ""},
      {{"每月", "2025-01-31", "每月,提前1天"}, CTime(2025, 2, 27, 9, 30, 0), "每月 2025-02-28 1 1"},
      {{"坏", "明天", "提醒"}, CTime(2025, 6, 15, 9, 30, 0), ""},
      {{"隐藏", "6-15", "隐藏,提醒"}, CTime(2025, 6, 15, 9, 30, 0), "隐藏 2025-06-15 0 0"},
  };
  for (const auto& c : cases) {
    const List list({c.line});
    EXPECT_EQ(list.describe(c.now), c.due) << c.line.name << " " << c.line.date << " " << c.line.options;
  }
}

TEST(RemindersTest, NeverTwiceAcrossRestartsAndReordering) {
  const List list({{"妈妈生日", "5月20日", "提前7天,提醒"}, {"中秋", "农历八月十五", "提前3天"}});
  const CTime now(2027, 5, 14, 9, 0, 0);
  std::vector<DueReminder> due = list.due(now);
  ASSERT_EQ(due.size(), 1u);
  ReminderLog log;
  log.add(due[0]);
  // What the settings file keeps, read back by the next start.
  ReminderLog restarted;
  restarted.parse(log.serialize());
  EXPECT_EQ(list.describe(now, restarted), "");
  EXPECT_EQ(list.describe(CTime(2027, 5, 16, 12, 0, 0), restarted), "");
  // The same lines in another order, one renamed: the moved line stays quiet, the renamed one is new.
  const List reordered({{"中秋", "农历八月十五", "提前3天"}, {"妈妈生日", "5月20日", "提前7天,提醒"}});
  EXPECT_EQ(reordered.describe(now, restarted), "");
  const List twice({{"妈妈生日", "5月20日", "提前7天"}, {"妈妈生日", "5月20日", "提前7天"}});
  EXPECT_EQ(twice.describe(now), "妈妈生日 2027-05-20 7 6");
  const List renamed({{"母亲生日", "5月20日", "提前7天"}});
  EXPECT_EQ(renamed.describe(now, restarted), "母亲生日 2027-05-20 7 6");
  // On the day the lead 0 reminder is its own.
  EXPECT_EQ(list.describe(CTime(2027, 5, 20, 9, 0, 0), restarted), "妈妈生日 2027-05-20 0 0");
  // Off from day R until the morning of O: the catch-up at once is the day's one balloon; the reminder
  // time brings no second.
  const CTime morning(2027, 5, 20, 7, 0, 0);
  due = list.due(morning);
  ASSERT_EQ(due.size(), 1u);
  ReminderLog caughtUp;
  caughtUp.add(due[0], CivilDate{2027, 5, 20});
  EXPECT_EQ(list.describe(CTime(2027, 5, 20, 9, 0, 0), caughtUp), "");
}

TEST(RemindersTest, TheLogKeepsKeysAndPrunesOldOnes) {
  ReminderLog log;
  log.parse(
      "20270520-7-a-0000abcd junk 20270101-0-m-ffffffff 2027-05-20 20270230-0-a-00000000 20270520-7-x-0000abcd\r\n"
      "20261201-400-a-00000001 20270410-3-a-12345678",
      "20270511 20270520-7-a-0000abcd junk");
  EXPECT_EQ(log.serialize(), "20270101-0-m-ffffffff 20270410-3-a-12345678 20270520-7-a-0000abcd");
  EXPECT_EQ(log.serializeDay(), "20270511 20270520-7-a-0000abcd");
  log.prune(CivilDate{2027, 5, 10});  // 2027-04-10 is 30 days before: kept
  EXPECT_EQ(log.serialize(), "20270410-3-a-12345678 20270520-7-a-0000abcd");
  // A clock far ahead drops only what the day last written (2027-05-11) left behind.
  log.prune(CivilDate{2099, 5, 20});
  EXPECT_EQ(log.serialize(), "20270520-7-a-0000abcd");
  EXPECT_EQ(log.serializeDay(), "20270511 20270520-7-a-0000abcd");
  // Without the day last written (a log of an older version) nothing is dropped; a day list without
  // a day is dropped whole.
  for (const char* day : {"", "2027061 20270520-7-a-0000abcd", "20270631 20270520-7-a-0000abcd", "20270601x"}) {
    log.parse("20270101-0-m-ffffffff", day);
    log.prune(CivilDate{2099, 1, 1});
    EXPECT_EQ(log.serialize(), "20270101-0-m-ffffffff") << day;
    EXPECT_EQ(log.serializeDay(), "") << day;
  }
  EXPECT_EQ(reminderKey("妈妈生日", " 5月20日 ", CivilDate{2027, 5, 20}, 7, false),
            reminderKey("妈妈生日", "5月20日", CivilDate{2027, 5, 20}, 7, false));
  EXPECT_NE(reminderKey("妈妈生日", "5月20日", CivilDate{2027, 5, 20}, 7, false),
            reminderKey("妈妈生日", "5月20日", CivilDate{2027, 5, 20}, 7, true));
}

TEST(RemindersTest, KeysAsWrittenAndAsRead) {
  // The hash's eight hex digits keep their leading zeros, as do the month and the day.
  EXPECT_EQ(reminderKey("春节", "农历正月初一", CivilDate{2028, 1, 5}, 0, true), "20280105-0-m-0d287654");
  EXPECT_EQ(reminderKey("妈妈生日", "5月20日", CivilDate{2027, 5, 20}, 366, false), "20270520-366-a-9572d00c");
  const struct {
    const char* key;
    bool kept;
  } cases[] = {
      {"20270520-7-a-0000abcd", true},    {"20270520-366-m-FFFFFFFF", true}, {"20270520-0-a-1", true},
      {"20270520-367-a-0000abcd", false}, {"20270520-7-a-0000abcd0", false}, {"20270520-7-a-", false},
      {"20270520--a-0000abcd", false},    {"20270520-7-a0000abcd", false},   {"2027052-7-a-0000abcd", false},
      {"20270520-+7-a-0000abc", false},   {"2027O520-7-a-0000abcd", false},  {"20270520-7-a-0000abcg", false},
      {"20270229-7-a-0000abcd", false},   {"20280229-7-a-0000abcd", true},   {"20270520-7-ab-0000abcd", false}};
  for (const auto& c : cases) {
    ReminderLog log;
    log.parse(c.key);
    EXPECT_EQ(log.serialize(), c.kept ? c.key : "") << c.key;
  }
}

TEST(RemindersTest, OneBalloonForEverythingDue) {
  const List list({{"妈妈生日", "2027-05-20", "提前7天"},
                   {"结婚纪念日", "2022-05-13", "每年,提醒"},
                   {"相识", "2024-08-19", "里程碑,提前3天"},
                   {"春节", "农历正月初一", "提醒"}});
  const CTime now(2027, 5, 13, 9, 0, 0);
  EXPECT_EQ(reminderBalloonText(list.records.data(), list.due(now)),
            "今天：结婚纪念日，第 5 个周年\r\n"
            "相识 第 1000 天 还有 3 天（2027年5月16日 星期日，农历四月十一）\r\n"
            "妈妈生日 还有 7 天（2027年5月20日 星期四，农历四月十五）");
  EXPECT_EQ(reminderTipText(list.records.data(), list.due(now)),
            "今天：结婚纪念日\n相识 第 1000 天 还有 3 天\n妈妈生日 还有 7 天");
  const List many({{"a", "5-13", "提醒"},
                   {"b", "5-13", "提醒"},
                   {"c", "5-13", "提醒"},
                   {"d", "5-13", "提醒"},
                   {"e", "5-14", "提前1天"}});
  EXPECT_EQ(reminderBalloonText(many.records.data(), many.due(now)), "今天：a\r\n今天：b\r\n今天：c\r\n另有 2 项");
  // The anniversary of a lunar date counts lunar years: 腊月初八 of lunar 2025 falls in 2026.
  const List lunar({{"腊八", "农历2020年腊月初八", "每年,提醒"}});
  EXPECT_EQ(reminderBalloonText(lunar.records.data(), lunar.due(CTime(2026, 1, 26, 9, 0, 0))),
            "今天：腊八，第 5 个周年");
  // A long name is cut on a character's edge: one ASCII byte, then 14 of its 24 hanzi.
  std::string odd = "a", kept = "a";
  for (int i = 0; i < 24; ++i) odd += "长";
  for (int i = 0; i < 14; ++i) kept += "长";
  const List cut({{odd.c_str(), "5-13", "提醒"}});
  EXPECT_EQ(reminderBalloonText(cut.records.data(), cut.due(now)), "今天：" + kept + "…");
}

TEST(RemindersTest, TheBalloonTextFitsItsField) {
  // Three of the longest lines the list can hold: 50-byte names, a long lunar date.
  const std::string ascii(50, 'n'), hanzi = [] {
    std::string s;
    for (int i = 0; i < 25; ++i) s += "长";
    return s;
  }();
  for (const std::string& name : {ascii, hanzi}) {
    const List list({{name.c_str(), "农历2020年闰四月廿九", "每年,提前366天"},
                     {name.c_str(), "农历2023年闰二月廿九", "每年,提前366天"},
                     {name.c_str(), "2020-12-31", "每年,提前366天"},
                     {name.c_str(), "2020-11-30", "每年,提前366天"}});
    const std::string text = reminderBalloonText(list.records.data(), list.due(CTime(2025, 1, 1, 9, 0, 0)));
    EXPECT_NE(text.find("另有 1 项"), std::string::npos);
    EXPECT_LT(gbk::utf8ToUtf16(gbk::gbkToUtf8(text)).size(), 256u) << name;
  }
}

TEST(RemindersTest, ReminderTime) {
  const struct {
    const char* text;
    bool ok;
    int minutes;
  } cases[] = {{"09:00", true, 540}, {"9:05", true, 545}, {" 23:59 ", true, 1439}, {"００：３０", true, 30},
               {"00:00", true, 0},   {"24:00", false, 0}, {"12:60", false, 0},     {"1230", false, 0},
               {"12:3", false, 0},   {"", false, 0},      {"123:00", false, 0},    {"-1:00", false, 0}};
  for (const auto& c : cases) {
    int minutes = -7;
    EXPECT_EQ(parseRemindAt(c.text, &minutes), c.ok) << c.text;
    EXPECT_EQ(minutes, c.ok ? c.minutes : -7) << c.text;
  }
  EXPECT_EQ(remindAtText(545), "09:05");
  EXPECT_EQ(remindAtText(1439), "23:59");
  EXPECT_EQ(remindAtText(5000), "09:00");
}

}  // namespace
