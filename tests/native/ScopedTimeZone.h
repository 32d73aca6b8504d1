// Runs a test in a given time zone (TZ) and puts the old one back. Native only: under Windows the
// time zone is the system's, which TZ does not change.
#pragma once
#ifndef _WIN32
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const std::string& zone) {
    const char* old = getenv("TZ");
    m_hadOld = old != nullptr;
    if (m_hadOld) m_old = old;
    setenv("TZ", zone.c_str(), 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (m_hadOld) {
      setenv("TZ", m_old.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  // glibc quietly falls back to UTC for a zone it cannot find: tell a missing tzdata apart.
  static bool installed(const std::string& zone) {
    return zone == "UTC" || access(("/usr/share/zoneinfo/" + zone).c_str(), R_OK) == 0;
  }

 private:
  bool m_hadOld = false;
  std::string m_old;
};
#endif
