#include "display/LayoutMetrics.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "framework/Gbk.h"

namespace {

// The integer is widened to double and multiplied by the float constant's exact value; the product
// is exact for every size that occurs, and the cast truncates toward zero.
int scaleTruncated(int fontSize, float factor) {
  return static_cast<int>(static_cast<double>(fontSize) * static_cast<double>(factor));
}

}  // namespace

int scaledFontSize(int fontSize, int dpi, int textScale) {
  if (dpi <= 0) dpi = kBaseDpi;
  // 64-bit, so that no size the settings file can hold overflows on the way. At 100 % the factor
  // cancels: the same em as without it.
  const int64_t scaled = (int64_t{fontSize} * dpi * textScale * 2 + kBaseDpi * 100) / (2 * kBaseDpi * 100);
  return static_cast<int>(std::clamp<int64_t>(scaled, INT32_MIN, INT32_MAX));
}

int marginFor(int fontSize) { return scaleTruncated(fontSize, 0.3f); }

int gapFor(int fontSize) { return scaleTruncated(fontSize, 0.65f); }

int halfGapFor(int gap) { return gap / 2; }

int widestTextIndex(const TextSize* sizes, int count) {
  int best = 0;
  for (int i = 1; i < count; ++i) {
    if (sizes[i].width > sizes[best].width) best = i;
  }
  return best;
}

LayoutMetrics computeLayoutMetrics(int emSize, int itemCount, TextSize widestName, TextSize word, TextSize number,
                                   int lineHeight) {
  LayoutMetrics m;
  m.emSize = emSize;
  m.margin = marginFor(emSize);
  m.gap = gapFor(emSize);
  m.halfGap = halfGapFor(m.gap);
  // The name's outlines may be short ("一", "----"); the row must still hold a whole line of the face
  // below its top inset, or the texts of one row reach into the next. With ordinary names the outlines
  // and the two insets are already taller.
  m.rowHeight = std::max(widestName.height + 2 * m.halfGap, m.halfGap + lineHeight);
  m.nameColumnWidth = m.gap + widestName.width;
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

int rowTextY(const LayoutMetrics& metrics, int row) { return metrics.halfGap + row * metrics.rowHeight; }

int numberOffsetFor(int numberWidth, int measuredWidth) {
  return static_cast<int>(static_cast<float>(numberWidth - measuredWidth) * 0.5f);
}

int grabWidthFor(int windowWidth) { return std::min((windowWidth + 2) / 3, 48); }

bool isPlaceReachable(int left, int top, int windowWidth, int firstRowHeight, const PixelRect* workAreas, int count) {
  // 64-bit: a stored place may be anywhere an int reaches.
  const int64_t right = int64_t{left} + windowWidth;
  const int64_t bottom = int64_t{top} + std::max(firstRowHeight, 1);
  const int64_t needed = grabWidthFor(windowWidth);
  for (int i = 0; i < count; ++i) {
    const PixelRect& area = workAreas[i];
    if (top < area.top || bottom > area.bottom) continue;
    if (std::min<int64_t>(right, area.right) - std::max(left, area.left) >= needed) return true;
  }
  return false;
}

PixelRect centredIn(const PixelRect& area, int width, int height) {
  const int left = area.left + (area.right - area.left - width) / 2;
  const int top = area.top + (area.bottom - area.top - height) / 2;
  return {left, top, left + width, top + height};
}

int clampDpi(int dpi) { return std::clamp(dpi, kMinDpi, kMaxDpi); }

SurfaceLimit surfaceLimitFor(int virtualScreenWidth, int virtualScreenHeight) {
  // 64-bit on the way: a screen reported absurdly large still gives a limit an int holds.
  auto twice = [](int extent, int fallback) {
    return static_cast<int>(std::min<int64_t>(2 * int64_t{extent > 0 ? extent : fallback}, INT32_MAX));
  };
  return {twice(virtualScreenWidth, 640), twice(virtualScreenHeight, 480)};
}

int emWithin(const LayoutMetrics& m, int nameWidth, const SurfaceLimit& limit) {
  const int64_t fixedWidth = int64_t{m.windowWidth} - nameWidth;
  if (m.emSize <= 1 || (m.windowHeight <= limit.height && fixedWidth <= limit.width)) return m.emSize;
  double share = 1.0;
  if (m.windowHeight > limit.height) share = std::min(share, static_cast<double>(limit.height) / m.windowHeight);
  if (fixedWidth > limit.width)
    share = std::min(share, static_cast<double>(limit.width) / static_cast<double>(fixedWidth));
  const int smaller = static_cast<int>(m.emSize * share);
  return std::clamp(smaller, 1, m.emSize - 1);
}

LayoutMetrics nameColumnWithin(const LayoutMetrics& metrics, int nameWidth, const SurfaceLimit& limit) {
  const int64_t room = int64_t{limit.width} - (int64_t{metrics.windowWidth} - nameWidth);
  if (metrics.windowWidth <= limit.width || nameWidth <= room) return metrics;
  LayoutMetrics m = metrics;
  m.nameRoom = static_cast<int>(std::max<int64_t>(room, 0));
  m.nameColumnWidth = m.gap + m.nameRoom;
  m.windowWidth = metrics.windowWidth - nameWidth + m.nameRoom;
  return m;
}

std::string cutToWidth(std::string_view text, int room, const std::function<int(std::string_view)>& widthOf) {
  if (widthOf(text) <= room) return std::string(text);
  static const char kEllipsis[] = "\xA1\xAD";  // "…" in GBK
  // Character boundaries, then the longest prefix that fits with the ellipsis: widths grow with the
  // prefix, so a binary search over the boundaries finds it.
  std::vector<size_t> ends = {0};
  for (size_t i = 0; i < text.size(); i += gbk::charWidth(text, i)) ends.push_back(i + gbk::charWidth(text, i));
  auto withEllipsis = [&](size_t end) { return std::string(text.substr(0, end)) + kEllipsis; };
  if (widthOf(withEllipsis(0)) > room) return std::string();
  size_t low = 0, high = ends.size() - 1;  // ends[low] fits; ends[high] is the whole text, which does not
  while (high - low > 1) {
    const size_t middle = (low + high) / 2;
    if (widthOf(withEllipsis(ends[middle])) <= room)
      low = middle;
    else
      high = middle;
  }
  return withEllipsis(ends[low]);
}

PixelRect centredGrabbable(const PixelRect& area, int width, int height) {
  PixelRect place = centredIn(area, width, height);
  if (place.top < area.top) {
    place.bottom += area.top - place.top;
    place.top = area.top;
  }
  return place;
}
