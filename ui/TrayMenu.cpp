// The tray icon and the pop-up menu "APP": the icon is added just after the widget is first shown, added again when the taskbar
// is created anew, and removed at the end; the menu opens from the icon (without "隐藏到托盘") and
// from a right click on the widget (with it).
#include "app/WidgetDlg.h"

#include <shellapi.h>

#include "framework/Gbk.h"
#include "res/resource.h"
#include "ui/TrayTip.h"

namespace {
constexpr int kHideEntryPosition = 3;

// Tracks the loaded menu's sub-menu at the cursor. The owner is brought forward first and a null
// message posted after, or the menu would not close when the user clicks elsewhere.
void trackAppMenu(HWND owner, bool withHide) {
  CMenu menu;
  if (!menu.Attach(LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_APP_MENU)))) return;
  HMENU popup = menu.GetSubMenu(0);
  if (!popup) return;
  if (!withHide) RemoveMenu(popup, kHideEntryPosition, MF_BYPOSITION);
  POINT cursor;
  GetCursorPos(&cursor);
  SetForegroundWindow(owner);
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}  // the menu is destroyed here, whether or not an entry was chosen
}  // namespace

bool CWidgetDlg::NotifyTrayIcon(DWORD operation, CString tip) {
  NOTIFYICONDATAW data = {};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = m_hWnd;
  data.uID = TRAY_ICON_UID;
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
    default:
      break;
  }
  return 0;
}

void CWidgetDlg::ShowNote(const std::wstring& text) {
  if (trayIconAdded) {
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
  MessageBoxW(m_hWnd, text.c_str(), L"Tessaly", MB_OK | MB_ICONWARNING);
}

// Once, from a timer set at initialisation, so that the shell's answer is not waited for before the
// first frame; a shell that restarted in between may have had the icon added already.
void CWidgetDlg::OnTrayAddTimer() {
  ::KillTimer(m_hWnd, IDT_TRAY_ADD);
  if (!trayIconAdded) trayIconAdded = NotifyTrayIcon(NIM_ADD, "Tessaly");
  ShowStartNotes();
}

// After a shell restart the old icon is gone; an icon that could not be added at log-on (shell not
// ready yet) gets its chance here too. The taskbar is also rebuilt without a restart (a display
// change): then the icon is still there, adding it again fails, and it must still be removed at the end.
LRESULT CWidgetDlg::OnTaskbarCreated(WPARAM, LPARAM) {
  trayIconAdded = NotifyTrayIcon(NIM_ADD, "Tessaly") || NotifyTrayIcon(NIM_MODIFY, "Tessaly");
  return 0;
}

void CWidgetDlg::ShowPopupMenu(int subMenuIndex) {
  (void)subMenuIndex;  // the program has one pop-up, sub-menu 0
  trackAppMenu(m_hWnd, true);
}

LRESULT CWidgetDlg::OnRButtonUp(WPARAM, LPARAM) {
  if (!BringModalToFront()) ShowPopupMenu(0);
  return Default();
}
