#include "display/LayoutMetrics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// 0.3f and 0.65f as exact fractions of their bit patterns (0x3E99999A, 0x3F266666), so the expected
// values come from integer arithmetic and not from the float path under test.
int exactMargin(int size) { return static_cast<int>(int64_t{size} * 0x99999A / (int64_t{1} << 25)); }
int exactGap(int size) { return static_cast<int>(int64_t{size} * 0xA66666 / (int64_t{1} << 24)); }

TEST(LayoutMetrics, FactorsMatchTheSinglePrecisionConstantsForEveryAcceptedSize) {
  for (int size = 10; size <= 200; ++size) {
    SCOPED_TRACE(size);
    EXPECT_EQ(marginFor(size), exactMargin(size));
    EXPECT_EQ(gapFor(size), exactGap(size));
    EXPECT_EQ(halfGapFor(gapFor(size)), exactGap(size) / 2);
    // Over this range margin is the decimal 0.3 truncated, and gap loses one at every multiple of 20.
    EXPECT_EQ(marginFor(size), size * 3 / 10);
    EXPECT_EQ(gapFor(size), size * 65 / 100 - (size % 20 == 0 ? 1 : 0));
  }
}

TEST(LayoutMetrics, TellingSizes) {
  struct Case {
    int size, margin, gap, halfGap;
  };
  const Case cases[] = {{10, 3, 6, 3},  {12, 3, 7, 3},    {16, 4, 10, 5},    {20, 6, 12, 6},    {24, 7, 15, 7},
                        {30, 9, 19, 9}, {40, 12, 25, 12}, {60, 18, 38, 19},  {100, 30, 64, 32}, {200, 60, 129, 64},
                        {3, 0, 1, 0},   {0, 0, 0, 0},     {-20, -6, -12, -6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    EXPECT_EQ(marginFor(c.size), c.margin);
    EXPECT_EQ(gapFor(c.size), c.gap);
    EXPECT_EQ(halfGapFor(gapFor(c.size)), c.halfGap);
  }
}

TEST(LayoutMetrics, WidestNameIsChosenByDrawnWidth) {
  struct Case {
    std::vector<TextSize> sizes;
    int expected;
  };
  const Case cases[] = {
      {{{30, 20}, {45, 20}, {20, 20}}, 1},
      {{{45, 20}, {45, 22}, {44, 25}}, 0},  // ties keep the first, however tall the later ones are
      {{{23, 20}, {40, 22}}, 1},            // "...." (4 bytes) beside "毕业" (4 bytes): the wider wins
      {{{97, 23}, {119, 13}}, 1},           // fewer bytes but wider
      {{{0, 26}, {0, 26}, {0, 26}}, 0},     // empty names
      {{}, 0},                              // no rows: the first slot
      {{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(widestTextIndex(c.sizes.data(), static_cast<int>(c.sizes.size())), c.expected)
        << c.sizes.size() << " names";
  }
}

TEST(LayoutMetrics, WindowSizeFollowsTheMeasuredTexts) {
  const TextSize name{100, 21}, word{41, 20}, number{55, 18};
  struct Case {
    int size, items, width, height;
  };
  const Case cases[] = {
      // 6 + 3 x 12 = 42, plus the number, the word and the name column (gap 12 + 100).
      {20, 5, 42 + 55 + 41 + 112, 5 * (21 + 12)},
      {20, 1, 42 + 55 + 41 + 112, 21 + 12},
      {20, 0, 42 + 55 + 41 + 112, 0},
      {100, 3, 30 + 3 * 64 + 55 + 41 + 164, 3 * (21 + 64)},
      {10, 2, 3 + 18 + 55 + 41 + 106, 2 * (21 + 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const LayoutMetrics m = computeLayoutMetrics(c.size, c.items, name, word, number, 0);
    EXPECT_EQ(m.emSize, c.size);
    EXPECT_EQ(m.rowHeight, 21 + 2 * m.halfGap);
    EXPECT_EQ(m.nameColumnWidth, m.gap + 100);
    EXPECT_EQ(m.wordWidth, 41);
    EXPECT_EQ(m.numberWidth, 55);
    EXPECT_EQ(m.windowWidth, c.width);
    EXPECT_EQ(m.windowHeight, c.height);
  }
}

TEST(LayoutMetrics, ColumnsAndRowsStartAfterTheStripAndTheInsets) {
  const LayoutMetrics m = computeLayoutMetrics(20, 5, {100, 21}, {41, 20}, {55, 18}, 26);
  const TextColumns c = textColumnsOf(m);
  EXPECT_EQ(c.nameX, 6 + 6);
  EXPECT_EQ(c.wordX, 12 + 112);
  EXPECT_EQ(c.numberX, 124 + 41);
  EXPECT_EQ(c.unitX, 165 + 55);
  // The unit has 3 x gap - halfGap pixels right of the number column.
  EXPECT_EQ(m.windowWidth - c.unitX, 3 * m.gap - m.halfGap);
  EXPECT_EQ(rowTextY(m, 0), 6);
  EXPECT_EQ(rowTextY(m, 4), 6 + 4 * 33);
}

TEST(LayoutMetrics, NumberOffsetHalvesTheDifferenceTowardZero) {
  struct Case {
    int numberWidth, measured, offset;
  };
  const Case cases[] = {
      {55, 55, 0},                 // "99999" itself
      {55, 48, 3},                 // odd spare pixel goes to the right
      {55, 47, 4},  {55, 62, -3},  // wider than the column: minus half the excess
      {55, 56, 0},                 // an excess of one pixel still gives 0
      {55, 57, -1}, {55, 0, 27},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(numberOffsetFor(c.numberWidth, c.measured), c.offset) << c.numberWidth << " vs " << c.measured;
  }
}

TEST(LayoutMetrics, RowHoldsAWholeLineOfTheFaceBelowItsTopInset) {
  // Heights and line heights as the widget's face measures them (ascent + descent 1.26 em).
  struct Case {
    int size, nameHeight, lineHeight, rowHeight;
  };
  const Case cases[] = {
      {20, 23, 26, 23 + 12},  // ordinary CJK names: the outlines and two insets are the taller
      {20, 13, 26, 6 + 26},   // "一一一一一": a line below the top inset
      {20, 15, 26, 6 + 26},   // "----"
      {20, 26, 26, 26 + 12},  // a name of spaces is a line high
      {10, 12, 13, 12 + 6},     {10, 7, 13, 3 + 13},        {100, 112, 126, 112 + 64},
      {100, 62, 126, 32 + 126}, {200, 223, 252, 223 + 128}, {20, 0, 0, 12},  // nothing measured at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " " << c.nameHeight);
    const LayoutMetrics m = computeLayoutMetrics(c.size, 3, {50, c.nameHeight}, {41, 20}, {55, 18}, c.lineHeight);
    EXPECT_EQ(m.rowHeight, c.rowHeight);
    EXPECT_EQ(m.windowHeight, 3 * c.rowHeight);
    // Every row's line of text ends inside that row.
    for (int row = 0; row < 3; ++row) EXPECT_LE(rowTextY(m, row) + c.lineHeight, (row + 1) * m.rowHeight);
    EXPECT_GE(m.rowHeight, c.lineHeight);
  }
}

TEST(LayoutMetrics, FontSizeIsPixelsAtNinetySixDpi) {
  struct Case {
    int size, dpi, scaled;
  };
  const Case cases[] = {{20, 96, 20},
                        {20, 144, 30},
                        {20, 120, 25},
                        {21, 144, 32},  // 31.5 rounds up
                        {10, 192, 20},
                        {200, 144, 300},
                        {13, 120, 16},
                        {20, 72, 15},
                        {20, 0, 20},
                        {20, -5, 20},
                        {2147483647, 96, 2147483647},
                        {2147483647, 192, 2147483647}};
  for (const Case& c : cases) EXPECT_EQ(scaledFontSize(c.size, c.dpi), c.scaled) << c.size << " at " << c.dpi;
}

// Windows' text size multiplies on top of the DPI; at 100 % the em is the DPI's alone.
TEST(LayoutMetrics, TextSizeMultipliesTheEm) {
  struct Case {
    int size, dpi, scale, scaled;
  };
  const Case cases[] = {{20, 96, 125, 25},  {20, 144, 150, 45},    {21, 96, 225, 47},  // 47.25
                        {20, 120, 110, 28},                                            // 27.5 rounds up
                        {10, 96, 101, 10},  {200, 480, 225, 2250}, {20, 0, 200, 40}};
  for (const Case& c : cases)
    EXPECT_EQ(scaledFontSize(c.size, c.dpi, c.scale), c.scaled) << c.size << " at " << c.dpi << " x" << c.scale;
  for (int size = 10; size <= 200; ++size) {
    for (int dpi : {96, 120, 144, 168, 192, 480})
      EXPECT_EQ(scaledFontSize(size, dpi, 100), (size * dpi * 2 + 96) / 192) << size << " at " << dpi;
  }
}

TEST(LayoutMetrics, AtOneAndAHalfTimesTheDpiEveryMetricIsOneAndAHalfTimesWithinAPixel) {
  // Even sizes, whose em at 144 DPI is exactly one and a half times theirs.
  for (int size = 10; size <= 200; size += 2) {
    SCOPED_TRACE(size);
    const int big = scaledFontSize(size, 144);
    // Texts measured at each em: about proportional, as a face's outlines are.
    auto at = [](int em, int w, int h) { return TextSize{em * w / 100, em * h / 100}; };
    const LayoutMetrics a =
        computeLayoutMetrics(size, 5, at(size, 490, 115), at(size, 200, 110), at(size, 300, 100), 0);
    const LayoutMetrics b = computeLayoutMetrics(big, 5, at(big, 490, 115), at(big, 200, 110), at(big, 300, 100), 0);
    EXPECT_NEAR(b.margin, 1.5 * a.margin, 1.0);
    EXPECT_NEAR(b.gap, 1.5 * a.gap, 1.0);
    EXPECT_NEAR(b.halfGap, 1.5 * a.halfGap, 1.0);
    EXPECT_NEAR(b.rowHeight, 1.5 * a.rowHeight, 3.0);      // the name's height and two half gaps
    EXPECT_NEAR(b.windowWidth, 1.5 * a.windowWidth, 7.0);  // margin, three gaps, three texts
  }
}

TEST(Placement, GrabWidthIsAThirdOfTheWidgetOrFortyEightPixels) {
  const int cases[][2] = {{300, 48}, {144, 48}, {143, 48}, {141, 47}, {142, 48}, {90, 30}, {91, 31}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(grabWidthFor(c[0]), c[1]) << c[0];
}

TEST(Placement, StoredPlaceIsKeptOnlyWhereTheWidgetCanBeGrabbed) {
  const PixelRect screen[] = {{0, 0, 1280, 800}};
  // Two monitors side by side, the second taller and with a taskbar at its bottom.
  const PixelRect pair[] = {{0, 0, 1280, 800}, {1280, -100, 2560, 860}};
  const PixelRect narrow[] = {{0, 0, 1280, 800}, {1280, 0, 1320, 800}};
  struct Case {
    int left, top;
    const PixelRect* areas;
    int count;
    bool reachable;
    const char* what;
  };
  // The widget is 300 wide with a first row 35 high: 48 px of its width must lie on one area.
  const Case cases[] = {
      {100, 100, screen, 1, true, "well inside"},
      {1275, 795, screen, 1, false, "5 px on screen"},
      {1232, 765, screen, 1, true, "48 px of the first row at the bottom right corner"},
      {1233, 765, screen, 1, false, "47 px wide"},
      {1232, 766, screen, 1, false, "the first row one pixel short of whole"},
      {-252, 0, screen, 1, true, "48 px at the left edge"},
      {-253, 0, screen, 1, false, "47 px at the left edge"},
      {100, -1, screen, 1, false, "top edge above the screen"},
      {100, 0, nullptr, 0, false, "no monitor at all"},
      {1400, -100, pair, 2, true, "on the second monitor, above the first one's top"},
      {1400, 830, pair, 2, false, "under the second monitor's work area"},
      {1100, 100, pair, 2, true, "across the seam, 180 px on the first"},
      {1256, 100, pair, 2, true, "across the seam, 276 px on the second"},
      {1256, 790, pair, 2, true, "across the seam, below the first: 276 px on the second"},
      {1240, 100, narrow, 2, false, "40 px on each of two areas: not 48 on one"},
      {2147483000, 2147483000, screen, 1, false, "far away"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(isPlaceReachable(c.left, c.top, 300, 35, c.areas, c.count), c.reachable) << c.what;
  // A widget without rows needs the line of its first row's top.
  EXPECT_TRUE(isPlaceReachable(100, 799, 300, 0, screen, 1));
  EXPECT_FALSE(isPlaceReachable(100, 800, 300, 0, screen, 1));
}

TEST(Placement, CentredOnTheWorkArea) {
  struct Case {
    PixelRect area;
    int width, height, left, top;
  };
  const Case cases[] = {
      {{0, 0, 1280, 800}, 300, 175, 490, 312},  // 312.5 truncated
      {{0, 0, 1280, 770}, 301, 0, 489, 385},    // taskbar at the bottom; no rows
      {{1280, -100, 2560, 860}, 200, 100, 1820, 330},
      {{0, 0, 100, 100}, 300, 200, -100, -50},  // larger than the area: centred all the same
  };
  for (const Case& c : cases) {
    const PixelRect r = centredIn(c.area, c.width, c.height);
    EXPECT_EQ(r.left, c.left);
    EXPECT_EQ(r.top, c.top);
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
  }
}

TEST(SurfaceBound, DpiIsWhatWindowsCanReport) {
  const int cases[][2] = {{96, 96}, {144, 144}, {480, 480},   {1, 96},      {0, 96},          {-5, 96},
                          {95, 96}, {481, 480}, {10000, 480}, {20000, 480}, {2147483647, 480}};
  for (const auto& c : cases) EXPECT_EQ(clampDpi(c[0]), c[1]) << c[0];
}

TEST(SurfaceBound, TwiceTheVirtualScreen) {
  struct Case {
    int width, height, limitWidth, limitHeight;
  };
  const Case cases[] = {{1280, 800, 2560, 1600},
                        {3840, 1080, 7680, 2160},
                        {0, 0, 1280, 960},
                        {-1, 800, 1280, 1600},
                        {2147483647, 1, 2147483647, 2}};
  for (const Case& c : cases) {
    const SurfaceLimit limit = surfaceLimitFor(c.width, c.height);
    EXPECT_EQ(limit.width, c.limitWidth) << c.width;
    EXPECT_EQ(limit.height, c.limitHeight) << c.height;
  }
}

TEST(SurfaceBound, TooTallOrTooWideWithoutNamesShrinksTheEm) {
  // Texts about proportional to the em; the name is 25 ems wide, as 25 hanzi are.
  auto at = [](int em) {
    return computeLayoutMetrics(em, 5, {25 * em, em * 115 / 100}, {2 * em, em}, {3 * em, em}, em * 126 / 100);
  };
  struct Case {
    int em, limitWidth, limitHeight;
    bool shrinks;
  };
  const Case cases[] = {
      {20, 2560, 1600, false},   // an ordinary widget
      {200, 2560, 1600, true},   // 5 rows of 330 px: taller than twice an 800 px screen
      {200, 2560, 2000, false},  // too wide with its names only: the names are cut instead
      {1000, 2560, 1600, true},  // size 200 at 500 %
      {100, 400, 10000, true},   // margin, gaps, word and number alone wider than the limit
      {1, 1, 1, false},          // nothing smaller to go to
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.em);
    const SurfaceLimit limit = {c.limitWidth, c.limitHeight};
    int em = c.em;
    // As the widget does: lay out at the em asked for, until it fits.
    for (int tries = 0; tries < 20; ++tries) {
      const int next = emWithin(at(em), 25 * em, limit);
      EXPECT_LE(next, em);
      if (next == em) break;
      em = next;
    }
    EXPECT_EQ(em < c.em, c.shrinks);
    const LayoutMetrics m = nameColumnWithin(at(em), 25 * em, limit);
    if (em > 1) {
      EXPECT_LE(m.windowWidth, limit.width);
      EXPECT_LE(m.windowHeight, limit.height);
    }
  }
}

TEST(SurfaceBound, NameColumnNarrowsToTheLimit) {
  const LayoutMetrics wide = computeLayoutMetrics(200, 5, {5000, 230}, {400, 200}, {600, 200}, 252);
  const int fixed = wide.windowWidth - 5000;  // margin, gaps, word and number
  struct Case {
    int limitWidth, nameRoom, windowWidth;
  };
  const Case cases[] = {
      {100000, -1, wide.windowWidth},  // fits: names whole
      {wide.windowWidth, -1, wide.windowWidth},
      {wide.windowWidth - 1, 4999, wide.windowWidth - 1},
      {2560, 2560 - fixed, 2560},
      {fixed, 0, fixed},  // no room for any name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limitWidth);
    const LayoutMetrics m = nameColumnWithin(wide, 5000, {c.limitWidth, 100000});
    EXPECT_EQ(m.nameRoom, c.nameRoom);
    EXPECT_EQ(m.windowWidth, c.windowWidth);
    EXPECT_EQ(textColumnsOf(m).wordX - textColumnsOf(m).nameX, m.gap + (c.nameRoom >= 0 ? c.nameRoom : 5000));
    EXPECT_EQ(m.windowHeight, wide.windowHeight);
  }
}

TEST(SurfaceBound, NamesThatDoNotFitAreCutWithAnEllipsis) {
  // 10 px a byte: a hanzi is 20, the GBK "…" (2 bytes) is 20.
  auto widthOf = [](std::string_view text) { return static_cast<int>(text.size()) * 10; };
  const std::string hanzi = "\xB3\xA4";  // 长
  const std::string ellipsis = "\xA1\xAD";
  struct Case {
    std::string text;
    int room;
    std::string shown;
  };
  const Case cases[] = {
      {"abcdef", 60, "abcdef"},          // fits exactly
      {"abcdef", 59, "abc" + ellipsis},  // 3 letters and the ellipsis: 50
      {"abcdef", 50, "abc" + ellipsis},
      {hanzi + hanzi + hanzi, 59, hanzi + ellipsis},  // never half a character
      {hanzi + hanzi + hanzi, 40, hanzi + ellipsis},
      {hanzi + hanzi + hanzi, 39, ellipsis},
      {hanzi + "a" + hanzi + hanzi, 50, hanzi + "a" + ellipsis},  // mixed widths
      {"abc", 19, ""},                                            // not even the ellipsis
      {"", 0, ""},
      {"ab\x81", 30, "ab\x81"},  // a lone lead byte at the end is one byte
  };
  for (const Case& c : cases) {
    const std::string shown = cutToWidth(c.text, c.room, widthOf);
    EXPECT_EQ(shown, c.shown) << c.text.size() << " bytes in " << c.room;
    EXPECT_LE(widthOf(shown), std::max(c.room, 0));
  }
}

TEST(Placement, TallerThanTheAreaStartsAtItsTopAndStaysGrabbable) {
  struct Case {
    PixelRect area;
    int width, height, left, top;
  };
  const Case cases[] = {
      {{0, 0, 1280, 800}, 300, 175, 490, 312},   // fits: centred as before
      {{0, 0, 1280, 800}, 300, 800, 490, 0},     // exactly the area's height
      {{0, 0, 1280, 800}, 1500, 6000, -110, 0},  // 20 rows at size 200: top at the area's top
      {{0, 30, 1280, 800}, 300, 2000, 490, 30},  // a taskbar at the top
      {{1280, -100, 2560, 860}, 200, 5000, 1820, -100},
  };
  for (const Case& c : cases) {
    const PixelRect r = centredGrabbable(c.area, c.width, c.height);
    EXPECT_EQ(r.left, c.left);
    EXPECT_EQ(r.top, c.top);
    EXPECT_EQ(r.bottom - r.top, c.height);
    // The first row of a large widget (here 260 px high) lies on the area: it can be grabbed there.
    const PixelRect areas[] = {c.area};
    EXPECT_TRUE(isPlaceReachable(r.left, r.top, c.width, std::min(c.height, 260), areas, 1)) << c.height;
  }
}

}  // namespace
