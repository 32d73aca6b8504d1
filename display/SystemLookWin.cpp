// Windows' look as the widget follows it: high contrast and its colours, the app mode, the text
// size. Read once at start and again only when Windows says a setting or its colours changed: the
// widget polls nothing.
#include "app/AppState.h"
#include "app/WidgetDlg.h"

namespace {

// A DWORD value of the current user's key; false when there is none.
bool readUserDword(const wchar_t* key, const wchar_t* name, DWORD* value) {
  DWORD size = sizeof *value;
  return RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, value, &size) == ERROR_SUCCESS;
}

}  // namespace

void CWidgetDlg::ReadLook() {
  SystemLook look;
  HIGHCONTRASTW contrast = {sizeof contrast, 0, nullptr};
  look.highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON);
  if (look.highContrast) {
    look.window = GetSysColor(COLOR_WINDOW);
    look.windowText = GetSysColor(COLOR_WINDOWTEXT);
    look.highlight = GetSysColor(COLOR_HIGHLIGHT);
    look.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  DWORD value = 0;
  // Without the value (before Windows 10) apps are light, as they are by default since.
  if (settings.theme == WidgetTheme::System)
    look.appsUseLightTheme = !readUserDword(L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                                            L"AppsUseLightTheme", &value) ||
                             value != 0;
  const bool found = readUserDword(L"Software\\Microsoft\\Accessibility", L"TextScaleFactor", &value);
  render.textScale = textScaleOf(value, found);
  render.system = look;
  render.palette = paletteFor(settings.theme, look);
  render.alpha = widgetAlphaFor(settings.opacity, look.highContrast);
}

void CWidgetDlg::FollowSystemLook() {
  if (!core) return;
  const bool contrastBefore = render.system.highContrast, lightBefore = render.system.appsUseLightTheme;
  const int scaleBefore = render.textScale;
  ReadLook();
  // Under high contrast the system's colours themselves may be what changed.
  if (render.textScale != scaleBefore)
    UpdateLayout();
  else if (render.system.highContrast || contrastBefore || render.system.appsUseLightTheme != lightBefore)
    RenderWidget();
}

LRESULT CWidgetDlg::OnSysColorChange(WPARAM, LPARAM) {
  FollowSystemLook();
  return Default();
}
