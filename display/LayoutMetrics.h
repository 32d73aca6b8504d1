// The widget's metrics, all in pixels, worked out from the font size and the measured texts.
// Window-free: the widget measures the texts and hands the sizes in, the arithmetic lives here.
#pragma once

struct ItemRecord;

struct TextSize {
  int width = 0;
  int height = 0;
};

struct LayoutMetrics {
  int margin = 0;
  int gap = 0;
  int halfGap = 0;
  int rowHeight = 0;
  int nameColumnWidth = 0;
  int wordWidth = 0;
  int numberWidth = 0;
  int windowWidth = 0;
  int windowHeight = 0;
};

// The left edge of each text column of a row.
struct TextColumns {
  int nameX = 0;
  int wordX = 0;
  int numberX = 0;
  int unitX = 0;
};

// fontSize x 0.3f and x 0.65f, truncated toward zero. The factors are single-precision constants on
// purpose: 0.65f lies just below 0.65, so every multiple of 20 gets a gap one smaller.
int marginFor(int fontSize);
int gapFor(int fontSize);
int halfGapFor(int gap);

// Index of the first of the first count records whose name has the most bytes (a GBK double-byte
// character counts two); 0 when count is 0 or every name is empty. Rendered width plays no part.
int longestNameIndex(const ItemRecord* records, int count);

// Every metric, from the font size, the number of rows and the three measured texts: the longest
// name, "还有" and "99999". Only the longest name's height enters.
LayoutMetrics computeLayoutMetrics(int fontSize, int itemCount, TextSize longestName, TextSize word, TextSize number);

TextColumns textColumnsOf(const LayoutMetrics& metrics);

// Top of the layout box of row's texts.
int rowTextY(const LayoutMetrics& metrics, int row);

// Shift that centres a number measured measuredWidth wide in the number column: half the difference,
// as a float, truncated toward zero, so an odd spare pixel lies to the number's right and a number
// wider than the column reaches left by half its excess.
int numberOffsetFor(int numberWidth, int measuredWidth);
