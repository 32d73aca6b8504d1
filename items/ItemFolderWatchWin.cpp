// The list file read again when another program changes it: the folder watch, and the widget's side of
// it (a quiet time after the last change, then looks at the file until it holds still; the minute
// tick looks too).
#include "items/ItemFolderWatch.h"

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Holidays.h"
#include "core/TextFile.h"
#include "framework/AfxWin.h"
#include "framework/Gbk.h"
#include "framework/PathParts.h"

namespace {

// What a change to the list looks like: a new name (written beside and renamed over it), new bytes,
// a new size.
constexpr DWORD kWatchedChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

}  // namespace

bool ItemFolderWatch::Start(const FilePath& file, HWND target, UINT message) {
  Stop();
  const std::wstring wide = widePath(file);
  const size_t at = wide.size() - fileNameOf(wide).size();
  // The folder without its last separator, but a drive's root keeps it ("C:\").
  std::wstring folder = at ? wide.substr(0, at) : L".";
  if (folder.size() > 1 && folder[folder.size() - 2] != L':') folder.pop_back();
  const std::wstring name = wide.substr(at);
  m_name.assign(name.begin(), name.end());
  // Shared for everything, deleting included: the watch must not keep the user from removing or
  // renaming the folder, nor a sync tool from replacing files in it.
  m_folder = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  if (m_folder == INVALID_HANDLE_VALUE) return false;
  m_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!m_event || !Arm() || !AfxAddWaitHandle(m_event, target, message)) {
    Stop();
    return false;
  }
  return true;
}

void ItemFolderWatch::Stop() {
  if (m_event) AfxRemoveWaitHandle(m_event);
  if (m_folder != INVALID_HANDLE_VALUE) {
    // The read in flight is cancelled and waited for before its buffer and event go. Cancelled by
    // its OVERLAPPED: Wine's CancelIo takes some ten milliseconds, which the quit would wait for.
    DWORD ignored = 0;
    if (m_reading && CancelIoEx(m_folder, &m_overlapped)) GetOverlappedResult(m_folder, &m_overlapped, &ignored, TRUE);
    m_reading = false;
    CloseHandle(m_folder);
    m_folder = INVALID_HANDLE_VALUE;
  }
  if (m_event) CloseHandle(m_event);
  m_event = nullptr;
}

bool ItemFolderWatch::Arm() {
  ResetEvent(m_event);
  m_overlapped = {};
  m_overlapped.hEvent = m_event;
  m_reading = ReadDirectoryChangesW(m_folder, m_buffer, sizeof m_buffer, FALSE, kWatchedChanges, nullptr, &m_overlapped,
                                    nullptr) != FALSE;
  return m_reading;
}

bool ItemFolderWatch::Collect() {
  if (m_folder == INVALID_HANDLE_VALUE) return false;
  DWORD bytes = 0;
  const bool got = GetOverlappedResult(m_folder, &m_overlapped, &bytes, FALSE) != FALSE;
  m_reading = false;
  // No bytes with success: more changed than the buffer holds, so anything may have.
  const bool concerns = !got || changesNameFile(m_buffer, bytes, m_name) ||
                        changesNameFile(m_buffer, bytes, gbk::utf8ToUtf16(kHolidayFileName));
  if (!Arm()) {
    // The folder went away (a removed drive): the event must not stay signalled, or the loop would
    // spin. The minute tick looks from now on.
    Stop();
    return true;
  }
  return concerns;
}

FileStamp ItemFolderWatch::Stamp(const FilePath& file, bool withBytes) {
  FileStamp stamp;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(widePath(file).c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = GetLastError();
    stamp.state = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileStamp::State::Missing
                                                                                 : FileStamp::State::Busy;
    return stamp;
  }
  stamp.state = FileStamp::State::Found;
  stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.written =
      (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  if (!withBytes) return stamp;
  std::string bytes;
  switch (readFileBytes(file, bytes)) {
    case ReadResult::Ok:
      break;
    case ReadResult::Missing:
      stamp.state = FileStamp::State::Missing;
      return stamp;
    case ReadResult::Unreadable:
      stamp.state = FileStamp::State::Busy;  // held open by its writer, most likely: looked at again
      return stamp;
    case ReadResult::TooLarge:
      bytes.clear();  // the load will say so; the size alone tells this file apart
      break;
  }
  stamp.hashed = true;
  stamp.hash = contentHash(bytes);
  stamp.lineEnded = endsWithLineEnd(bytes);
  return stamp;
}

// --- The widget's side ---------------------------------------------------------------------------

void CWidgetDlg::WatchItemFolder() {
  itemWatch.Start(itemFilePath, m_hWnd, WM_ITEM_FOLDER_CHANGED);
  CheckItemFile();
}

LRESULT CWidgetDlg::OnItemFolderChanged(WPARAM, LPARAM) {
  // A burst of changes sets the timer again and again: one look once the folder is quiet.
  if (itemWatch.Collect()) ::SetTimer(m_hWnd, IDT_ITEM_RELOAD, ReloadDebounce::kQuietMs, nullptr);
  return 0;
}

void CWidgetDlg::CheckItemFile() {
  ::KillTimer(m_hWnd, IDT_ITEM_RELOAD);
  // The editor holds the user's text: the list is read again once it closes.
  if (!core || openEditor) return;
  const uint64_t now = GetTickCount64();
  ReloadDebounce::Action action = itemWatch.debounce.decide(ItemFolderWatch::Stamp(itemFilePath, false), now);
  if (action == ReloadDebounce::Action::ReadBytes)
    action = itemWatch.debounce.decide(ItemFolderWatch::Stamp(itemFilePath, true), now);
  if (action == ReloadDebounce::Action::LookAgain)
    ::SetTimer(m_hWnd, IDT_ITEM_RELOAD, ReloadDebounce::kQuietMs, nullptr);
  if (action != ReloadDebounce::Action::Reload) {
    // The holiday file beside it changed alone: the counts again with its dates.
    if (HolidayFileChanged()) {
      LoadHolidays();
      UpdateLayout();
    }
    return;
  }
  // The same place; one new picture replaces the old, nothing is cleared in between.
  LoadItems();
  UpdateLayout();
}
