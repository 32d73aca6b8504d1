// The process-wide state, alive from the widget's initialisation to its destruction.
#pragma once
#include "core/Settings.h"
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
// The settings in effect: read at start, changed by the options dialog and by dragging the widget.
extern Settings settings;
extern CString fontFace;
// Paths in UTF-8, whole whatever characters the folders hold; UTF-16 where they meet Windows.
extern FilePath appPath;
extern FilePath itemFilePath;

// Which lines the widget draws: the settings rows, order and within (INI "rows", "order", "within"),
// all records stored (the file's counted lines, not only those drawn), and the record of each drawn
// row. rowRecords empty: rows 0..itemCount-1 are records 0..itemCount-1. nothingSoonRow: within
// leaves no line, and the one row drawn says so.
extern int storedCount;
extern std::vector<int> rowRecords;
extern bool nothingSoonRow;

inline int recordOfRow(int row) {
  return row >= 0 && row < static_cast<int>(rowRecords.size()) ? rowRecords[row] : row;
}
