// The widget's colour sets, the choice among them, the opacity's alpha values and the text size
// factor.
#include "display/Palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// WCAG 2's relative luminance and contrast ratio, from the sRGB formula.
double linear(uint32_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double luminance(uint32_t argb) {
  return 0.2126 * linear(argb >> 16 & 0xFF) + 0.7152 * linear(argb >> 8 & 0xFF) + 0.0722 * linear(argb & 0xFF);
}
double contrast(uint32_t a, uint32_t b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(Palette, EveryTextOfDarkAndLightReadsOnEveryRowItIsDrawnOn) {
  const SystemLook plain;
  for (WidgetTheme theme : {WidgetTheme::Dark, WidgetTheme::Light}) {
    const Palette p = paletteFor(theme, plain);
    const std::vector<uint32_t> rows = {p.evenRow, p.oddRow};
    const struct {
      const char* what;
      uint32_t colour;
      std::vector<uint32_t> on;
    } pairs[] = {
        {"name", p.name, rows},
        {"upcoming", p.upcoming, rows},
        {"past", p.past, rows},
        {"today", p.today, p.todayRow ? std::vector<uint32_t>{p.todayRow} : rows},
        {"unreadable", p.unreadableInNameColour ? p.name : p.today, rows},
        {"nothing soon", p.nothingSoon, {p.evenRow}},
    };
    for (const auto& pair : pairs) {
      for (uint32_t background : pair.on) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(theme) << " " << pair.what << " on " << std::hex
                                        << background);
        EXPECT_GE(contrast(pair.colour, background), 4.5);
        EXPECT_EQ(pair.colour >> 24, 0xFFu);
      }
    }
    EXPECT_EQ(p.evenRow >> 24, 0xFFu);
    EXPECT_EQ(p.oddRow >> 24, 0xFFu);
  }
  // A pair known to fail, so that the ratio itself is checked: today's red of the classic set on its
  // own row (about 3.8:1), and black on white, 21:1.
  EXPECT_LT(contrast(0xFFFF0400, 0xFF262626), 4.5);
  EXPECT_NEAR(contrast(0xFF000000, 0xFFFFFFFF), 21.0, 1e-9);
}

TEST(Palette, TheChoiceFollowsHighContrastThenTheThemeThenTheAppMode) {
  SystemLook system;
  // The classic set's pixels are the render tests' (tests/win/RenderTest.cpp).
  const uint32_t darkRow = paletteFor(WidgetTheme::Dark, system).evenRow;
  const uint32_t lightRow = paletteFor(WidgetTheme::Light, system).evenRow;
  EXPECT_LT(luminance(darkRow), 0.05);
  EXPECT_GT(luminance(lightRow), 0.9);
  EXPECT_EQ(paletteFor(WidgetTheme::System, system).evenRow, darkRow);
  system.appsUseLightTheme = true;
  EXPECT_EQ(paletteFor(WidgetTheme::System, system).evenRow, lightRow);
  EXPECT_EQ(paletteFor(WidgetTheme::Dark, system).evenRow, darkRow);  // an explicit theme stays

  // High contrast: the system's pairs, whatever the theme. COLORREF is 0x00BBGGRR.
  system.highContrast = true;
  system.window = 0x00000000;         // black
  system.windowText = 0x0000FFFF;     // yellow
  system.highlight = 0x00FF0000;      // blue
  system.highlightText = 0x00FFFFFF;  // white
  for (WidgetTheme theme : {WidgetTheme::Classic, WidgetTheme::Dark, WidgetTheme::Light, WidgetTheme::System}) {
    const Palette p = paletteFor(theme, system);
    SCOPED_TRACE(static_cast<int>(theme));
    EXPECT_EQ(p.evenRow, 0xFF000000u);
    EXPECT_EQ(p.oddRow, 0xFF000000u);
    EXPECT_EQ(p.todayRow, 0xFF0000FFu);
    for (uint32_t text : {p.name, p.upcoming, p.past, p.nothingSoon}) EXPECT_EQ(text, 0xFFFFFF00u);
    EXPECT_TRUE(p.unreadableInNameColour);
    EXPECT_EQ(p.today, 0xFFFFFFFFu);
    EXPECT_TRUE(p.todayNameInTodayColour);
    EXPECT_EQ(p.stripBottom, 0u);
  }
}

TEST(Palette, OpacityToAlpha) {
  const struct {
    int percent;
    bool highContrast;
    int rows, text;
  } cases[] = {
      {99, false, 253, 253},  // the default: the widget's alpha as it always was
      {100, false, 255, 255}, {20, false, 51, 152},   {50, false, 128, 191}, {98, false, 250, 252},
      {19, false, 253, 253},  {101, false, 253, 253}, {-5, false, 253, 253},  // out of range: the default
      {20, true, 255, 255},   {99, true, 255, 255},                           // high contrast: opaque
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.percent << (c.highContrast ? " high contrast" : ""));
    const WidgetAlpha a = widgetAlphaFor(c.percent, c.highContrast);
    EXPECT_EQ(a.rows, c.rows);
    EXPECT_EQ(a.text, c.text);
    // Under the constant alpha the rows' brush shows at the rows' alpha, within rounding.
    EXPECT_NEAR(a.rowBrush * a.text / 255.0, a.rows, 0.5);
  }
  for (int percent = 0; percent <= 110; ++percent) {
    const WidgetAlpha a = widgetAlphaFor(percent, false);
    EXPECT_GE(a.text, a.rows) << percent;
    if (percent >= 20 && percent <= 100) {
      EXPECT_NEAR(opacityAlpha(percent), percent * 2.55, 1.0) << percent;
    }
  }
  // At the default the brush stays opaque: the rows' pixels are the ones they always were.
  EXPECT_EQ(widgetAlphaFor(kDefaultOpacity, false).rowBrush, 255);
}

TEST(Palette, TextScaleIsAPercentFromOneHundredToTwoHundredTwentyFive) {
  const struct {
    uint32_t value;
    bool found;
    int scale;
  } cases[] = {{100, true, 100}, {125, true, 125}, {225, true, 225},  {226, true, 100},
               {99, true, 100},  {0, true, 100},   {150, false, 100}, {0xFFFFFFFF, true, 100}};
  for (const auto& c : cases) EXPECT_EQ(textScaleOf(c.value, c.found), c.scale) << c.value;
}

}  // namespace
