#include "items/RowOrder.h"

RowOrder rowOrderFromWord(std::string_view word) { return word == "soon" ? RowOrder::Soon : RowOrder::File; }

const char* rowOrderWord(RowOrder order) { return order == RowOrder::Soon ? "soon" : "file"; }

std::vector<int> arrangeRows(const ItemRecord*, const ItemOptions*, int stored, RowOrder, int, int rows) {
  std::vector<int> shown;
  for (int i = 0; i < stored && static_cast<int>(shown.size()) < rows; ++i) shown.push_back(i);
  return shown;
}
