// "导出日历...": the list as an iCalendar file, through the standard Save dialog.
#include <windows.h>

#include <commdlg.h>

#include <string>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/TextFile.h"
#include "framework/Gbk.h"
#include "items/Calendar.h"
#include "res/Texts.h"
#include "ui/Messages.h"

namespace {

using GetSaveFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
using CommDlgExtendedErrorFn = DWORD(WINAPI*)();

// The common dialogs library, loaded for the dialog and freed after it: linked, it would bring the
// common controls into every start, before the first frame.
class CommonDialogs {
 public:
  CommonDialogs() : m_library(LoadLibraryW(L"comdlg32.dll")) {}
  ~CommonDialogs() {
    if (m_library) FreeLibrary(m_library);
  }
  CommonDialogs(const CommonDialogs&) = delete;
  CommonDialogs& operator=(const CommonDialogs&) = delete;

  // The call's result; false with error 0 when the user cancelled, or with the dialog's error code.
  bool getSaveFileName(OPENFILENAMEW* dialog, DWORD* error) const {
    const auto save = reinterpret_cast<GetSaveFileNameFn>(function("GetSaveFileNameW"));
    const auto lastError = reinterpret_cast<CommDlgExtendedErrorFn>(function("CommDlgExtendedError"));
    *error = 0;
    if (!save || !lastError) {
      *error = GetLastError() ? GetLastError() : ERROR_PROC_NOT_FOUND;
      return false;
    }
    if (save(dialog)) return true;
    *error = lastError();
    return false;
  }

 private:
  void* function(const char* name) const {
    return m_library ? reinterpret_cast<void*>(GetProcAddress(m_library, name)) : nullptr;
  }
  HMODULE m_library;
};

// The wait cursor while it lives, the cursor before it after.
class WaitCursor {
 public:
  WaitCursor() : m_before(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)))) {}
  ~WaitCursor() { SetCursor(m_before); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR m_before;
};

}  // namespace

void CWidgetDlg::OnAppExport() {
  if (BringModalToFront() || !core) return;
  // Long paths and any characters: the dialog's buffer is wide and roomy.
  std::wstring file(32768, L'\0');
  const std::wstring name = L"Tessaly.ics";
  file.replace(0, name.size(), name);
  const std::wstring filter = gbk::toWide("iCalendar 日历文件 (*.ics)") + L'\0' + L"*.ics" + L'\0' +
                              gbk::toWide("所有文件 (*.*)") + L'\0' + L"*.*" + L'\0';
  const std::wstring title = gbk::toWide("导出日历");
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = m_hWnd;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = L"ics";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_HIDEREADONLY;
  DWORD error = 0;
  if (!CommonDialogs().getSaveFileName(&dialog, &error)) {
    if (error) warn(m_hWnd, fill(kSaveAsFailed, {digits(static_cast<int>(error))}));
    return;
  }
  file.resize(wcslen(file.c_str()));
  CountDays();
  IcsFile ics;
  bool written;
  {
    // Bounded, the file takes a fraction of a second; the cursor says the widget is busy meanwhile.
    WaitCursor wait;
    ics = writeIcs(items, core->getTimeNow(), reminders.remindAt);
    written = replaceFileBytes(gbk::wideToUtf8(file), ics.text);
    error = GetLastError();
  }
  if (written) {
    const std::string note = icsBoundNote(ics);
    if (!note.empty()) warn(m_hWnd, CString(note));
    return;
  }
  warn(m_hWnd, fill(kCalendarNotWritten, {file, digits(error)}));
}
