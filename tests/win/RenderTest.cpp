// The widget's picture, painted off screen without a window and read back pixel by pixel: sizes,
// row colours, the edge strip, where each colour of text may appear, number centring, and the
// layered window's update when a window exists.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "display/GdiplusWin.h"
#include "display/SurfaceWin.h"

namespace {

using namespace gdip;

constexpr uint32_t kEvenRow = 0xFF262626;
constexpr uint32_t kOddRow = 0xFF333333;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kUpcoming = 0xFFA5B6EC;
constexpr uint32_t kPast = 0xFFF7A000;
constexpr uint32_t kToday = 0xFFFF0400;

int channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// An opaque pixel close to colour: the inside of a glyph stroke, not an antialiased edge.
bool looksLike(uint32_t pixel, uint32_t colour) {
  if (channel(pixel, 24) != 0xFF) return false;
  for (int shift : {16, 8, 0}) {
    if (std::abs(channel(pixel, shift) - channel(colour, shift)) > 40) return false;
  }
  return true;
}

struct Span {
  int left = INT_MAX;
  int right = -1;
  int count = 0;
  bool empty() const { return count == 0; }
};

// Columns and number of the pixels of [x0, x1) x [y0, y1) that satisfy test.
Span scan(const OffscreenSurface& s, int x0, int y0, int x1, int y1, const std::function<bool(uint32_t)>& test) {
  Span span;
  for (int y = std::max(y0, 0); y < std::min(y1, s.height()); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x1, s.width()); ++x) {
      if (!test(s.pixel(x, y))) continue;
      span.left = std::min(span.left, x);
      span.right = std::max(span.right, x);
      ++span.count;
    }
  }
  return span;
}

// GBK literals: the sources are compiled with narrow strings in code page 936.
const char kName4[] = "结婚纪念";    // 8 bytes
const char kName5[] = "相识纪念日";  // 10 bytes, the longest
const char kName3[] = "生日快";
const char kName2[] = "旅行";

class RenderTest : public testing::Test {
 protected:
  void SetUp() override {
    core = new CCore;
    // A layout arranges the rows by the settings: every line, in file order.
    settings = Settings();
    settings.fontSize = 20;
    fontFace = "黑体";
  }
  void TearDown() override {
    delete core;
    core = nullptr;
  }

  // The widget's list holds lines 0..count-1 of table, shown as rows in file order with the kinds and
  // days set here (nothing counts them until a layout does).
  void setCount(int count) {
    rows = count;
    widget.items.assign(table, nullptr, rows);
  }
  void setRow(int i, const char* name, DayKind kind, int days) {
    std::memset(&table[i], 0, sizeof(ItemRecord));
    std::strncpy(table[i].name, name, kNameSize - 1);
    table[i].kind = kind;
    table[i].days = days;
    setCount(std::max(rows, i + 1));
  }

  // Five rows of all kinds; the longest name by bytes is row 1's.
  void setFiveRows() {
    setRow(0, kName4, Upcoming, 12);
    setRow(1, kName5, Today, 0);
    setRow(2, kName3, Past, 365);
    setRow(3, kName2, Upcoming, 99999);
    setRow(4, kName4, Past, 7);
  }

  // Metrics, then the two painters on a fresh surface, with the graphics set up as a render sets it.
  std::unique_ptr<OffscreenSurface> paint() {
    widget.ComputeMetrics();
    auto surface = std::make_unique<OffscreenSurface>(nullptr, widget.render.layout.windowWidth,
                                                      widget.render.layout.windowHeight);
    if (GpGraphics* graphics = surface->graphics()) {
      GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
      GdipSetTextRenderingHint(graphics, TextRenderingHintAntiAliasGridFit);
      widget.PaintBackgrounds(graphics);
      widget.DrawItemTexts(graphics);
      surface->flush();
    }
    return surface;
  }

