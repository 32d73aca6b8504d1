#include "display/DesktopManners.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const PixelRect kLeftMonitor = {0, 0, 1920, 1080};
const PixelRect kRightMonitor = {1920, 0, 3200, 1024};

ForegroundWindow program(PixelRect client, PixelRect monitor = kLeftMonitor, const wchar_t* cls = L"GameWindow") {
  ForegroundWindow w;
  w.exists = true;
  w.className = cls;
  w.client = client;
  w.monitor = monitor;
  return w;
}

struct FullScreenCase {
  const char* what;
  ForegroundWindow foreground;
  ShellUserState state;
  bool inFront;
};

TEST(FullScreen, Decision) {
  ForegroundWindow own = program(kLeftMonitor);
  own.ownProcess = true;
  const FullScreenCase cases[] = {
      {"borderless window exactly over the monitor", program(kLeftMonitor), ShellUserState::AcceptsNotifications, true},
      {"client area larger than the monitor", program({-8, -8, 1928, 1088}), ShellUserState::Unknown, true},
      {"spanning both monitors", program({0, 0, 3200, 1080}, kRightMonitor), ShellUserState::Unknown, true},
      {"maximised with a caption, taskbar hidden", program({0, 23, 1920, 1080}), ShellUserState::Unknown, false},
      {"maximised with a caption, frame past the edges", program({-8, 23, 1928, 1088}), ShellUserState::Unknown, false},
      {"one pixel short", program({0, 0, 1919, 1080}), ShellUserState::AcceptsNotifications, false},
      {"ordinary window", program({100, 100, 900, 700}), ShellUserState::AcceptsNotifications, false},
      {"full screen on the other monitor", program(kRightMonitor, kRightMonitor), ShellUserState::Unknown, false},
      {"minimised (parked far off)", program({-32000, -32000, -31840, -31972}), ShellUserState::Unknown, false},
      {"the desktop", program(kLeftMonitor, kLeftMonitor, L"Progman"), ShellUserState::Unknown, false},
      {"the desktop window", program(kLeftMonitor, kLeftMonitor, L"#32769"), ShellUserState::Unknown, false},
      {"the taskbar", program(kLeftMonitor, kLeftMonitor, L"Shell_TrayWnd"), ShellUserState::Unknown, false},
      {"the program's own window", own, ShellUserState::Unknown, false},
      {"no foreground window", ForegroundWindow{}, ShellUserState::AcceptsNotifications, false},
      {"shell busy, foreground here", program({100, 100, 900, 700}), ShellUserState::Busy, true},
      {"Direct3D full screen, foreground here", program({0, 0, 640, 480}), ShellUserState::D3dFullScreen, true},
      {"shell busy, foreground on the other monitor", program({2000, 0, 2600, 600}, kRightMonitor),
       ShellUserState::Busy, false},
      {"shell busy, the desktop in front", program(kLeftMonitor, kLeftMonitor, L"Progman"), ShellUserState::Busy,
       false},
      {"presentation mode", ForegroundWindow{}, ShellUserState::Presentation, true},
  };
  for (const FullScreenCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(fullScreenInFront(c.foreground, kLeftMonitor, c.state), c.inFront);
  }
}

TEST(FullScreen, VisibilityKeepsTheUsersHidingApart) {
  // Each step: an action, then whether the widget shows and whether the user's hiding is on.
  enum Step { FullOn, FullOff, Hide, Show };
  struct Case {
    const char* what;
    std::vector<Step> steps;
    bool shown, userHidden;
  };
  const Case cases[] = {
      {"nothing happened", {}, true, false},
      {"a full-screen program", {FullOn}, false, false},
      {"hidden by the user, then full screen comes and goes", {Hide, FullOn, FullOff}, false, true},
      {"hidden by the user during full screen", {FullOn, Hide, FullOff}, false, true},
      {"the user asks for it over full screen", {FullOn, Show}, true, false},
      {"asked for, then another full-screen check", {FullOn, Show, FullOn}, true, false},
      {"asked for, full screen leaves and comes back", {FullOn, Show, FullOff, FullOn}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WidgetVisibility v;
    for (Step s : c.steps) {
      if (s == FullOn || s == FullOff) v.fullScreen(s == FullOn);
      if (s == Hide) v.userHides();
      if (s == Show) v.userShows();
    }
    EXPECT_EQ(v.shown(), c.shown);
    EXPECT_EQ(v.userHidden(), c.userHidden);
  }
}

}  // namespace
