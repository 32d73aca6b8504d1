// What is due: the reminders of the item list at a given moment, what was already shown, and the
// texts of the balloon and the tray tip. No window code; the widget asks at start, every minute, at
// resume and after a clock change, shows the balloon and records what it showed.
//
// For each line that asks for reminders, every occurrence O of its date (see items/Occurrence.h: a
// one-off date itself only, each occurrence of a repeat rule) and of its milestones has, for each
// lead N (0 for 提醒), a reminder on R = O - N. It is due on day R from the reminder time on, and on
// any later day up to O at once (the moment was missed: computer off or asleep), with the real days
// left; never before R, never after O, never twice for the same (line, O, N): the key of what was
// shown is kept. Each occurrence has its own reminders, however close the next one is. One balloon
// per occurrence and day: the reminders of O that fall on today ride with one shown today.
// A line is looked at for up to 64 occurrences and 64 milestones ahead and 2048 keys per check; past
// that (hundreds of leads on a daily repeat) a later occurrence's reminder comes when it is in reach.
#pragma once
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/Settings.h"
#include "framework/CivilDate.h"
#include "framework/Time.h"
#include "items/ItemList.h"

constexpr int kMaxBalloonLines = 3;

// One line's due reminder for one occurrence. Several leads of the same occurrence due at once (the
// computer was off over more than one R) make one DueReminder with the smallest lead.
struct DueReminder {
  int record = 0;        // index in the item table
  CivilDate occurrence;  // O
  int lead = 0;          // N, 0 for 提醒
  int daysLeft = 0;      // from today to O
  bool milestone = false;
  int number = 0;                 // the milestone's day number, or the how-manieth anniversary (0: none)
  std::string key;                // the first of keys
  std::vector<std::string> keys;  // every (line, O, N) this reminder answers, to record as shown
};

// The keys of reminders already shown. A key names the line by its name and date text (not its place
// in the list, so that reordering the list keeps them), O and N, e.g. "20270520-7-a-1f2e3d4c". The
// keys shown on the last day something was shown are also kept apart, with that day, so that a
// restart lists today's reminders in the tray tip again.
class ReminderLog {
 public:
  bool contains(const std::string& key) const { return m_keys.count(key) != 0; }
  void add(const std::string& key) { m_keys.insert(key); }
  void add(const DueReminder& due);  // all its keys
  // Shown on day: its keys, and they make up that day's list (another day's list is dropped).
  void add(const DueReminder& due, const CivilDate& day);
  // One line of keys separated by spaces, for one INI value (section "Reminders", key "shown").
  std::string serialize() const;
  // The last day's list, for key "today": "YYYYMMDD key key ..."; empty when none.
  std::string serializeDay() const;
  // Reads what serialize and serializeDay wrote; words that are no key are dropped, a day list
  // without a day is dropped whole. Replaces what the log held.
  void parse(std::string_view text, std::string_view dayText = {});
  // Drops the keys whose O lies more than 30 days before both today and the day of the list read by
  // parse (none read: nothing is dropped): they can never be due again, the margin keeps a clock set
  // back a few days from showing them twice, and a clock run far ahead once (2099) does not erase
  // what was shown, since the day last written still holds them.
  void prune(const CivilDate& today);
  size_t size() const { return m_keys.size(); }
  // The keys shown on day (none unless day is the list's day).
  std::set<std::string> shownOn(const CivilDate& day) const;

 private:
  std::set<std::string> m_keys;
  CivilDate m_day{0, 0, 0};  // of m_dayKeys; year 0: none
  std::set<std::string> m_dayKeys;
  CivilDate m_readDay{0, 0, 0};  // the list's day when read; year 0: none
};

// The key of (line, O, N); milestone reminders are told apart from anniversaries.
std::string reminderKey(std::string_view name, std::string_view dateText, const CivilDate& occurrence, int lead,
                        bool milestone);

// The reminders due at now, in the order of their days left (then list order), none already shown.
// remindAtMinutes is the reminder time in minutes after midnight. The lines' rules are the list's own
// for the day (ItemList::facts).
std::vector<DueReminder> dueReminders(const ItemList& list, CTime now, int remindAtMinutes, const ReminderLog& shown);
// The same for a bare table: options is parallel to records.
std::vector<DueReminder> dueReminders(const ItemRecord* records, const ItemOptions* options, int stored, CTime now,
                                      int remindAtMinutes, const ReminderLog& shown);

// The reminders among those due today (whatever the time and the log) that answer a key of keys: what
// a list of keys shown today was about, for the tray tip after a restart.
std::vector<DueReminder> remindersWithKeys(const ItemList& list, CTime now, const std::set<std::string>& keys);
std::vector<DueReminder> remindersWithKeys(const ItemRecord* records, const ItemOptions* options, int stored, CTime now,
                                           const std::set<std::string>& keys);

// The balloon's text (GBK, lines joined by "\r\n", fewer than 256 characters for the balloon's
// field): one line per reminder, at most three, then "另有 N 项":
//   妈妈生日 还有 7 天（2027年5月20日 星期四，农历四月十五）
//   今天：结婚纪念日，第 5 个周年
//   相识 第 1000 天 还有 3 天（2027年3月2日 星期二，农历正月廿五）   今天：相识，第 1000 天
std::string reminderBalloonText(const ItemRecord* records, const std::vector<DueReminder>& due);

// Short lines for the tray icon's tip, one per reminder shown today ("妈妈生日 还有 7 天",
// "今天：结婚纪念日"), joined by "\n".
std::string reminderTipText(const ItemRecord* records, const std::vector<DueReminder>& shownToday);
