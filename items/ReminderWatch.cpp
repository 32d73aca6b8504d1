#include "items/ReminderWatch.h"

namespace {

CivilDate dayOf(CTime now) { return {now.GetYear(), now.GetMonth(), now.GetDay()}; }

const char kUnstoredNote[] = "（无法写入设置文件：重新启动后这些提醒可能再次出现）";

}  // namespace

std::vector<DueReminder> ReminderWatch::due(const ItemRecord* records, const ItemOptions* options, int stored,
                                            CTime now) {
  newDay(now, records, options, stored);
  if (!enabled || !records || stored <= 0) return {};
  return dueReminders(records, options, stored, now, remindAt, log);
}

void ReminderWatch::shown(const ItemRecord* records, const std::vector<DueReminder>& due, CTime now) {
  newDay(now);
  for (const DueReminder& reminder : due) log.add(reminder, dayOf(now));
  const std::string lines = reminderTipText(records, due);
  if (!lines.empty()) m_tipLines += (m_tipLines.empty() ? "" : "\n") + lines;
  m_reminderBalloonUp = true;
}

bool ReminderWatch::storeFailed() {
  if (m_toldUnstored) return false;
  m_toldUnstored = true;
  return true;
}

const char* ReminderWatch::noteUnstored() { return kUnstoredNote; }

bool ReminderWatch::newDay(CTime now, const ItemRecord* records, const ItemOptions* options, int stored) {
  const CivilDate today = dayOf(now);
  if (today == m_tipDay) return false;
  m_tipDay = today;
  const std::string before = m_tipLines;
  m_tipLines.clear();
  if (records && stored > 0)
    m_tipLines = reminderTipText(records, remindersWithKeys(records, options, stored, now, log.shownOn(today)));
  return m_tipLines != before;
}
