// Under Windows the clock and the time zone are the system's: the core's now and its reading of
// today's date must agree with what Windows itself says.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/Core.h"
#include "items/DayCount.h"

namespace {

constexpr int64_t kFileTimeEpoch = 11644473600;  // seconds from 1601-01-01 to 1970-01-01
constexpr ULONGLONG kTicksPerDay = 864000000000ULL;

ULONGLONG ticksOf(const FILETIME& ft) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = ft.dwLowDateTime;
  ticks.HighPart = ft.dwHighDateTime;
  return ticks.QuadPart;
}

int64_t unixSecondsOf(const FILETIME& ft) { return static_cast<int64_t>(ticksOf(ft) / 10000000) - kFileTimeEpoch; }

bool sameDate(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

std::string dateText(const SYSTEMTIME& st) {
  char text[32];
  snprintf(text, sizeof text, "%04u-%02u-%02u", st.wYear, st.wMonth, st.wDay);
  return text;
}

// The local date `days` days from st, by Windows' own calendar arithmetic.
SYSTEMTIME shiftDate(const SYSTEMTIME& st, int days) {
  SYSTEMTIME noon = st;
  noon.wHour = 12;
  noon.wMinute = noon.wSecond = noon.wMilliseconds = 0;
  FILETIME ft;
  SystemTimeToFileTime(&noon, &ft);
  ULARGE_INTEGER ticks;
  ticks.QuadPart = ticksOf(ft) + static_cast<ULONGLONG>(static_cast<LONGLONG>(days)) * kTicksPerDay;
  ft.dwLowDateTime = ticks.LowPart;
  ft.dwHighDateTime = ticks.HighPart;
  SYSTEMTIME shifted;
  FileTimeToSystemTime(&ft, &shifted);
  return shifted;
}

TEST(TimeWinTest, NowAgreesWithTheWindowsClock) {
  CCore core;
  for (int attempt = 0; attempt < 3; ++attempt) {
    SYSTEMTIME before;
    GetLocalTime(&before);
    FILETIME utc;
    GetSystemTimeAsFileTime(&utc);
    const CTime now = core.getTimeNow();
    SYSTEMTIME after;
    GetLocalTime(&after);
    if (!sameDate(before, after) || before.wHour != after.wHour || before.wMinute != after.wMinute) continue;
    EXPECT_NEAR(static_cast<double>(now.GetTime()), static_cast<double>(unixSecondsOf(utc)), 1.0);
    EXPECT_EQ(now.GetYear(), after.wYear);
    EXPECT_EQ(now.GetMonth(), after.wMonth);
    EXPECT_EQ(now.GetDay(), after.wDay);
    EXPECT_EQ(now.GetHour(), after.wHour);
    EXPECT_EQ(now.GetMinute(), after.wMinute);
    return;
  }
  FAIL() << "the clock kept turning over";
}

TEST(TimeWinTest, TodaysDateTextIsTheWindowsLocalMidnight) {
  CCore core;
  for (int attempt = 0; attempt < 2; ++attempt) {
    SYSTEMTIME today;
    GetLocalTime(&today);
    SYSTEMTIME midnight = today;
    midnight.wHour = midnight.wMinute = midnight.wSecond = midnight.wMilliseconds = 0;
    SYSTEMTIME utcMidnight;
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &midnight, &utcMidnight));
    FILETIME ft;
    SystemTimeToFileTime(&utcMidnight, &ft);
    const int64_t expected = unixSecondsOf(ft);

    char written[64];  // 2025年5月20日 in GBK
    snprintf(written, sizeof written, "%u\xC4\xEA%u\xD4\xC2%u\xC8\xD5", today.wYear, today.wMonth, today.wDay);
    char yearly[16];
    snprintf(yearly, sizeof yearly, "%u/%u", today.wMonth, today.wDay);
    const CTime numbered = core.getTimeFromStr(dateText(today).c_str());
    const CTime writtenTime = core.getTimeFromStr(written);
    const CTime yearlyTime = core.getTimeFromStr(yearly);
    const CTime now = core.getTimeNow();
    SYSTEMTIME check;
    GetLocalTime(&check);
    if (!sameDate(today, check)) continue;  // midnight passed meanwhile

    EXPECT_EQ(numbered.GetTime(), expected) << dateText(today);
    EXPECT_EQ(writtenTime.GetTime(), expected);
    EXPECT_EQ(yearlyTime.GetTime(), expected) << yearly;
    EXPECT_EQ(DaysBetween(numbered, now), 0);
    return;
  }
  FAIL() << "the date kept changing";
}

TEST(TimeWinTest, ItemsAroundTodayCountAgainstTheWindowsDate) {
  CCore core;
  const int offsets[] = {-400, -1, 0, 1, 30, 366};
  constexpr int kCount = sizeof offsets / sizeof offsets[0];
  for (int attempt = 0; attempt < 2; ++attempt) {
    SYSTEMTIME today;
    GetLocalTime(&today);
    ItemRecord records[kCount + 1] = {};
    for (int i = 0; i < kCount; ++i) {
      const std::string text = dateText(shiftDate(today, offsets[i]));
      snprintf(records[i].dateText, kDateTextSize, "%s", text.c_str());
    }
    records[kCount].days = 77;
    countDays(core, records, kCount);
    SYSTEMTIME check;
    GetLocalTime(&check);
    if (!sameDate(today, check)) continue;

    for (int i = 0; i < kCount; ++i) {
      const int offset = offsets[i];
      EXPECT_EQ(records[i].kind, offset == 0 ? Today : offset > 0 ? Upcoming : Past) << records[i].dateText;
      EXPECT_EQ(records[i].days, offset < 0 ? -offset : offset) << records[i].dateText;
    }
    EXPECT_EQ(records[kCount].days, 77);
    return;
  }
  FAIL() << "the date kept changing";
}

}  // namespace
