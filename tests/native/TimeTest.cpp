#include <gtest/gtest.h>

#include "ScopedTimeZone.h"
#include "framework/Time.h"

namespace {

struct Wall {
  int year, month, day, hour, minute, second;
};

void expectWall(const CTime& t, const Wall& w) {
  EXPECT_EQ(t.GetYear(), w.year);
  EXPECT_EQ(t.GetMonth(), w.month);
  EXPECT_EQ(t.GetDay(), w.day);
  EXPECT_EQ(t.GetHour(), w.hour);
  EXPECT_EQ(t.GetMinute(), w.minute);
  EXPECT_EQ(t.GetSecond(), w.second);
}

// Local fields survive the trip to UTC seconds and back in whatever zone the process has (under Wine:
// the Windows zone), for the whole range of years dates may name.
TEST(TimeTest, LocalFieldsRoundTripInTheProcessZone) {
  const Wall walls[] = {
      {1900, 1, 1, 0, 0, 0},      {1900, 3, 1, 12, 0, 0}, {1949, 10, 1, 0, 0, 0},
      {1969, 12, 31, 23, 59, 59}, {1970, 1, 1, 0, 0, 0},  {2000, 2, 29, 12, 34, 56},
      {2038, 1, 19, 3, 14, 8},    {2100, 3, 1, 0, 0, 0},  {9999, 12, 31, 23, 59, 59},
  };
  for (const Wall& w : walls) {
    SCOPED_TRACE(testing::Message() << w.year << "-" << w.month << "-" << w.day << " " << w.hour);
    expectWall(CTime(w.year, w.month, w.day, w.hour, w.minute, w.second), w);
  }
}

TEST(TimeTest, MonthsOutsideTheYearRollOver) {
  EXPECT_EQ(CTime(2025, 13, 1, 12, 0, 0), CTime(2026, 1, 1, 12, 0, 0));
  EXPECT_EQ(CTime(2025, 0, 31, 12, 0, 0), CTime(2024, 12, 31, 12, 0, 0));
  EXPECT_EQ(CTime(2024, 2, 30, 12, 0, 0), CTime(2024, 3, 1, 12, 0, 0));
}

#ifndef _WIN32

struct ZonedCase {
  const char* zone;
  Wall wall;
  int64_t utc;
};

// Reference values from the IANA database (Python zoneinfo), including local mean time before the
// zones were standardised and 64-bit instants far past 2038.
const ZonedCase kZonedCases[] = {
    {"UTC", {1970, 1, 1, 0, 0, 0}, 0},
    {"UTC", {1900, 1, 1, 0, 0, 0}, -2208988800},
    {"UTC", {9999, 12, 31, 23, 59, 59}, 253402300799},
    {"UTC", {1969, 12, 31, 23, 59, 59}, -1},
    {"Asia/Shanghai", {1949, 10, 1, 0, 0, 0}, -639129600},
    {"Asia/Shanghai", {1900, 1, 1, 0, 0, 0}, -2209017943},
    {"Asia/Shanghai", {9999, 12, 31, 23, 59, 59}, 253402271999},
    {"Asia/Shanghai", {2025, 7, 4, 12, 0, 0}, 1751601600},
    {"Europe/Berlin", {1949, 10, 1, 0, 0, 0}, -639108000},
    {"Europe/Berlin", {2025, 1, 15, 12, 0, 0}, 1736938800},
    {"Europe/Berlin", {2025, 7, 4, 12, 0, 0}, 1751623200},
    {"Europe/Berlin", {9999, 12, 31, 23, 59, 59}, 253402297199},
    {"America/New_York", {1900, 1, 1, 0, 0, 0}, -2208970800},
    {"America/New_York", {2025, 1, 15, 12, 0, 0}, 1736960400},
    {"America/New_York", {2025, 7, 4, 12, 0, 0}, 1751644800},
    {"America/New_York", {9999, 12, 31, 23, 59, 59}, 253402318799},
};

TEST(TimeTest, LocalFieldsMatchTheZoneDatabase) {
  for (const ZonedCase& c : kZonedCases) {
    SCOPED_TRACE(testing::Message() << c.zone << " " << c.wall.year << "-" << c.wall.month << "-" << c.wall.day);
    ASSERT_TRUE(ScopedTimeZone::installed(c.zone)) << "tzdata is not installed";
    ScopedTimeZone zone(c.zone);
    const Wall& w = c.wall;
    EXPECT_EQ(CTime(w.year, w.month, w.day, w.hour, w.minute, w.second).GetTime(), c.utc);
    expectWall(CTime(c.utc), w);
  }
}

// Wall times the clocks skip are taken after the change; those they show twice, at their first showing.
TEST(TimeTest, DaylightSavingGapsAndOverlaps) {
  struct Case {
    const char* zone;
    Wall asked;
    Wall shown;
    int64_t utc;  // 0: not checked
  } cases[] = {
      {"Europe/Berlin", {2025, 3, 30, 2, 30, 0}, {2025, 3, 30, 3, 30, 0}, 1743298200},
      {"America/New_York", {2025, 3, 9, 2, 0, 0}, {2025, 3, 9, 3, 0, 0}, 0},
      {"Europe/Berlin", {2025, 10, 26, 2, 30, 0}, {2025, 10, 26, 2, 30, 0}, 1761438600},
      {"America/New_York", {2025, 11, 2, 1, 30, 0}, {2025, 11, 2, 1, 30, 0}, 1762061400},
      // Midnight itself skipped (Brazil's last daylight-saving start).
      {"America/Sao_Paulo", {2018, 11, 4, 0, 0, 0}, {2018, 11, 4, 1, 0, 0}, 1541300400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.zone << " " << c.asked.month << "-" << c.asked.day);
    ASSERT_TRUE(ScopedTimeZone::installed(c.zone)) << "tzdata is not installed";
    ScopedTimeZone zone(c.zone);
    const CTime t(c.asked.year, c.asked.month, c.asked.day, c.asked.hour, c.asked.minute, c.asked.second);
    expectWall(t, c.shown);
    if (c.utc != 0) {
      EXPECT_EQ(t.GetTime(), c.utc);
    }
  }
}

#endif  // _WIN32

}  // namespace
