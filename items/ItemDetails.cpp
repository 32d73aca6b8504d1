#include "items/ItemDetails.h"

#include "core/Holidays.h"
#include "framework/String.h"
#include "items/Occurrence.h"

namespace {

int64_t dayNumber(const CivilDate& date) { return daysFromCivil(date.year, date.month, date.day); }

// The years label's parts below are made at a hover or a listing, not per frame: built for size.
// The tooltip's line for them, added to text: "还有 3 天满 60 岁", "今天满 10 周年"; none where the
// anniversary line says the same 周年.
[[gnu::cold]] void addYearsTipLine(std::string& text, const ItemDetails& d) {
  if (d.yearsLabel == YearsLabel::Anniversary && d.hasAnniversary && d.anniversary == d.years &&
      (d.repeat == Repeat::None || d.repeat == Repeat::Yearly))
    return;
  if (d.yearsDays == 0) {
    text += "\r\n今天满 ";
  } else {
    text += "\r\n还有 ";
    text += std::to_string(d.yearsDays);
    text += " 天满 ";
  }
  text += std::to_string(d.years);
  text += d.yearsLabel == YearsLabel::Age ? " 岁" : " 周年";
}

// 岁 and 周年 on a date with a year: the years of its next yearly occurrence from today on.
[[gnu::cold]] void countYears(ItemDetails& d, YearsLabel label, const CivilDate& today) {
  if (d.written.form != DateForm::Dated && d.written.form != DateForm::LunarDated) return;
  CivilDate next;
  int year = 0;
  if (!nextOccurrence(d.written, today, &next, &year) || year <= d.written.year) return;
  d.yearsLabel = label;
  d.years = year - d.written.year;
  d.yearsDays = static_cast<int>(dayNumber(next) - dayNumber(today));
}

// --list's ninth and tenth columns for the years label.
[[gnu::cold]] void addYearsField(std::vector<std::string>& fields, const ItemDetails& d) {
  if (fields.size() < 9) fields.push_back(std::string());  // no 工作日 column: an empty one
  fields.push_back(yearsText(d));
}

std::string isoDate(const CivilDate& date) {
  return zeroPadded(date.year, 4) + "-" + zeroPadded(date.month, 2) + "-" + zeroPadded(date.day, 2);
}

}  // namespace

const char* dateProblemText(DateProblem problem, std::string_view dateText) {
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
      return trimSpaces(dateText).empty() ? "这一行没有日期：名称后面要有逗号和日期" : acceptedDateForms();
  }
}

ItemDetails itemDetails(std::string_view dateText, const ItemOptions& options, CTime now, DateRule* ruleOut) {
  ItemDetails d = itemDetails(dateText, now);
  if (d.kind == Unreadable) return d;
  const CivilDate today{now.GetYear(), now.GetMonth(), now.GetDay()};
  DateRule scratch;
  DateRule& rule = ruleOut ? *ruleOut : scratch;
  rule = dateRule(d.written, d.date, options, today);
  d.repeat = rule.repeat;
  d.everyDays = rule.everyDays;
  d.countsDown = countsDown(rule);
  int number = 0;
  d.hasOccurrence = nextOccurrenceOn(rule, today, &d.occurrence, &number);
  if (rule.repeat != Repeat::None && d.hasOccurrence) {
    d.date = d.occurrence;
    d.days = static_cast<int>(dayNumber(d.date) - dayNumber(today));
    d.kind = d.days == 0 ? Today : Upcoming;
    d.hasLunar = solarToLunar(d.date, &d.lunar);
    // Only a yearly repeat has anniversaries, and not before its first date.
    d.hasAnniversary = rule.repeat == Repeat::Yearly && number > 0;
    d.anniversary = number;
    d.anniversaryDays = d.days;
  }
  CivilDate day;
  if (nextMilestoneOn(rule, today, &day, &number) && day == today) {
    d.milestoneToday = number;
    d.kind = Today;
    d.days = number;
    d.date = today;
    d.hasLunar = solarToLunar(d.date, &d.lunar);
  } else if (options.workdays) {
    d.workdays = true;
    d.days = holidayCalendar().workdaysBetween(today, d.date, &d.noDataYear);
  }
  if (options.years != YearsLabel::None) countYears(d, options.years, today);
  const CivilDate tomorrow = civilFromDays(dayNumber(today) + 1);
  if (nextMilestoneOn(rule, tomorrow, &d.nextMilestoneDate, &d.nextMilestone)) {
    d.hasNextMilestone = true;
    d.nextMilestoneDays = static_cast<int>(dayNumber(d.nextMilestoneDate) - dayNumber(today));
  }
  d.hasReminder = nextReminderDay(rule, options, today, &d.reminder);
  return d;
}

