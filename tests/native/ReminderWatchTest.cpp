#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/Holidays.h"
#include "items/ReminderWatch.h"

namespace {

ItemRecord record(const char* name, const char* date) {
  ItemRecord r = {};
  std::strncpy(r.name, name, kNameSize - 1);
  std::strncpy(r.dateText, date, kDateTextSize - 1);
  return r;
}

DueReminder dueFor(int index, const ItemRecord& r, CivilDate occurrence, int lead, int daysLeft) {
  DueReminder due;
  due.record = index;
  due.occurrence = occurrence;
  due.lead = lead;
  due.daysLeft = daysLeft;
  due.key = reminderKey(r.name, r.dateText, occurrence, lead, false);
  due.keys = {due.key};
  return due;
}

class ReminderWatchTest : public testing::Test {
 protected:
  ItemRecord records[2] = {record("妈妈生日", "5月20日"), record("结婚纪念日", "2022-05-13")};
};

TEST_F(ReminderWatchTest, WhatWasShownIsLoggedAndListedInTheTipUntilTheDayEnds) {
  ReminderWatch watch;
  const CTime morning(2027, 5, 13, 9, 0, 0);
  const std::vector<DueReminder> due = {dueFor(0, records[0], {2027, 5, 20}, 7, 7),
                                        dueFor(1, records[1], {2027, 5, 13}, 0, 0)};
  EXPECT_TRUE(watch.tipLines().empty());
  watch.shown(records, due, morning);
  EXPECT_TRUE(watch.log.contains(due[0].key));
  EXPECT_TRUE(watch.log.contains(due[1].key));
  EXPECT_NE(watch.tipLines().find("妈妈生日"), std::string::npos);
  EXPECT_NE(watch.tipLines().find("结婚纪念日"), std::string::npos);
  EXPECT_TRUE(watch.reminderBalloonUp());
  // A second balloon the same day: both are in the tip.
  watch.shown(records, {dueFor(0, records[0], {2027, 5, 14}, 1, 1)}, CTime(2027, 5, 13, 10, 0, 0));
  EXPECT_NE(watch.tipLines().find("结婚纪念日"), std::string::npos);
  EXPECT_NE(watch.tipLines().find("还有 1 天"), std::string::npos);
  // The same day, later: the tip stays; the next day it goes, the log stays.
  EXPECT_FALSE(watch.newDay(CTime(2027, 5, 13, 23, 59, 0)));
  EXPECT_FALSE(watch.tipLines().empty());
  EXPECT_TRUE(watch.newDay(CTime(2027, 5, 14, 0, 0, 0)));
  EXPECT_TRUE(watch.tipLines().empty());
  EXPECT_FALSE(watch.newDay(CTime(2027, 5, 14, 0, 1, 0)));
  EXPECT_EQ(watch.log.size(), 3u);
}

// What the settings file keeps is enough for the next start: today's reminders in the tip again, the
// next day none; and a start with the clock far ahead keeps what was shown.
TEST_F(ReminderWatchTest, ARestartListsTodaysRemindersAgainAndAFarClockForgetsNothing) {
  ItemOptions options[2] = {parseItemOptions("提前7天"), parseItemOptions("每年,提醒")};
  const CTime morning(2027, 5, 13, 9, 0, 0);
  ReminderWatch before;
  before.shown(records, before.due(records, options, 2, morning), morning);
  ASSERT_NE(before.tipLines(), "");
  auto restart = [](const ReminderWatch& from) {
    auto watch = std::make_unique<ReminderWatch>();
    watch->log.parse(from.log.serialize(), from.log.serializeDay());
    return watch;
  };
  auto later = restart(before);
  EXPECT_TRUE(later->newDay(CTime(2027, 5, 13, 18, 0, 0), records, options, 2));
  EXPECT_EQ(later->tipLines(), before.tipLines());
  EXPECT_TRUE(later->due(records, options, 2, CTime(2027, 5, 13, 18, 0, 0)).empty());
  auto tomorrow = restart(before);
  EXPECT_FALSE(tomorrow->newDay(CTime(2027, 5, 14, 9, 0, 0), records, options, 2));
  EXPECT_EQ(tomorrow->tipLines(), "");

  auto ahead = restart(before);
  const CTime farAhead(2099, 5, 13, 9, 0, 0);
  const std::vector<DueReminder> farDue = ahead->due(records, options, 2, farAhead);
  EXPECT_FALSE(farDue.empty());
  ahead->shown(records, farDue, farAhead);
  ahead->log.prune({2099, 5, 13});
  auto back = restart(*ahead);
  back->log.prune({2027, 5, 14});
  EXPECT_TRUE(back->due(records, options, 2, CTime(2027, 5, 14, 9, 0, 0)).empty());
}

TEST_F(ReminderWatchTest, NothingIsDueWhenRemindersAreOff) {
  ItemOptions options[2];
  options[0].remind = true;
  options[1].remind = true;
  ReminderWatch watch;
  const CTime late(2027, 5, 20, 12, 0, 0);  // 妈妈生日 today, after 09:00
  EXPECT_FALSE(watch.due(records, options, 2, late).empty());
  watch.enabled = false;
  EXPECT_TRUE(watch.due(records, options, 2, late).empty());
  watch.enabled = true;
  EXPECT_TRUE(watch.due(records, options, 0, late).empty());
}

TEST_F(ReminderWatchTest, AnUnstoredLogIsToldOnceAndABalloonOfAnotherKindTakesTheClick) {
  ReminderWatch watch;
  EXPECT_TRUE(watch.storeFailed());
  EXPECT_FALSE(watch.storeFailed());
  EXPECT_FALSE(watch.storeFailed());
  EXPECT_NE(std::string(ReminderWatch::noteUnstored()).find("设置文件"), std::string::npos);

  watch.shown(records, {dueFor(0, records[0], {2027, 5, 20}, 0, 0)}, CTime(2027, 5, 20, 9, 0, 0));
  EXPECT_TRUE(watch.reminderBalloonUp());
  watch.balloonGone();
  EXPECT_FALSE(watch.reminderBalloonUp());
}

// The day before a 补班 day (2025-09-28, a Sunday): the note from the reminder time on, once.
TEST_F(ReminderWatchTest, TheDayBeforeAMakeUpWorkdayHasItsNoteOnce) {
  holidayCalendar().setUserDays({});
  Settings settings;
  settings.holidayRow = true;  // workdaynote never saved: on with the row
  ReminderWatch watch;
  watch.useSettings(settings);
  const struct {
    CTime now;
    bool due;
  } cases[] = {
      {CTime(2025, 9, 27, 8, 59, 0), false},  // before the reminder time
      {CTime(2025, 9, 27, 9, 0, 0), true},   {CTime(2025, 9, 27, 23, 0, 0), true},
      {CTime(2025, 9, 26, 12, 0, 0), false},  // tomorrow a Saturday off
      {CTime(2025, 9, 28, 12, 0, 0), false},  // the 补班 day itself
      {CTime(2025, 10, 10, 12, 0, 0), true},  // before Saturday 10月11日
  };
  for (const auto& c : cases) {
    std::string key;
    EXPECT_EQ(!watch.dueWorkdayNote(c.now, &key).empty(), c.due) << c.now.GetDay() << " " << c.now.GetHour();
  }
  std::string key;
  const CTime evening(2025, 9, 27, 18, 0, 0);
  EXPECT_EQ(watch.dueWorkdayNote(evening, &key), "明天（星期日）要上班：中秋节、国庆节调休");
  // Logged, it survives a restart and is not due again.
  watch.log.add(key);
  ReminderWatch restarted;
  restarted.useSettings(settings);
  restarted.log.parse(watch.log.serialize());
  EXPECT_EQ(restarted.dueWorkdayNote(evening, &key), "");
  EXPECT_NE(restarted.dueWorkdayNote(CTime(2025, 10, 10, 12, 0, 0), &key), "");
  // Off with reminders, with the setting saved as 0, or with the row off and the setting never saved.
  for (int off = 0; off < 3; ++off) {
    Settings other = settings;
    if (off == 0) other.remind = false;
    if (off == 1) other.workdayNote = 0;
    if (off == 2) other.holidayRow = false;
    ReminderWatch quiet;
    quiet.useSettings(other);
    EXPECT_EQ(quiet.dueWorkdayNote(evening, &key), "") << off;
  }
}

}  // namespace
