#include "core/Holidays.h"

#include <cstdint>
#include <utility>

#include "core/DateText.h"
#include "core/TextFile.h"
#include "framework/PathParts.h"
#include "framework/Gbk.h"
#include "framework/String.h"

namespace {

int64_t dayNumber(const CivilDate& date) { return daysFromCivil(date.year, date.month, date.day); }

// 0 Sunday .. 6 Saturday.
int weekday(int64_t day) { return static_cast<int>(((day + 4) % 7 + 7) % 7); }

bool isWeekend(int64_t day) { return weekday(day) == 0 || weekday(day) == 6; }

const char* const kNames[] = {"元旦",   "春节",   "清明节",         "劳动节",        "端午节",
                              "中秋节", "国庆节", "中秋节、国庆节", "抗战胜利纪念日"};
enum : uint8_t {
  kNewYear,
  kSpring,
  kQingming,
  kLabour,
  kDragonBoat,
  kMidAutumn,
  kNational,
  kMidAutumnNational,
  kVictory,
  kWork = 0x80,  // the run is of 补班 days
};

// A run of days of one holiday and kind, starting on month-day of its year.
struct Run {
  uint8_t month, day, days, holiday;
};

// Generated from the chinese-days data set (npm chinese-days 1.5.7, dist/years/YYYY.json, itself
// written from the State Council's notices), with three changes that follow the notices' own words:
// a weekend day inside a stated break is a day off too (2011-06-05, 2012-06-23, 2015-06-21, which
// the data set leaves out), the breaks the notices call "中秋节、国庆节" (2012, 2017, 2020, 2023, 2025)
// carry that name on every day (the data set names 2020's not at all), and the 2015 抗战胜利纪念日
// days are named so. 214 runs of 4 bytes and the year index: 874 bytes for 584 dates.
// tests/native/HolidaysTest.cpp compares every date of these years with an independent data set.
const Run kRuns[] = {
    // 2010
    {1, 1, 3, kNewYear},
    {2, 13, 7, kSpring},
    {2, 20, 2, kSpring | kWork},
    {4, 3, 3, kQingming},
    {5, 1, 3, kLabour},
    {6, 12, 2, kDragonBoat | kWork},
    {6, 14, 3, kDragonBoat},
    {9, 19, 1, kMidAutumn | kWork},
    {9, 22, 3, kMidAutumn},
    {9, 25, 1, kMidAutumn | kWork},
    {9, 26, 1, kNational | kWork},
    {10, 1, 7, kNational},
    {10, 9, 1, kNational | kWork},
    // 2011
    {1, 1, 3, kNewYear},
    {1, 30, 1, kSpring | kWork},
    {2, 2, 7, kSpring},
    {2, 12, 1, kSpring | kWork},
    {4, 2, 1, kQingming | kWork},
    {4, 3, 3, kQingming},
    {4, 30, 3, kLabour},
    {6, 4, 3, kDragonBoat},
    {9, 10, 3, kMidAutumn},
    {10, 1, 7, kNational},
    {10, 8, 2, kNational | kWork},
    {12, 31, 1, kNewYear | kWork},
    // 2012
    {1, 1, 3, kNewYear},
    {1, 21, 1, kSpring | kWork},
    {1, 22, 7, kSpring},
    {1, 29, 1, kSpring | kWork},
    {3, 31, 2, kQingming | kWork},
    {4, 2, 3, kQingming},
    {4, 28, 1, kLabour | kWork},
    {4, 29, 3, kLabour},
    {6, 22, 3, kDragonBoat},
    {9, 29, 1, kMidAutumnNational | kWork},
    {9, 30, 8, kMidAutumnNational},
    // 2013
    {1, 1, 3, kNewYear},
    {1, 5, 2, kNewYear | kWork},
    {2, 9, 7, kSpring},
    {2, 16, 2, kSpring | kWork},
    {4, 4, 3, kQingming},
    {4, 7, 1, kQingming | kWork},
    {4, 27, 2, kLabour | kWork},
    {4, 29, 3, kLabour},
    {6, 8, 2, kDragonBoat | kWork},
    {6, 10, 3, kDragonBoat},
    {9, 19, 3, kMidAutumn},
    {9, 22, 1, kMidAutumn | kWork},
    {9, 29, 1, kNational | kWork},
    {10, 1, 7, kNational},
    {10, 12, 1, kNational | kWork},
    // 2014
    {1, 1, 1, kNewYear},
    {1, 26, 1, kSpring | kWork},
    {1, 31, 7, kSpring},
    {2, 8, 1, kSpring | kWork},
    {4, 5, 3, kQingming},
    {5, 1, 3, kLabour},
    {5, 4, 1, kLabour | kWork},
    {6, 2, 1, kDragonBoat},
    {9, 8, 1, kMidAutumn},
    {9, 28, 1, kNational | kWork},
    {10, 1, 7, kNational},
    {10, 11, 1, kNational | kWork},
    // 2015
    {1, 1, 3, kNewYear},
    {1, 4, 1, kNewYear | kWork},
    {2, 15, 1, kSpring | kWork},
    {2, 18, 7, kSpring},
    {2, 28, 1, kSpring | kWork},
    {4, 5, 2, kQingming},
    {5, 1, 1, kLabour},
    {6, 20, 3, kDragonBoat},
    {9, 3, 2, kVictory},
    {9, 6, 1, kVictory | kWork},
    {9, 27, 1, kMidAutumn},
    {10, 1, 7, kNational},
    {10, 10, 1, kNational | kWork},
    // 2016
    {1, 1, 1, kNewYear},
    {2, 6, 1, kSpring | kWork},
    {2, 7, 7, kSpring},
    {2, 14, 1, kSpring | kWork},
    {4, 4, 1, kQingming},
    {5, 1, 2, kLabour},
    {6, 9, 3, kDragonBoat},
    {6, 12, 1, kDragonBoat | kWork},
    {9, 15, 3, kMidAutumn},
    {9, 18, 1, kMidAutumn | kWork},
    {10, 1, 7, kNational},
    {10, 8, 2, kNational | kWork},
    // 2017
    {1, 1, 2, kNewYear},
    {1, 22, 1, kSpring | kWork},
    {1, 27, 7, kSpring},
    {2, 4, 1, kSpring | kWork},
    {4, 1, 1, kQingming | kWork},
    {4, 2, 3, kQingming},
    {5, 1, 1, kLabour},
    {5, 27, 1, kDragonBoat | kWork},
    {5, 28, 3, kDragonBoat},
    {9, 30, 1, kMidAutumnNational | kWork},
    {10, 1, 8, kMidAutumnNational},
    // 2018
    {1, 1, 1, kNewYear},
    {2, 11, 1, kSpring | kWork},
    {2, 15, 7, kSpring},
    {2, 24, 1, kSpring | kWork},
    {4, 5, 3, kQingming},
    {4, 8, 1, kQingming | kWork},
    {4, 28, 1, kLabour | kWork},
    {4, 29, 3, kLabour},
    {6, 18, 1, kDragonBoat},
    {9, 24, 1, kMidAutumn},
    {9, 29, 2, kNational | kWork},
    {10, 1, 7, kNational},
    {12, 29, 1, kNewYear | kWork},
    {12, 30, 2, kNewYear},
    // 2019
    {1, 1, 1, kNewYear},
    {2, 2, 2, kSpring | kWork},
    {2, 4, 7, kSpring},
    {4, 5, 3, kQingming},
    {4, 28, 1, kLabour | kWork},
    {5, 1, 4, kLabour},
    {5, 5, 1, kLabour | kWork},
    {6, 7, 3, kDragonBoat},
    {9, 13, 3, kMidAutumn},
    {9, 29, 1, kNational | kWork},
    {10, 1, 7, kNational},
    {10, 12, 1, kNational | kWork},
    // 2020
    {1, 1, 1, kNewYear},
    {1, 19, 1, kSpring | kWork},
    {1, 24, 10, kSpring},
    {4, 4, 3, kQingming},
    {4, 26, 1, kLabour | kWork},
    {5, 1, 5, kLabour},
    {5, 9, 1, kLabour | kWork},
    {6, 25, 3, kDragonBoat},
    {6, 28, 1, kDragonBoat | kWork},
    {9, 27, 1, kMidAutumnNational | kWork},
    {10, 1, 8, kMidAutumnNational},
    {10, 10, 1, kMidAutumnNational | kWork},
    // 2021
    {1, 1, 3, kNewYear},
    {2, 7, 1, kSpring | kWork},
    {2, 11, 7, kSpring},
    {2, 20, 1, kSpring | kWork},
    {4, 3, 3, kQingming},
    {4, 25, 1, kLabour | kWork},
    {5, 1, 5, kLabour},
    {5, 8, 1, kLabour | kWork},
    {6, 12, 3, kDragonBoat},
    {9, 18, 1, kMidAutumn | kWork},
    {9, 19, 3, kMidAutumn},
    {9, 26, 1, kNational | kWork},
    {10, 1, 7, kNational},
    {10, 9, 1, kNational | kWork},
    // 2022
    {1, 1, 3, kNewYear},
    {1, 29, 2, kSpring | kWork},
    {1, 31, 7, kSpring},
    {4, 2, 1, kQingming | kWork},
    {4, 3, 3, kQingming},
    {4, 24, 1, kLabour | kWork},
    {4, 30, 5, kLabour},
    {5, 7, 1, kLabour | kWork},
    {6, 3, 3, kDragonBoat},
    {9, 10, 3, kMidAutumn},
    {10, 1, 7, kNational},
    {10, 8, 2, kNational | kWork},
    {12, 31, 1, kNewYear},
    // 2023
    {1, 1, 2, kNewYear},
    {1, 21, 7, kSpring},
    {1, 28, 2, kSpring | kWork},
    {4, 5, 1, kQingming},
    {4, 23, 1, kLabour | kWork},
    {4, 29, 5, kLabour},
    {5, 6, 1, kLabour | kWork},
    {6, 22, 3, kDragonBoat},
    {6, 25, 1, kDragonBoat | kWork},
    {9, 29, 8, kMidAutumnNational},
    {10, 7, 2, kMidAutumnNational | kWork},
    // 2024
    {1, 1, 1, kNewYear},
    {2, 4, 1, kSpring | kWork},
    {2, 10, 8, kSpring},
    {2, 18, 1, kSpring | kWork},
    {4, 4, 3, kQingming},
    {4, 7, 1, kQingming | kWork},
    {4, 28, 1, kLabour | kWork},
    {5, 1, 5, kLabour},
    {5, 11, 1, kLabour | kWork},
    {6, 10, 1, kDragonBoat},
    {9, 14, 1, kMidAutumn | kWork},
    {9, 15, 3, kMidAutumn},
    {9, 29, 1, kNational | kWork},
    {10, 1, 7, kNational},
    {10, 12, 1, kNational | kWork},
    // 2025
    {1, 1, 1, kNewYear},
    {1, 26, 1, kSpring | kWork},
    {1, 28, 8, kSpring},
    {2, 8, 1, kSpring | kWork},
    {4, 4, 3, kQingming},
    {4, 27, 1, kLabour | kWork},
    {5, 1, 5, kLabour},
    {5, 31, 3, kDragonBoat},
    {9, 28, 1, kMidAutumnNational | kWork},
    {10, 1, 8, kMidAutumnNational},
    {10, 11, 1, kMidAutumnNational | kWork},
    // 2026
    {1, 1, 3, kNewYear},
    {1, 4, 1, kNewYear | kWork},
    {2, 14, 1, kSpring | kWork},
    {2, 15, 9, kSpring},
    {2, 28, 1, kSpring | kWork},
    {4, 4, 3, kQingming},
    {5, 1, 5, kLabour},
    {5, 9, 1, kLabour | kWork},
    {6, 19, 3, kDragonBoat},
    {9, 20, 1, kNational | kWork},
    {9, 25, 3, kMidAutumn},
    {10, 1, 7, kNational},
    {10, 10, 1, kNational | kWork},
};

// Where each year's runs start in kRuns, and the end.
const uint8_t kYearStart[kLastHolidayTableYear - kFirstHolidayTableYear + 2] = {
    0, 13, 25, 36, 51, 63, 76, 88, 99, 113, 125, 137, 151, 164, 175, 190, 201, 214};

}  // namespace