  // The text alone, drawn where the widget should have put it, on a surface of the same size.
  std::unique_ptr<OffscreenSurface> paintAlone(const CString& text, ARGB colour, int x, int y) {
    auto surface = std::make_unique<OffscreenSurface>(nullptr, widget.render.layout.windowWidth,
                                                      widget.render.layout.windowHeight);
    GpGraphics* graphics = surface->graphics();
    GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
    ScopedPath path;
    GdipCreatePath(FillModeAlternate, path.out());
    ScopedStringFormat format(createStringFormat());
    ScopedFontFamily family(createFontFamily(kWidgetFace));
    addTextToPath(path, text, family, settings.fontSize, x, y, format);
    ScopedSolidBrush brush;
    GdipCreateSolidFill(colour, brush.out());
    GdipFillPath(graphics, brush, path);
    surface->flush();
    return surface;
  }

  int rowTop(int i) const { return i * widget.render.layout.rowHeight; }
  uint32_t rowColour(int i) const { return i % 2 == 0 ? kEvenRow : kOddRow; }

  CWidgetDlg widget;
  ItemRecord table[kTableRecords] = {};
  int rows = 0;
};

constexpr int kSizes[] = {10, 12, 20, 24, 100, 200};

TEST_F(RenderTest, BitmapSizeFollowsTheMeasuredTexts) {
  setFiveRows();
  for (int size : kSizes) {
    SCOPED_TRACE(size);
    settings.fontSize = size;
    auto surface = paint();
    const LayoutMetrics& m = widget.render.layout;
    const Gdiplus::Size name = core->getTextBounds(fontFace, size, kName5);
    const Gdiplus::Size word = core->getTextBounds(fontFace, size, "还有");
    const Gdiplus::Size number = core->getTextBounds(fontFace, size, "99999");
    EXPECT_EQ(m.windowWidth,
              marginFor(size) + 3 * gapFor(size) + number.Width + word.Width + gapFor(size) + name.Width);
    EXPECT_EQ(m.windowHeight, 5 * (name.Height + 2 * (gapFor(size) / 2)));
    EXPECT_EQ(surface->width(), m.windowWidth);
    EXPECT_EQ(surface->height(), m.windowHeight);
    // The measures are those of the face at that em: two CJK glyphs are about two ems, five digits
    // about half an em each, and a CJK name about an em high.
    EXPECT_NEAR(word.Width, 2 * size, size * 0.25);
    EXPECT_GT(number.Width, 2 * size);
    EXPECT_LT(number.Width, 4 * size);
    EXPECT_GE(name.Height, size * 0.8);
    EXPECT_LE(name.Height, size * 1.4);
  }
}

TEST_F(RenderTest, RowsAlternateAndTheStripFadesDownTheWholeWidget) {
  setFiveRows();
  for (int size : kSizes) {
    SCOPED_TRACE(size);
    settings.fontSize = size;
    auto s = paint();
    const LayoutMetrics& m = widget.render.layout;
    const TextColumns c = textColumnsOf(m);
    int previousWhiteness = -1;
    for (int i = 0; i < 5; ++i) {
      const int middle = rowTop(i) + m.rowHeight / 2;
      // Between the name column's end and the word: no text there in any row.
      EXPECT_EQ(s->pixel(c.wordX - m.halfGap, middle), rowColour(i)) << "row " << i;
      EXPECT_EQ(s->pixel(m.windowWidth - 1, rowTop(i) + 1), rowColour(i)) << "row " << i;
      // The strip over the row: whiter row after row, by the share of the widget's height above.
      const uint32_t strip = s->pixel(m.margin / 2, middle);
      EXPECT_EQ(channel(strip, 24), 0xFF);
      const int base = channel(rowColour(i), 16);
      const double expected = base + (255 - base) * (middle + 0.5) / m.windowHeight;
      EXPECT_NEAR(channel(strip, 16), expected, 12) << "row " << i;
      EXPECT_GT(channel(strip, 16), previousWhiteness);
      previousWhiteness = channel(strip, 16);
    }
    // Transparent at the top edge: the first row's colour shows through unchanged.
    EXPECT_NEAR(channel(s->pixel(m.margin / 2, 1), 16), channel(kEvenRow, 16), 4);
    // Near-opaque white at the bottom edge.
    const uint32_t bottom = s->pixel(m.margin / 2, m.windowHeight - 1);
    for (int shift : {16, 8, 0}) EXPECT_GE(channel(bottom, shift), 0xF0);
  }
}

