// The checks the anniversaries editor does before it saves, without any window code: the lines the
// item reader would not read as the user meant, and the one question put about them.
#pragma once
#include <vector>

#include "framework/String.h"
#include "framework/Time.h"
#include "items/RowOrder.h"

// The lines of text (GBK, as the item file will hold it) that the widget may show but whose date
// text it cannot read: the first `shown` lines that the item reader counts (empty lines and lines
// holding ";" are skipped), split and cut the way the reader splits and cuts them, checked against
// now's local date. Each line is returned without its line break.
std::vector<CString> unreadableShownLines(const CString& text, CTime now, int shown = kDefaultRows);

// The question put to the user about those lines; long lines are cut for the box.
CString unreadableDatesQuestion(const std::vector<CString>& lines);

// The lines of text (GBK) that the item reader stores (all of them, not only those shown) whose
// options after the date hold one it does not know or more than it reads (see items/ItemOptions.h),
// without line breaks.
std::vector<CString> unknownOptionLines(const CString& text);

// The stored lines of text (GBK) with two different repeat options (每周,每年), of which only the
// last counts.
std::vector<CString> conflictingRepeatLines(const CString& text);

// The one question the editor puts before saving, listing the lines with unreadable dates, the lines
// with unknown options and those with conflicting repeats; empty when all lists are. With unreadable
// dates only it is unreadableDatesQuestion's.
CString itemCheckQuestion(const std::vector<CString>& unreadableDates, const std::vector<CString>& unknownOptions,
                          const std::vector<CString>& conflictingRepeats = {});
