#include "core/DateText.h"

#include <string>
#include <vector>

#include "core/Core.h"
#include "core/LunarCalendar.h"
#include "core/NamedDates.h"
#include "framework/Gbk.h"

namespace {

// Markers for 年 月 日 once the text is folded; plain ASCII letters never get through the fold.
constexpr char kYearMark = 'Y';
constexpr char kMonthMark = 'M';
constexpr char kDayMark = 'D';

// The characters of lunar dates, folded to lower-case letters no typed text can hold once folded:
// 一..九 a..i, 十 j, 廿 k, 初 m, 正 p, 冬 q, 腊 r, 闰 R, 农 N, 历 L. 0 for any other character.
char lunarMark(unsigned code) {
  static const struct {
    unsigned code;
    char mark;
  } kMarks[] = {{0xD2BB, 'a'}, {0xB6FE, 'b'}, {0xC8FD, 'c'}, {0xCBC4, 'd'}, {0xCEE5, 'e'}, {0xC1F9, 'f'},
                {0xC6DF, 'g'}, {0xB0CB, 'h'}, {0xBEC5, 'i'}, {0xCAAE, 'j'}, {0xD8A5, 'k'}, {0xB3F5, 'm'},
                {0xD5FD, 'p'}, {0xB6AC, 'q'}, {0xC0B0, 'r'}, {0xC8F2, 'R'}, {0xC5A9, 'N'}, {0xC0FA, 'L'}};
  for (const auto& m : kMarks) {
    if (m.code == code) return m.mark;
  }
  return 0;
}

// Folds the full-width forms of digits, separators and the space to ASCII and 年 月 日 to markers.
// False when the text holds any other character or ends inside a double-byte one.
bool foldText(std::string_view text, std::string* folded) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (!gbk::isLeadByte(lead)) {
      if (!((lead >= '0' && lead <= '9') || lead == '-' || lead == '/' || lead == '.' || lead == ' ' || lead == '\t' ||
            lead == '\r' || lead == '\n')) {
        return false;
      }
      folded->push_back(static_cast<char>(lead));
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) return false;
    const unsigned code = lead << 8 | static_cast<unsigned char>(text[i + 1]);
    i += 2;
    if (code >= 0xA3B0 && code <= 0xA3B9) {  // ０..９
      folded->push_back(static_cast<char>('0' + (code - 0xA3B0)));
      continue;
    }
    switch (code) {
      case 0xA3AD:
        folded->push_back('-');
        break;  // －
      case 0xA3AF:
        folded->push_back('/');
        break;  // ／
      case 0xA3AE:
        folded->push_back('.');
        break;  // ．
      case 0xA1A1:
        folded->push_back(' ');
        break;  // full-width space
      case 0xC4EA:
        folded->push_back(kYearMark);
        break;  // 年
      case 0xD4C2:
        folded->push_back(kMonthMark);
        break;  // 月
      case 0xC8D5:
        folded->push_back(kDayMark);
        break;  // 日
      default: {
        const char mark = lunarMark(code);
        if (!mark) return false;
        folded->push_back(mark);
      }
    }
  }
  return true;
}

// A folded text cut into numbers and single marks: "2025-5-20" is 2025 - 5 - 20.
// What splitDate gives as the year of a yearly date: no year a text can spell (0000 is refused).
constexpr int kYearly = -1;

struct Token {
  char mark;   // 0 for a number
  int value;   // the number
  int digits;  // its length
};

bool tokenize(std::string_view text, std::vector<Token>* tokens) {
  for (size_t i = 0; i < text.size();) {
    if (text[i] < '0' || text[i] > '9') {
      tokens->push_back({text[i++], 0, 0});
      continue;
    }
    Token number{0, 0, 0};
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (++number.digits > 4) return false;  // no field of a date is that long
      number.value = number.value * 10 + (text[i] - '0');
    }
    tokens->push_back(number);
  }
  return true;
}

bool isNumber(const Token& token, int minDigits, int maxDigits) {
  return token.mark == 0 && token.digits >= minDigits && token.digits <= maxDigits;
}

bool isSeparator(const Token& token) { return token.mark == '-' || token.mark == '/' || token.mark == '.'; }

