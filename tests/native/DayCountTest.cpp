#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "ScopedTimeZone.h"
#include "core/Core.h"
#include "items/DayCount.h"

namespace {

struct Wall {
  int year, month, day, hour, minute, second;
  CTime time() const { return CTime(year, month, day, hour, minute, second); }
};

// Each test runs once per time zone natively; under Windows once, in the system's zone.
class DayCountInZone : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
#ifndef _WIN32
    ASSERT_TRUE(ScopedTimeZone::installed(GetParam())) << GetParam() << ": tzdata is not installed";
    m_zone = std::make_unique<ScopedTimeZone>(GetParam());
#endif
  }
  void TearDown() override {
#ifndef _WIN32
    m_zone.reset();
#endif
  }

 private:
#ifndef _WIN32
  std::unique_ptr<ScopedTimeZone> m_zone;
#endif
};

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(SystemZone, DayCountInZone, testing::Values("system"));
#else
INSTANTIATE_TEST_SUITE_P(Zones, DayCountInZone,
                         testing::Values("UTC", "Asia/Shanghai", "Europe/Berlin", "America/New_York",
                                         "Pacific/Auckland", "America/Sao_Paulo"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });
#endif

// Whole calendar days, whatever the time of day on either side.
TEST_P(DayCountInZone, CountsCalendarDays) {
  const struct {
    Wall date, now;
    int days;
  } cases[] = {
      {{2025, 5, 20, 0, 0, 0}, {2025, 5, 19, 0, 0, 1}, 1},
      {{2025, 5, 20, 0, 0, 0}, {2025, 5, 19, 23, 59, 59}, 1},
      {{2025, 5, 20, 0, 0, 0}, {2025, 5, 20, 0, 0, 0}, 0},
      {{2025, 5, 20, 0, 0, 0}, {2025, 5, 20, 12, 0, 0}, 0},
      {{2025, 5, 20, 0, 0, 0}, {2025, 5, 20, 23, 59, 59}, 0},
      {{2025, 5, 20, 0, 0, 0}, {2025, 5, 21, 0, 0, 0}, -1},
      {{2025, 5, 20, 0, 0, 0}, {2025, 5, 21, 23, 59, 59}, -1},
      {{2025, 5, 20, 0, 0, 0}, {2025, 5, 10, 5, 0, 0}, 10},
      {{2025, 5, 20, 0, 0, 0}, {2025, 5, 30, 19, 0, 0}, -10},
      {{2025, 5, 20, 23, 0, 0}, {2025, 5, 21, 1, 0, 0}, -1},
      {{2026, 1, 1, 0, 0, 0}, {2025, 12, 31, 23, 59, 59}, 1},
      {{2024, 3, 1, 0, 0, 0}, {2024, 2, 28, 12, 0, 0}, 2},
      {{2025, 3, 1, 0, 0, 0}, {2025, 2, 28, 12, 0, 0}, 1},
      {{1970, 1, 1, 0, 0, 0}, {1969, 12, 31, 23, 59, 59}, 1},
      {{1949, 10, 1, 0, 0, 0}, {1949, 9, 30, 23, 59, 59}, 1},
      {{1900, 1, 1, 0, 0, 0}, {2025, 5, 20, 12, 0, 0}, -45795},
      {{9999, 12, 31, 0, 0, 0}, {2025, 5, 20, 12, 0, 0}, 2912668},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.date.year << "-" << c.date.month << "-" << c.date.day << " from " << c.now.year
                                    << "-" << c.now.month << "-" << c.now.day << " " << c.now.hour);
    EXPECT_EQ(DaysBetween(c.date.time(), c.now.time()), c.days);
  }
}

// Days on which some zone's clocks change; each still counts as one day, in every zone.
TEST_P(DayCountInZone, DaylightSavingDaysCountAsOneDay) {
  const struct {
    int year, month, day;
  } changeDays[] = {
      {2025, 3, 30}, {2025, 10, 26},  // Europe
      {2025, 3, 9},  {2025, 11, 2},   // North America
      {2025, 4, 6},  {2025, 9, 28},   // New Zealand
      {2018, 11, 4}, {2019, 2, 16},   // Brazil, whose clocks changed at midnight
  };
  for (const auto& d : changeDays) {
    SCOPED_TRACE(testing::Message() << d.year << "-" << d.month << "-" << d.day);
    const CTime dayStart(d.year, d.month, d.day, 0, 0, 0);
    const CTime dayEnd(d.year, d.month, d.day, 23, 59, 59);
    const CTime nextStart(d.year, d.month, d.day + 1, 0, 0, 0);
    const CTime previousEnd(d.year, d.month, d.day - 1, 23, 59, 59);
    EXPECT_EQ(DaysBetween(nextStart, dayStart), 1);
    EXPECT_EQ(DaysBetween(nextStart, dayEnd), 1);
    EXPECT_EQ(DaysBetween(dayStart, previousEnd), 1);
    EXPECT_EQ(DaysBetween(dayEnd, dayStart), 0);
    EXPECT_EQ(DaysBetween(dayStart, dayEnd), 0);
    EXPECT_EQ(DaysBetween(previousEnd, nextStart), -2);
    EXPECT_EQ(DaysBetween(CTime(d.year, d.month, d.day + 10, 0, 0, 0), CTime(d.year, d.month, d.day, 12, 0, 0)), 10);
    EXPECT_EQ(DaysBetween(CTime(d.year, d.month, d.day - 10, 0, 0, 0), CTime(d.year, d.month, d.day, 12, 0, 0)), -10);
  }
}

