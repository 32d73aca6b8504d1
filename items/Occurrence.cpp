#include "items/Occurrence.h"

DateRule dateRule(const WrittenDate& written, const CivilDate& date, const ItemOptions&, const CivilDate&) {
  DateRule rule;
  rule.written = written;
  rule.first = date;
  return rule;
}

bool countsDown(const DateRule&) { return false; }

bool nextOccurrenceOn(const DateRule&, const CivilDate&, CivilDate*, int*) { return false; }

std::vector<int> milestoneNumbers(const ItemOptions&) { return {}; }

CivilDate milestoneDate(const DateRule& rule, int) { return rule.first; }

bool nextMilestoneOn(const DateRule&, const CivilDate&, CivilDate*, int*) { return false; }

bool nextReminderDay(const DateRule&, const ItemOptions&, const CivilDate&, CivilDate*) { return false; }

std::string dayText(const CivilDate&) { return {}; }
