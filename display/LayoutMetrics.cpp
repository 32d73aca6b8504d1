#include "display/LayoutMetrics.h"

#include <cstring>

#include "items/ItemRecord.h"

namespace {

// The integer is widened to double and multiplied by the float constant's exact value; the product
// is exact for every size that occurs, and the cast truncates toward zero.
int scaleTruncated(int fontSize, float factor) {
  return static_cast<int>(static_cast<double>(fontSize) * static_cast<double>(factor));
}

}  // namespace

int marginFor(int fontSize) {
  return scaleTruncated(fontSize, 0.3f);
}

int gapFor(int fontSize) {
  return scaleTruncated(fontSize, 0.65f);
}

int halfGapFor(int gap) {
  return gap / 2;
}

int longestNameIndex(const ItemRecord* records, int count) {
  int best = 0;
  size_t bestLength = 0;
  for (int i = 0; i < count; ++i) {
    // A record's name may fill its whole field; never read past it.
    const size_t length = strnlen(records[i].name, sizeof(records[i].name));
    if (length > bestLength) {
      best = i;
      bestLength = length;
    }
  }
  return best;
}

LayoutMetrics computeLayoutMetrics(int fontSize, int itemCount, TextSize longestName, TextSize word, TextSize number) {
  LayoutMetrics m;
  m.margin = marginFor(fontSize);
  m.gap = gapFor(fontSize);
  m.halfGap = halfGapFor(m.gap);
  m.rowHeight = longestName.height + 2 * m.halfGap;
  m.nameColumnWidth = m.gap + longestName.width;
  m.wordWidth = word.width;
  m.numberWidth = number.width;
  // No term for the unit: it is drawn in the room the three gaps leave right of the number column.
  m.windowWidth = m.margin + 3 * m.gap + m.numberWidth + m.wordWidth + m.nameColumnWidth;
  m.windowHeight = m.rowHeight * itemCount;
  return m;
}

TextColumns textColumnsOf(const LayoutMetrics& metrics) {
  TextColumns c;
  c.nameX = metrics.margin + metrics.halfGap;
  c.wordX = c.nameX + metrics.nameColumnWidth;
  c.numberX = c.wordX + metrics.wordWidth;
  c.unitX = c.numberX + metrics.numberWidth;
  return c;
}

int rowTextY(const LayoutMetrics& metrics, int row) {
  return metrics.halfGap + row * metrics.rowHeight;
}

int numberOffsetFor(int numberWidth, int measuredWidth) {
  return static_cast<int>(static_cast<float>(numberWidth - measuredWidth) * 0.5f);
}
