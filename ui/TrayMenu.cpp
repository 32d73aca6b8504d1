// The tray icon and the pop-up menu "APP": the icon is added just after the widget is first shown, added again when the
// taskbar is created anew, and removed at the end; the menu opens from the icon (without "隐藏到托盘") and from a right
// click on the widget (with it).
#include "app/WidgetDlg.h"

#include <shellapi.h>
#include <windowsx.h>

#include "app/AppState.h"
#include "core/TextFile.h"
#include "core/Autostart.h"
#include "framework/Gbk.h"
#include "framework/Timeline.h"
#include "res/resource.h"
#include "ui/ItemFormDlg.h"
#include "ui/Messages.h"
#include "ui/TrayTip.h"

namespace {

// Tracks the loaded menu's sub-menu at the cursor. The owner is brought forward first and a null
// message posted after, or the menu would not close when the user clicks elsewhere.
// rowEntry, when given, ends the menu after a separator (the row's "编辑“名称”..."). at: where on the
// screen, when not at the cursor (a menu opened with the keys).
void trackAppMenu(HWND owner, bool withHide, const std::wstring& rowEntry = std::wstring(), const POINT* at = nullptr) {
  CMenu menu;
  if (!menu.Attach(LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_APP_MENU)))) return;
  HMENU popup = menu.GetSubMenu(0);
  if (!popup) return;
  if (!withHide) RemoveMenu(popup, ID_APP_HIDE, MF_BYCOMMAND);
  if (!rowEntry.empty()) {
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_STRING, ID_APP_EDIT_ROW, rowEntry.c_str());
  }
  POINT cursor;
  if (at)
    cursor = *at;
  else
    GetCursorPos(&cursor);
  SetForegroundWindow(owner);
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}  // the menu is destroyed here, whether or not an entry was chosen

// Shows the file in its folder, selected, as Explorer does.
void showInFolder(const FilePath& path) {
  const std::wstring arguments = L"/select,\"" + gbk::utf8ToWide(path) + L"\"";
  ShellExecuteW(nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
}
}  // namespace

bool CWidgetDlg::NotifyTrayIcon(DWORD operation, CString tip) {
  NOTIFYICONDATAW data = {};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = m_hWnd;
  data.uID = TRAY_ICON_UID;
  // The window and the id name the icon to remove; an icon and tip given with it would only be
  // converted for nothing, at the quit.
  if (operation == NIM_DELETE) return Shell_NotifyIconW(operation, &data) != FALSE;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_TRAY_NOTIFY;
  data.hIcon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TRAY));
  std::wstring wideTip = gbk::toWide(trayTipText(tip.view()));
  lstrcpynW(data.szTip, wideTip.c_str(), static_cast<int>(sizeof data.szTip / sizeof data.szTip[0]));
  bool ok = Shell_NotifyIconW(operation, &data) != FALSE;
  if (data.hIcon) DestroyIcon(data.hIcon);
  return ok;
}

LRESULT CWidgetDlg::OnTrayNotify(WPARAM, LPARAM lParam) {
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      // Nothing opens a second dialog: a press while one is open only brings it forward.
      if (BringModalToFront()) break;
      if (lParam == WM_RBUTTONDOWN) {
        trackAppMenu(m_hWnd, false);
        break;
      }
      manners.visibility.userShows();
      ShowWindow(SW_SHOW);
      PlaceInLayer();
      SetForegroundWindow(m_hWnd);
      break;
    // The balloon's own notices. What a click does depends on which balloon it was: a reminder's
    // shows the widget for good, as the icon's click does, in the user's layer, and brings it forward
    // (a dialog that is open comes before it); a note that names a file shows that file in its
    // folder, once.
    case NIN_BALLOONUSERCLICK:
      if (reminders.reminderBalloonUp()) {
        manners.visibility.userShows();
        ShowWindow(SW_SHOW);
        PlaceInLayer();
        if (!BringModalToFront()) SetForegroundWindow(m_hWnd);
      } else if (!recovery.noteFile.empty()) {
        showInFolder(recovery.noteFile);
      }
      recovery.noteFile.clear();
      reminders.balloonGone();
      break;
    case NIN_BALLOONTIMEOUT:
    case NIN_BALLOONHIDE:
      reminders.balloonGone();
      break;
    default:
      break;
  }
  return 0;
}

