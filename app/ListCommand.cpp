// The text listing: the item file read, counted and described by the same routines as the widget's
// rows, one tab-separated UTF-8 line per counted line of the file, on standard output. Beside it the
// calendar file: the same list written as iCalendar to the file named after --ics.
//
// A GUI program has no console of its own. When it is given a standard output (a pipe or a file, and
// under Wine the shell's own descriptors) it writes there; otherwise it attaches to the console of
// the process that started it, never making a new one.
#include "app/ListCommand.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/Core.h"
#include "core/Holidays.h"
#include "core/TextFile.h"
#include "framework/Gbk.h"
#include "items/Calendar.h"
#include "items/ItemList.h"
#include "items/Reminders.h"

namespace {

bool usable(HANDLE handle) {
  return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Standard output and error for the listing; attaches to the parent's console only when needed and
// leaves it again at the end.
class ConsoleOutput {
 public:
  ConsoleOutput() {
    m_out = GetStdHandle(STD_OUTPUT_HANDLE);
    m_err = GetStdHandle(STD_ERROR_HANDLE);
    if (usable(m_out) && usable(m_err)) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    m_attached = true;
    if (!usable(m_out)) m_out = m_console = openConsole();
    if (!usable(m_err)) m_err = m_console ? m_console : (m_console = openConsole());
  }
  ~ConsoleOutput() {
    if (m_console) CloseHandle(m_console);
    if (m_attached) FreeConsole();
  }
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

  // False when the text could not be written (a full disk, a closed pipe).
  bool out(const std::string& utf8) { return write(m_out, utf8); }
  bool err(const std::string& utf8) { return write(m_err, utf8); }

 private:
  static HANDLE openConsole() {
    HANDLE h = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
  }
  // A console gets UTF-16, whatever its code page; pipes and files get the UTF-8 bytes.
  static bool write(HANDLE handle, const std::string& utf8) {
    if (!usable(handle)) return true;  // nowhere to write: nothing is lost that anyone could see
    DWORD mode, written = 0;
    if (GetConsoleMode(handle, &mode)) {
      std::wstring wide = gbk::utf8ToWide(utf8);
      return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
             written == wide.size();
    }
    for (size_t at = 0; at < utf8.size(); at += written) {
      if (!WriteFile(handle, utf8.data() + at, static_cast<DWORD>(utf8.size() - at), &written, nullptr) || written == 0)
        return false;
    }
    return true;
  }

  HANDLE m_out = nullptr;
  HANDLE m_err = nullptr;
  HANDLE m_console = nullptr;
  bool m_attached = false;
};

}  // namespace

namespace {

// What the command line asks for: the listing, the calendar file (with its path, empty when none was
// given), or neither.
struct Command {
  bool list = false;
  bool ics = false;
  std::wstring icsPath;
  bool holidays = false;
  std::wstring holidayYear;
};

Command commandLine() {
  Command command;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return command;
  for (int i = 1; i < argc; ++i) {
    if (lstrcmpiW(argv[i], L"--list") == 0 || lstrcmpiW(argv[i], L"/list") == 0) command.list = true;
    if (lstrcmpiW(argv[i], L"--ics") == 0 || lstrcmpiW(argv[i], L"/ics") == 0) {
      command.ics = true;
      if (i + 1 < argc) command.icsPath = argv[++i];
    }
    if (lstrcmpiW(argv[i], L"--holidays") == 0 || lstrcmpiW(argv[i], L"/holidays") == 0) {
      command.holidays = true;
      if (i + 1 < argc) command.holidayYear = argv[++i];
    }
  }
  LocalFree(argv);
  return command;
}

}  // namespace

bool isListCommandLine() {
  const Command command = commandLine();
  return command.list || command.ics || command.holidays;
}

namespace {

// "--holidays YEAR": the year's dates, built-in and the user's, one line each.
int printHolidays(ConsoleOutput& console, const std::wstring& yearText, const FilePath& listPath) {
  int year = 0;
  for (wchar_t c : yearText) year = c >= L'0' && c <= L'9' && year < 100000 ? year * 10 + (c - L'0') : -1;
  if (year < kFirstDateYear || year > 2100) {
    console.err(gbk::gbkToUtf8("年份要在 1900 到 2100 之间：Tessaly.exe --holidays 2026") + "\n");
    return 1;
  }
  std::vector<std::string> badLines;
  if (!loadHolidayFile(listPath, &badLines))
    console.err(gbk::gbkToUtf8(std::string("无法读取") + kHolidayFileName) + "\n");
  const std::string note = holidayFileNote(badLines);
  if (!note.empty()) console.err(gbk::gbkToUtf8(note) + "\n");
  if (!holidayCalendar().hasYear(year)) {
    console.err(gbk::gbkToUtf8(std::to_string(year) + " 年的放假安排尚未公布") + "\n");
    return 0;
  }
  std::string text;
  for (const HolidayDay& day : holidayCalendar().yearDays(year))
    text += gbk::gbkToUtf8EachCharacter(holidayListLine(day)) + "\n";
  return console.out(text) ? 0 : 1;
}

}  // namespace

int runListCommand() {
  ConsoleOutput console;
  const Command command = commandLine();
  if (command.ics && command.icsPath.empty()) {
    console.err(gbk::gbkToUtf8("缺少日历文件名：Tessaly.exe --ics 文件名.ics") + "\n");
    return 1;
  }
  CCore core;
  // The same list the widget reads, wherever the settings put it; the listing writes nothing.
  core.autoFileConfig(false);
  const FilePath path = core.listPath();
  if (command.holidays) return printHolidays(console, command.holidayYear, path);
  // The working-day counts with the user's holiday dates, as the widget counts them.
  loadHolidayFile(path, nullptr);
  ItemList list;
  const ItemFileLoad load = list.load(core, path);
  // No list at all is the widget's ordinary empty state: no line to print (the holiday row aside).
  if (load.status != ItemFileStatus::Missing && !load) {
    console.err(gbk::gbkToUtf8("无法读取纪念日文件：") + path + gbk::gbkToUtf8("：" + load.reason().str()) + "\n");
    return 1;
  }
  const CTime now = core.getTimeNow();
  // The next holiday's row (settings "holidayrow") as the widget counts it.
  list.showHoliday(core.loadSettings().holidayRow);
  // Worked out once, for the calendar file and the listing alike.
  list.count(now);
  if (command.ics) {
    const FilePath icsPath = gbk::wideToUtf8(command.icsPath);
    // The reminder time as the widget reads it.
    const int remindAt = core.loadSettings().remindAt;
    const IcsFile ics = writeIcs(list, now, remindAt);
    if (!replaceFileBytes(icsPath, ics.text)) {
      console.err(gbk::gbkToUtf8("无法写入日历文件：") + icsPath + "\n");
      return 1;
    }
    const std::string note = icsBoundNote(ics);
    if (!note.empty()) console.err(gbk::gbkToUtf8(note) + "\n");
    if (!command.list) return 0;
  }
  std::string text;
  const auto addLine = [&text](const std::vector<std::string>& fields) {
    for (size_t f = 0; f < fields.size(); ++f) text += (f ? "\t" : "") + gbk::gbkToUtf8EachCharacter(fields[f]);
    text += "\n";
  };
  for (int i = 0; i < list.stored(); ++i) {
    const ItemRecord& record = list.line(i);
    const std::string_view name(record.name, strnlen(record.name, sizeof record.name));
    addLine(itemListFields(name, list.facts(i, now).details, list.optionsOf(i)));
  }
  // The holiday row, kind "holiday".
  if (list.holidayLine() >= 0) {
    const ItemRecord& record = list.line(list.holidayLine());
    std::vector<std::string> fields = itemListFields(record.name, list.facts(list.holidayLine(), now).details);
    fields[1] = "holiday";
    addLine(fields);
  }
  return console.out(text) ? 0 : 1;
}