HolidayCalendar::HolidayCalendar() {
  for (int year = kFirstHolidayTableYear; year <= kLastHolidayTableYear; ++year) {
    const int index = year - kFirstHolidayTableYear;
    for (int r = kYearStart[index]; r < kYearStart[index + 1]; ++r) {
      const Run& run = kRuns[r];
      const int64_t first = daysFromCivil(year, run.month, run.day);
      for (int64_t day = first; day < first + run.days; ++day)
        m_builtIn[day] = HolidayDay{civilFromDays(day), kNames[run.holiday & ~kWork], (run.holiday & kWork) != 0};
    }
  }
  m_days = m_builtIn;
}

void HolidayCalendar::setUserDays(const std::vector<HolidayDay>& days) {
  m_days = m_builtIn;
  m_userYears.clear();
  for (const HolidayDay& day : days) {
    m_days[dayNumber(day.date)] = day;
    m_userYears.insert(day.date.year);
  }
}

const HolidayDay* HolidayCalendar::find(const CivilDate& date) const {
  const auto it = m_days.find(dayNumber(date));
  return it == m_days.end() ? nullptr : &it->second;
}

bool HolidayCalendar::hasYear(int year) const {
  return (year >= kFirstHolidayTableYear && year <= kLastHolidayTableYear) || m_userYears.count(year) != 0;
}

