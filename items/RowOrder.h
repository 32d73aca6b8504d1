// Which lines the widget draws, and in which order: the settings rows, order and within, applied to
// the counted item table. The file is never rewritten by sorting.
#pragma once
#include <string_view>
#include <vector>

#include "items/ItemOptions.h"
#include "items/ItemRecord.h"

enum class RowOrder { File, Soon };  // INI words "file" (文件顺序) and "soon" (最近的在前)

constexpr int kMinRows = 1;
constexpr int kMaxRows = 20;
constexpr int kDefaultRows = 5;
constexpr int kMaxWithinDays = 36600;  // within: 0 (all) .. 36600 days

// Stored settings when the options dialog could have accepted them, else their defaults, as the
// font size is treated: a value out of range comes from a damaged or hand-edited settings file.
inline int rowsOrDefault(int stored) { return stored >= kMinRows && stored <= kMaxRows ? stored : kDefaultRows; }
inline int withinOrDefault(int stored) { return stored >= 0 && stored <= kMaxWithinDays ? stored : 0; }
// "soon" in any letter case is Soon, anything else (the default included) File.
RowOrder rowOrderFromWord(std::string_view word);
const char* rowOrderWord(RowOrder order);

// Indices of records (0..stored-1, counted: days and kind set) to draw, in order, at most rows:
// hidden lines (隐藏) left out; pinned lines (置顶) first, in file order; then, for File, the rest in
// file order; for Soon, today's, then upcoming by days left, then past by days since, then
// unreadable ones, ties in file order. within > 0 keeps only today's and those whose days left or
// since are at most within; pinned lines are always kept, unreadable ones are not. Never more than
// kMaxRows. options may be null (no line has options).
std::vector<int> arrangeRows(const ItemRecord* records, const ItemOptions* options, int stored, RowOrder order,
                             int within, int rows);
