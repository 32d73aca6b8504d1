#include "items/RowOrder.h"

#include <algorithm>

namespace {

// The group of a row in the nearest-first order; within a group rows go by days (then file order).
int group(const ItemRecord& record) {
  switch (record.kind) {
    case Today:
      return 0;
    case Upcoming:
      return 1;
    case Past:
      return 2;
    default:
      return 3;
  }
}

}  // namespace

std::vector<int> arrangeRows(const ItemRecord* records, const ItemOptions* options, int stored, RowOrder order,
                             int within, int rows) {
  std::vector<int> pinned, rest;
  for (int i = 0; i < stored; ++i) {
    if (options && options[i].hidden) continue;
    if (options && options[i].pinned) {
      pinned.push_back(i);
      continue;
    }
    const ItemRecord& record = records[i];
    if (within > 0 && (record.kind == Unreadable || (record.kind != Today && record.days > within))) continue;
    rest.push_back(i);
  }
  if (order == RowOrder::Soon) {
    std::stable_sort(rest.begin(), rest.end(), [records](int a, int b) {
      const int ga = group(records[a]), gb = group(records[b]);
      if (ga != gb) return ga < gb;
      return ga == 1 || ga == 2 ? records[a].days < records[b].days : false;
    });
  }
  pinned.insert(pinned.end(), rest.begin(), rest.end());
  const int most = std::min(std::max(rows, 0), kMaxRows);
  if (static_cast<int>(pinned.size()) > most) pinned.resize(most);
  return pinned;
}
