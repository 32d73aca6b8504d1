// Which lines the widget draws, and in which order: the settings rows, order and within, applied to
// the counted item table. The file is never rewritten by sorting.
#pragma once
#include <vector>

#include "core/Settings.h"
#include "items/ItemOptions.h"
#include "items/ItemRecord.h"

// Indices of records (0..stored-1, counted: days and kind set) to draw, in order, at most rows:
// hidden lines (隐藏) left out; pinned lines (置顶) first, in file order; then, for File, the rest in
// file order; for Soon, today's, then upcoming by days left, then past by days since, then
// unreadable ones, ties in file order. within > 0 keeps only today's and those whose days left or
// since are at most within; pinned lines are always kept, unreadable ones are not. Never more than
// kMaxRows. options may be null (no line has options).
std::vector<int> arrangeRows(const ItemRecord* records, const ItemOptions* options, int stored, RowOrder order,
                             int within, int rows);
