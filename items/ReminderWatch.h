// The widget's reminder state between checks, window-free: the settings, the log of what was shown
// (kept in the settings file), today's reminders for the tray tip, a check put off while the user
// cannot take a notification, and whether the last balloon was a reminder. The widget asks it what
// to show and tells it what it showed; the balloon and the settings file are the widget's.
#pragma once
#include <string>
#include <vector>

#include "framework/CivilDate.h"
#include "framework/Time.h"
#include "items/Reminders.h"

// The settings file's section of its own for the log, key "shown".
constexpr const wchar_t* kReminderSection = L"Reminders";

class ReminderWatch {
 public:
  // The settings' defaults until useSettings gives the settings read.
  ReminderWatch() { useSettings(Settings()); }

  bool enabled;       // the setting remind
  int remindAt;       // the setting remindat, minutes after midnight
  bool sound;         // the setting remindsound
  bool workdayNotes;  // the setting workdaynote, as in effect
  ReminderLog log;    // what was shown, INI section "Reminders"

  void useSettings(const Settings& settings) {
    enabled = settings.remind;
    remindAt = settings.remindAt;
    sound = settings.remindSound;
    workdayNotes = settings.workdayNoteOn();
  }

  // The note due now when tomorrow is a 补班 day (workdayNoteText, GBK): from the reminder time on, with
  // reminders and the notes on, until the log has its key (given in key, to be added once shown);
  // empty when none is due.
  std::string dueWorkdayNote(CTime now, std::string* key) const;

  // The reminders to show now, none when reminders are off. Starts a new day first (see newDay).
  std::vector<DueReminder> due(const ItemList& list, CTime now);
  std::vector<DueReminder> due(const ItemRecord* records, const ItemOptions* options, int stored, CTime now);

  // The balloon is up: its reminders go into the log and today's tip.
  void shown(const ItemRecord* records, const std::vector<DueReminder>& due, CTime now);
  // The log could not be stored in the settings file: the reminders hold for this run only. True the
  // first time in a run, when the user is to be told (the balloon is shown again with noteUnstored).
  bool storeFailed();
  static const char* noteUnstored();

  // Whether now lies on another day than today's tip: the tip's reminders are dropped, and those the
  // log says were shown on the new day are listed again (after a restart) when the list is given.
  // True when the tip changed.
  bool newDay(CTime now, const ItemList& list) { return startDay(now, &list); }
  bool newDay(CTime now, const ItemRecord* records = nullptr, const ItemOptions* options = nullptr, int stored = 0);
  // The tray tip's reminder lines for today (GBK, "\n" between lines), empty when none.
  const std::string& tipLines() const { return m_tipLines; }

  // A balloon of another kind replaced the reminder's, or it went away.
  void balloonGone() { m_reminderBalloonUp = false; }
  bool reminderBalloonUp() const { return m_reminderBalloonUp; }

 private:
  bool startDay(CTime now, const ItemList* list);

  CivilDate m_tipDay{0, 0, 0};  // year 0: none yet
  std::string m_tipLines;
  bool m_reminderBalloonUp = false;
  bool m_toldUnstored = false;  // a log write failed this run and the user was told
};
