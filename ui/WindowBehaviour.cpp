// How the borderless widget answers the mouse, the keyboard, painting and its minute timer, and the
// commands that act on the window or the program: hide, About, quit; one dialog at a time.
#include "app/AppState.h"
#include "app/SingleInstance.h"
#include "app/WidgetDlg.h"
#include "framework/Gbk.h"
#include "framework/Timeline.h"
#include "items/ItemRecord.h"
#include "res/Texts.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/ItemsDlg.h"

#include <algorithm>
#include <cwchar>
#include <vector>

static_assert(kHotkeyAlt == MOD_ALT && kHotkeyCtrl == MOD_CONTROL && kHotkeyShift == MOD_SHIFT && kHotkeyWin == MOD_WIN,
              "the settings' modifiers are RegisterHotKey's");

namespace {

struct ModalSearch {
  HWND widget;
  HWND found;
};

// The first (top-most) shown and enabled dialog or message box of the thread other than the widget.
// While a message box of a dialog is open the dialog is disabled, so the box is the one found.
BOOL CALLBACK findOpenModal(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<ModalSearch*>(lParam);
  if (hwnd == search->widget || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
  wchar_t cls[8] = {};
  GetClassNameW(hwnd, cls, 8);
  if (std::wcscmp(cls, L"#32770") != 0) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

bool CWidgetDlg::BringModalToFront() {
  ModalSearch search = {m_hWnd, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), findOpenModal, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  SetForegroundWindow(search.found);
  FLASHWINFO flash = {sizeof flash, search.found, FLASHW_CAPTION, 3, 0};
  FlashWindowEx(&flash);
  return true;
}

// The widget is shown also behind an open dialog: the user started the program to see it. A widget
// that is quitting refuses, so that the second start waits for it to end and runs in its place.
LRESULT CWidgetDlg::OnActivateRequest(WPARAM, LPARAM) {
  if (!isInstanceWindow(m_hWnd)) return 0;
  manners.visibility.userShows();
  ShowWindow(SW_SHOW);
  if (!BringModalToFront()) SetForegroundWindow(m_hWnd);
  return kActivateAccepted;
}

// The widget is the main dialog: Enter and Esc would end it through OK and Cancel, and Alt+F4 through
// the system menu. None of them may close it; "退出" is the way out.
BOOL CWidgetDlg::PreTranslateMessage(MSG* msg) {
  if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && OnRowKey(*msg)) return TRUE;
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) return TRUE;
  if (msg->message == WM_SYSKEYDOWN) return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

LRESULT CWidgetDlg::OnTimer(WPARAM timerId, LPARAM) {
  if (timerId == IDT_MINUTE) OnMinuteTick();
  if (timerId == IDT_AFTER_START) OnAfterStart();
  if (timerId == IDT_TRAY_RETRY) OnTrayRetryTimer();
  if (timerId == IDT_CLOCK_SETTLE) {
    ::KillTimer(m_hWnd, IDT_CLOCK_SETTLE);
    RefreshCounts();
  }
  if (timerId == IDT_FULL_SCREEN) CheckForeground();
  if (timerId == IDT_ITEM_RELOAD) CheckItemFile();
  return Default();
}

// Recounts every minute and draws again only when a count or kind has changed: the numbers turn
// over at local midnight, after the machine wakes and after a clock change. At midnight the nearest
// rows change places: then the rows are laid out again. Due reminders are checked on the same tick
// (and one that had to wait for the user is tried again), so the widget wakes once a minute.
void CWidgetDlg::OnMinuteTick() {
  // The fallbacks for what no event told: a list changed where changes are not reported (a network
  // folder), a presentation that ended without another window coming in front.
  CheckItemFile();
  if (settings.hideFullScreen) CheckForeground();
  if (!core) return;
  if (items.stored() > 0 || settings.holidayRow) {
    auto shownCounts = [this] {
      std::vector<std::pair<int32_t, int32_t>> counts;
      for (int i = 0; i < items.rows() && !items.nothingSoon(); ++i) {
        const ItemRecord& record = items.rowLine(i);
        counts.emplace_back(record.days, record.kind);
      }
      return counts;
    };
    const auto before = shownCounts();
    CountDays();
    if (ArrangeRows()) {
      UpdateLayout();
    } else if (shownCounts() != before) {
      RenderWidget();
      AnnounceRows();
    }
  }
  CheckReminders();
}

void CWidgetDlg::RefreshCounts() {
  if (!core) return;
  UpdateLayout();
  CheckReminders();
}

// Back from sleep or hibernation: the counts may be days old.
LRESULT CWidgetDlg::OnPowerBroadcast(WPARAM event, LPARAM) {
  if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) RefreshCounts();
  return TRUE;
}

// The clock was set, or the time zone changed (which also sends this): at once, and again when the
// zone's rules are read afresh.
LRESULT CWidgetDlg::OnTimeChange(WPARAM, LPARAM) {
  RefreshCounts();
  ::SetTimer(m_hWnd, IDT_CLOCK_SETTLE, kClockSettleMs, nullptr);
  return 0;
}

// A press anywhere acts as a press on a caption: the system's move loop runs until the release.
LRESULT CWidgetDlg::OnLButtonDown(WPARAM, LPARAM) {
  if (settings.lock) return Default();
  SendMessage(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  // The place the user chose is the one later layouts keep, and is stored at once: a settings file
  // that cannot take it is told now, while the user can still do something about it.
  RECT rect;
  if (GetWindowRect(m_hWnd, &rect) && (rect.left != place.left || rect.top != place.top)) {
    place.left = rect.left;
    place.top = rect.top;
    SavePosition();
    TellSettingsNotSaved();
  }
  return Default();
}

void CWidgetDlg::StayOnTop() {
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CWidgetDlg::OnAppHide() {
  manners.visibility.userHides();
  ClearSelection();  // a widget shown again shows no mark left from before
  ShowWindow(SW_HIDE);
}

void CWidgetDlg::OnAppAbout() {
  if (BringModalToFront()) return;
  CAboutDlg about;
  about.DoModal();
}

// With the editor open the quit waits for the user's word on its unsaved text; the quit message then
// ends the editor's modal loop and the widget's.
void CWidgetDlg::OnAppQuit() {
  timelineMark("quit asked");
  if (openEditor && !IsWindowEnabled(openEditor->m_hWnd)) {
    BringModalToFront();  // the editor is asking something already: that answer comes first
    return;
  }
  if (openEditor && !openEditor->SaveBeforeQuit()) return;
  // From here on a second start is not handed over to this widget, which is about to go.
  withdrawInstanceWindow(m_hWnd);
  PostQuitMessage(0);
}

// --- The keyboard --------------------------------------------------------------------------------

std::wstring CWidgetDlg::RegisterWidgetHotkey() {
  if (keyboard.registered) UnregisterHotKey(m_hWnd, IDH_KEYBOARD);
  keyboard.registered = false;
  if (!settings.hotkey) return std::wstring();
  // Held down, the key does not come again and again.
  keyboard.registered = RegisterHotKey(m_hWnd, IDH_KEYBOARD, hotkeyModifiers(settings.hotkey) | MOD_NOREPEAT,
                                       hotkeyKey(settings.hotkey)) != FALSE;
  return keyboard.registered ? std::wstring() : gbk::fill(kHotkeyTaken, {gbk::toWide(hotkeyText(settings.hotkey))});
}

// The hotkey shows the widget, also when hidden to the tray, in front, with the keyboard on its first
// row. A dialog of the program that is open comes first, as for the tray icon.
LRESULT CWidgetDlg::OnHotkey(WPARAM id, LPARAM) {
  if (static_cast<int>(id) != IDH_KEYBOARD || BringModalToFront()) return 0;
  const HWND before = GetForegroundWindow();
  manners.visibility.userShows();
  // Shown without activation: the activation is the foreground's, once, below.
  ShowWindow(SW_SHOWNA);
  PlaceInLayer();
  SetForegroundWindow(m_hWnd);
  ::SetFocus(m_hWnd);
  if (before != m_hWnd) keyboard.before = before;
  SelectRow(0);
  return 0;
}

// The keyboard went to another program: the mark goes with it.
LRESULT CWidgetDlg::OnActivateApp(WPARAM active, LPARAM) {
  if (!active && !keyboard.opening) ClearSelection();
  return Default();
}

// The row's line in the item form, as the row's menu entry opens it; a row that is no line of the list
// (the holiday row, "近期没有纪念日") opens the editor. Closed, the dialog gives the keyboard back to
// the row, as it was before Enter.
LRESULT CWidgetDlg::OnOpenRow(WPARAM, LPARAM) {
  const int row = keyboard.row;
  const HWND before = keyboard.before;
  if (row < 0) return 0;
  menuRecord = items.storedLineOfRow(row);
  keyboard.opening = true;
  if (menuRecord >= 0)
    OnAppEditRow();
  else
    OnAppItems();
  keyboard.opening = false;
  SetForegroundWindow(m_hWnd);
  keyboard.before = before;
  SelectRow(row);
  return 0;
}

void CWidgetDlg::SelectRow(int row) {
  row = items.rows() > 0 ? std::clamp(row, 0, items.rows() - 1) : -1;
  if (row == keyboard.row && row < 0) return;
  if (row != keyboard.row) {
    keyboard.row = row;
    RenderWidget();
  }
  NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, row + 1);
  NotifyWinEvent(EVENT_OBJECT_SELECTION, m_hWnd, OBJID_CLIENT, row + 1);
}

void CWidgetDlg::ClearSelection() {
  keyboard.before = nullptr;
  if (keyboard.row < 0) return;
  keyboard.row = -1;
  RenderWidget();
}

bool CWidgetDlg::OnRowKey(const MSG& msg) {
  if (msg.hwnd != m_hWnd) return false;
  const int row = keyboard.row;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (msg.wParam) {
    case VK_DOWN:
      SelectRow(row + 1);
      return true;
    case VK_UP:
      SelectRow(row < 0 ? items.rows() - 1 : row - 1);
      return true;
    case VK_HOME:
      SelectRow(0);
      return true;
    case VK_END:
      SelectRow(items.rows() - 1);
      return true;
    case VK_ESCAPE: {
      // The keyboard back where it was; Esc never ends the widget.
      if (row < 0 && !keyboard.before) return false;
      const HWND before = keyboard.before;
      ClearSelection();
      if (before && IsWindow(before) && IsWindowVisible(before)) SetForegroundWindow(before);
      return true;
    }
    case VK_RETURN:
      if (row < 0 || BringModalToFront()) return row >= 0;
      PostMessageW(m_hWnd, WM_OPEN_ROW, 0, 0);
      return true;
    case VK_F10:
      if (!shift) return false;
      [[fallthrough]];
    case VK_APPS: {
      // The menu a right click on the row gives, at the row's lower left corner.
      if (row < 0 || BringModalToFront()) return row >= 0;
      RECT rect = {};
      GetWindowRect(m_hWnd, &rect);
      const POINT at = {rect.left, rect.top + (row + 1) * render.layout.rowHeight};
      menuRecord = items.storedLineOfRow(row);
      ShowPopupMenu(&at);
      return true;
    }
    default:
      return false;
  }
}
