// What the dialogs make of the user's input, without any window code: the font size typed in the
// options dialog, and the conversions the anniversaries editor does (its checks of the lines are in
// items/ItemCheck.h).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "framework/String.h"
#include "framework/Time.h"

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

// A text whose every line break is a bare line feed (some line feed, no carriage return anywhere).
// Such a file is shown with CR LF, which the multi-line edit box needs to break lines, and saved with
// bare line feeds again. Both conversions work on GBK or UTF-8 bytes and UTF-16 text alike.
bool hasBareLineFeedsOnly(std::string_view bytes);
std::string lineFeedsToCrLf(std::string_view bytes);
std::string crLfToLineFeeds(std::string_view bytes);
bool hasBareLineFeedsOnly(std::u16string_view text);
std::u16string lineFeedsToCrLf(std::u16string_view text);
std::u16string crLfToLineFeeds(std::u16string_view text);
