// The named yearly date forms of core/DateText.h (a solar term, 除夕, the nth or last weekday of a
// month): how they read and on which day of a year they fall. No window code; built for size, since
// a list reads them once a day.
#pragma once
#include <string_view>

#include "core/DateText.h"
#include "framework/CivilDate.h"

// Reads text (GBK, spaces around already gone) as a named form; false for any other text.
bool readNamedDate(std::string_view text, WrittenDate* written);

// text without ASCII and full-width spaces around it.
std::string_view trimAllSpaces(std::string_view text);

// The solar date of the named form's occurrence in year (for 除夕 the eve that falls in year); false
// when it has none there.
bool namedDateIn(const WrittenDate& written, int year, CivilDate* date);
