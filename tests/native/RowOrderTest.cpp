// Which rows the widget draws, in which order: hidden and pinned lines, nearest first, the within
// filter and the number of rows. Chinese literals compile to GBK.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "items/RowOrder.h"

namespace {

// One line of the table: a name, its counted kind and days, and its options.
struct Line {
  const char* name;
  DayKind kind;
  int days;
  const char* options;
};

std::string arranged(const std::vector<Line>& lines, RowOrder order, int within, int rows) {
  std::vector<ItemRecord> records(lines.size());
  std::vector<ItemOptions> options;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::strcpy(records[i].name, lines[i].name);
    records[i].kind = lines[i].kind;
    records[i].days = lines[i].days;
    options.push_back(parseItemOptions(lines[i].options));
  }
  std::string names;
  for (int i : arrangeRows(records.data(), options.data(), static_cast<int>(lines.size()), order, within, rows))
    names += std::string(names.empty() ? "" : " ") + records[i].name;
  return names;
}

const std::vector<Line> kList = {
    {"a", Past, 12000, ""},          {"b", Upcoming, 30, ""}, {"c", Today, 0, ""},      {"d", Upcoming, 3, "置顶"},
    {"e", Upcoming, 3, ""},          {"f", Past, 2, ""},      {"g", Unreadable, 0, ""}, {"h", Upcoming, 1, "隐藏"},
    {"i", Past, 400, "置顶"},        {"j", Upcoming, 30, ""}, {"k", Today, 1000, ""},   {"l", Upcoming, 3, ""},
    {"m", Upcoming, 2, "置顶,隐藏"},
};

TEST(RowOrderTest, OrdersFiltersAndCuts) {
  const struct {
    RowOrder order;
    int within, rows;
    const char* names;
  } cases[] = {
      // File order: pinned lines first, then the rest as the file has them; hidden ones never.
      {RowOrder::File, 0, 20, "d i a b c e f g j k l"},
      {RowOrder::File, 0, 5, "d i a b c"},
      // Nearest first: pinned, today's (the milestone day "1000 天" too), upcoming by days left, past
      // by days since, unreadable last; ties in file order.
      {RowOrder::Soon, 0, 20, "d i c k e l b j f a g"},
      {RowOrder::Soon, 0, 4, "d i c k"},
      // Within N days: today's and those at most N days away either way; pinned ones always.
      {RowOrder::Soon, 3, 20, "d i c k e l f"},
      {RowOrder::Soon, 30, 20, "d i c k e l b j f"},
      {RowOrder::File, 3, 20, "d i c e f k l"},
      {RowOrder::File, 0, 1, "d"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(arranged(kList, c.order, c.within, c.rows), c.names) << static_cast<int>(c.order) << " " << c.within;
}

TEST(RowOrderTest, NothingWithinLeavesNoRow) {
  const std::vector<Line> far = {{"a", Upcoming, 40, ""}, {"b", Past, 40, ""}, {"c", Upcoming, 1, "隐藏"}};
  EXPECT_EQ(arranged(far, RowOrder::Soon, 30, 5), "");
  EXPECT_EQ(arranged(far, RowOrder::Soon, 0, 5), "a b");
  EXPECT_EQ(arranged({}, RowOrder::File, 0, 5), "");
  // Ties stay in file order however many there are (a sort that is not stable mixes 17).
  std::vector<Line> tied;
  std::string names;
  static const char* const kNames[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i",
                                       "j", "k", "l", "m", "n", "o", "p", "q"};
  for (const char* name : kNames) {
    tied.push_back({name, Upcoming, 7, ""});
    names += std::string(names.empty() ? "" : " ") + name;
  }
  EXPECT_EQ(arranged(tied, RowOrder::Soon, 0, 20), names);
}

TEST(RowOrderTest, WithoutOptionsTheFirstRowsInFileOrder) {
  std::vector<ItemRecord> records(7);
  EXPECT_EQ(arrangeRows(records.data(), nullptr, 7, RowOrder::File, 0, kDefaultRows),
            (std::vector<int>{0, 1, 2, 3, 4}));
}

}  // namespace