TEST_F(RenderTest, EachColourStaysInItsColumnsAndRow) {
  setFiveRows();
  const uint32_t kinds[] = {kUpcoming, kToday, kPast};
  for (int size : kSizes) {
    SCOPED_TRACE(size);
    settings.fontSize = size;
    auto s = paint();
    const LayoutMetrics& m = widget.render.layout;
    const TextColumns c = textColumnsOf(m);
    for (int y = 0; y < s->height(); ++y) {
      const int row = y / m.rowHeight;
      for (int x = m.margin; x < s->width(); ++x) {
        const uint32_t p = s->pixel(x, y);
        if (looksLike(p, kWhite)) {
          ASSERT_TRUE(x >= c.nameX && x < c.wordX) << "white at " << x << "," << y;
        }
        for (int kind = Upcoming; kind <= Past; ++kind) {
          if (!looksLike(p, kinds[kind])) continue;
          ASSERT_GE(x, c.wordX) << "kind " << kind << " at " << x << "," << y;
          ASSERT_EQ(widget.items.line(row).kind, kind) << "kind " << kind << " at " << x << "," << y;
        }
      }
    }
    // Every row shows its name, and its number and unit in its kind's colour; the word where it has one.
    for (int i = 0; i < 5; ++i) {
      SCOPED_TRACE(i);
      const uint32_t kind = kinds[widget.items.line(i).kind];
      const int top = rowTop(i), end = rowTop(i + 1);
      auto isKind = [kind](uint32_t p) { return looksLike(p, kind); };
      EXPECT_FALSE(scan(*s, c.nameX, top, c.wordX, end, [](uint32_t p) { return looksLike(p, kWhite); }).empty());
      EXPECT_FALSE(scan(*s, c.numberX, top, c.unitX, end, isKind).empty());
      EXPECT_FALSE(scan(*s, c.unitX, top, m.windowWidth, end, isKind).empty());
      const Span word = scan(*s, c.wordX, top, c.numberX, end, isKind);
      EXPECT_EQ(word.empty(), widget.items.line(i).kind == Today);
    }
    // The Today row's word column holds nothing at all: only the row colour.
    const int todayTop = rowTop(1) + m.halfGap;
    EXPECT_TRUE(scan(*s, c.wordX, todayTop, c.numberX, todayTop + m.rowHeight - 2 * m.halfGap, [](uint32_t p) {
                  return p != kOddRow;
                }).empty());
  }
}

