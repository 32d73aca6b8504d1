// Reading the item file into the item table.
#pragma once
#include "core/Core.h"
#include "items/ItemRecord.h"

// Reads path into table (kTableRecords records): a line that is empty or holds ";" is skipped, every
// other line becomes the next record (name = field 0, date text = field 1 at ","), cut to its field
// at a character boundary; records past the table's end are not stored. itemCount becomes the number
// of records shown. A UTF-8 file is converted to GBK. When the file is missing or cannot be opened,
// table and itemCount keep what they held and the result is false.
bool loadItemFile(CCore& core, const FilePath& path, ItemRecord* table, int& itemCount);

// One line (GBK, without its line break) as a record: the name and date text fields are written, the
// rest of the record is left alone. False for a line that is skipped.
bool parseItemLine(CCore& core, const CString& line, ItemRecord& record);
