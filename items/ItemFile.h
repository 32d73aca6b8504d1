// Reading the item file into the item table.
#pragma once
#include <string_view>

#include "core/Core.h"
#include "core/TextFile.h"
#include "items/ItemOptions.h"
#include "items/ItemRecord.h"

// The most bytes one load reads, whatever the file holds (a huge file, an endless device): as much as
// the editor can open, so that everything the editor shows is read.
constexpr size_t kItemReadBudget = kMaxTextFileBytes;

enum class ItemFileStatus { Loaded, Missing, Unreadable, TooLarge };

// How a load went; for an existing file that could not be read, why.
struct ItemFileLoad {
  ItemFileStatus status = ItemFileStatus::Loaded;
  FileError error = FileError::None;
  int code = 0;  // errno, or the Windows error code, behind error
  explicit operator bool() const { return status == ItemFileStatus::Loaded; }
  // The reason in words for the user (GBK), e.g. "文件被其他程序占用".
  CString reason() const { return fileErrorText(error, code); }
};

// Reads path into table (kTableRecords records) in one bounded read: the encoding is decided from the
// first bytes (detectEncoding), then the lines are cut at line feeds (a CR before the LF goes with
// it). A line that is empty or holds ";" anywhere is skipped, every other line becomes the next record
// (name = field 0 at ",", date text as dateFieldOfLine cuts it), cut to its field at a character
// boundary (a date too long for its field by the rule in ItemFile.cpp); records past the table's
// end are not stored. Text in another encoding is converted to GBK. itemCount becomes the number of
// records shown in file order by default (at most kDefaultRows). A file that still goes on at the read budget with the
// table not yet full is TooLarge. When the file is missing, too large or cannot be read, table and itemCount keep what
// they held and the result says why. storedCount, when given, receives the number of records stored (all of them, not
// only those shown). options, when given, is an array of kTableRecords parallel to table that receives each record's
// options (and empty options past the last record); it too keeps what it held when the file cannot be read.
ItemFileLoad loadItemFile(CCore& core, const FilePath& path, ItemRecord* table, int& itemCount,
                          int* storedCount = nullptr, ItemOptions* options = nullptr);

// The same for a whole file's bytes in memory; returns the number of records stored.
int readItemBytes(CCore& core, std::string_view bytes, ItemRecord* table, ItemOptions* options = nullptr);

// One line (GBK, without its line break) as a record: the name and date text fields are written, the
// rest of the record is left alone; options, when given, receives the fields after the date. False
// for a line that is skipped.
bool parseItemLine(CCore& core, const CString& line, ItemRecord& record, ItemOptions* options = nullptr);
