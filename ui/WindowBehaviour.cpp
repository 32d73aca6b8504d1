// How the borderless widget answers the mouse, the keyboard, painting and its minute timer, and the
// commands that act on the window or the program: hide, About, quit.
#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "items/ItemRecord.h"
#include "ui/AboutDlg.h"

#include <vector>

// The widget is the main dialog: Enter and Esc would end it through OK and Cancel, and Alt+F4 through
// the system menu. None of them may close it; "退出" is the way out.
BOOL CWidgetDlg::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) return TRUE;
  if (msg->message == WM_SYSKEYDOWN) return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

LRESULT CWidgetDlg::OnPaint(WPARAM, LPARAM) {
  if (!IsIconic(m_hWnd)) return Default();
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  int cxIcon = GetSystemMetrics(SM_CXICON);
  int cyIcon = GetSystemMetrics(SM_CYICON);
  RECT client;
  GetClientRect(m_hWnd, &client);
  int x = (client.right - client.left - cxIcon + 1) / 2;
  int y = (client.bottom - client.top - cyIcon + 1) / 2;
  DrawIcon(dc.GetSafeHdc(), x, y, appIcon);
  return 0;
}

LRESULT CWidgetDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(appIcon); }

LRESULT CWidgetDlg::OnTimer(WPARAM timerId, LPARAM) {
  if (timerId == IDT_MINUTE) OnMinuteTick();
  if (timerId == IDT_TRAY_ADD) OnTrayAddTimer();
  return Default();
}

// Recounts every minute and draws again only when a count or kind has changed: the numbers turn
// over at local midnight, after the machine wakes and after a clock change.
void CWidgetDlg::OnMinuteTick() {
  if (!core || !ItemTable || itemCount == 0) return;
  std::vector<ItemRecord> before(ItemTable, ItemTable + itemCount);
  CountDays();
  for (int i = 0; i < itemCount; ++i) {
    if (before[i].days != ItemTable[i].days || before[i].kind != ItemTable[i].kind) {
      RenderWidget();
      return;
    }
  }
}

// A press anywhere acts as a press on a caption: the system's move loop runs until the release.
LRESULT CWidgetDlg::OnLButtonDown(WPARAM, LPARAM) {
  SendMessage(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  // The place the user chose is the one later layouts keep.
  RECT rect;
  if (GetWindowRect(m_hWnd, &rect)) {
    posLeft = rect.left;
    posTop = rect.top;
  }
  return Default();
}

void CWidgetDlg::StayOnTop() {
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CWidgetDlg::OnAppHide() { ShowWindow(SW_HIDE); }

void CWidgetDlg::OnAppAbout() {
  CAboutDlg about;
  about.DoModal();
}

void CWidgetDlg::OnAppQuit() { PostQuitMessage(0); }