// The year (kYearly for a yearly date), month and day of the folded text, not yet checked against the calendar.
bool splitDate(std::string_view text, int* year, int* month, int* day) {
  std::vector<Token> t;
  if (!tokenize(text, &t)) return false;
  const bool numbered = t.size() == 5 && isNumber(t[0], 4, 4) && isSeparator(t[1]) && isNumber(t[2], 1, 2) &&
                        t[3].mark == t[1].mark && isNumber(t[4], 1, 2);
  const bool written = t.size() == 6 && isNumber(t[0], 4, 4) && t[1].mark == kYearMark && isNumber(t[2], 1, 2) &&
                       t[3].mark == kMonthMark && isNumber(t[4], 1, 2) && t[5].mark == kDayMark;
  if (numbered || written) {
    *year = t[0].value;
    *month = t[2].value;
    *day = t[4].value;
    return true;
  }
  const bool yearlyNumbered = t.size() == 3 && isNumber(t[0], 1, 2) && isSeparator(t[1]) && isNumber(t[2], 1, 2);
  const bool yearlyWritten =
      t.size() == 4 && isNumber(t[0], 1, 2) && t[1].mark == kMonthMark && isNumber(t[2], 1, 2) && t[3].mark == kDayMark;
  if (yearlyNumbered || yearlyWritten) {
    *year = kYearly;
    *month = t[0].value;
    *day = t[2].value;
    return true;
  }
  return false;
}

// A lunar month written in words: 正 一..十 冬 腊 十一 十二.
int lunarMonthWord(std::string_view w) {
  if (w == "p") return 1;
  if (w.size() == 1 && w[0] >= 'a' && w[0] <= 'i') return w[0] - 'a' + 1;
  if (w == "j") return 10;
  if (w == "ja" || w == "q") return 11;
  if (w == "jb" || w == "r") return 12;
  return 0;
}

// A lunar day written in words: 初一..初十, 十一..十九, 二十, 廿一..廿九, 三十.
int lunarDayWord(std::string_view w) {
  if (w.size() != 2) return 0;
  const bool unit = w[1] >= 'a' && w[1] <= 'i';
  const int digit = w[1] - 'a' + 1;
  if (w[0] == 'm') return unit ? digit : w[1] == 'j' ? 10 : 0;
  if (w[0] == 'j' && unit) return 10 + digit;
  if (w[0] == 'k' && unit) return 20 + digit;
  if (w == "bj") return 20;
  if (w == "cj") return 30;
  return 0;
}

// One or two digits, or else words.
int lunarNumber(std::string_view w, int (*word)(std::string_view)) {
  if (w.empty() || w.size() > 2 || w.find_first_not_of("0123456789") != std::string_view::npos) return word(w);
  return std::stoi(std::string(w));
}

// The folded text after 农历: [year 年 | year sep] [闰] month (月 | sep) day [日], the separator the
// same throughout and 日 only after 月. Month and day in digits or words; the ranges are checked later.
bool splitLunarDate(std::string_view text, WrittenDate* written) {
  char sep = 0;
  // The form follows from a year being written, not from its value: 0000 is a year, and out of range.
  bool dated = false;
  if (text.size() > 5 && text.substr(0, 4).find_first_not_of("0123456789") == std::string_view::npos &&
      (text[4] == kYearMark || text[4] == '-' || text[4] == '/' || text[4] == '.')) {
    written->year = std::stoi(std::string(text.substr(0, 4)));
    dated = true;
    sep = text[4] == kYearMark ? kMonthMark : text[4];
    text.remove_prefix(5);
  }
  if (!text.empty() && text[0] == 'R') {
    written->leap = true;
    text.remove_prefix(1);
  }
  const size_t end = sep ? text.find(sep) : text.find_first_of("M-/.");
  if (end == std::string_view::npos) return false;
  sep = text[end];
  const std::string_view month = text.substr(0, end);
  std::string_view day = text.substr(end + 1);
  if (sep == kMonthMark && !day.empty() && day.back() == kDayMark) day.remove_suffix(1);
  written->month = lunarNumber(month, lunarMonthWord);
  written->day = lunarNumber(day, lunarDayWord);
  written->form = dated ? DateForm::LunarDated : DateForm::LunarYearly;
  return true;
}

bool nextLunarOccurrence(const WrittenDate& written, int fromYear, const CivilDate& from, CivilDate* date, int* year) {
  for (int y = fromYear; y <= fromYear + 1 && y <= kLastLunarYear; ++y) {
    // A date written with 闰 falls in the leap month where the year has it, else in the ordinary one;
    // a day the month lacks (三十 of a short month) becomes its last.
    LunarDate lunar{y, written.month, written.leap && lunarLeapMonth(y) == written.month, written.day};
    const int length = lunarMonthDays(y, lunar.month, lunar.leap);
    if (lunar.day > length) lunar.day = length;
    CivilDate solar;
    if (lunarToSolar(lunar, &solar) &&
        daysFromCivil(solar.year, solar.month, solar.day) >= daysFromCivil(from.year, from.month, from.day)) {
      *date = solar;
      *year = y;
      return true;
    }
  }
  return false;
}