TEST_F(RenderTest, NumbersAreCentredInTheirColumn) {
  struct Case {
    int days;
    DayKind kind;
  };
  // A Today row has no word, so whatever lies left of the number column is the number's own.
  const Case cases[] = {{99999, Upcoming}, {7, Past}, {12, Upcoming}, {365, Today}, {100000, Today}, {1234567, Today}};
  for (int size : {12, 20, 100}) {
    for (const Case& k : cases) {
      SCOPED_TRACE(testing::Message() << "size " << size << ", " << k.days);
      settings.fontSize = size;
      setRow(0, kName5, k.kind, k.days);
      setCount(1);
      auto s = paint();
      const LayoutMetrics& m = widget.render.layout;
      const TextColumns c = textColumnsOf(m);
      const CString text = core->getStrInt(k.days);
      const int width = core->getTextBounds(fontFace, size, text).Width;
      const int offset = numberOffsetFor(m.numberWidth, width);
      if (k.days == 99999) {
        EXPECT_EQ(offset, 0);
      } else if (width < m.numberWidth) {
        EXPECT_GT(offset, 0);
      } else if (width > m.numberWidth + 1) {
        EXPECT_LT(offset, 0);
      }

      const ARGB colour = k.kind == Past ? kPast : k.kind == Today ? kToday : kUpcoming;
      auto alone = paintAlone(text, colour, c.numberX + offset, m.halfGap);
      auto isInk = [colour](uint32_t p) { return looksLike(p, colour); };
      // Left of the unit only: the number's columns in the widget and alone must agree.
      const int from = k.kind == Today ? c.nameX : c.numberX;
      const Span expected = scan(*alone, from, 0, c.unitX, m.rowHeight, isInk);
      const Span drawn = scan(*s, from, 0, c.unitX, m.rowHeight, isInk);
      ASSERT_FALSE(expected.empty());
      EXPECT_EQ(drawn.left, expected.left);
      if (width <= m.numberWidth) {
        EXPECT_EQ(drawn.right, expected.right);
        // Measured width is drawn width: the number ends inside its column.
        EXPECT_LT(drawn.right, c.unitX);
        EXPECT_GE(drawn.left, c.numberX);
      } else if (-offset > size / 4) {
        // Well wider than "99999": it reaches into the word column by half its excess.
        EXPECT_LT(drawn.left, c.numberX);
      }
    }
  }
}

TEST_F(RenderTest, NameColumnHoldsTheWidestDrawnName) {
  // Fewer bytes may draw wider: ten narrow letters beside four wide characters, "...." beside "毕业".
  const char* const pairs[][2] = {{"iiiiiiiiii", "宽宽宽宽"}, {"....", "毕业"}, {"毕业", "...."}};
  for (const auto& pair : pairs) {
    SCOPED_TRACE(pair[0]);
    setRow(0, pair[0], Upcoming, 3);
    setRow(1, pair[1], Past, 3);
    auto s = paint();
    const LayoutMetrics& m = widget.render.layout;
    const TextColumns c = textColumnsOf(m);
    const int widest = std::max(core->getTextBounds(fontFace, settings.fontSize, pair[0]).Width,
                                core->getTextBounds(fontFace, settings.fontSize, pair[1]).Width);
    EXPECT_EQ(m.nameColumnWidth, m.gap + widest);
    // No name reaches the word column; both words are drawn whole.
    EXPECT_TRUE(scan(*s, c.wordX - m.halfGap, 0, m.windowWidth, m.windowHeight, [](uint32_t p) {
                  return looksLike(p, kWhite);
                }).empty());
    EXPECT_FALSE(
        scan(*s, c.wordX, 0, c.numberX, m.rowHeight, [](uint32_t p) { return looksLike(p, kUpcoming); }).empty());
    EXPECT_FALSE(scan(*s, c.wordX, m.rowHeight, c.numberX, m.windowHeight, [](uint32_t p) {
                   return looksLike(p, kPast);
                 }).empty());
  }
}

TEST_F(RenderTest, RowsHoldALineOfTheFaceWhateverTheNames) {
  // Widest names whose outlines are short, beside rows whose texts reach the full line.
  const char* const flat[] = {"一一一一一", "------", "~~~~~~", "          "};
  for (int size : {10, 20, 30, 100}) {
    for (const char* name : flat) {
      SCOPED_TRACE(testing::Message() << size << " \"" << name << "\"");
      settings.fontSize = size;
      setRow(0, name, Upcoming, 12);
      setRow(1, "相识", Today, 0);
      setRow(2, "gjpqy", Past, 99999);
      setRow(3, "纪念", Upcoming, 5);
      auto s = paint();
      const LayoutMetrics& m = widget.render.layout;
      const int line = core->getLineHeight(fontFace, size);
      EXPECT_GE(m.rowHeight, line);
      EXPECT_GE(m.rowHeight, m.halfGap + line);
      EXPECT_GE(m.nameColumnWidth, m.gap + core->getTextBounds(fontFace, size, name).Width);
      // The first and last pixel lines of every row hold nothing but the row's colour: no text
      // crosses from one row into the next, and the last row is not cut.
      for (int i = 0; i < 4; ++i) {
        for (int y : {rowTop(i), rowTop(i + 1) - 1}) {
          const uint32_t colour = rowColour(i);
          EXPECT_TRUE(scan(*s, m.margin, y, m.windowWidth, y + 1, [colour](uint32_t p) { return p != colour; }).empty())
              << "row " << i << " line " << y;
        }
      }
    }
  }
}

