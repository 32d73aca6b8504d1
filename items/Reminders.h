// What is due: the reminders of the item list at a given moment, what was already shown, and the
// texts of the balloon and the tray tip. No window code; the widget asks at start, every minute, at
// resume and after a clock change, shows the balloon and records what it showed.
//
// For each line that asks for reminders, O is its next occurrence on or after today (see
// items/Occurrence.h: a future one-off date itself, a past dated date's next anniversary, the next
// occurrence of a repeat rule) and each of its milestones' next day. A reminder with lead N (0 for
// 提醒) falls on R = O - N. It is due on day R from the reminder time on, and on any later day up to O
// at once (the moment was missed: computer off or asleep), with the real days left; never before R,
// never after O, never twice for the same (line, O, N): the key of what was shown is kept.
#pragma once
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CivilDate.h"
#include "framework/Time.h"
#include "items/ItemOptions.h"
#include "items/ItemRecord.h"

constexpr int kDefaultRemindAt = 9 * 60;  // 09:00
constexpr int kMaxBalloonLines = 3;

// One line's due reminder for one occurrence. Several leads of the same occurrence due at once (the
// computer was off over more than one R) make one DueReminder with the smallest lead.
struct DueReminder {
  int record = 0;        // index in the item table
  CivilDate occurrence;  // O
  int lead = 0;          // N, 0 for 提醒
  int daysLeft = 0;      // from today to O
  bool milestone = false;
  int number = 0;        // the milestone's day number, or the how-manieth anniversary (0: none)
  std::string key;       // the first of keys
  std::vector<std::string> keys;  // every (line, O, N) this reminder answers, to record as shown
};

// The keys of reminders already shown. A key names the line by its name and date text (not its place
// in the list, so that reordering the list keeps them), O and N, e.g. "20270520-7-a-1f2e3d4c".
class ReminderLog {
 public:
  bool contains(const std::string& key) const { return m_keys.count(key) != 0; }
  void add(const std::string& key) { m_keys.insert(key); }
  void add(const DueReminder& due);  // all its keys
  // One line of keys separated by spaces, for one INI value (section "Reminders", key "shown").
  std::string serialize() const;
  // Reads what serialize wrote; words that are no key are dropped. Replaces what the log held.
  void parse(std::string_view text);
  // Drops the keys whose O lies more than 30 days before today: they can never be due again, and the
  // margin keeps a clock set back a few days from showing them twice.
  void prune(const CivilDate& today);
  size_t size() const { return m_keys.size(); }

 private:
  std::set<std::string> m_keys;
};

// The key of (line, O, N); milestone reminders are told apart from anniversaries.
std::string reminderKey(std::string_view name, std::string_view dateText, const CivilDate& occurrence, int lead,
                        bool milestone);

// The reminders due at now, in the order of their days left (then list order), none already shown.
// remindAtMinutes is the reminder time in minutes after midnight. options is parallel to records.
std::vector<DueReminder> dueReminders(const ItemRecord* records, const ItemOptions* options, int stored, CTime now,
                                      int remindAtMinutes, const ReminderLog& shown);

// The balloon's text (GBK, lines joined by "\r\n", fewer than 256 characters for the balloon's
// field): one line per reminder, at most three, then "另有 N 项":
//   妈妈生日 还有 7 天（2027年5月20日 星期四，农历四月十五）
//   今天：结婚纪念日，第 5 个周年
//   相识 第 1000 天 还有 3 天（2027年3月2日 星期二，农历正月廿五）   今天：相识，第 1000 天
std::string reminderBalloonText(const ItemRecord* records, const std::vector<DueReminder>& due);

// Short lines for the tray icon's tip, one per reminder shown today ("妈妈生日 还有 7 天",
// "今天：结婚纪念日"), joined by "\n".
std::string reminderTipText(const ItemRecord* records, const std::vector<DueReminder>& shownToday);

// "HH:MM" (also "H:MM", full-width digits and "：", spaces around) as minutes after midnight, 00:00
// to 23:59. False (minutes untouched) for anything else.
bool parseRemindAt(std::string_view text, int* minutes);
// minutes as "HH:MM"; out-of-range values as the default's.
std::string remindAtText(int minutes);