std::vector<HolidayDay> HolidayCalendar::yearDays(int year) const {
  std::vector<HolidayDay> days;
  for (auto it = m_days.lower_bound(daysFromCivil(year, 1, 1)); it != m_days.end() && it->second.date.year == year;
       ++it)
    days.push_back(it->second);
  return days;
}

bool HolidayCalendar::isWorkday(const CivilDate& date) const {
  const HolidayDay* entry = find(date);
  return entry ? entry->work : !isWeekend(dayNumber(date));
}

int HolidayCalendar::workdaysBetween(const CivilDate& from, const CivilDate& to, int* noDataYear) const {
  int64_t low = dayNumber(from), high = dayNumber(to);
  if (high < low) std::swap(low, high);
  if (noDataYear) {
    *noDataYear = 0;
    for (int year = civilFromDays(low + 1).year; low < high && year <= civilFromDays(high).year; ++year) {
      if (!hasYear(year)) {
        *noDataYear = year;
        break;
      }
    }
  }
  // Whole weeks hold five weekdays each; the entries in the range then correct the count.
  int64_t count = (high - low) / 7 * 5;
  for (int64_t day = low + 1 + (high - low) / 7 * 7; day <= high; ++day) count += isWeekend(day) ? 0 : 1;
  for (auto it = m_days.upper_bound(low); it != m_days.end() && it->first <= high; ++it) {
    const bool weekdayCounted = !isWeekend(it->first);
    if (it->second.work != weekdayCounted) count += it->second.work ? 1 : -1;
  }
  return static_cast<int>(count);
}

