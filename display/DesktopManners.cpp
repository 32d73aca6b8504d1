#include "display/DesktopManners.h"

namespace {

bool equalsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i] >= L'A' && a[i] <= L'Z' ? a[i] - L'A' + L'a' : a[i];
    wchar_t y = b[i] >= L'A' && b[i] <= L'Z' ? b[i] - L'A' + L'a' : b[i];
    if (x != y) return false;
  }
  return true;
}

bool covers(const PixelRect& outer, const PixelRect& inner) {
  return inner.right > inner.left && inner.bottom > inner.top && outer.left <= inner.left && outer.top <= inner.top &&
         outer.right >= inner.right && outer.bottom >= inner.bottom;
}

bool sameRect(const PixelRect& a, const PixelRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The taskbars and the shell's desktop windows: they may span a monitor, but are no program.
bool isShellClass(std::wstring_view className) {
  for (std::wstring_view shell : {L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"}) {
    if (equalsIgnoringAsciiCase(className, shell)) return true;
  }
  return isDesktopWindowClass(className);
}

}  // namespace

bool isDesktopWindowClass(std::wstring_view className) {
  // Progman and WorkerW hold the desktop's icons; #32769 is the desktop window itself.
  for (std::wstring_view desktop : {L"Progman", L"WorkerW", L"#32769"}) {
    if (equalsIgnoringAsciiCase(className, desktop)) return true;
  }
  return false;
}

bool fullScreenInFront(const ForegroundWindow& foreground, const PixelRect& widgetMonitor, ShellUserState state) {
  if (state == ShellUserState::Presentation) return true;
  if (!foreground.exists || foreground.ownProcess || isShellClass(foreground.className)) return false;
  if (covers(foreground.client, widgetMonitor)) return true;
  return (state == ShellUserState::Busy || state == ShellUserState::D3dFullScreen) &&
         sameRect(foreground.monitor, widgetMonitor);
}

void WidgetVisibility::userShows() {
  m_userHidden = false;
  m_shownAnyway = m_fullScreen;
}

void WidgetVisibility::fullScreen(bool inFront) {
  if (!inFront) m_shownAnyway = false;
  m_fullScreen = inFront;
}
