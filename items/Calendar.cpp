#include "items/Calendar.h"

#include <cstring>
#include <map>

#include "core/DateText.h"
#include "core/LunarCalendar.h"
#include "framework/Gbk.h"
#include "framework/String.h"
#include "items/Occurrence.h"

namespace {

constexpr size_t kFoldOctets = 75;

int64_t dayNumber(const CivilDate& date) { return daysFromCivil(date.year, date.month, date.day); }

std::string icsDate(const CivilDate& date) {
  return zeroPadded(date.year, 4) + zeroPadded(date.month, 2) + zeroPadded(date.day, 2);
}

// TEXT values escape backslash, semicolon, comma and line breaks.
std::string icsText(std::string_view gbkText) {
  std::string out;
  for (char c : gbk::gbkToUtf8(gbkText)) {
    if (c == '\\' || c == ';' || c == ',') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == '\r') continue;
    out += c;
  }
  return out;
}

uint32_t textHash(std::string_view text) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

// The events of one line, within the bounds: false from add once one cut it.
class LineEvents {
 public:
  LineEvents(std::string& out, std::string uid, std::string summary, std::vector<int> leads, int remindAt,
             const std::string& stamp)
      : m_out(out),
        m_uid(std::move(uid)),
        m_summary(std::move(summary)),
        m_leads(std::move(leads)),
        m_remindAt(remindAt),
        m_stamp(stamp) {
    // The nearest leads: the day itself and the days just before it matter most.
    if (m_leads.size() > static_cast<size_t>(kMaxIcsAlarms)) {
      m_leads.resize(kMaxIcsAlarms);
      m_cut = true;
    }
  }

  // One all-day event on day; rule (when not empty) repeats it; tag tells the occurrence in the UID.
  bool add(const std::string& tag, const CivilDate& day, const std::string& rule, const std::string& summary,
           const std::string& description) {
    if (m_events == kMaxIcsLineEvents || m_out.size() >= kMaxIcsBytes) {
      m_cut = true;
      return false;
    }
    ++m_events;
    line("BEGIN:VEVENT");
    line("UID:" + m_uid + "-" + tag + "@tessaly");
    line("DTSTAMP:" + m_stamp);
    line("DTSTART;VALUE=DATE:" + icsDate(day));
    line("DTEND;VALUE=DATE:" + icsDate(civilFromDays(dayNumber(day) + 1)));
    if (!rule.empty()) line("RRULE:" + rule);
    line("SUMMARY:" + summary);
    if (!description.empty()) line("DESCRIPTION:" + description);
    line("TRANSP:TRANSPARENT");
    for (int lead : m_leads) {
      line("BEGIN:VALARM");
      line("ACTION:DISPLAY");
      line("DESCRIPTION:" + summary);
      line(icsTrigger(lead, m_remindAt));
      line("END:VALARM");
    }
    line("END:VEVENT");
    return true;
  }
  bool add(const std::string& tag, const CivilDate& day, const std::string& rule) {
    return add(tag, day, rule, m_summary, "");
  }
  const std::string& summary() const { return m_summary; }
  bool cut() const { return m_cut; }

 private:
  void line(const std::string& text) { m_out += foldIcsLine(text); }

  std::string& m_out;
  std::string m_uid;
  std::string m_summary;
  std::vector<int> m_leads;
  int m_remindAt;
  const std::string& m_stamp;
  int m_events = 0;
  bool m_cut = false;
};

std::string lunarDescription(const CivilDate& day) {
  LunarDate lunar;
  return solarToLunar(day, &lunar) ? icsText(lunarDateText(lunar)) : std::string();
}

// Where a date without a year starts its yearly rule: the same day at every export (a start that
// moved would move the imported series), in a leap year so that 2月29日 has its day.
constexpr int kYearlessBaseYear = 2000;

void writeLine(LineEvents& events, const DateRule& rule, const CivilDate& rangeStart, const CivilDate& rangeEnd) {
  const bool lunar = rule.written.form == DateForm::LunarDated || rule.written.form == DateForm::LunarYearly;
  const bool yearlyForm = isYearlyForm(rule.written.form);
  // A named date (清明, 除夕, 5月第2个周日) moves within its month: no yearly rule says it.
  const bool yearly =
      (rule.repeat == Repeat::None || rule.repeat == Repeat::Yearly) && rule.written.form < DateForm::SolarTerm;
  const bool oneOff = isOneOff(rule);
  std::string repeatRule;
  if (yearly && !lunar)
    repeatRule = "FREQ=YEARLY";
  else if (rule.repeat == Repeat::Weekly)
    repeatRule = "FREQ=WEEKLY";
  else if (rule.repeat == Repeat::EveryNDays)
    repeatRule = "FREQ=DAILY;INTERVAL=" + std::to_string(rule.everyDays);
  else if (rule.repeat == Repeat::Monthly && rule.first.day <= 28)
    repeatRule = "FREQ=MONTHLY";

  CivilDate day;
  int number;
  if (oneOff) {
    // The date itself, whether or not it lies in the range: it has no other occurrence.
    events.add("r", rule.first, "", events.summary(), lunar ? lunarDescription(rule.first) : "");
  } else if (!repeatRule.empty()) {
    if (yearlyForm && yearly)
      events.add("r", CivilDate{kYearlessBaseYear, rule.written.month, rule.written.day}, repeatRule);
    else
      events.add("r", rule.first, repeatRule);
  } else {
    // One event per occurrence: lunar dates, 农历每月, month ends.
    CivilDate from = rangeStart;
    while (nextOccurrenceOn(rule, from, &day, &number) && dayNumber(day) < dayNumber(rangeEnd)) {
      if (!events.add(icsDate(day), day, "", events.summary(),
                      lunar || rule.repeat == Repeat::LunarMonthly ? lunarDescription(day) : ""))
        return;
      from = civilFromDays(dayNumber(day) + 1);
    }
  }
  for (int n : rule.milestones) {
    day = milestoneDate(rule, n);
    if (dayNumber(day) < dayNumber(rangeStart) || dayNumber(day) >= dayNumber(rangeEnd)) continue;
    if (!events.add("m" + std::to_string(n), day, "", events.summary() + icsText(" 第 " + std::to_string(n) + " 天"),
                    ""))
      return;
  }
}

}  // namespace

