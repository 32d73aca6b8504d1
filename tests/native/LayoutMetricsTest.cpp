#include "display/LayoutMetrics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "items/ItemRecord.h"

namespace {

// 0.3f and 0.65f as exact fractions of their bit patterns (0x3E99999A, 0x3F266666), so the expected
// values come from integer arithmetic and not from the float path under test.
int exactMargin(int size) {
  return static_cast<int>(int64_t{size} * 0x99999A / (int64_t{1} << 25));
}
int exactGap(int size) {
  return static_cast<int>(int64_t{size} * 0xA66666 / (int64_t{1} << 24));
}

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

std::vector<ItemRecord> recordsNamed(std::initializer_list<const char*> names) {
  std::vector<ItemRecord> records(kShownItems);
  std::memset(records.data(), 0, records.size() * sizeof(ItemRecord));
  size_t i = 0;
  for (const char* name : names)
    std::memcpy(records[i++].name, name, std::strlen(name) + 1);
  return records;
}

TEST(LayoutMetrics, LongestNameIsChosenByByteLength) {
  struct Case {
    std::initializer_list<const char*> names;
    int count;
    int expected;
  };
  const Case cases[] = {
      {{"abc", "abcd", "ab"}, 3, 1},
      {{"abcd", "wxyz", "WWWW"}, 3, 0},  // ties keep the first, however wide the later ones render
      {{"Abcdefg", "结婚纪念"}, 2, 1},   // four Chinese characters (8 bytes) beat 7 letters
      {{"", "", ""}, 3, 0},
      {{"a", "bb", "ccc"}, 0, 0},     // no rows: the first slot
      {{"a", "bb", "cccccc"}, 2, 1},  // rows past the count are not looked at
      {{"x", "yy", "zzz", "wwww", "vvvvv"}, 5, 4},
  };
  for (const Case& c : cases) {
    std::vector<ItemRecord> records = recordsNamed(c.names);
    EXPECT_EQ(longestNameIndex(records.data(), c.count), c.expected) << "first name " << *c.names.begin();
  }
}

TEST(LayoutMetrics, FullNameFieldIsMeasuredWithinTheRecord) {
  std::vector<ItemRecord> records = recordsNamed({"short"});
  std::memset(records[1].name, 'x', kNameSize - 1);
  records[1].name[kNameSize - 1] = '\0';
  EXPECT_EQ(longestNameIndex(records.data(), 2), 1);
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
    const LayoutMetrics m = computeLayoutMetrics(c.size, c.items, name, word, number);
    EXPECT_EQ(m.rowHeight, 21 + 2 * m.halfGap);
    EXPECT_EQ(m.nameColumnWidth, m.gap + 100);
    EXPECT_EQ(m.wordWidth, 41);
    EXPECT_EQ(m.numberWidth, 55);
    EXPECT_EQ(m.windowWidth, c.width);
    EXPECT_EQ(m.windowHeight, c.height);
  }
}

TEST(LayoutMetrics, ColumnsAndRowsStartAfterTheStripAndTheInsets) {
  const LayoutMetrics m = computeLayoutMetrics(20, 5, {100, 21}, {41, 20}, {55, 18});
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

}  // namespace