TEST_F(RenderTest, LayoutAtOneAndAHalfTimesTheDpi) {
  setFiveRows();
  widget.ComputeMetrics();
  const LayoutMetrics base = widget.render.layout;
  widget.render.dpi = 144;
  auto s = paint();
  const LayoutMetrics& m = widget.render.layout;
  EXPECT_EQ(m.emSize, 30);
  EXPECT_EQ(base.emSize, 20);
  EXPECT_EQ(m.margin, 9);
  EXPECT_EQ(m.gap, 19);
  // The texts are measured and drawn at 30 px: every size is one and a half times within rounding.
  EXPECT_NEAR(m.rowHeight, 1.5 * base.rowHeight, 3);
  EXPECT_NEAR(m.windowWidth, 1.5 * base.windowWidth, 7);
  EXPECT_EQ(m.nameColumnWidth, m.gap + core->getTextBounds(fontFace, 30, kName5).Width);
  const TextColumns c = textColumnsOf(m);
  const Span name = scan(*s, c.nameX, 0, c.wordX, m.rowHeight, [](uint32_t p) { return looksLike(p, kWhite); });
  ASSERT_FALSE(name.empty());
  EXPECT_NEAR(name.right - name.left, 1.5 * core->getTextBounds(fontFace, 20, kName4).Width, 6);
  widget.render.dpi = kBaseDpi;
}

TEST_F(RenderTest, FullLengthNameAndHugeNumbersDrawWithoutHarm) {
  std::string longName;
  for (int i = 0; i < 25; ++i) longName += "长";
  ASSERT_EQ(longName.size(), 50u);
  for (int size : {10, 200}) {
    SCOPED_TRACE(size);
    settings.fontSize = size;
    setRow(0, longName.c_str(), Past, 2147483647);
    setRow(1, "a", Upcoming, 1000000000);
    auto s = paint();
    const LayoutMetrics& m = widget.render.layout;
    ASSERT_TRUE(s->ok());
    EXPECT_GT(m.nameColumnWidth, 24 * size);
    // The name is drawn whole, up to the end of its column.
    const Span name = scan(*s, 0, 0, m.windowWidth, m.rowHeight, [](uint32_t p) { return looksLike(p, kWhite); });
    EXPECT_GT(name.right, textColumnsOf(m).wordX - m.gap - size);
  }
}

// Size 200 at 480 DPI with a full-length name would be some 30,000 px wide and 9,000 high: within a
// limit the em shrinks to fit the height and the name is cut with "…" to fit the width.
TEST_F(RenderTest, WithinTheSurfaceLimitNamesAreCutAndTheEmShrinks) {
  std::string longName;
  for (int i = 0; i < 25; ++i) longName += "长";
  settings.fontSize = 200;
  widget.render.dpi = kMaxDpi;
  for (int i = 0; i < 5; ++i) setRow(i, i == 0 ? longName.c_str() : kName2, Upcoming, 12);
  const SurfaceLimit limit = {2560, 1600};
  widget.ComputeMetrics(&limit);
  const LayoutMetrics m = widget.render.layout;
  EXPECT_LE(m.windowWidth, limit.width);
  EXPECT_LE(m.windowHeight, limit.height);
  EXPECT_GT(m.windowHeight, limit.height * 9 / 10) << "the em shrinks no more than it must";
  ASSERT_GE(m.nameRoom, 0);
  auto surface = std::make_unique<OffscreenSurface>(nullptr, m.windowWidth, m.windowHeight);
  ASSERT_TRUE(surface->ok());
  GpGraphics* graphics = surface->graphics();
  widget.PaintBackgrounds(graphics);
  widget.DrawItemTexts(graphics);
  surface->flush();
  // The cut name ends inside its column, so the word beside it stays clear of it.
  const TextColumns c = textColumnsOf(m);
  const Span name = scan(*surface, 0, 0, m.windowWidth, m.rowHeight, [](uint32_t p) { return looksLike(p, kWhite); });
  EXPECT_GT(name.right, c.nameX + m.nameRoom / 2);
  EXPECT_LE(name.right, c.wordX - m.gap + m.gap / 4);
  widget.render.dpi = kBaseDpi;
}

