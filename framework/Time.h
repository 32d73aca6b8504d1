// CTime and CTimeSpan: whole seconds since 1970-01-01 00:00:00 UTC, on 64 bits so that any date from
// year 1 to 9999 fits. Breaking a time into local calendar fields, and back, follows the system's time
// zone (TZ natively, the Windows time zone rules under Windows), daylight saving included.
#pragma once
#include <cstdint>

#ifdef _WIN32
// winbase.h defines GetCurrentTime() as GetTickCount(), which would rename the member below in some
// files and not in others, depending on the order of includes.
#include <wtypes.h>
#undef GetCurrentTime
#endif

class CTimeSpan {
 public:
  CTimeSpan() = default;
  explicit CTimeSpan(int64_t seconds) : m_span(seconds) {}
  int64_t GetTimeSpan() const { return m_span; }
  int64_t GetTotalSeconds() const { return m_span; }
  int64_t GetDays() const { return m_span / 86400; }

 private:
  int64_t m_span = 0;
};

class CTime {
 public:
  CTime() = default;
  explicit CTime(int64_t utcSeconds) : m_time(utcSeconds) {}
  // Local wall-clock time. A time that daylight saving skips is taken after the change.
  CTime(int year, int month, int day, int hour, int minute, int second);

  static CTime GetCurrentTime();

  int64_t GetTime() const { return m_time; }
  // Local calendar fields.
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;

  CTimeSpan operator-(const CTime& other) const { return CTimeSpan(m_time - other.m_time); }
  bool operator==(const CTime& other) const { return m_time == other.m_time; }
  bool operator!=(const CTime& other) const { return m_time != other.m_time; }

 private:
  int64_t m_time = 0;
};
