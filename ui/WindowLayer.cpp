// Where the widget sits among the desktop's windows: above them all, among them, or on the desktop
// below them; locked in place and click-through; hidden while a full-screen program is in front. The
// foreground window is followed through event hooks, and each event is answered once things settle.
#include "app/AppState.h"
#include "app/WidgetDlg.h"

namespace {

// The widget the hooks' events go to; the hooks live no longer than it.
HWND hookTarget = nullptr;
// The foreground window whose moves, hiding and end are followed.
HWND followedWindow = nullptr;

void CALLBACK onWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
  if (!hookTarget) return;
  // Of all that happens in the foreground window's thread, only the window's own moves, hiding and
  // end count (not its carets, not its controls).
  if (event != EVENT_SYSTEM_FOREGROUND && (object != OBJID_WINDOW || hwnd != followedWindow)) return;
  if (event != EVENT_SYSTEM_FOREGROUND && event != EVENT_OBJECT_LOCATIONCHANGE && event != EVENT_OBJECT_HIDE &&
      event != EVENT_OBJECT_DESTROY)
    return;
  // A new window in front moves and resizes itself a few times before it settles.
  ::SetTimer(hookTarget, IDT_FULL_SCREEN, kForegroundSettleMs, nullptr);
}

PixelRect pixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

PixelRect monitorOf(HWND hwnd) {
  MONITORINFO info = {sizeof info, {}, {}, 0};
  GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
  return pixelRect(info.rcMonitor);
}

ForegroundWindow describe(HWND hwnd) {
  ForegroundWindow window;
  if (!hwnd) return window;
  window.exists = true;
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  window.ownProcess = process == GetCurrentProcessId();
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  window.className = name;
  RECT client = {};
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  window.client = pixelRect(client);
  window.monitor = monitorOf(hwnd);
  return window;
}

// The shell's word on full-screen programs and presentations (Windows Vista on; Unknown before).
ShellUserState shellUserState() {
  using QueryFn = HRESULT(WINAPI*)(int*);
  static const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHQueryUserNotificationState")));
  int state = 0;
  if (!query || FAILED(query(&state))) return ShellUserState::Unknown;
  return static_cast<ShellUserState>(state);
}

}  // namespace

void CWidgetDlg::ApplyDesktopSettings() {
  const Settings& s = settings;
  if (s.clickThroughInEffect())
    ModifyStyleEx(0, WS_EX_TRANSPARENT);
  else
    ModifyStyleEx(WS_EX_TRANSPARENT, 0);
  hookTarget = m_hWnd;
  if (!s.hideFullScreen) desktopHooks.move.Reset();
  if (s.layer != WidgetLayer::Desktop) manners.desktopInFront = false;
  PlaceInLayer();
  // The first look comes after the widget is on the screen, and the foreground is followed from
  // then on: a hook set before would be asked about every event of the widget's own showing.
  ::SetTimer(m_hWnd, IDT_FULL_SCREEN, kForegroundSettleMs, nullptr);
}

void CWidgetDlg::StopDesktopHooks() {
  ::KillTimer(m_hWnd, IDT_FULL_SCREEN);
  desktopHooks.foreground.Reset();
  desktopHooks.move.Reset();
  hookTarget = nullptr;
  followedWindow = nullptr;
}

void CWidgetDlg::PlaceInLayer() {
  const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  switch (settings.layer) {
    case WidgetLayer::Top:
      // A widget not shown yet that is topmost already (the template's style) is at the top of its
      // band: at start the call is spared.
      if (IsWindowVisible(m_hWnd) || !(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) StayOnTop();
      break;
    case WidgetLayer::Normal:
      // The template makes the widget topmost; among the windows it starts at their top.
      ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
      break;
    case WidgetLayer::Desktop:
      // Below every window (WM_WINDOWPOSCHANGING keeps it there); above the desktop while "show
      // desktop" has put the desktop in front of the windows.
      ::SetWindowPos(m_hWnd, manners.desktopInFront ? HWND_TOPMOST : HWND_BOTTOM, 0, 0, 0, 0, keep);
      break;
  }
}

// On the desktop the widget goes to the bottom whatever asks it up: a click on it, the system.
LRESULT CWidgetDlg::OnWindowPosChanging(WPARAM, LPARAM lParam) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
  if (settings.layer == WidgetLayer::Desktop && !manners.desktopInFront && pos) {
    pos->hwndInsertAfter = HWND_BOTTOM;
    pos->flags &= ~SWP_NOZORDER;
  }
  return Default();
}

void CWidgetDlg::CheckForeground() {
  ::KillTimer(m_hWnd, IDT_FULL_SCREEN);
  const Settings& s = settings;
  if (!s.hideFullScreen && s.layer != WidgetLayer::Desktop)
    desktopHooks.foreground.Reset();
  else if (!desktopHooks.foreground.active())
    desktopHooks.foreground.Set(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, onWinEvent, 0, 0);
  HWND front = GetForegroundWindow();
  const ForegroundWindow facts = describe(front);

  const bool desktopFront = s.layer == WidgetLayer::Desktop && facts.exists && isDesktopWindowClass(facts.className);
  if (desktopFront != manners.desktopInFront) {
    manners.desktopInFront = desktopFront;
    PlaceInLayer();
  }

  // A window can go full screen, or leave, without another coming in front (a player's full-screen
  // key; a window closed with nothing left to take the keyboard): it is followed, in its thread only.
  DWORD process = 0;
  const DWORD thread = front && s.hideFullScreen && !facts.ownProcess ? GetWindowThreadProcessId(front, &process) : 0;
  followedWindow = thread ? front : nullptr;
  if (!thread)
    desktopHooks.move.Reset();
  else if (thread != desktopHooks.move.thread())
    desktopHooks.move.Set(EVENT_OBJECT_DESTROY, EVENT_OBJECT_LOCATIONCHANGE, onWinEvent, process, thread);

  const bool fullScreen = s.hideFullScreen && fullScreenInFront(facts, monitorOf(m_hWnd), shellUserState());
  manners.visibility.fullScreen(fullScreen);
  ShowAsWanted();
}

void CWidgetDlg::ShowAsWanted() {
  const bool wanted = manners.visibility.shown();
  if (wanted == (IsWindowVisible(m_hWnd) != FALSE)) return;
  // Back without the keyboard: the program in front keeps it.
  ::ShowWindow(m_hWnd, wanted ? SW_SHOWNA : SW_HIDE);
  if (wanted) PlaceInLayer();
}
