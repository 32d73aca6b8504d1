// The widget's metrics, all in pixels, worked out from the font size and the measured texts, and the
// rule for where on the screen it may stand. Window-free: the widget measures the texts and looks up
// the monitors, the arithmetic lives here.
#pragma once
#include <functional>
#include <string>
#include <string_view>

struct TextSize {
  int width = 0;
  int height = 0;
};

struct LayoutMetrics {
  int emSize = 0;  // the font size in pixels of the display, from which every other metric follows
  int margin = 0;
  int gap = 0;
  int halfGap = 0;
  int rowHeight = 0;
  int nameColumnWidth = 0;
  int wordWidth = 0;
  int numberWidth = 0;
  int windowWidth = 0;
  int windowHeight = 0;
  // Widest a name may be drawn; -1 when every name is drawn whole (the widget fits its surface limit).
  int nameRoom = -1;
};

// The left edge of each text column of a row.
struct TextColumns {
  int nameX = 0;
  int wordX = 0;
  int numberX = 0;
  int unitX = 0;
};

constexpr int kBaseDpi = 96;
// What Windows reports: 100 % to 500 % scale.
constexpr int kMinDpi = 96;
constexpr int kMaxDpi = 480;

// A DPI as the widget takes it from the system or a message: within kMinDpi..kMaxDpi, so that a
// stray value can neither make the widget invisible nor grow it past any screen.
int clampDpi(int dpi);

// The font size the user chooses is in pixels at 96 DPI; this is the em in pixels at dpi, times
// Windows' text size (textScale percent, display/Palette.h's textScaleOf), rounded to the nearest
// (halves up). A dpi of 0 or less means the base DPI.
int scaledFontSize(int fontSize, int dpi, int textScale = 100);

// fontSize x 0.3f and x 0.65f, truncated toward zero. The factors are single-precision constants on
// purpose: 0.65f lies just below 0.65, so every multiple of 20 gets a gap one smaller.
int marginFor(int fontSize);
int gapFor(int fontSize);
int halfGapFor(int gap);

// Index of the first of count measured names with the greatest drawn width; 0 when count is 0 or
// every width is 0.
int widestTextIndex(const TextSize* sizes, int count);

// Every metric, from the em size in pixels, the number of rows, the three measured texts (the widest
// name, "还有" and "99999") and the face's line height (ascent + descent) at that em. Only the widest
// name's height and the line height enter the row height.
LayoutMetrics computeLayoutMetrics(int emSize, int itemCount, TextSize widestName, TextSize word, TextSize number,
                                   int lineHeight);

TextColumns textColumnsOf(const LayoutMetrics& metrics);

// Top of the layout box of row's texts.
int rowTextY(const LayoutMetrics& metrics, int row);

// Shift that centres a number measured measuredWidth wide in the number column: half the difference,
// as a float, truncated toward zero, so an odd spare pixel lies to the number's right and a number
// wider than the column reaches left by half its excess.
int numberOffsetFor(int numberWidth, int measuredWidth);

// --- Place on the screen -------------------------------------------------------------------------

// A rectangle in screen pixels, right and bottom exclusive.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Least width of the first row that must lie on one work area for the widget to be grabbed there: a
// third of the widget's width (rounded up) or 48 px, whichever is less.
int grabWidthFor(int windowWidth);

// Whether the widget with its top-left corner at (left, top) can be grabbed on one of the work
// areas: its whole first row's height and grabWidthFor(windowWidth) of its width lie on that one
// area. A widget without rows needs the line where its first row would be.
bool isPlaceReachable(int left, int top, int windowWidth, int firstRowHeight, const PixelRect* workAreas, int count);

// Top-left corner that centres a width x height window in area (halves truncated toward the area's
// top-left).
PixelRect centredIn(const PixelRect& area, int width, int height);

// --- Bounded surface ------------------------------------------------------------------------------

// The largest picture the widget may have: twice the virtual screen each way (at least twice a
// 640 x 480 screen when none is known), so that no font size, DPI or name makes a bitmap no screen
// can show and the machine cannot hold.
struct SurfaceLimit {
  int width = 0;
  int height = 0;
};
SurfaceLimit surfaceLimitFor(int virtualScreenWidth, int virtualScreenHeight);

// The em to lay out again at when metrics (laid out at metrics.emSize, with the widest name
// nameWidth wide) cannot fit the limit even with names cut to nothing: too tall, or the margin,
// gaps, word and number alone too wide. Proportionally smaller and at least one pixel less; the
// same em when it fits.
int emWithin(const LayoutMetrics& metrics, int nameWidth, const SurfaceLimit& limit);

// The metrics with the name column narrowed so that the widget is at most limit.width wide; nameRoom
// then says how wide a name may be drawn. Unchanged when it fits already.
LayoutMetrics nameColumnWithin(const LayoutMetrics& metrics, int nameWidth, const SurfaceLimit& limit);

// GBK text that is at most room pixels wide as widthOf measures it: text itself when it fits, else
// its longest prefix (whole characters) followed by "…", or "" when not even "…" fits.
std::string cutToWidth(std::string_view text, int room, const std::function<int(std::string_view)>& widthOf);

// Where the widget goes when centred on area: centredIn, except that a widget taller than the area
// (20 rows at a large size) starts at the area's top, so that its first row, by which it is grabbed,
// is on screen; the rest reaches below.
PixelRect centredGrabbable(const PixelRect& area, int width, int height);