TEST_F(RenderTest, UnreadableDateShowsAQuestionMarkOnly) {
  setRow(0, kName4, Unreadable, 0);
  setRow(1, kName4, Upcoming, 5);
  auto s = paint();
  const LayoutMetrics& m = widget.render.layout;
  const TextColumns c = textColumnsOf(m);
  auto isToday = [](uint32_t p) { return looksLike(p, kToday); };
  auto notRow = [](uint32_t p) { return p != kEvenRow; };
  const int top = m.halfGap, end = m.rowHeight - m.halfGap;
  EXPECT_FALSE(scan(*s, c.nameX, 0, c.wordX, m.rowHeight, [](uint32_t p) { return looksLike(p, kWhite); }).empty());
  EXPECT_TRUE(scan(*s, c.wordX, top, c.numberX, end, notRow).empty()) << "no word";
  EXPECT_TRUE(scan(*s, c.unitX, top, m.windowWidth, end, notRow).empty()) << "no unit";
  const Span mark = scan(*s, c.numberX, 0, c.unitX, m.rowHeight, isToday);
  ASSERT_FALSE(mark.empty());
  // Centred like a number: about as much room on either side.
  EXPECT_NEAR(mark.left - c.numberX, c.unitX - 1 - mark.right, settings.fontSize / 4 + 2);
}

// Under high contrast the system's pairs: every row on the window colour in the window text's, today's
// row on the highlight in the highlight text's, no strip; a "?" in the window text's too.
TEST_F(RenderTest, HighContrastDrawsTheSystemPairs) {
  setFiveRows();
  setRow(3, kName2, Unreadable, 0);
  SystemLook system;
  system.highContrast = true;
  system.window = 0x00000000;         // black (COLORREF)
  system.windowText = 0x0000FFFF;     // yellow
  system.highlight = 0x00FF0000;      // blue
  system.highlightText = 0x00FFFFFF;  // white
  widget.render.palette = paletteFor(WidgetTheme::Classic, system);
  auto s = paint();
  const LayoutMetrics& m = widget.render.layout;
  const TextColumns c = textColumnsOf(m);
  constexpr uint32_t kBlack = 0xFF000000, kYellow = 0xFFFFFF00, kBlue = 0xFF0000FF;
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const bool today = i == 1;
    const int top = rowTop(i), bottom = rowTop(i) + m.rowHeight;
    EXPECT_EQ(s->pixel(c.wordX - m.halfGap, top + m.rowHeight / 2), today ? kBlue : kBlack);
    EXPECT_EQ(s->pixel(m.margin / 2, top + m.rowHeight / 2), today ? kBlue : kBlack) << "no strip";
    const uint32_t ink = today ? kWhite : kYellow, other = today ? kYellow : kWhite;
    EXPECT_FALSE(scan(*s, c.nameX, top, c.wordX, bottom, [&](uint32_t p) { return looksLike(p, ink); }).empty());
    EXPECT_FALSE(scan(*s, c.numberX, top, c.unitX, bottom, [&](uint32_t p) { return looksLike(p, ink); }).empty());
    EXPECT_TRUE(scan(*s, 0, top, m.windowWidth, bottom, [&](uint32_t p) { return looksLike(p, other); }).empty());
  }
}

