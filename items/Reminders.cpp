#include "items/Reminders.h"

#include <algorithm>
#include <cstring>

#include "core/DateText.h"
#include "core/LunarCalendar.h"
#include "framework/Gbk.h"
#include "framework/String.h"
#include "items/Occurrence.h"

namespace {

constexpr int kPruneMarginDays = 30;
// What one line may put into one check: a line with hundreds of leads on a daily repeat would
// otherwise make tens of thousands of keys a minute, and a log of megabytes.
constexpr int kMaxOccurrencesAhead = 64;  // per line and kind: enough for 每周 with the longest lead
constexpr size_t kMaxLineKeys = 2048;
constexpr size_t kBalloonNameBytes = 30;

int64_t dayNumber(const CivilDate& date) { return daysFromCivil(date.year, date.month, date.day); }

std::string_view field(const char* text, size_t size) { return std::string_view(text, strnlen(text, size)); }

// FNV-1a: a short, stable name for a line's text.
uint32_t textHash(std::string_view text) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

// Whether text is one to nine digits, decimal or (with hex) hexadecimal.
bool allDigits(std::string_view text, bool hex = false) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (!(c >= '0' && c <= '9') && !(hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))) return false;
  return true;
}

// The value of one to nine decimal digits; -1 for anything else.
int decimalValue(std::string_view text) {
  if (!allDigits(text)) return -1;
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

// The occurrence's day of a key "YYYYMMDD-N-a-xxxxxxxx"; false for a word that is no key.
bool keyDay(std::string_view key, CivilDate* day) {
  if (key.size() < 14 || key.size() > 24 || key[8] != '-') return false;
  const size_t leadEnd = key.find('-', 9);
  if (leadEnd == std::string_view::npos || leadEnd + 3 >= key.size() || key[leadEnd + 2] != '-') return false;
  const std::string_view hash = key.substr(leadEnd + 3);
  const int year = decimalValue(key.substr(0, 4)), month = decimalValue(key.substr(4, 2));
  const int dayOfMonth = decimalValue(key.substr(6, 2)), lead = decimalValue(key.substr(9, leadEnd - 9));
  const char kind = key[leadEnd + 1];
  if (year < 0 || month < 0 || dayOfMonth < 0 || lead < 0 || hash.size() > 8 || !allDigits(hash, true)) return false;
  if (!isRealDate(year, month, dayOfMonth) || (kind != 'a' && kind != 'm') || lead > kMaxLeadDays) return false;
  *day = CivilDate{year, month, dayOfMonth};
  return true;
}

// The name for a balloon line, cut so that three lines fit the balloon's field.
std::string shortName(const ItemRecord& record) {
  const std::string_view name = field(record.name, sizeof record.name);
  const size_t cut = gbk::cutLength(name, kBalloonNameBytes);
  return std::string(name.substr(0, cut)) + (cut < name.size() ? "…" : "");
}

}  // namespace

void ReminderLog::add(const DueReminder& due) {
  for (const std::string& key : due.keys) add(key);
}

void ReminderLog::add(const DueReminder& due, const CivilDate& day) {
  add(due);
  if (day != m_day) m_dayKeys.clear();
  m_day = day;
  m_dayKeys.insert(due.keys.begin(), due.keys.end());
}

std::string ReminderLog::serialize() const {
  std::string text;
  for (const std::string& key : m_keys) text += (text.empty() ? "" : " ") + key;
  return text;
}

std::string ReminderLog::serializeDay() const {
  if (m_day.year == 0 || m_dayKeys.empty()) return {};
  std::string text = zeroPadded(m_day.year, 4) + zeroPadded(m_day.month, 2) + zeroPadded(m_day.day, 2);
  for (const std::string& key : m_dayKeys) text += " " + key;
  return text;
}

namespace {

// The keys among the words of text, in a set.
std::set<std::string> keysIn(std::string_view text) {
  std::set<std::string> keys;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find_first_of(" \t\r\n", begin);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(begin, end - begin);
    CivilDate day;
    if (keyDay(word, &day)) keys.emplace(word);
    begin = end + 1;
  }
  return keys;
}

}  // namespace

