#include <gtest/gtest.h>

#include <string>

#include "core/Core.h"
#include "core/DateText.h"

namespace {

// GBK bytes, so that the source stays ASCII.
const std::string kNian = "\xC4\xEA";  // 年
const std::string kYue = "\xD4\xC2";   // 月
const std::string kRi = "\xC8\xD5";    // 日
const std::string kWideSpace = "\xA1\xA1";
const std::string kWideDash = "\xA3\xAD";   // －
const std::string kWideSlash = "\xA3\xAF";  // ／
const std::string kWideDot = "\xA3\xAE";    // ．

// Full-width digits for the ASCII digits of text; everything else unchanged.
std::string wide(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      out += '\xA3';
      out += static_cast<char>(0xB0 + (c - '0'));
    } else {
      out += c;
    }
  }
  return out;
}

std::string show(const CivilDate& d) {
  return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

const CivilDate kToday{2025, 6, 15};

TEST(DateTextTest, AcceptedFormsWithAYear) {
  const struct {
    std::string text;
    CivilDate date;
  } cases[] = {
      {"2025-05-20", {2025, 5, 20}},
      {"2025-5-20", {2025, 5, 20}},
      {"2025/05/20", {2025, 5, 20}},
      {"2025/5/2", {2025, 5, 2}},
      {"2025.05.20", {2025, 5, 20}},
      {"2025.12.31", {2025, 12, 31}},
      {"2025" + kNian + "5" + kYue + "20" + kRi, {2025, 5, 20}},
      {"2025" + kNian + "05" + kYue + "02" + kRi, {2025, 5, 2}},
      // Spaces around the date, as the item reader leaves them after the comma.
      {" 2025-05-20", {2025, 5, 20}},
      {"\t2025-05-20  \t", {2025, 5, 20}},
      {"2025-05-20\r\n", {2025, 5, 20}},
      {kWideSpace + "2025-05-20" + kWideSpace, {2025, 5, 20}},
      // Full-width digits and separators.
      {wide("2025") + kWideDash + wide("05") + kWideDash + wide("20"), {2025, 5, 20}},
      {wide("2025") + kWideSlash + wide("5") + kWideSlash + wide("20"), {2025, 5, 20}},
      {wide("2025") + kWideDot + wide("5") + kWideDot + wide("20"), {2025, 5, 20}},
      {wide("2025") + kNian + wide("5") + kYue + wide("20") + kRi, {2025, 5, 20}},
      {"2025" + kWideDash + "05-20", {2025, 5, 20}},
      // The ends of the range, leap days and dates before 1970.
      {"1900-01-01", {1900, 1, 1}},
      {"9999-12-31", {9999, 12, 31}},
      {"1949-10-01", {1949, 10, 1}},
      {"2024-02-29", {2024, 2, 29}},
      {"2000-02-29", {2000, 2, 29}},
      {"2025-04-30", {2025, 4, 30}},
  };
  for (const auto& c : cases) {
    CivilDate date;
    ASSERT_TRUE(parseDateText(c.text, kToday, &date)) << c.text;
    EXPECT_EQ(show(date), show(c.date)) << c.text;
  }
}

TEST(DateTextTest, YearlyDatesNameTheirNextOccurrence) {
  const struct {
    std::string text;
    CivilDate today;
    CivilDate date;
  } cases[] = {
      {"6-15", kToday, {2025, 6, 15}},  // today counts
      {"6-16", kToday, {2025, 6, 16}},
      {"6-14", kToday, {2026, 6, 14}},
      {"05/20", kToday, {2026, 5, 20}},
      {"5.20", kToday, {2026, 5, 20}},
      {"5" + kYue + "20" + kRi, kToday, {2026, 5, 20}},
      {"12" + kYue + "31" + kRi, kToday, {2025, 12, 31}},
      {" " + wide("7") + kWideDash + wide("1") + kWideSpace, kToday, {2025, 7, 1}},
      {"1-1", kToday, {2026, 1, 1}},
      {"1-1", {2025, 1, 1}, {2025, 1, 1}},
      {"12-31", {2025, 12, 31}, {2025, 12, 31}},
      {"1-1", {2025, 12, 31}, {2026, 1, 1}},
      // 29 February waits for the next year that has it; 2100 has none.
      {"2" + kYue + "29" + kRi, kToday, {2028, 2, 29}},
      {"2-29", {2024, 2, 29}, {2024, 2, 29}},
      {"2-29", {2024, 1, 10}, {2024, 2, 29}},
      {"2-29", {2024, 3, 1}, {2028, 2, 29}},
      {"2-29", {2097, 3, 1}, {2104, 2, 29}},
      {"3-1", {2024, 2, 29}, {2024, 3, 1}},
  };
  for (const auto& c : cases) {
    CivilDate date;
    ASSERT_TRUE(parseDateText(c.text, c.today, &date)) << c.text << " from " << show(c.today);
    EXPECT_EQ(show(date), show(c.date)) << c.text << " from " << show(c.today);
  }
}

TEST(DateTextTest, TextsThatNameNoDate) {
  const std::string cases[] = {
      "",
      "   ",
      kWideSpace,
      "2025-02-30",
      "2025-13-01",
      "2025-00-10",
      "2025-05-00",
      "2025-04-31",
      "2023-02-29",
      "1900-02-29",
      "2100-02-29",
      "1899-12-31",
      "0999-01-01",
      "0000-5-1",  // no year at all, not a yearly date
      "0000-05-01",
      "0000年5月1日",
      "10000-01-01",
      "25-05-20",
      "2025-005-20",
      "2025-05-020",
      "2025-05",
      "2025-",
      "-05-20",
      "2025-05-20-1",
      "2025-05/20",
      "2025--05-20",
      "2025 - 05 - 20",
      "2025-05-20x",
      "2025-05-20,",
      "2025-05-20 12:00",
      "+5-20",
      "birthday",
      "\xC9\xFA\xC8\xD5",  // 生日
      "2025" + kNian + "5" + kYue + "20",
      "2025" + kNian + "5-20",
      "2025-5" + kYue + "20" + kRi,
      "5" + kYue + "20",
      "5-20" + kRi,
      kNian + "5" + kYue + "20" + kRi,
      "2-30",
      "4-31",
      "13-1",
      "0-5",
      "5-0",
      "123-4",
      "2025-05-20\xC4",            // ends inside a double-byte character
      wide("2025-05-2") + "\xA3",  // ditto, cut through a full-width digit
      "2025\xA3\xACtext",          // full-width comma
      "2025" + kWideSpace + "-05-20",
  };
  for (const std::string& text : cases) {
    CivilDate date{1, 1, 1};
    EXPECT_FALSE(parseDateText(text, kToday, &date)) << "'" << text << "' read as " << show(date);
  }
}

// A yearly date that would fall past the last year the calendar range holds is no date either.
TEST(DateTextTest, YearlyDatePastTheRangeIsRefused) {
  CivilDate date;
  EXPECT_FALSE(parseDateText("1-1", {9999, 6, 1}, &date));
  EXPECT_TRUE(parseDateText("12-31", {9999, 6, 1}, &date));
}

// The time a text names is the local midnight that starts its day, in whatever zone the process has.
TEST(DateTextTest, TimeIsLocalMidnight) {
  const CTime now(2025, 6, 15, 14, 30, 0);
  const struct {
    std::string text;
    CivilDate date;
  } cases[] = {
      {"2025-05-20", {2025, 5, 20}}, {"1900-01-01", {1900, 1, 1}}, {"9999-12-31", {9999, 12, 31}},
      {"6-15", {2025, 6, 15}},       {"6-14", {2026, 6, 14}},
  };
  for (const auto& c : cases) {
    const CTime t = timeFromDateText(c.text, now);
    EXPECT_EQ(show({t.GetYear(), t.GetMonth(), t.GetDay()}), show(c.date)) << c.text;
    EXPECT_EQ(t.GetHour() * 3600 + t.GetMinute() * 60 + t.GetSecond(), 0) << c.text;
  }
  EXPECT_EQ(timeFromDateText("2025-02-30", now).GetTime(), kUnreadableTime);
  EXPECT_EQ(timeFromDateText("", now).GetTime(), kUnreadableTime);
}

}  // namespace
