// The process-wide state, alive from the widget's initialisation to its destruction.
#pragma once
#include "framework/StdioFile.h"
#include "framework/String.h"
#include "items/ItemRecord.h"
#include "items/RowOrder.h"

#include <vector>

class CCore;
struct ItemOptions;

extern CCore* core;
extern ItemRecord* ItemTable;  // one block of kTableRecords records
extern int itemCount;          // records shown, 0 to kShownItems
// The options of each record of ItemTable, one block of kTableRecords beside it (new[]/delete[]).
extern ItemOptions* ItemOptionsTable;
extern int fontSize;
extern CString fontFace;
// Paths in UTF-8, whole whatever characters the folders hold; UTF-16 where they meet Windows.
extern FilePath appPath;
extern FilePath itemFilePath;

constexpr int kDefaultFontSize = 20;
constexpr int kMinFontSize = 10;
constexpr int kMaxFontSize = 200;

// The stored font size when it is one the options dialog could have accepted, else the default: a
// value out of range comes from a damaged or hand-edited settings file.
inline int fontSizeOrDefault(int stored) {
  return stored >= kMinFontSize && stored <= kMaxFontSize ? stored : kDefaultFontSize;
}

// Which lines the widget draws: the settings rows, order and within (INI "rows", "order", "within"),
// all records stored (the file's counted lines, not only those drawn), and the record of each drawn
// row. rowRecords empty: rows 0..itemCount-1 are records 0..itemCount-1. nothingSoonRow: within
// leaves no line, and the one row drawn says so.
extern int rowsSetting;
extern RowOrder rowOrder;
extern int withinDays;
extern int storedCount;
extern std::vector<int> rowRecords;
extern bool nothingSoonRow;

inline int recordOfRow(int row) {
  return row >= 0 && row < static_cast<int>(rowRecords.size()) ? rowRecords[row] : row;
}