bool HolidayCalendar::nextBreak(const CivilDate& from, HolidayBreak* next) const {
  // A day off joins the days off and weekend days around it into one break.
  const auto isOff = [this](int64_t day) {
    const auto it = m_days.find(day);
    return it == m_days.end() ? isWeekend(day) : !it->second.work;
  };
  const int64_t start = dayNumber(from);
  for (auto it = m_days.lower_bound(start); it != m_days.end(); ++it) {
    if (it->second.work) continue;
    int64_t first = it->first, last = it->first;
    while (isOff(first - 1)) --first;
    if (first < start) continue;
    while (isOff(last + 1)) ++last;
    next->name = it->second.name;
    next->first = civilFromDays(first);
    next->last = civilFromDays(last);
    next->workdays.clear();
    // Its 补班 days come within a few weeks before or after it.
    for (auto w = m_days.lower_bound(first - 21); w != m_days.end() && w->first <= last + 21; ++w)
      if (w->second.work && w->second.name == next->name) next->workdays.push_back(w->second.date);
    return true;
  }
  return false;
}

HolidayCalendar& holidayCalendar() {
  static HolidayCalendar calendar;
  return calendar;
}

namespace {

// The text's fields at "," and "，", each without the spaces around it.
std::vector<std::string> splitFields(std::string_view line) {
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < line.size();) {
    const size_t width = gbk::charWidth(line, i);
    if (line[i] == ',' || (width == 2 && line.substr(i, 2) == "，")) {
      fields.emplace_back();
    } else {
      fields.back().append(line.substr(i, width));
    }
    i += width;
  }
  for (std::string& field : fields) {
    std::string_view trimmed = trimSpaces(field);
    while (trimmed.substr(0, 2) == "　") trimmed = trimSpaces(trimmed.substr(2));
    while (trimmed.size() >= 2 && trimmed.substr(trimmed.size() - 2) == "　")
      trimmed = trimSpaces(trimmed.substr(0, trimmed.size() - 2));
    field = std::string(trimmed);
  }
  return fields;
}

}  // namespace