ItemDetails itemDetails(std::string_view dateText, CTime now) {
  ItemDetails d;
  const CivilDate today{now.GetYear(), now.GetMonth(), now.GetDay()};
  d.problem = readDateText(dateText, today, &d.date, &d.written);
  if (d.problem != DateProblem::None) return d;
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

[[gnu::cold]] std::string yearsText(const ItemDetails& details) {
  if (details.yearsLabel == YearsLabel::None || details.years <= 0) return std::string();
  std::string text = std::to_string(details.years);
  text += details.yearsLabel == YearsLabel::Age ? "岁" : "周年";
  return text;
}

std::string shownName(std::string_view name, const ItemDetails& details) {
  std::string shown(name);
  if (details.years > 0) shown.append("·").append(yearsText(details));
  return shown;
}

std::string itemTipText(std::string_view dateText, const ItemDetails& details) {
  if (details.kind == Unreadable)
    return "无法识别的日期：" + std::string(trimSpaces(dateText)) + "\r\n" + dateProblemText(details.problem, dateText);
  std::string text = dayText(details.date);
  if (details.hasLunar) text += "\r\n" + lunarDateText(details.lunar);
  if (details.repeat == Repeat::Monthly) {
    text += "\r\n每月";
  } else if (details.repeat == Repeat::Weekly) {
    text += "\r\n每周";
  } else if (details.repeat == Repeat::EveryNDays) {
    text += "\r\n每 " + std::to_string(details.everyDays) + " 天";
  } else if (details.repeat == Repeat::LunarMonthly) {
    text += "\r\n农历每月";
  } else if (isYearlyForm(details.written.form)) {
    text += "\r\n每年";
  } else if (details.hasAnniversary) {
    const std::string nth = "第 " + std::to_string(details.anniversary) + " 个周年";
    text += "\r\n" + (details.anniversaryDays == 0 ? "今天是" + nth
                                                   : nth + "还有 " + std::to_string(details.anniversaryDays) + " 天");
  }
  if (details.years > 0) addYearsTipLine(text, details);
  if (details.workdays && details.noDataYear)
    text += "\r\n" + std::to_string(details.noDataYear) + " 年的放假安排尚未公布，按周末计算";
  if (details.milestoneToday) text += "\r\n今天是第 " + std::to_string(details.milestoneToday) + " 天";
  if (details.hasNextMilestone)
    text += "\r\n下一个里程碑：第 " + std::to_string(details.nextMilestone) + " 天，" +
            dayText(details.nextMilestoneDate) + "，还有 " + std::to_string(details.nextMilestoneDays) + " 天";
  return text;
}

// Read by a screen reader at the user's pace: built for size.
[[gnu::cold]] ItemSpeech itemSpeech(std::string_view shownName, std::string_view dateText, const ItemDetails& details) {
  ItemSpeech speech;
  std::string& name = speech.name;
  name = shownName;
  name += "，";
  if (details.kind == Unreadable) {
    name += "日期无法识别";
    speech.value = dateProblemText(details.problem, dateText);
    return speech;
  }
  const bool counted = details.milestoneToday || details.kind != Today;
  name += details.milestoneToday     ? "今天是第 "
          : details.kind == Today    ? "今天"
          : details.kind == Upcoming ? "还有 "
                                     : "过去 ";
  if (counted) {
    name += std::to_string(details.days);
    name += details.workdays ? " 个工作日" : " 天";
  }
  speech.value = dayText(details.date);
  if (details.hasLunar) {
    speech.value += "，";
    speech.value += lunarDateText(details.lunar);
  }
  return speech;
}

std::vector<std::string> itemListFields(std::string_view name, const ItemDetails& details, const ItemOptions& options) {
  static const char* const kKinds[] = {"upcoming", "today", "past", "unreadable"};
  // A tab inside a field would shift the columns after it.
  const auto noTabs = [](std::string_view text) {
    std::string field(text);
    for (char& c : field)
      if (c == '\t') c = ' ';
    return field;
  };
  std::vector<std::string> fields(8);
  fields[0] = noTabs(name);
  fields[1] = kKinds[details.kind >= Upcoming && details.kind <= Past ? details.kind : Unreadable];
  if (details.kind != Unreadable) {
    fields[2] = std::to_string(details.days);
    fields[3] = isoDate(details.date);
    if (details.hasLunar) fields[4] = lunarDateText(details.lunar);
  }
  fields[5] = noTabs(options.written);
  if (details.hasReminder) {
    fields[6] = isoDate(details.reminder);
  }
  if (details.milestoneToday || details.hasNextMilestone) {
    const int number = details.milestoneToday ? details.milestoneToday : details.nextMilestone;
    const CivilDate& day = details.milestoneToday ? details.date : details.nextMilestoneDate;
    fields[7] = std::to_string(number) + " " + isoDate(day);
  }
  if (details.workdays) fields.push_back(details.noDataYear ? "workdays-estimated" : "workdays");
  if (details.years > 0) addYearsField(fields, details);
  return fields;
}

std::string itemListLine(std::string_view name, const ItemDetails& details, const ItemOptions& options) {
  const std::vector<std::string> fields = itemListFields(name, details, options);
  std::string line = fields[0];
  for (size_t i = 1; i < fields.size(); ++i) line += "\t" + fields[i];
  return line;
}