std::string foldIcsLine(std::string_view line) {
  std::string out;
  size_t limit = kFoldOctets;
  while (line.size() > limit) {
    size_t cut = limit;
    // Back to the start of the UTF-8 sequence the cut would fall in.
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    if (cut == 0) cut = limit;  // no sequence start at all: not UTF-8, cut anyway
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    limit = kFoldOctets - 1;  // the space counts
  }
  out.append(line);
  out += "\r\n";
  return out;
}

std::string icsTrigger(int lead, int remindAt) {
  int64_t minutes = remindAt - static_cast<int64_t>(lead) * 1440;
  std::string out = minutes < 0 ? "TRIGGER:-P" : "TRIGGER:P";
  if (minutes < 0) minutes = -minutes;
  const int64_t days = minutes / 1440, hours = minutes / 60 % 24, rest = minutes % 60;
  if (days) out += std::to_string(days) + "D";
  if (hours || rest || !days) {
    out += "T";
    if (hours) out += std::to_string(hours) + "H";
    if (rest) out += std::to_string(rest) + "M";
    if (!hours && !rest) out += "0S";
  }
  return out;
}

IcsFile writeIcs(const ItemList& list, CTime now, int remindAt) {
  const CivilDate today{now.GetYear(), now.GetMonth(), now.GetDay()};
  const CivilDate rangeStart{today.year, 1, 1}, rangeEnd{today.year + kCalendarYears, 1, 1};
  const int64_t seconds = now.GetTime();
  const CivilDate utcDay = civilFromDays(floorDiv(seconds, 86400));
  const int64_t secondOfDay = seconds - floorDiv(seconds, 86400) * 86400;
  const std::string dtstamp = icsDate(utcDay) + "T" + zeroPadded(secondOfDay / 3600, 2) +
                              zeroPadded(secondOfDay / 60 % 60, 2) + zeroPadded(secondOfDay % 60, 2) + "Z";

  IcsFile file;
  std::string& out = file.text;
  out += foldIcsLine("BEGIN:VCALENDAR");
  out += foldIcsLine("VERSION:2.0");
  out += foldIcsLine("PRODID:-//Tessaly//Tessaly//ZH-CN");
  out += foldIcsLine("CALSCALE:GREGORIAN");
  out += foldIcsLine("METHOD:PUBLISH");
  out += foldIcsLine("X-WR-CALNAME:" + icsText("纪念日"));
  std::map<uint32_t, int> seen;  // identical lines are told apart by their count
  for (int i = 0; i < list.stored(); ++i) {
    const LineFacts facts = list.facts(i, now);
    if (facts.details.kind == Unreadable) continue;
    const ItemRecord& record = list.line(i);
    const std::string_view name(record.name, strnlen(record.name, sizeof record.name));
    const std::string_view dateText(record.dateText, strnlen(record.dateText, sizeof record.dateText));
    const uint32_t hash = textHash(std::string(name) + "\t" + std::string(trimSpaces(dateText)));
    const int copy = ++seen[hash];
    const std::string uid = hexDigits(hash, 8) + (copy == 1 ? "" : "-" + std::to_string(copy));
    LineEvents events(out, uid, icsText(name), list.optionsOf(i).leads(), remindAt, dtstamp);
    writeLine(events, facts.rule, rangeStart, rangeEnd);
    if (events.cut()) file.cutNames.emplace_back(name);
  }
  out += foldIcsLine("END:VCALENDAR");
  return file;
}

IcsFile writeIcs(const ItemRecord* records, const ItemOptions* options, int stored, CTime now, int remindAt) {
  return writeIcs(ItemList(records, options, stored), now, remindAt);
}

std::string icsBoundNote(const IcsFile& file) {
  if (file.cutNames.empty()) return std::string();
  constexpr size_t kNamesShown = 10;
  std::string note = "日历文件已写入，但以下纪念日超出了日历文件的上限，只写入了一部分：\r\n\r\n";
  for (size_t i = 0; i < file.cutNames.size() && i < kNamesShown; ++i) note += file.cutNames[i] + "\r\n";
  if (file.cutNames.size() > kNamesShown) note += "……（共 " + std::to_string(file.cutNames.size()) + " 个）\r\n";
  note += "\r\n每个日程最多 " + std::to_string(kMaxIcsAlarms) + " 个提醒（最近的几个），每个纪念日最多 " +
          std::to_string(kMaxIcsLineEvents) + " 个日程，整个文件最多 " + std::to_string(kMaxIcsBytes >> 20) + " MB。";
  return note;
}