std::vector<HolidayDay> readHolidayText(std::string_view text, std::vector<std::string>* badLines) {
  std::vector<HolidayDay> days;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = trimSpaces(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || gbk::find(line, ";") != std::string_view::npos) continue;
    const std::vector<std::string> fields = splitFields(line);
    HolidayDay day;
    WrittenDate written;
    const bool read = fields.size() == 3 && !fields[1].empty() && (fields[2] == "休" || fields[2] == "班") &&
                      readDateText(fields[0], CivilDate(), &day.date, &written) == DateProblem::None &&
                      written.form == DateForm::Dated;
    if (!read) {
      if (badLines) badLines->emplace_back(line);
      continue;
    }
    day.name = fields[1];
    day.work = fields[2] == "班";
    days.push_back(day);
  }
  return days;
}

bool loadHolidayFile(const std::string& listPath, std::vector<std::string>* badLines) {
  std::string bytes;
  const ReadResult read = readFileBytes(join(folderOf(listPath), kHolidayFileName), bytes);
  if (read != ReadResult::Ok && read != ReadResult::Missing) return false;
  holidayCalendar().setUserDays(readHolidayText(decodeToGbk(bytes, detectEncoding(bytes)), badLines));
  return true;
}

std::string holidayFileNote(const std::vector<std::string>& badLines) {
  if (badLines.empty()) return std::string();
  std::string note = std::string(kHolidayFileName) + " 中有 " + std::to_string(badLines.size()) +
                     " 行无法识别（每行应为 日期,名称,休 或 日期,名称,班）：";
  for (size_t i = 0; i < badLines.size() && i < 3; ++i) note += (i ? "；" : "") + badLines[i];
  return note;
}

namespace {

const char* const kWeekdayNames[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};

std::string monthDay(const CivilDate& date) {
  return std::to_string(date.month) + "月" + std::to_string(date.day) + "日";
}

std::string weekdayOf(const CivilDate& date) { return kWeekdayNames[weekday(dayNumber(date))]; }

}  // namespace

std::string holidayBreakText(const HolidayBreak& b) {
  std::string text = "放假 " + monthDay(b.first);
  if (b.last != b.first)
    text += "至" + (b.last.month == b.first.month ? std::to_string(b.last.day) + "日" : monthDay(b.last));
  text += "，共 " + std::to_string(dayNumber(b.last) - dayNumber(b.first) + 1) + " 天";
  for (size_t i = 0; i < b.workdays.size(); ++i)
    text += (i ? "、" : "；") + monthDay(b.workdays[i]) + "（" + weekdayOf(b.workdays[i]) + "）";
  if (!b.workdays.empty()) text += "补班";
  return text;
}

std::string workdayNoteText(const HolidayDay& workday) {
  return "明天（" + weekdayOf(workday.date) + "）要上班：" + workday.name + "调休";
}

std::string holidayListLine(const HolidayDay& day) {
  std::string name = day.name;
  for (char& c : name)
    if (c == '\t') c = ' ';  // a tab would shift the column after it
  return zeroPadded(day.date.year, 4) + "-" + zeroPadded(day.date.month, 2) + "-" + zeroPadded(day.date.day, 2) + "\t" +
         name + "\t" + (day.work ? "班" : "休");
}
