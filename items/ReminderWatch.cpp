#include "items/ReminderWatch.h"

#include "core/Holidays.h"

namespace {

CivilDate dayOf(CTime now) { return {now.GetYear(), now.GetMonth(), now.GetDay()}; }

const char kUnstoredNote[] = "（无法写入设置文件：重新启动后这些提醒可能再次出现）";

}  // namespace

std::vector<DueReminder> ReminderWatch::due(const ItemList& list, CTime now) {
  newDay(now, list);
  if (!enabled || list.stored() <= 0) return {};
  return dueReminders(list, now, remindAt, log);
}

std::vector<DueReminder> ReminderWatch::due(const ItemRecord* records, const ItemOptions* options, int stored,
                                            CTime now) {
  if (!records) {
    newDay(now);
    return {};
  }
  return due(ItemList(records, options, stored), now);
}

void ReminderWatch::shown(const ItemRecord* records, const std::vector<DueReminder>& due, CTime now) {
  newDay(now);
  for (const DueReminder& reminder : due) log.add(reminder, dayOf(now));
  const std::string lines = reminderTipText(records, due);
  if (!lines.empty()) m_tipLines += (m_tipLines.empty() ? "" : "\n") + lines;
  m_reminderBalloonUp = true;
}

std::string ReminderWatch::dueWorkdayNote(CTime now, std::string* key) const {
  if (!enabled || !workdayNotes || now.GetHour() * 60 + now.GetMinute() < remindAt) return {};
  const CivilDate today = dayOf(now);
  const CivilDate tomorrow = civilFromDays(daysFromCivil(today.year, today.month, today.day) + 1);
  const HolidayDay* day = holidayCalendar().find(tomorrow);
  if (!day || !day->work) return {};
  // Logged like a reminder one day ahead of the 补班 day, so that it outlives a restart and is pruned.
  *key = reminderKey(day->name, "补班", tomorrow, 1, false);
  return log.contains(*key) ? std::string() : workdayNoteText(*day);
}

bool ReminderWatch::storeFailed() {
  if (m_toldUnstored) return false;
  m_toldUnstored = true;
  return true;
}

const char* ReminderWatch::noteUnstored() { return kUnstoredNote; }

bool ReminderWatch::newDay(CTime now, const ItemRecord* records, const ItemOptions* options, int stored) {
  if (!records || stored <= 0) return startDay(now, nullptr);
  // The list is made only on a new day: the same day's calls ask for nothing.
  if (dayOf(now) == m_tipDay) return false;
  const ItemList list(records, options, stored);
  return startDay(now, &list);
}

bool ReminderWatch::startDay(CTime now, const ItemList* list) {
  const CivilDate today = dayOf(now);
  if (today == m_tipDay) return false;
  m_tipDay = today;
  const std::string before = m_tipLines;
  m_tipLines.clear();
  if (list && list->stored() > 0)
    m_tipLines = reminderTipText(list->records(), remindersWithKeys(*list, now, log.shownOn(today)));
  return m_tipLines != before;
}
