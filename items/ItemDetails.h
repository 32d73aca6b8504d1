// What a record's date text means at a given moment, told in full: the day its count refers to, that
// day's lunar date, the next anniversary of a past date, or why the text is no date. The widget's
// counts, its row tooltips and the --list output are all made from it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/DateText.h"
#include "core/LunarCalendar.h"
#include "framework/Time.h"
#include "items/ItemRecord.h"

struct ItemDetails {
  DayKind kind = Unreadable;
  int days = 0;  // whole local calendar days from now's date to date, never negative
  DateProblem problem = DateProblem::NotADate;
  WrittenDate written;
  CivilDate date;  // the day the count refers to; meaningful unless kind is Unreadable
  bool hasLunar = false;
  LunarDate lunar;  // date's lunar date, when it lies in lunar 1900..2100
  // For a one-off date that has passed: its next anniversary, the how-manieth, and the days to it.
  bool hasAnniversary = false;
  int anniversary = 0;
  int anniversaryDays = 0;
};

ItemDetails itemDetails(std::string_view dateText, CTime now);

// The tooltip of a row (GBK, lines joined by "\r\n"):
//   2027年9月15日 星期三 / 农历八月十五 / 第3个周年还有 45 天 (a yearly date: 每年)
// or, for a text that is no date, 无法识别的日期：<text> and what is wrong with it.
std::string itemTipText(std::string_view dateText, const ItemDetails& details);

// The fields of one line of the listing (GBK): name (a tab in it made a space), kind (upcoming,
// today, past, unreadable), days, date as YYYY-MM-DD and its lunar date; the unknown fields of an
// unreadable date are empty. Each is converted on its own, so that a broken character stays in its
// column.
std::vector<std::string> itemListFields(std::string_view name, const ItemDetails& details);
// The same fields joined by tabs (GBK, no line break).
std::string itemListLine(std::string_view name, const ItemDetails& details);
