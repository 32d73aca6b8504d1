#include "display/Palette.h"

namespace {

constexpr uint8_t kDefaultAlpha = 253;

// The widget's own colours, unchanged since its first version: the even rows the darker ones, the
// strip whitening downwards, "?" in today's red.
constexpr Palette kClassic = {0xFF262626, 0xFF333333, 0,     0xFFFFFFFF, 0xFFA5B6EC, 0xFFF7A000,
                              0xFFFF0400, 0xFF8C8C8C, false, false,      0xFFFFFFFF};
// Every text of these two reaches 4.5:1 on every row it is drawn on.
constexpr Palette kDark = {0xFF1C1C1C, 0xFF262626, 0,     0xFFF2F2F2, 0xFF9DB4F5, 0xFFF5A623,
                           0xFFFF7A6E, 0xFFA8A8A8, false, false,      0xFF5B8DEF};
constexpr Palette kLight = {0xFFFAFAFA, 0xFFEBEBEB, 0,     0xFF1A1A1A, 0xFF2350B0, 0xFF9A4A00,
                            0xFFC4160C, 0xFF5E5E5E, false, false,      0xFF2F6FDB};

uint32_t argbOf(uint32_t colorref) {
  return 0xFF000000u | (colorref & 0xFF) << 16 | (colorref & 0xFF00) | (colorref >> 16 & 0xFF);
}

}  // namespace

Palette paletteFor(WidgetTheme theme, const SystemLook& system) {
  if (system.highContrast) {
    Palette p;
    p.evenRow = p.oddRow = argbOf(system.window);
    p.todayRow = argbOf(system.highlight);
    p.name = p.upcoming = p.past = p.nothingSoon = argbOf(system.windowText);
    p.today = argbOf(system.highlightText);
    p.todayNameInTodayColour = true;
    p.unreadableInNameColour = true;
    return p;
  }
  switch (theme) {
    case WidgetTheme::Dark:
      return kDark;
    case WidgetTheme::Light:
      return kLight;
    case WidgetTheme::System:
      return system.appsUseLightTheme ? kLight : kDark;
    default:
      return kClassic;
  }
}

uint8_t opacityAlpha(int percent) {
  if (percent < kMinOpacity || percent > kMaxOpacity) return kDefaultAlpha;
  // Rounded up: 99 % is the 253 the widget always had, 100 % opaque.
  return static_cast<uint8_t>((percent * 255 + 99) / 100);
}

WidgetAlpha widgetAlphaFor(int percent, bool highContrast) {
  WidgetAlpha a;
  a.rows = highContrast ? 255 : opacityAlpha(percent);
  a.text = a.rows >= kDefaultAlpha ? a.rows : static_cast<uint8_t>((a.rows + kDefaultAlpha + 1) / 2);
  a.rowBrush = static_cast<uint8_t>((a.rows * 255 + a.text / 2) / a.text);
  return a;
}

uint32_t withAlpha(uint32_t colour, uint8_t alpha) {
  const uint32_t scaled = ((colour >> 24) * alpha + 127) / 255;
  return scaled << 24 | (colour & 0x00FFFFFF);
}

int textScaleOf(uint32_t value, bool found) {
  return found && value >= kMinTextScale && value <= kMaxTextScale ? static_cast<int>(value) : kMinTextScale;
}