// At 50 % the rows' brush is translucent under the window's constant alpha; the texts stay opaque in
// the picture, and the constant alpha makes them the more opaque on screen.
TEST_F(RenderTest, OpacityPaintsTheRowsTranslucent) {
  setFiveRows();
  widget.render.palette = paletteFor(WidgetTheme::Light, SystemLook());
  widget.render.alpha = widgetAlphaFor(50, false);
  auto s = paint();
  const LayoutMetrics& m = widget.render.layout;
  const TextColumns c = textColumnsOf(m);
  const int brush = widget.render.alpha.rowBrush;
  const uint32_t row = s->pixel(c.wordX - m.halfGap, m.rowHeight / 2);
  EXPECT_EQ(channel(row, 24), brush);
  EXPECT_NEAR(channel(row, 16), 0xFA * brush / 255, 1);  // premultiplied
  const Span opaqueText = scan(*s, c.nameX, 0, c.wordX, m.rowHeight, [](uint32_t p) { return channel(p, 24) == 0xFF; });
  EXPECT_FALSE(opaqueText.empty());
}

TEST_F(RenderTest, NoRowsGiveAnEmptyWidget) {
  setRow(0, "", Upcoming, 0);
  setCount(0);
  widget.ComputeMetrics();
  EXPECT_EQ(widget.render.layout.windowHeight, 0);
  EXPECT_GT(widget.render.layout.windowWidth, 0);
  // No zero-sized surface is made: it stays empty and paints nowhere.
  OffscreenSurface none(nullptr, widget.render.layout.windowWidth, widget.render.layout.windowHeight);
  EXPECT_FALSE(none.ok());
  EXPECT_EQ(none.dc(), nullptr);
  // The painters with no rows leave a surface untouched.
  OffscreenSurface s(nullptr, 8, 8);
  ASSERT_TRUE(s.ok());
  widget.PaintBackgrounds(s.graphics());
  widget.DrawItemTexts(s.graphics());
  s.flush();
  EXPECT_TRUE(scan(s, 0, 0, 8, 8, [](uint32_t p) { return p != 0; }).empty());
}

TEST(SurfaceTest, KeepsPremultipliedAlpha) {
  OffscreenSurface s(nullptr, 4, 3);
  ASSERT_TRUE(s.ok());
  EXPECT_EQ(s.pixel(0, 0), 0u);
  ScopedSolidBrush brush;
  GdipCreateSolidFill(0x80FF0000, brush.out());
  GdipFillRectangleI(s.graphics(), brush, 0, 0, 4, 3);
  s.flush();
  // Half-transparent red is stored as alpha 0x80 with red scaled down to match.
  EXPECT_EQ(channel(s.pixel(3, 2), 24), 0x80);
  EXPECT_NEAR(channel(s.pixel(3, 2), 16), 0x80, 1);
  EXPECT_EQ(s.pixel(3, 2) & 0xFFFF, 0u);
  EXPECT_EQ(s.pixel(4, 0), 0u);  // outside
}

