#include "items/Reminders.h"

void ReminderLog::add(const DueReminder& due) {
  for (const std::string& key : due.keys) add(key);
}

std::string ReminderLog::serialize() const { return {}; }

void ReminderLog::parse(std::string_view) { m_keys.clear(); }

void ReminderLog::prune(const CivilDate&) {}

std::string reminderKey(std::string_view, std::string_view, const CivilDate&, int, bool) { return {}; }

std::vector<DueReminder> dueReminders(const ItemRecord*, const ItemOptions*, int, CTime, int, const ReminderLog&) {
  return {};
}

std::string reminderBalloonText(const ItemRecord*, const std::vector<DueReminder>&) { return {}; }

std::string reminderTipText(const ItemRecord*, const std::vector<DueReminder>&) { return {}; }

bool parseRemindAt(std::string_view, int*) { return false; }

std::string remindAtText(int) { return "09:00"; }