DateProblem checkLunar(const WrittenDate& written, const CivilDate& today, CivilDate* date) {
  if (written.month < 1 || written.month > 12 || written.day < 1 || written.day > 30) return DateProblem::NotADate;
  if (written.form == DateForm::LunarYearly) {
    int year;
    return nextOccurrence(written, today, date, &year) ? DateProblem::None : DateProblem::LunarOutOfRange;
  }
  if (written.year < kFirstLunarYear || written.year > kLastLunarYear) return DateProblem::LunarOutOfRange;
  const int length = lunarMonthDays(written.year, written.month, written.leap);
  if (length == 0) return DateProblem::NoSuchLunarMonth;
  if (written.day > length) return DateProblem::NoSuchLunarDay;
  lunarToSolar({written.year, written.month, written.leap, written.day}, date);
  return DateProblem::None;
}

}  // namespace

std::string_view trimSpaces(std::string_view text) {
  const char* const kSpaces = " \t\r\n";
  const size_t first = text.find_first_not_of(kSpaces);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

bool nextOccurrence(const WrittenDate& written, const CivilDate& from, CivilDate* date, int* year) {
  if (written.form == DateForm::LunarDated || written.form == DateForm::LunarYearly) {
    LunarDate today;
    if (solarToLunar(from, &today)) return nextLunarOccurrence(written, today.year, from, date, year);
    // Before lunar 1900 the first year is the next; after lunar 2100 there is none.
    return from.year < kFirstLunarYear + 1 && nextLunarOccurrence(written, kFirstLunarYear, from, date, year);
  }
  if (written.form >= DateForm::SolarTerm) {
    // This year's, else the next year that has one: a 5th weekday of February comes every 28 years.
    for (int y = from.year; y <= from.year + 40 && y <= kLastDateYear; ++y) {
      if (namedDateIn(written, y, date) &&
          daysFromCivil(date->year, date->month, date->day) >= daysFromCivil(from.year, from.month, from.day)) {
        *year = y;
        return y >= kFirstDateYear;
      }
    }
    return false;
  }
  if (!isRealDate(2000, written.month, written.day)) return false;
  int y = from.year;
  if (written.month < from.month || (written.month == from.month && written.day < from.day)) ++y;
  while (!isRealDate(y, written.month, written.day)) ++y;
  if (y < kFirstDateYear || y > kLastDateYear) return false;
  *date = CivilDate{y, written.month, written.day};
  *year = y;
  return true;
}

DateProblem readDateText(std::string_view text, const CivilDate& today, CivilDate* date, WrittenDate* written) {
  WrittenDate parts;
  if (readNamedDate(trimAllSpaces(text), &parts)) {
    if (written) *written = parts;
    int year;
    return nextOccurrence(parts, today, date, &year) ? DateProblem::None : DateProblem::YearOutOfRange;
  }
  std::string folded;
  if (!foldText(text, &folded)) return DateProblem::NotADate;
  std::string_view trimmed = trimSpaces(folded);
  if (trimmed.substr(0, 2) == "NL") {
    if (!splitLunarDate(trimSpaces(trimmed.substr(2)), &parts)) return DateProblem::NotADate;
    if (written) *written = parts;
    return checkLunar(parts, today, date);
  }
  if (!splitDate(trimmed, &parts.year, &parts.month, &parts.day)) return DateProblem::NotADate;
  parts.form = parts.year == kYearly ? DateForm::Yearly : DateForm::Dated;
  if (parts.form == DateForm::Yearly) parts.year = 0;
  if (written) *written = parts;
  if (parts.form == DateForm::Yearly) {
    // A yearly date: this year's when it is today or later, else next year's, and on to the next
    // year that has it (29 February); a day no year has (30 February) is no date.
    if (!isRealDate(2000, parts.month, parts.day)) return DateProblem::NoSuchDay;
    int year;
    return nextOccurrence(parts, today, date, &year) ? DateProblem::None : DateProblem::YearOutOfRange;
  }
  if (parts.year < kFirstDateYear || parts.year > kLastDateYear) return DateProblem::YearOutOfRange;
  if (!isRealDate(parts.year, parts.month, parts.day)) return DateProblem::NoSuchDay;
  *date = CivilDate{parts.year, parts.month, parts.day};
  return DateProblem::None;
}

const char* acceptedDateForms() {
  return "日期可以写成 2025-05-20、2025/5/20、2025年5月20日、农历1990年八月十五，每年一次的写成 5月20日、农历八月十五";
}

bool parseDateText(std::string_view text, const CivilDate& today, CivilDate* date) {
  return readDateText(text, today, date, nullptr) == DateProblem::None;
}

CTime timeFromDateText(std::string_view text, CTime now) {
  const CivilDate today{now.GetYear(), now.GetMonth(), now.GetDay()};
  CivilDate date;
  if (!parseDateText(text, today, &date)) return CTime(kUnreadableTime);
  return CTime(date.year, date.month, date.day, 0, 0, 0);
}
