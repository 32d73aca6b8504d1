#include "items/ItemDetails.h"

#include <cstdio>

namespace {

int64_t dayNumber(const CivilDate& date) {
  return daysFromCivil(date.year, date.month, date.day);
}

const char* problemText(DateProblem problem, std::string_view dateText) {
  switch (problem) {
    case DateProblem::NoSuchDay:
      return "日历上没有这一天";
    case DateProblem::YearOutOfRange:
      return "年份要在 1900 到 9999 之间";
    case DateProblem::LunarOutOfRange:
      return "农历日期要在 1900 到 2100 年之间";
    case DateProblem::NoSuchLunarMonth:
      return "那一年没有这个闰月";
    case DateProblem::NoSuchLunarDay:
      return "那一年的这个农历月只有 29 天";
    default:
      return trimSpaces(dateText).empty() ? "这一行没有日期：名称后面要有逗号和日期"
                                       : "日期可以写成 2025-05-20、5月20日、农历八月十五、农历1990年八月十五";
  }
}

}  // namespace

ItemDetails itemDetails(std::string_view dateText, const ItemOptions&, CTime now) {
  return itemDetails(dateText, now);
}

ItemDetails itemDetails(std::string_view dateText, CTime now) {
  ItemDetails d;
  const CivilDate today{now.GetYear(), now.GetMonth(), now.GetDay()};
  d.problem = readDateText(dateText, today, &d.date, &d.written);
  if (d.problem != DateProblem::None)
    return d;
  const int64_t days = dayNumber(d.date) - dayNumber(today);
  d.days = static_cast<int>(days < 0 ? -days : days);
  d.kind = days == 0 ? Today : days > 0 ? Upcoming : Past;
  d.hasLunar = solarToLunar(d.date, &d.lunar);
  const bool oneOff = d.written.form == DateForm::Dated || d.written.form == DateForm::LunarDated;
  CivilDate next;
  int year;
  if (oneOff && d.kind == Past && nextOccurrence(d.written, today, &next, &year)) {
    d.hasAnniversary = true;
    d.anniversary = year - d.written.year;
    d.anniversaryDays = static_cast<int>(dayNumber(next) - dayNumber(today));
  }
  return d;
}

std::string itemTipText(std::string_view dateText, const ItemDetails& details) {
  if (details.kind == Unreadable)
    return "无法识别的日期：" + std::string(trimSpaces(dateText)) + "\r\n" + problemText(details.problem, dateText);
  static const char* const kWeekdays[] = {"星期四", "星期五", "星期六", "星期日", "星期一", "星期二", "星期三"};
  const CivilDate& date = details.date;
  const int64_t day = dayNumber(date);
  std::string text = std::to_string(date.year) + "年" + std::to_string(date.month) + "月" + std::to_string(date.day) +
                     "日 " + kWeekdays[((day % 7) + 7) % 7];
  if (details.hasLunar)
    text += "\r\n" + lunarDateText(details.lunar);
  if (details.written.form == DateForm::Yearly || details.written.form == DateForm::LunarYearly) {
    text += "\r\n每年";
  } else if (details.hasAnniversary) {
    const std::string nth = "第" + std::to_string(details.anniversary) + "个周年";
    text += "\r\n" + (details.anniversaryDays == 0 ? "今天是" + nth
                                                   : nth + "还有 " + std::to_string(details.anniversaryDays) + " 天");
  }
  return text;
}

std::string itemListLine(std::string_view name, const ItemDetails& details) {
  static const char* const kKinds[] = {"upcoming", "today", "past", "unreadable"};
  std::string line(name);
  for (char& c : line) {
    if (c == '\t')
      c = ' ';  // a tab in a name would shift the columns
  }
  line += '\t';
  line += kKinds[details.kind >= Upcoming && details.kind <= Past ? details.kind : Unreadable];
  line += '\t';
  if (details.kind != Unreadable) {
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", details.date.year, details.date.month, details.date.day);
    line += std::to_string(details.days) + "\t" + date + "\t";
    if (details.hasLunar)
      line += lunarDateText(details.lunar);
  } else {
    line += "\t\t";
  }
  return line;
}

std::string itemListLine(std::string_view name, const ItemDetails& details, const ItemOptions& options) {
  return itemListLine(name, details) + "\t" + options.written + "\t\t";
}
