#include "core/DateText.h"

#include <string>
#include <vector>

#include "core/Core.h"
#include "framework/Gbk.h"

namespace {

// Markers for 年 月 日 once the text is folded; plain ASCII letters never get through the fold.
constexpr char kYearMark = 'Y';
constexpr char kMonthMark = 'M';
constexpr char kDayMark = 'D';

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
    if (i + 1 >= text.size())
      return false;
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
      default:
        return false;
    }
  }
  return true;
}

std::string_view trimSpaces(std::string_view text) {
  const char* const kSpaces = " \t\r\n";
  const size_t first = text.find_first_not_of(kSpaces);
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
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
      if (++number.digits > 4)
        return false;  // no field of a date is that long
      number.value = number.value * 10 + (text[i] - '0');
    }
    tokens->push_back(number);
  }
  return true;
}

bool isNumber(const Token& token, int minDigits, int maxDigits) {
  return token.mark == 0 && token.digits >= minDigits && token.digits <= maxDigits;
}

bool isSeparator(const Token& token) {
  return token.mark == '-' || token.mark == '/' || token.mark == '.';
}

// The year (kYearly for a yearly date), month and day of the folded text, not yet checked against the calendar.
bool splitDate(std::string_view text, int* year, int* month, int* day) {
  std::vector<Token> t;
  if (!tokenize(text, &t))
    return false;
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

}  // namespace

bool parseDateText(std::string_view text, const CivilDate& today, CivilDate* date) {
  std::string folded;
  if (!foldText(text, &folded))
    return false;
  int year, month, day;
  if (!splitDate(trimSpaces(folded), &year, &month, &day))
    return false;
  if (year == kYearly) {
    // A yearly date: this year's when it is today or later, else next year's, and on to the next
    // year that has it (29 February); a day no year has (30 February) is no date.
    if (!isRealDate(2000, month, day))
      return false;
    year = today.year;
    if (month < today.month || (month == today.month && day < today.day))
      ++year;
    while (!isRealDate(year, month, day))
      ++year;
  }
  if (year < kFirstDateYear || year > kLastDateYear || !isRealDate(year, month, day))
    return false;
  date->year = year;
  date->month = month;
  date->day = day;
  return true;
}

CTime timeFromDateText(std::string_view text, CTime now) {
  const CivilDate today{now.GetYear(), now.GetMonth(), now.GetDay()};
  CivilDate date;
  if (!parseDateText(text, today, &date))
    return CTime(kUnreadableTime);
  return CTime(date.year, date.month, date.day, 0, 0, 0);
}
