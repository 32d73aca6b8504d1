#include "core/NamedDates.h"

#include "core/DateText.h"
#include "core/LunarCalendar.h"
#include "core/SolarTerms.h"
#include "framework/Gbk.h"

namespace {

const char* const kWeekdayWords[] = {"日", "一", "二", "三", "四", "五", "六"};

// The text after a leading number (ASCII or full-width digits, at most two) and the number; 0 when
// none.
int leadingNumber(std::string_view* text) {
  int value = 0, digits = 0;
  for (;;) {
    if (!text->empty() && (*text)[0] >= '0' && (*text)[0] <= '9') {
      value = value * 10 + ((*text)[0] - '0');
      text->remove_prefix(1);
    } else if (text->size() >= 2 && static_cast<unsigned char>((*text)[0]) == 0xA3 &&
               static_cast<unsigned char>((*text)[1]) >= 0xB0 && static_cast<unsigned char>((*text)[1]) <= 0xB9) {
      value = value * 10 + (static_cast<unsigned char>((*text)[1]) - 0xB0);
      text->remove_prefix(2);
    } else {
      break;
    }
    if (++digits > 2) return 0;
  }
  return value;
}

bool skip(std::string_view* text, std::string_view word) {
  if (text->substr(0, word.size()) != word) return false;
  text->remove_prefix(word.size());
  return true;
}

// 5月第2个周日, 5月最后一个星期一: the month, the nth (1..5, in digits or 一..五) or the last, the weekday.
bool readNthWeekday(std::string_view text, WrittenDate* written) {
  const int month = leadingNumber(&text);
  if (month < 1 || month > 12 || !skip(&text, "月")) return false;
  int nth = 0;
  if (skip(&text, "最后一个")) {
    nth = kLastWeekdayOfMonth;
  } else if (skip(&text, "第")) {
    nth = leadingNumber(&text);
    for (int i = 1; i <= 5 && nth == 0; ++i)
      if (skip(&text, kWeekdayWords[i])) nth = i;
    if (nth < 1 || nth > 5 || !skip(&text, "个")) return false;
  } else {
    return false;
  }
  if (!skip(&text, "周") && !skip(&text, "星期")) return false;
  for (int w = 0; w < 7; ++w) {
    if (text == kWeekdayWords[w] || (w == 0 && text == "天")) {
      *written = WrittenDate{DateForm::NthWeekday, 0, month, nth, false, w};
      return true;
    }
  }
  return false;
}

}  // namespace

bool readNamedDate(std::string_view text, WrittenDate* written) {
  const int term = solarTermIndex(text);
  if (term >= 0) {
    *written = WrittenDate{DateForm::SolarTerm, 0, 0, term};
    return true;
  }
  if (text == "除夕") {
    *written = WrittenDate{DateForm::LunarEve};
    return true;
  }
  return readNthWeekday(text, written);
}

// The text without ASCII and full-width spaces around it.
std::string_view trimAllSpaces(std::string_view text) {
  const std::string_view kWideSpace = "\xA1\xA1";
  for (;;) {
    text = trimSpaces(text);
    size_t last = 0;  // where the last character starts
    for (size_t i = 0; i < text.size(); i += gbk::charWidth(text, i)) last = i;
    if (text.substr(0, 2) == kWideSpace)
      text.remove_prefix(2);
    else if (text.size() >= 2 && text.substr(last) == kWideSpace)
      text.remove_suffix(2);
    else
      return text;
  }
}

bool namedDateIn(const WrittenDate& written, int year, CivilDate* date) {
  switch (written.form) {
    case DateForm::SolarTerm:
      *date = solarTermDate(year, written.day);
      return true;
    case DateForm::LunarEve: {
      // The eve of lunar year - 1: the day before lunar year's first day, which falls in January or
      // February of year; lunar 2100's eve counts its months, the table having no 2101.
      const int lunarYear = year - 1;
      if (lunarYear < kFirstLunarYear - 1 || lunarYear > kLastLunarYear) return false;
      if (lunarYear < kLastLunarYear) {
        const CivilDate next = lunarNewYear(lunarYear + 1);
        *date = civilFromDays(daysFromCivil(next.year, next.month, next.day) - 1);
        return true;
      }
      const CivilDate first = lunarNewYear(lunarYear);
      int64_t day = daysFromCivil(first.year, first.month, first.day) - 1;
      for (int m = 1; m <= 12; ++m) day += lunarMonthDays(lunarYear, m, false) + lunarMonthDays(lunarYear, m, true);
      *date = civilFromDays(day);
      return true;
    }
    default: {
      const int length = daysInMonth(year, written.month);
      const int firstWeekday = static_cast<int>(((daysFromCivil(year, written.month, 1) + 4) % 7 + 7) % 7);
      const int firstDay = 1 + (written.weekday - firstWeekday + 7) % 7;
      int day = firstDay + 7 * (written.day - 1);
      if (written.day == kLastWeekdayOfMonth) day = firstDay + (length - firstDay) / 7 * 7;
      if (day > length) return false;
      *date = CivilDate{year, written.month, day};
      return true;
    }
  }
}

std::string namedDateText(const WrittenDate& written) {
  switch (written.form) {
    case DateForm::SolarTerm:
      return solarTermName(written.day);
    case DateForm::LunarEve:
      return "除夕";
    case DateForm::NthWeekday:
      return std::to_string(written.month) + "月" +
             (written.day == kLastWeekdayOfMonth ? std::string("最后一个")
                                                 : "第" + std::to_string(written.day) + "个") +
             "周" + kWeekdayWords[written.weekday];
    default:
      return std::string();
  }
}
