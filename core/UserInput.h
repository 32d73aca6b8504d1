// What the dialogs make of the user's input, without any window code: the font size typed in the
// options dialog, and the checks and conversions the anniversaries editor does before it saves.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "framework/String.h"
#include "framework/Time.h"
#include "items/ItemRecord.h"

// Reads text as atoi does: leading white space, an optional sign, then decimal digits up to the first
// other character; a text without leading digits gives 0. False when the digits spell a number that
// does not fit in an int (atoi's result would then be meaningless); value is untouched in that case.
bool parseIntLikeAtoi(std::string_view text, int* value);

// Turns every full-width comma into the ASCII comma at which the item reader splits a line; the GBK
// text is searched character by character, so the bytes A3 AC of two neighbouring characters are not
// a comma. Returns the number of commas replaced.
int replaceFullWidthCommas(CString& text);
int replaceFullWidthCommas(std::wstring& text);
int replaceFullWidthCommas(std::u16string& text);

// The lines of text (GBK, as the item file will hold it) that the widget may show but whose date
// text it cannot read: the first `shown` lines that the item reader counts (empty lines and lines
// holding ";" are skipped), split and cut the way the reader splits and cuts them, checked against
// now's local date. Each line is returned without its line break.
std::vector<CString> unreadableShownLines(const CString& text, CTime now, int shown = kShownItems);

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
CString itemCheckQuestion(const std::vector<CString>& unreadableDates,
                          const std::vector<CString>& unknownOptions,
                          const std::vector<CString>& conflictingRepeats = {});

// A text whose every line break is a bare line feed (some line feed, no carriage return anywhere).
// Such a file is shown with CR LF, which the multi-line edit box needs to break lines, and saved with
// bare line feeds again. Both conversions work on GBK or UTF-8 bytes and UTF-16 text alike.
bool hasBareLineFeedsOnly(std::string_view bytes);
std::string lineFeedsToCrLf(std::string_view bytes);
std::string crLfToLineFeeds(std::string_view bytes);
bool hasBareLineFeedsOnly(std::u16string_view text);
std::u16string lineFeedsToCrLf(std::u16string_view text);
std::u16string crLfToLineFeeds(std::u16string_view text);