void ReminderLog::parse(std::string_view text, std::string_view dayText) {
  m_keys = keysIn(text);
  m_day = m_readDay = CivilDate{0, 0, 0};
  m_dayKeys.clear();
  dayText = trimSpaces(dayText);
  if (dayText.size() < 8 || (dayText.size() > 8 && dayText[8] != ' ')) return;
  const int year = decimalValue(dayText.substr(0, 4)), month = decimalValue(dayText.substr(4, 2));
  const int day = decimalValue(dayText.substr(6, 2));
  if (year < 0 || month < 0 || day < 0 || !isRealDate(year, month, day)) return;
  m_day = m_readDay = CivilDate{year, month, day};
  m_dayKeys = keysIn(dayText.substr(8));
  // A key of the day's list is a key shown, whatever became of the other value.
  m_keys.insert(m_dayKeys.begin(), m_dayKeys.end());
}

void ReminderLog::prune(const CivilDate& today) {
  if (m_readDay.year == 0) return;
  const int64_t reference = std::min(dayNumber(today), dayNumber(m_readDay));
  for (auto it = m_keys.begin(); it != m_keys.end();) {
    CivilDate day;
    if (!keyDay(*it, &day) || dayNumber(day) < reference - kPruneMarginDays)
      it = m_keys.erase(it);
    else
      ++it;
  }
  for (auto it = m_dayKeys.begin(); it != m_dayKeys.end();) {
    if (m_keys.count(*it))
      ++it;
    else
      it = m_dayKeys.erase(it);
  }
}

std::set<std::string> ReminderLog::shownOn(const CivilDate& day) const {
  return day == m_day ? m_dayKeys : std::set<std::string>();
}

namespace {

// The line's part of its keys.
std::string lineHash(std::string_view name, std::string_view dateText) {
  return hexDigits(textHash(std::string(name) + "\t" + std::string(trimSpaces(dateText))), 8);
}

std::string keyOf(const std::string& hash, const CivilDate& occurrence, int lead, bool milestone) {
  return zeroPadded(occurrence.year, 4) + zeroPadded(occurrence.month, 2) + zeroPadded(occurrence.day, 2) + "-" +
         std::to_string(lead) + (milestone ? "-m-" : "-a-") + hash;
}

}  // namespace

std::string reminderKey(std::string_view name, std::string_view dateText, const CivilDate& occurrence, int lead,
                        bool milestone) {
  return keyOf(lineHash(name, dateText), occurrence, lead, milestone);
}

namespace {

// One reminder per line, kind and occurrence O with a reminder on or before today (R = O - N <= today
// <= O), with the keys of every such lead, smallest lead first; fresh tells whether one of them is
// due by now (R before today, or today from the reminder time on). Up to the line's largest lead
// ahead, so a later occurrence's early reminder comes on its own day even before a nearer one.
struct Candidate {
  DueReminder reminder;
  std::vector<int> leads;   // per key
  std::vector<bool> fresh;  // per key
};

std::vector<Candidate> candidates(const ItemList& list, CTime now, int remindAtMinutes) {
  std::vector<Candidate> found;
  const CivilDate today{now.GetYear(), now.GetMonth(), now.GetDay()};
  const int minutes = now.GetHour() * 60 + now.GetMinute();
  for (int i = 0; i < list.stored(); ++i) {
    const ItemOptions& options = list.optionsOf(i);
    if (!options.reminded()) continue;
    const LineFacts facts = list.facts(i, now);
    if (facts.details.kind == Unreadable) continue;
    const ItemRecord& record = list.line(i);
    const std::string_view name = field(record.name, sizeof record.name);
    const std::string_view dateText = field(record.dateText, sizeof record.dateText);
    const DateRule& rule = facts.rule;
    const std::vector<int> leads = options.leads();
    const std::string hash = lineHash(name, dateText);
    const int64_t last = dayNumber(today) + leads.back();
    size_t lineKeys = 0;
    for (int kind = 0; kind < 2; ++kind) {
      const bool milestone = kind == 1;
      CivilDate from = today, occurrence;
      int number;
      for (int seen = 0; seen < kMaxOccurrencesAhead && lineKeys < kMaxLineKeys &&
                         (milestone ? nextMilestoneOn(rule, from, &occurrence, &number)
                                    : nextOccurrenceOn(rule, from, &occurrence, &number)) &&
                         dayNumber(occurrence) <= last;
           ++seen) {
        from = civilFromDays(dayNumber(occurrence) + 1);
        const int daysLeft = static_cast<int>(dayNumber(occurrence) - dayNumber(today));
        Candidate candidate;
        DueReminder& reminder = candidate.reminder;
        for (int lead : leads) {
          if (lead < daysLeft) continue;
          if (reminder.keys.empty()) reminder.lead = lead;
          reminder.keys.push_back(keyOf(hash, occurrence, lead, milestone));
          candidate.leads.push_back(lead);
          candidate.fresh.push_back(lead > daysLeft || minutes >= remindAtMinutes);
        }
        if (reminder.keys.empty()) continue;
        lineKeys += reminder.keys.size();
        reminder.record = i;
        reminder.occurrence = occurrence;
        reminder.daysLeft = daysLeft;
        reminder.milestone = milestone;
        reminder.number = number;
        reminder.key = reminder.keys.front();
        found.push_back(std::move(candidate));
      }
    }
  }
  return found;
}

void sortByDaysLeft(std::vector<DueReminder>& due) {
  std::stable_sort(due.begin(), due.end(),
                   [](const DueReminder& a, const DueReminder& b) { return a.daysLeft < b.daysLeft; });
}

}  // namespace

