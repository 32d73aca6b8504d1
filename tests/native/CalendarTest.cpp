// The calendar file: folding at 75 octets never inside a UTF-8 sequence, and UIDs that stay the same
// across runs and reorderings. tests/tools/check_ics.py reads whole files back with an independent
// parser. Chinese literals compile to GBK.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "items/Calendar.h"

namespace {

const std::string kZhong = "\xE4\xB8\xAD";       // "中" in UTF-8, 3 octets
const std::string kSmile = "\xF0\x9F\x98\x80";   // U+1F600, 4 octets

std::string times(const std::string& unit, int n) {
  std::string s;
  while (n-- > 0) s += unit;
  return s;
}

TEST(CalendarTest, FoldsAt75OctetsBetweenUtf8Sequences) {
  const struct {
    std::string line;
    std::vector<size_t> lengths;  // of the physical lines, the leading space included
  } cases[] = {
      {"", {0}},
      {std::string(75, 'a'), {75}},
      {std::string(76, 'a'), {75, 2}},
      {std::string(75 + 74, 'a'), {75, 75}},
      {std::string(75 + 75, 'a'), {75, 75, 2}},
      // A sequence that would straddle octet 75 moves whole to the next line.
      {std::string(74, 'a') + kZhong, {74, 4}},
      {std::string(73, 'a') + kZhong, {73, 4}},
      {std::string(72, 'a') + kZhong + "b", {75, 2}},
      {std::string(72, 'a') + kSmile, {72, 5}},
      {times(kZhong, 30), {75, 16}},
      {"S:" + times(kSmile, 20), {74, 9}},
  };
  for (const auto& c : cases) {
    const std::string folded = foldIcsLine(c.line);
    std::vector<size_t> lengths;
    std::string unfolded;
    size_t begin = 0;
    for (size_t end; (end = folded.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
      const std::string physical = folded.substr(begin, end - begin);
      lengths.push_back(physical.size());
      // Every physical line starts on a sequence's first octet (after the folding space).
      const size_t first = begin == 0 ? 0 : 1;
      if (physical.size() > first) {
        EXPECT_NE(static_cast<unsigned char>(physical[first]) & 0xC0, 0x80) << c.line;
      }
      unfolded += physical.substr(first);
    }
    EXPECT_EQ(begin, folded.size()) << "ends with CRLF";
    EXPECT_EQ(unfolded, c.line);
    EXPECT_EQ(lengths, c.lengths) << c.line.size();
  }
}

struct Line {
  const char* name;
  const char* date;
  const char* options;
};

std::string ics(const std::vector<Line>& lines, CTime now) {
  std::vector<ItemRecord> records(lines.size());
  std::vector<ItemOptions> options;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::strcpy(records[i].name, lines[i].name);
    std::strcpy(records[i].dateText, lines[i].date);
    options.push_back(parseItemOptions(lines[i].options));
  }
  return writeIcs(records.data(), options.data(), static_cast<int>(lines.size()), now);
}

std::vector<std::string> linesStarting(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  for (size_t at = 0; (at = text.find("\r\n" + prefix, at)) != std::string::npos; at += 2)
    found.push_back(text.substr(at + 2, text.find("\r\n", at + 2) - at - 2));
  return found;
}

TEST(CalendarTest, UidsStayAcrossRunsAndReordering) {
  const std::vector<Line> list = {{"妈妈生日", "5月20日", "提醒"},
                                  {"中秋", "农历八月十五", ""},
                                  {"相识", "2024-08-19", "里程碑"},
                                  {"同名", "2025-03-01", ""},
                                  {"同名", "2025-03-01", ""}};
  const std::string first = ics(list, CTime(2025, 6, 15, 10, 0, 0));
  const std::string later = ics({list[4], list[2], list[1], list[0], list[3]}, CTime(2025, 12, 31, 23, 0, 0));
  const std::vector<std::string> uids = linesStarting(first, "UID:");
  const std::set<std::string> unique(uids.begin(), uids.end());
  EXPECT_EQ(unique.size(), uids.size());
  const std::vector<std::string> laterUids = linesStarting(later, "UID:");
  EXPECT_EQ(unique, std::set<std::string>(laterUids.begin(), laterUids.end()));
  // Yearly rules for 妈妈生日, 相识 and the two identical lines; 30 lunar years; the milestones of
  // 2025..2054 (day 100 fell in 2024, day 200 on 2025-03-07).
  EXPECT_EQ(uids.size(), 4u + 30u + 10u);
  EXPECT_EQ(linesStarting(first, "RRULE:").size(), 4u);
  EXPECT_EQ(linesStarting(first, "TRIGGER:"), std::vector<std::string>{"TRIGGER:PT0S"});
  // The same list on the same day writes the same file, but for DTSTAMP.
  EXPECT_EQ(first, ics(list, CTime(2025, 6, 15, 10, 0, 0)));
  EXPECT_EQ(first.compare(0, 17, "BEGIN:VCALENDAR\r\n"), 0);  // no byte-order mark
}

}  // namespace
