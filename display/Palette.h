// The widget's look, window-free: the colour sets of the themes, the choice among them given what
// Windows says (high contrast and its colours, the app mode), the opacity's alpha values, and the
// text size setting's factor. The widget reads the system once at start and at each setting change;
// the rules live here.
#pragma once
#include <cstdint>

#include "core/Settings.h"

// Colours are 0xAARRGGBB, as GDI+ takes them.
struct Palette {
  uint32_t evenRow = 0;  // rows 0, 2, 4
  uint32_t oddRow = 0;
  uint32_t todayRow = 0;  // the background of a row counted Today; 0: the row's own
  uint32_t name = 0;
  uint32_t upcoming = 0;  // "还有", the number and "天" of a coming date
  uint32_t past = 0;
  uint32_t today = 0;
  uint32_t nothingSoon = 0;             // "近期没有纪念日", on an even row
  bool todayNameInTodayColour = false;  // a Today row's name in today's colour, not the names'
  bool unreadableInNameColour = false;  // the "?" of a date that cannot be read: not today's colour
  uint32_t stripBottom = 0;             // the edge strip's colour at the widget's bottom; 0: no strip
};

// What Windows says about its look; colours as COLORREF (0x00BBGGRR), GetSysColor's.
struct SystemLook {
  bool highContrast = false;
  bool appsUseLightTheme = false;
  uint32_t window = 0, windowText = 0, highlight = 0, highlightText = 0;
};

// The colours to draw with: under a high-contrast theme the system's pairs (window and window text,
// highlight and highlight text for today's rows) whatever the theme; otherwise the theme's set,
// System being Light or Dark as the app mode says. Classic is the widget's colours as they always were.
Palette paletteFor(WidgetTheme theme, const SystemLook& system);

// The layered window's alpha values for an opacity. rows is the rows' background alpha; text, the
// texts' alpha, follows it halfway up to the default's and is never below it. The window is pushed
// with constant alpha text, and the backgrounds are painted with rowBrush, so that they show at rows.
// A percent out of range is the default's (rows 253, as the widget always was); high contrast is
// opaque.
struct WidgetAlpha {
  uint8_t rows = 0;
  uint8_t text = 0;
  uint8_t rowBrush = 0;
};
uint8_t opacityAlpha(int percent);
WidgetAlpha widgetAlphaFor(int percent, bool highContrast);

// The colour with its alpha scaled by alpha / 255 (rounded), for a brush under a constant alpha.
uint32_t withAlpha(uint32_t colour, uint8_t alpha);

// Windows' "Make text bigger" (TextScaleFactor, percent): 100 to 225; anything else, or no value
// (found false), is 100.
constexpr int kMinTextScale = 100;
constexpr int kMaxTextScale = 225;
int textScaleOf(uint32_t value, bool found);
