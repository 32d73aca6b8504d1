// CTime on 64-bit UTC seconds. Every local-time question goes through one primitive, the zone's UTC
// offset at an instant; the calendar arithmetic is our own, because the C runtime's mktime (and
// MinGW's _mktime64) stops at 1970 or 3000 and Windows' SYSTEMTIME conversions need the offset anyway.
#include "framework/Time.h"

#include <initializer_list>

#include "framework/CivilDate.h"

#ifdef _WIN32
#include <windows.h>

#include <cstring>
#else
#include <ctime>
#endif

namespace {

constexpr int64_t kSecondsPerDay = 86400;

int64_t secondsOfCivil(int year, int month, int day, int hour, int minute, int second) {
  return daysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

#ifdef _WIN32

constexpr int64_t kFileTimeEpoch = 11644473600;  // seconds from 1601-01-01 to 1970-01-01
constexpr int64_t kTicksPerSecond = 10000000;

int64_t secondsOfSystemTime(const SYSTEMTIME& st) {
  return secondsOfCivil(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

// How long the system's zone, once read, is taken as still in force. One minute tick asks for dozens
// of offsets within a few milliseconds and each read goes to the registry; a zone the user changes
// takes effect at the next tick all the same.
constexpr DWORD kZoneRereadMs = 1000;

// The zone's rules for a year, so that changes of its daylight-saving dates over the years are
// honoured; null (the current rules) when the system has none. GetTimeZoneInformationForYear reads the
// registry on every call, so the rules of recent years are kept until the system's zone changes.
const TIME_ZONE_INFORMATION* rulesForYear(USHORT year) {
  struct Entry {
    USHORT year;
    bool known;
    TIME_ZONE_INFORMATION rules;
  };
  static TIME_ZONE_INFORMATION zoneSeen;
  static Entry entries[8];
  static int used = 0;
  static int next = 0;
  static bool zoneRead = false;
  static DWORD zoneReadAt = 0;

  const DWORD now = GetTickCount();
  if (!zoneRead || now - zoneReadAt >= kZoneRereadMs) {
    TIME_ZONE_INFORMATION zone;
    memset(&zone, 0, sizeof zone);
    GetTimeZoneInformation(&zone);
    if (!zoneRead || memcmp(&zone, &zoneSeen, sizeof zone) != 0) {
      zoneSeen = zone;
      used = next = 0;
    }
    zoneRead = true;
    zoneReadAt = now;
  }
  for (int i = 0; i < used; ++i) {
    if (entries[i].year == year) return entries[i].known ? &entries[i].rules : nullptr;
  }
  Entry& entry = entries[next];
  next = (next + 1) % 8;
  if (used < 8) ++used;
  entry.year = year;
  entry.known = GetTimeZoneInformationForYear(year, nullptr, &entry.rules) != FALSE;
  return entry.known ? &entry.rules : nullptr;
}

// Local wall-clock seconds minus UTC seconds at the instant utc.
int64_t localOffset(int64_t utc) {
  // SYSTEMTIME covers 1601..30827; outside it the rules of the nearest end apply.
  const int64_t first = -kFileTimeEpoch + 2 * kSecondsPerDay;
  const int64_t last = daysFromCivil(30000, 1, 1) * kSecondsPerDay;
  if (utc < first) utc = first;
  if (utc > last) utc = last;
  ULARGE_INTEGER ticks;
  ticks.QuadPart = static_cast<ULONGLONG>(utc + kFileTimeEpoch) * kTicksPerSecond;
  FILETIME fileTime;
  fileTime.dwLowDateTime = ticks.LowPart;
  fileTime.dwHighDateTime = ticks.HighPart;
  SYSTEMTIME universal;
  if (!FileTimeToSystemTime(&fileTime, &universal)) return 0;
  SYSTEMTIME local;
  const TIME_ZONE_INFORMATION* rules = rulesForYear(universal.wYear);
  if (!SystemTimeToTzSpecificLocalTime(rules, &universal, &local)) return 0;
  return secondsOfSystemTime(local) - secondsOfSystemTime(universal);
}

#else

int64_t localOffset(int64_t utc) {
  const time_t instant = static_cast<time_t>(utc);
  struct tm fields;
  if (localtime_r(&instant, &fields) == nullptr) return 0;
  return secondsOfCivil(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
                        fields.tm_sec) -
         utc;
}

#endif

// The instant at which the local clock shows wall (local seconds counted like UTC seconds).
int64_t utcFromLocal(int64_t wall) {
  // The offsets in force a day before and a day after bracket any change of offset near wall.
  const int64_t offsetBefore = localOffset(wall - kSecondsPerDay);
  const int64_t offsetAfter = localOffset(wall + kSecondsPerDay);
  bool found = false;
  int64_t best = 0;
  for (int64_t offset : {offsetBefore, offsetAfter}) {
    const int64_t candidate = wall - offset;
    if (localOffset(candidate) != offset) continue;
    // A wall time shown twice when the clocks go back is its first showing.
    if (!found || candidate < best) best = candidate;
    found = true;
  }
  if (found) return best;
  // A wall time the clocks skip: read with the offset before the change it lands as far after it.
  return wall - offsetBefore;
}

struct LocalFields {
  CivilDate date;
  int secondOfDay;
};

LocalFields localFields(int64_t utc) {
  const int64_t wall = utc + localOffset(utc);
  const int64_t day = floorDiv(wall, kSecondsPerDay);
  return {civilFromDays(day), static_cast<int>(wall - day * kSecondsPerDay)};
}

}  // namespace

CTime::CTime(int year, int month, int day, int hour, int minute, int second) {
  // Months past 12 or below 1 roll into the neighbouring years, days and times past their ends
  // into the following ones.
  const int monthIndex = month - 1;
  const int yearShift = static_cast<int>(floorDiv(monthIndex, 12));
  const int64_t wall =
      (daysFromCivil(year + yearShift, monthIndex - yearShift * 12 + 1, 1) + day - 1) * kSecondsPerDay +
      static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
  m_time = utcFromLocal(wall);
}

CTime CTime::GetCurrentTime() {
#ifdef _WIN32
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  return CTime(static_cast<int64_t>(ticks.QuadPart / kTicksPerSecond) - kFileTimeEpoch);
#else
  return CTime(static_cast<int64_t>(time(nullptr)));
#endif
}

int CTime::GetYear() const { return localFields(m_time).date.year; }
int CTime::GetMonth() const { return localFields(m_time).date.month; }
int CTime::GetDay() const { return localFields(m_time).date.day; }
int CTime::GetHour() const { return localFields(m_time).secondOfDay / 3600; }
int CTime::GetMinute() const { return localFields(m_time).secondOfDay / 60 % 60; }
int CTime::GetSecond() const { return localFields(m_time).secondOfDay % 60; }