ItemRecord recordWith(const std::string& dateText) {
  ItemRecord record;
  memset(&record, 0x5A, sizeof record);
  strncpy(record.name, "x", kNameSize);
  memset(record.dateText, 0, kDateTextSize);
  memcpy(record.dateText, dateText.data(), std::min<size_t>(dateText.size(), kDateTextSize));
  return record;
}

TEST_P(DayCountInZone, SetsKindAndDaysOfEveryRecord) {
  const struct {
    std::string text;
    int32_t kind;
    int32_t days;
  } cases[] = {
      {"2025-05-20", Today, 0},
      {"2025-05-21", Upcoming, 1},
      {"2025-05-19", Past, 1},
      {" 2025/05/30 ", Upcoming, 10},
      {"2025.5.10", Past, 10},
      {"1900-01-01", Past, 45795},
      {"9999-12-31", Upcoming, 2912668},
      {"5-20", Today, 0},
      {"5-21", Upcoming, 1},
      {"5-19", Upcoming, 364},
      {"2\xD4\xC2"
       "29\xC8\xD5",
       Upcoming, 1015},  // 2月29日
      {"2025-02-30", Unreadable, 0},
      {"", Unreadable, 0},
      {"someday", Unreadable, 0},
  };
  const int count = static_cast<int>(sizeof cases / sizeof cases[0]);
  ItemRecord records[count + 2];
  for (int i = 0; i < count; ++i) records[i] = recordWith(cases[i].text);
  records[count] = recordWith("2025-05-21");
  records[count + 1] = recordWith("5-20");
  const ItemRecord untouched[2] = {records[count], records[count + 1]};

  countDaysAt(CTime(2025, 5, 20, 15, 0, 0), records, count);

  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(records[i].kind, cases[i].kind) << cases[i].text;
    EXPECT_EQ(records[i].days, cases[i].days) << cases[i].text;
    EXPECT_STREQ(records[i].name, "x");
  }
  EXPECT_EQ(memcmp(&records[count], untouched, sizeof untouched), 0) << "records past the count changed";
}

// A date text that fills its field without a terminating zero is read up to the field's end, not on
// into the counts that follow it.
TEST(DayCountTest, DateTextFillingItsFieldIsReadWithinIt) {
  ItemRecord record;
  memset(record.dateText, ' ', kDateTextSize);
  memcpy(record.dateText, "5-20", 4);
  record.days = 0x39393939;  // "9999" should the reader run on
  record.kind = 0x39393939;
  countDaysAt(CTime(2025, 5, 19, 12, 0, 0), &record, 1);
  EXPECT_EQ(record.kind, Upcoming);
  EXPECT_EQ(record.days, 1);
}

TEST(DayCountTest, NoRecordsLeavesTheTableAlone) {
  CCore core;
  ItemRecord records[2] = {recordWith("2025-05-20"), recordWith("x")};
  ItemRecord before[2];
  memcpy(before, records, sizeof records);
  countDays(core, records, 0);
  countDaysAt(CTime(2025, 5, 20, 0, 0, 0), records, 0);
  EXPECT_EQ(memcmp(before, records, sizeof records), 0);
}

// Through the core's clock: today's date, yesterday's and tomorrow's as this process sees them.
TEST(DayCountTest, CountsAgainstTheClock) {
  CCore core;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const CTime now = core.getTimeNow();
    auto text = [&](int offset) {
      const CTime day(now.GetYear(), now.GetMonth(), now.GetDay() + offset, 12, 0, 0);
      return std::to_string(day.GetYear()) + "-" + std::to_string(day.GetMonth()) + "-" + std::to_string(day.GetDay());
    };
    ItemRecord records[3] = {recordWith(text(-1)), recordWith(text(0)), recordWith(text(1))};
    countDays(core, records, 3);
    if (core.getTimeNow().GetDay() != now.GetDay()) continue;  // midnight passed meanwhile
    EXPECT_EQ(records[0].kind, Past);
    EXPECT_EQ(records[0].days, 1);
    EXPECT_EQ(records[1].kind, Today);
    EXPECT_EQ(records[1].days, 0);
    EXPECT_EQ(records[2].kind, Upcoming);
    EXPECT_EQ(records[2].days, 1);
    return;
  }
  FAIL() << "the date kept changing";
}

}  // namespace