TEST(TextBoundsTest, MissingFaceFallsBackAndEmptyTextKeepsALineHeight) {
  CCore core;
  ScopedFontFamily family(createFontFamily(L"No Such Face Anywhere"));
  EXPECT_NE(family.get(), nullptr);
  const Gdiplus::Size fallback = core.getTextBounds("No Such Face Anywhere", 20, "还有");
  const Gdiplus::Size wanted = core.getTextBounds("黑体", 20, "还有");
  EXPECT_GT(fallback.Width, 30);
  EXPECT_GT(wanted.Width, 30);
  const Gdiplus::Size empty = core.getTextBounds("黑体", 20, "");
  EXPECT_EQ(empty.Width, 0);
  EXPECT_GE(empty.Height, 20);
  // Spaces draw nothing but take their advance: more spaces, more width, about a third of an em each.
  const int four = core.getTextBounds("黑体", 20, "    ").Width;
  const int ten = core.getTextBounds("黑体", 20, "          ").Width;
  EXPECT_GT(four, 4 * 20 / 5);
  EXPECT_NEAR(ten - four, 6 * 20 / 3, 20);
  EXPECT_GE(core.getTextBounds("黑体", 20, "    ").Height, 20);
  // The line height is the face's ascent and descent, more than the em and less than two.
  EXPECT_GT(core.getLineHeight("黑体", 20), 20);
  EXPECT_LT(core.getLineHeight("黑体", 20), 40);
  EXPECT_NEAR(core.getLineHeight("黑体", 200), 10 * core.getLineHeight("黑体", 20), 10);
  // Longer texts measure wider; the size scales with the em.
  EXPECT_LT(core.getTextBounds("黑体", 20, "9").Width, core.getTextBounds("黑体", 20, "99").Width);
  const int large = core.getTextBounds("黑体", 200, "99999").Width;
  EXPECT_NEAR(large, 10 * core.getTextBounds("黑体", 20, "99999").Width, large / 20);
}

// Width of text's glyph outlines laid with family and format, as the widget lays them.
REAL outlineWidth(const GpFontFamily* family, const GpStringFormat* format, const char* text) {
  ScopedPath path;
  GdipCreatePath(FillModeAlternate, path.out());
  addTextToPath(path, text, family, 20, 0, 0, format);
  GpRectF bounds = {};
  GdipGetPathWorldBounds(path, &bounds, nullptr, nullptr);
  return bounds.Width;
}

// Measuring and drawing ask the cache for faces in turn (the widget's face to draw, the configured
// face to measure): a family handed out must stay usable while others are made, and come back the
// same the next time, without being made again.
TEST(FaceCacheTest, EveryFamilyHandedOutStaysAndIsMadeOnce) {
  FaceCache cache;
  const GpFontFamily* wanted = cache.family(kWidgetFace);
  ASSERT_NE(wanted, nullptr);
  const REAL before = outlineWidth(wanted, cache.format(), "还有");
  // A missing face falls back to an installed one; GDI+ may hand out the very same family again.
  const GpFontFamily* other = cache.family(L"No Such Face Anywhere");
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(cache.family(kWidgetFace), wanted);
  EXPECT_EQ(cache.family(L"No Such Face Anywhere"), other);
  EXPECT_EQ(cache.format(), cache.format());
  EXPECT_GT(before, 30.0f);
  EXPECT_EQ(outlineWidth(wanted, cache.format(), "还有"), before);
}

// The full render on a real (hidden) window: layered style, constant alpha, size and place, and
// nothing of the render left behind.
TEST_F(RenderTest, UpdateLayoutSizesAndPushesTheWindow) {
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) GTEST_SKIP() << "no window station";
  widget.m_hWnd = window;
  widget.render.blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  widget.place.left = 40;
  widget.place.top = 30;

  setCount(0);
  widget.UpdateLayout();
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.bottom - rect.top, 0);
  EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);

  setFiveRows();
  for (int i = 0; i < 5; ++i) std::strcpy(table[i].dateText, "2001-01-01");
  setCount(5);
  SetWindowPos(window, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);  // a drag
  widget.UpdateLayout();
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(rect.right - rect.left, widget.render.layout.windowWidth);
  EXPECT_EQ(rect.bottom - rect.top, widget.render.layout.windowHeight);
  EXPECT_EQ(widget.render.layout.windowHeight, 5 * widget.render.layout.rowHeight);
  EXPECT_EQ(widget.render.blend.SourceConstantAlpha, 253);
  EXPECT_EQ(widget.render.memoryDC, nullptr);
  EXPECT_EQ(widget.items.line(0).kind, Past) << "the render.layout counts the days";

  KillTimer(window, IDT_MINUTE);
  widget.m_hWnd = nullptr;
  DestroyWindow(window);
}

}  // namespace
