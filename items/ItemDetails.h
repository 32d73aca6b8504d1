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
#include "items/ItemOptions.h"
#include "items/ItemRecord.h"

struct ItemDetails {
  DayKind kind = Unreadable;
  int days = 0;  // whole local calendar days from now's date to date, never negative (milestoneToday below)
  DateProblem problem = DateProblem::NotADate;
  WrittenDate written;
  CivilDate date;  // the day the count refers to; meaningful unless kind is Unreadable
  bool hasLunar = false;
  LunarDate lunar;  // date's lunar date, when it lies in lunar 1900..2100
  // For a one-off date that has passed: its next anniversary, the how-manieth, and the days to it.
  bool hasAnniversary = false;
  int anniversary = 0;
  int anniversaryDays = 0;

  // What the line's options add (items/Occurrence.h has the rules).
  Repeat repeat = Repeat::None;  // the rule in effect; None also for a date without a year
  int everyDays = 0;
  bool countsDown = false;  // kind, days and date are those of the next occurrence (or the first date)
  // O: the next occurrence on or after today (a one-off date has its own day only).
  bool hasOccurrence = false;
  CivilDate occurrence;
  // On a milestone day: kind is Today and days is the milestone's number, the row's "1000 天".
  int milestoneToday = 0;
  // The next milestone after today (today's is milestoneToday), its day and the days left.
  bool hasNextMilestone = false;
  int nextMilestone = 0;
  CivilDate nextMilestoneDate;
  int nextMilestoneDays = 0;
  // The next day a reminder falls on, on or after today (--list column 7).
  bool hasReminder = false;
  CivilDate reminder;
  // 工作日: days counts the working days between today and date instead; noDataYear is the first year
  // of that range whose holiday arrangement is unknown (counted by its weekends), 0 when none is.
  bool workdays = false;
  int noDataYear = 0;
  // 岁 or 周年 on a date with a year: the years reached on its next yearly occurrence on or after
  // today (that day's own on the day itself; 29 February and lunar dates as 每年 walks them); 0, and
  // no label, before the first one.
  YearsLabel yearsLabel = YearsLabel::None;
  int years = 0;
  int yearsDays = 0;  // days from today to that occurrence
};

struct DateRule;

// Without options: as a line that has none.
ItemDetails itemDetails(std::string_view dateText, CTime now);
// kind, days and date are what the row shows: a repeating row (a repeat option) counts down to its
// next occurrence, today 0 and Today; before its first date to that date; a milestone day is Today
// with the milestone's number. Otherwise as without options. rule, when given, receives the line's
// rule (items/Occurrence.h) for a readable date, which the reminders and the calendar walk on from.
ItemDetails itemDetails(std::string_view dateText, const ItemOptions& options, CTime now, DateRule* rule = nullptr);

// The tooltip of a row (GBK, lines joined by "\r\n"):
//   2027年9月15日 星期三 / 农历八月十五 / 第3个周年还有 45 天 (a yearly date: 每年)
// or, for a text that is no date, 无法识别的日期：<text> and what is wrong with it. A repeat other
// than yearly adds its rule (每月, 每周, 每10天, 农历每月); milestones add "今天是第 1000 天" on the day and
// "下一个里程碑：第 1000 天，2027年3月2日 星期二，还有 85 天".
std::string itemTipText(std::string_view dateText, const ItemDetails& details);

// What a screen reader says of a line's row (GBK). name: the row read as a sentence, after the name
// it shows: "妈妈生日，还有 3 天", "毕业，过去 2352 天", "相识纪念日，今天", on a milestone day
// "相识纪念日，今天是第 1000 天", counting working days "项目，还有 12 个工作日", a date that cannot be
// read "生日，日期无法识别". value: the day the count refers to and its lunar date, "2026年12月11日
// 星期五，农历冬月初三", or why the date cannot be read.
struct ItemSpeech {
  std::string name;
  std::string value;
};
ItemSpeech itemSpeech(std::string_view shownName, std::string_view dateText, const ItemDetails& details);
// The years label without its dot (GBK): "60岁", "10周年"; empty when the row has none.
std::string yearsText(const ItemDetails& details);
// The name a row shows (GBK): the name, and "·" and the years label when there is one. The widget's
// row, its tooltip and the row's accessible name all read the name from here.
std::string shownName(std::string_view name, const ItemDetails& details);

// Why the date text is no date (GBK): the accepted forms for a text in no known form.
const char* dateProblemText(DateProblem problem, std::string_view dateText);

// The fields of one line of the listing (GBK): 1 name (a tab in it made a space), 2 kind (upcoming,
// today, past, unreadable), 3 days, 4 date as YYYY-MM-DD, 5 its lunar date, 6 the options as written,
// 7 the next reminder day (YYYY-MM-DD), 8 the next milestone ("N YYYY-MM-DD"); fields that do not apply
// are empty, and all eight are always there. A ninth says what the count is where it is not days:
// "workdays", or "workdays-estimated" when it reaches a year without holiday data. A tenth, after the
// ninth (empty when it does not apply), is the years label (yearsText). Each is converted on its own,
// so that a broken character stays in its column.
std::vector<std::string> itemListFields(std::string_view name, const ItemDetails& details,
                                        const ItemOptions& options = ItemOptions());
// The same fields joined by tabs (GBK, no line break).
std::string itemListLine(std::string_view name, const ItemDetails& details, const ItemOptions& options = ItemOptions());