std::vector<DueReminder> dueReminders(const ItemList& list, CTime now, int remindAtMinutes, const ReminderLog& shown) {
  std::vector<DueReminder> due;
  std::set<std::string> keys;  // two identical lines are one reminder
  for (Candidate& candidate : candidates(list, now, remindAtMinutes)) {
    DueReminder reminder = candidate.reminder;
    reminder.keys.clear();
    bool fresh = false;
    for (size_t k = 0; k < candidate.reminder.keys.size(); ++k) {
      const std::string& key = candidate.reminder.keys[k];
      if (shown.contains(key) || !keys.insert(key).second) continue;
      fresh = fresh || candidate.fresh[k];
      if (reminder.keys.empty()) reminder.lead = candidate.leads[k];
      reminder.keys.push_back(key);
    }
    if (!fresh) continue;
    reminder.key = reminder.keys.front();
    due.push_back(reminder);
  }
  sortByDaysLeft(due);
  return due;
}

std::vector<DueReminder> dueReminders(const ItemRecord* records, const ItemOptions* options, int stored, CTime now,
                                      int remindAtMinutes, const ReminderLog& shown) {
  return dueReminders(ItemList(records, options, stored), now, remindAtMinutes, shown);
}

std::vector<DueReminder> remindersWithKeys(const ItemList& list, CTime now, const std::set<std::string>& keys) {
  std::vector<DueReminder> found;
  if (keys.empty()) return found;
  std::set<std::string> matched;  // two identical lines are one reminder
  for (Candidate& candidate : candidates(list, now, 0)) {
    for (const std::string& key : candidate.reminder.keys) {
      if (keys.count(key) && matched.insert(key).second) {
        found.push_back(candidate.reminder);
        break;
      }
    }
  }
  sortByDaysLeft(found);
  return found;
}

std::vector<DueReminder> remindersWithKeys(const ItemRecord* records, const ItemOptions* options, int stored, CTime now,
                                           const std::set<std::string>& keys) {
  return remindersWithKeys(ItemList(records, options, stored), now, keys);
}

namespace {

std::string balloonLine(const ItemRecord* records, const DueReminder& due) {
  const std::string name = shortName(records[due.record]);
  const std::string number = std::to_string(due.number);
  if (due.daysLeft == 0) {
    if (due.milestone) return "今天：" + name + "，第 " + number + " 天";
    return "今天：" + name + (due.number > 0 ? "，第 " + number + " 个周年" : "");
  }
  std::string line = name + (due.milestone ? " 第 " + number + " 天" : "") + " 还有 " + std::to_string(due.daysLeft) +
                     " 天（" + dayText(due.occurrence);
  LunarDate lunar;
  if (solarToLunar(due.occurrence, &lunar)) line += "，" + lunarDateText(lunar);
  return line + "）";
}

}  // namespace

std::string reminderBalloonText(const ItemRecord* records, const std::vector<DueReminder>& due) {
  std::string text;
  for (size_t i = 0; i < due.size() && i < kMaxBalloonLines; ++i)
    text += (i ? "\r\n" : "") + balloonLine(records, due[i]);
  if (due.size() > kMaxBalloonLines) text += "\r\n另有 " + std::to_string(due.size() - kMaxBalloonLines) + " 项";
  return text;
}

std::string reminderTipText(const ItemRecord* records, const std::vector<DueReminder>& shownToday) {
  std::string text;
  for (const DueReminder& due : shownToday) {
    const std::string name =
        shortName(records[due.record]) + (due.milestone ? " 第 " + std::to_string(due.number) + " 天" : "");
    text += (text.empty() ? "" : "\n") +
            (due.daysLeft == 0 ? "今天：" + name : name + " 还有 " + std::to_string(due.daysLeft) + " 天");
  }
  return text;
}
