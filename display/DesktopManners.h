// How the widget behaves among the desktop's other windows: its layer (above every window, among
// them, or on the desktop below them), a locked place, clicks that go through it, and stepping aside
// for a full-screen program. The window code gathers rectangles, styles and class names and acts on
// the answers given here.
#pragma once
#include <string>
#include <string_view>

#include "display/LayoutMetrics.h"

// What the shell says of the user's state (the values of SHQueryUserNotificationState's answer).
enum class ShellUserState {
  Unknown = 0,
  NotPresent = 1,
  Busy = 2,           // a full-screen program runs, or presentation settings are on
  D3dFullScreen = 3,  // a Direct3D program in exclusive full-screen mode
  Presentation = 4,   // the user turned presentation mode on
  AcceptsNotifications = 5,
  QuietTime = 6,
  App = 7,
};

// The foreground window as the window code sees it.
struct ForegroundWindow {
  bool exists = false;
  bool ownProcess = false;  // one of the program's own windows
  std::wstring className;
  PixelRect client;   // its client area in screen pixels: a caption or frame lies outside it
  PixelRect monitor;  // the monitor most of it lies on
};

// Whether a full-screen program is in front on the monitor the widget is on (widgetMonitor): the
// foreground window's client area covers that whole monitor, or the shell says a full-screen or
// presentation program runs. Neither the shell's windows nor the desktop nor the program's own count.
// A maximised window keeps its caption inside the monitor, so its client area does not cover it even
// when the taskbar hides itself. The shell's busy and Direct3D states are not tied to a monitor: they
// count only when the foreground window is on the widget's; presentation mode counts everywhere.
bool fullScreenInFront(const ForegroundWindow& foreground, const PixelRect& widgetMonitor, ShellUserState state);

// Whether the foreground window is the desktop itself (where "show desktop" leaves the keyboard).
bool isDesktopWindowClass(std::wstring_view className);

// Whether the widget is shown: the user's own hiding to the tray and the hiding for a full-screen
// program are kept apart, so that neither undoes the other.
class WidgetVisibility {
 public:
  void userHides() { m_userHidden = true; }
  // The user asked for the widget (the tray icon, a second start): shown, also over a full-screen
  // program, until that program leaves.
  void userShows();
  void fullScreen(bool inFront);
  bool userHidden() const { return m_userHidden; }
  bool shown() const { return !m_userHidden && (!m_fullScreen || m_shownAnyway); }

 private:
  bool m_userHidden = false;
  bool m_fullScreen = false;
  bool m_shownAnyway = false;
};

// The widget's manners as the window applies them.
struct DesktopManners {
  WidgetVisibility visibility;
  // "Show desktop" put the desktop in front of every window: a widget on the desktop comes above it
  // until another window is in front again.
  bool desktopInFront = false;
};
