#include "items/Occurrence.h"

#include <algorithm>

#include "core/LunarCalendar.h"

namespace {

int64_t dayNumber(const CivilDate& date) { return daysFromCivil(date.year, date.month, date.day); }

bool operator<(const CivilDate& a, const CivilDate& b) { return dayNumber(a) < dayNumber(b); }

CivilDate addDays(const CivilDate& date, int64_t days) { return civilFromDays(dayNumber(date) + days); }

bool isYearlyForm(const WrittenDate& written) { return isYearlyForm(written.form); }

bool inRange(const CivilDate& date) { return date.year >= kFirstDateYear && date.year <= kLastOccurrenceYear; }

// The latest occurrence of a date without a year on or before today; when it has none (2月29日 in
// the first years of the range), its next one. Eight years back hold a 29 February even across 1900
// and 2100, which are no leap years.
CivilDate latestOccurrence(const WrittenDate& written, const CivilDate& today) {
  CivilDate latest, next;
  int year;
  if (!nextOccurrence(written, CivilDate{std::max(today.year - 8, kFirstDateYear), 1, 1}, &latest, &year)) return today;
  while (nextOccurrence(written, addDays(latest, 1), &next, &year) && !(today < next)) latest = next;
  return latest;
}

bool nextMonthly(const CivilDate& first, const CivilDate& from, CivilDate* date) {
  int year = from.year, month = from.month;
  for (;;) {
    const CivilDate candidate{year, month, std::min(first.day, daysInMonth(year, month))};
    if (!(candidate < from)) {
      *date = candidate;
      return inRange(candidate);
    }
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
}

bool nextLunarMonthly(const DateRule& rule, const CivilDate& from, CivilDate* date) {
  LunarDate lunar;
  int day = rule.written.day;
  if (rule.written.form == DateForm::Dated) {
    if (!solarToLunar(rule.first, &lunar)) return false;
    day = lunar.day;
  }
  if (!solarToLunar(from, &lunar)) return false;
  for (;;) {
    const int length = lunarMonthDays(lunar.year, lunar.month, lunar.leap);
    CivilDate candidate;
    if (length == 0 || !lunarToSolar(LunarDate{lunar.year, lunar.month, lunar.leap, std::min(day, length)}, &candidate))
      return false;
    if (!(candidate < from)) {
      *date = candidate;
      return inRange(candidate);
    }
    // The leap month follows the ordinary month of its number.
    if (!lunar.leap && lunarLeapMonth(lunar.year) == lunar.month) {
      lunar.leap = true;
    } else {
      lunar.leap = false;
      if (++lunar.month > 12) {
        lunar.month = 1;
        if (++lunar.year > kLastLunarYear) return false;
      }
    }
  }
}

}  // namespace

DateRule dateRule(const WrittenDate& written, const CivilDate& date, const ItemOptions& options,
                  const CivilDate& today) {
  DateRule rule;
  rule.written = written;
  rule.repeat = options.repeat;
  rule.everyDays = options.everyDays;
  rule.countStartDay = options.countStartDay;
  if (isYearlyForm(written)) {
    // Yearly already; another rule starts from the date's latest occurrence. No day counts without a
    // first day, so no milestones.
    if (rule.repeat == Repeat::Yearly) rule.repeat = Repeat::None;
    rule.first = rule.repeat == Repeat::None ? date : latestOccurrence(written, today);
  } else {
    rule.first = date;
    rule.milestones = milestoneNumbers(options);
  }
  if (rule.repeat == Repeat::EveryNDays && rule.everyDays <= 0) rule.repeat = Repeat::None;
  return rule;
}

bool countsDown(const DateRule& rule) { return rule.repeat != Repeat::None || isYearlyForm(rule.written); }

bool isOneOff(const DateRule& rule) { return rule.repeat == Repeat::None && !isYearlyForm(rule.written); }

bool nextOccurrenceOn(const DateRule& rule, const CivilDate& from, CivilDate* date, int* number) {
  *number = 0;
  int year = 0;
  if (isYearlyForm(rule.written) && rule.repeat == Repeat::None)
    return nextOccurrence(rule.written, from, date, &year) && inRange(*date);
  if (!(rule.first < from)) {
    *date = rule.first;
    return inRange(*date);
  }
  switch (rule.repeat) {
    case Repeat::None:
      return false;  // one-off, and past
    case Repeat::Yearly:
      if (!nextOccurrence(rule.written, from, date, &year)) return false;
      *number = year - rule.written.year;
      return inRange(*date);
    case Repeat::Monthly:
      return nextMonthly(rule.first, from, date);
    case Repeat::Weekly:
    case Repeat::EveryNDays: {
      const int64_t step = rule.repeat == Repeat::Weekly ? 7 : rule.everyDays;
      const int64_t steps = (dayNumber(from) - dayNumber(rule.first) + step - 1) / step;
      *date = addDays(rule.first, steps * step);
      return inRange(*date);
    }
    case Repeat::LunarMonthly:
      return nextLunarMonthly(rule, from, date);
  }
  return false;
}

std::vector<int> milestoneNumbers(const ItemOptions& options) {
  std::vector<int> numbers = options.ownMilestones;
  if (options.milestones) numbers.insert(numbers.end(), {100, 200, 300, 500, 520, 1000, 1314, 2000, 3000, 5000, 10000});
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

CivilDate milestoneDate(const DateRule& rule, int number) {
  return addDays(rule.first, number - (rule.countStartDay ? 1 : 0));
}

bool nextMilestoneOn(const DateRule& rule, const CivilDate& from, CivilDate* date, int* number) {
  // Day number N falls on A + N (- 1 with 含当天): the first on or after from is the first N at least
  // this far; a search, since a line may ask for thousands.
  const int64_t least = dayNumber(from) - dayNumber(rule.first) + (rule.countStartDay ? 1 : 0);
  const auto next = std::lower_bound(rule.milestones.begin(), rule.milestones.end(), least,
                                     [](int n, int64_t value) { return n < value; });
  if (next == rule.milestones.end()) return false;
  *date = milestoneDate(rule, *next);
  *number = *next;
  return inRange(*date);
}

bool nextReminderDay(const DateRule& rule, const ItemOptions& options, const CivilDate& today, CivilDate* day) {
  bool found = false;
  for (int lead : options.leads()) {
    // The first occurrence a reminder of this lead can still fall before: on or after today + lead.
    const CivilDate from = addDays(today, lead);
    CivilDate occurrence;
    int number;
    for (int i = 0; i < 2; ++i) {
      const bool has = i == 0 ? nextOccurrenceOn(rule, from, &occurrence, &number)
                              : nextMilestoneOn(rule, from, &occurrence, &number);
      if (!has) continue;
      const CivilDate reminder = addDays(occurrence, -lead);
      if (!found || reminder < *day) *day = reminder;
      found = true;
    }
  }
  return found;
}

std::string dayText(const CivilDate& date) {
  static const char* const kWeekdays[] = {"星期四", "星期五", "星期六", "星期日", "星期一", "星期二", "星期三"};
  return std::to_string(date.year) + "年" + std::to_string(date.month) + "月" + std::to_string(date.day) + "日 " +
         kWeekdays[((dayNumber(date) % 7) + 7) % 7];
}