void CWidgetDlg::ShowNote(const std::wstring& text, const FilePath& opens) {
  recovery.noteFile = opens;
  if (tray.added) {
    reminders.balloonGone();  // this balloon takes the reminder's place
    // The balloon fields came with version 5 of the shell; this size is known to every shell since.
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = m_hWnd;
    data.uID = TRAY_ICON_UID;
    data.uFlags = NIF_INFO;
    data.uTimeout = 30000;
    data.dwInfoFlags = NIIF_WARNING;
    lstrcpynW(data.szInfoTitle, L"Tessaly", static_cast<int>(sizeof data.szInfoTitle / sizeof data.szInfoTitle[0]));
    static_assert(sizeof data.szInfo / sizeof data.szInfo[0] == kBalloonChars + 1, "the balloon's room");
    std::u16string shown = noteForBalloon(std::u16string(text.begin(), text.end()));
    std::wstring wideShown(shown.begin(), shown.end());
    lstrcpynW(data.szInfo, wideShown.c_str(), static_cast<int>(sizeof data.szInfo / sizeof data.szInfo[0]));
    if (Shell_NotifyIconW(NIM_MODIFY, &data)) return;
  }
  warn(m_hWnd, text);
}

// The start's deferred part, once, from a timer set at initialisation, so that the shell's answer is not waited for
// before the first frame; a shell that restarted in between may have had the icon added already. A shell not ready yet
// (a start at log-on) is asked again every kTrayRetryMs, kTrayRetries times.
void CWidgetDlg::OnAfterStart() {
  ::KillTimer(m_hWnd, IDT_AFTER_START);
  // The window's icons are for the system's lists of windows, never seen before the first frame;
  // on Wine each costs a conversion of the icon's bitmaps.
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(tray.icon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(tray.icon));
  // The program was moved since its Run value was written: the value follows it.
  renewStaleAutostart();
  // Told with the start notes, once the icon can say it.
  keyboard.note = RegisterWidgetHotkey();
  if (!tray.added) tray.added = NotifyTrayIcon(NIM_ADD, "Tessaly");
  timelineMark("tray icon added");
  // Also nothing the first frame needs: the temporary file of a save that was killed goes, and the
  // list's folder is watched (a change since the list was read is caught by the look that starts it).
  removeStaleTemporary(itemFilePath);
  WatchItemFolder();
  if (!tray.added) {
    tray.addTries = 1;
    ::SetTimer(m_hWnd, IDT_TRAY_RETRY, kTrayRetryMs, nullptr);
    return;
  }
  OnTrayIconReady();
}

void CWidgetDlg::OnTrayRetryTimer() {
  if (!tray.added) tray.added = NotifyTrayIcon(NIM_ADD, "Tessaly");
  if (!tray.added && ++tray.addTries <= kTrayRetries) return;
  ::KillTimer(m_hWnd, IDT_TRAY_RETRY);
  OnTrayIconReady();  // or given up: the notes then come as message boxes
}

void CWidgetDlg::OnTrayIconReady() {
  ShowStartNotes();
  CheckReminders();
}

// After a shell restart the old icon is gone; an icon that could not be added at log-on (shell not
// ready yet) gets its chance here too. The taskbar is also rebuilt without a restart (a display
// change): then the icon is still there, adding it again fails, and it must still be removed at the end.
LRESULT CWidgetDlg::OnTaskbarCreated(WPARAM, LPARAM) {
  tray.added = NotifyTrayIcon(NIM_ADD, "Tessaly") || NotifyTrayIcon(NIM_MODIFY, "Tessaly");
  UpdateTrayTip();
  return 0;
}

void CWidgetDlg::ShowPopupMenu(const POINT* at) { trackAppMenu(m_hWnd, true, rowEditEntry(items, menuRecord), at); }

LRESULT CWidgetDlg::OnRButtonUp(WPARAM, LPARAM lParam) {
  if (!BringModalToFront()) {
    // The row under the pointer, for its entry; the dim "nothing soon" row has no line.
    const int row = render.layout.rowHeight > 0 ? GET_Y_LPARAM(lParam) / render.layout.rowHeight : -1;
    menuRecord = items.storedLineOfRow(row);
    ShowPopupMenu();
  }
  return Default();
}
