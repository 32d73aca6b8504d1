// The 24 solar terms (节气), computed: the day in China Standard Time (UTC+8) on which the sun's
// apparent longitude reaches each multiple of 15 degrees. No window code; exact to the day for the
// years 1900 to 2100 (tests/native/SolarTermsTest.cpp compares every one with a reference).
#pragma once
#include <string_view>

#include "framework/CivilDate.h"

constexpr int kSolarTermCount = 24;

// The term's index in the calendar year, 0 小寒 .. 23 冬至 (term k falls in month k / 2 + 1); -1 for
// any other GBK text.
int solarTermIndex(std::string_view name);

// The term's name, GBK.
const char* solarTermName(int index);

// The day of term index in year (any year; exact within 1900..2100).
CivilDate solarTermDate(int year, int index);
