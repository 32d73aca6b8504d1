#include "framework/Timeline.h"

#include <windows.h>

#include <cstring>

namespace {

using FileTimeFn = void(WINAPI*)(LPFILETIME);

// The file named by TESSALY_TIMELINE, opened at the first mark; closed at the process's end.
class TimelineFile {
 public:
  TimelineFile() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"TESSALY_TIMELINE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    m_file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) return;
    // The precise clock came with Windows 8; the coarse one serves before it.
    m_now = reinterpret_cast<FileTimeFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    if (!m_now) m_now = GetSystemTimeAsFileTime;
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) write("process created", created);
  }
  ~TimelineFile() {
    if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
  }
  TimelineFile(const TimelineFile&) = delete;
  TimelineFile& operator=(const TimelineFile&) = delete;

  void mark(const char* step) {
    if (m_file == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    m_now(&now);
    write(step, now);
  }

 private:
  // Digits by hand: formatted output would grow the program for the benchmark's sake.
  void write(const char* step, const FILETIME& time) {
    const unsigned long long ticks = (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    unsigned long long micros = (ticks - 116444736000000000ull) / 10;  // from 1601 to 1970, in 100 ns
    char line[96];
    size_t length = strnlen(step, 64);
    std::memcpy(line, step, length);
    line[length++] = '\t';
    char digits[24];
    int count = 0;
    do {
      digits[count++] = static_cast<char>('0' + micros % 10);
      micros /= 10;
    } while (micros);
    while (count) line[length++] = digits[--count];
    line[length++] = '\n';
    DWORD written = 0;
    WriteFile(m_file, line, static_cast<DWORD>(length), &written, nullptr);
  }

  HANDLE m_file = INVALID_HANDLE_VALUE;
  FileTimeFn m_now = nullptr;
};

}  // namespace

void timelineMark(const char* step) {
  static TimelineFile file;
  file.mark(step);
}
