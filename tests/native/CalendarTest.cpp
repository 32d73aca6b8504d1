// The calendar file: folding at 75 octets never inside a UTF-8 sequence, and UIDs that stay the same
// across runs and reorderings. tests/tools/check_ics.py reads whole files back with an independent
// parser. Chinese literals compile to GBK.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "ScopedTimeZone.h"
#include "items/Calendar.h"

namespace {

const std::string kZhong = "\xE4\xB8\xAD";      // "中" in UTF-8, 3 octets
const std::string kSmile = "\xF0\x9F\x98\x80";  // U+1F600, 4 octets

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

IcsFile icsFile(const std::vector<Line>& lines, CTime now, int remindAt = 9 * 60) {
  std::vector<ItemRecord> records(lines.size());
  std::vector<ItemOptions> options;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::strcpy(records[i].name, lines[i].name);
    std::strcpy(records[i].dateText, lines[i].date);
    options.push_back(parseItemOptions(lines[i].options));
  }
  return writeIcs(records.data(), options.data(), static_cast<int>(lines.size()), now, remindAt);
}

std::string ics(const std::vector<Line>& lines, CTime now) { return icsFile(lines, now).text; }

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
  // A yearly rule for 妈妈生日, one-off events for 相识 and the two identical lines; 30 lunar years;
  // the milestones of 2025..2054 (day 100 fell in 2024, day 200 on 2025-03-07).
  EXPECT_EQ(uids.size(), 4u + 30u + 10u);
  EXPECT_EQ(linesStarting(first, "RRULE:").size(), 1u);
  EXPECT_EQ(linesStarting(first, "TRIGGER:"), std::vector<std::string>{"TRIGGER:PT9H"});
  // The same list on the same day writes the same file, but for DTSTAMP.
  EXPECT_EQ(first, ics(list, CTime(2025, 6, 15, 10, 0, 0)));
  EXPECT_EQ(first.compare(0, 17, "BEGIN:VCALENDAR\r\n"), 0);  // no byte-order mark
}

TEST(CalendarTest, AlarmsRingAtTheReminderTime) {
  const struct {
    int lead, remindAt;
    const char* trigger;
  } cases[] = {
      {0, 0, "TRIGGER:PT0S"},
      {0, 9 * 60, "TRIGGER:PT9H"},
      {0, 9 * 60 + 30, "TRIGGER:PT9H30M"},
      {7, 9 * 60, "TRIGGER:-P6DT15H"},
      {7, 0, "TRIGGER:-P7D"},
      {1, 23 * 60 + 59, "TRIGGER:-PT1M"},
      {2, 30, "TRIGGER:-P1DT23H30M"},
      {366, 12 * 60, "TRIGGER:-P365DT12H"},
  };
  for (const auto& c : cases) EXPECT_EQ(icsTrigger(c.lead, c.remindAt), c.trigger) << c.lead << " " << c.remindAt;
  const std::string text = icsFile({{"a", "5月20日", "提前7天,提醒"}}, CTime(2025, 6, 15, 10, 0, 0), 8 * 60).text;
  EXPECT_EQ(linesStarting(text, "TRIGGER:"), (std::vector<std::string>{"TRIGGER:PT8H", "TRIGGER:-P6DT16H"}));
}

TEST(CalendarTest, EachDateFormStartsWhereItIsWrittenWithItsRule) {
  const struct {
    Line line;
    const char* start;  // the first event's DTSTART, the same in every year exported
    const char* rule;   // its RRULE, "" for none
  } cases[] = {
      // One-off: the date itself once, also when it has passed.
      {{"a", "2025-07-01", ""}, "20250701", ""},
      {{"a", "2020-03-01", "提醒"}, "20200301", ""},
      {{"a", "农历2020年腊月初八", ""}, "20210120", ""},
      // Repeating from the date written; without a year from its day in 2000.
      {{"a", "2020-05-20", "每年"}, "20200520", "FREQ=YEARLY"},
      {{"a", "5月20日", ""}, "20000520", "FREQ=YEARLY"},
      {{"a", "2月29日", "每年"}, "20000229", "FREQ=YEARLY"},
      {{"a", "2025-01-05", "每月"}, "20250105", "FREQ=MONTHLY"},
      {{"a", "2025-06-01", "每周"}, "20250601", "FREQ=WEEKLY"},
  };
  for (const auto& c : cases) {
    for (const CTime now : {CTime(2025, 6, 15, 10, 0, 0), CTime(2031, 1, 2, 10, 0, 0)}) {
      const std::string text = ics({c.line}, now);
      const std::vector<std::string> starts = linesStarting(text, "DTSTART;VALUE=DATE:");
      ASSERT_FALSE(starts.empty()) << c.line.date;
      EXPECT_EQ(starts[0], std::string("DTSTART;VALUE=DATE:") + c.start) << c.line.date;
      const std::vector<std::string> rules = linesStarting(text, "RRULE:");
      EXPECT_EQ(rules, *c.rule ? std::vector<std::string>{std::string("RRULE:") + c.rule} : std::vector<std::string>())
          << c.line.date;
      if (!*c.rule) {
        EXPECT_EQ(starts.size(), 1u) << c.line.date;
      }
    }
  }
}

TEST(CalendarTest, NamedDatesAreOneEventPerOccurrence) {
  // They move within their month: no yearly rule, each year's own day, this January on.
  const std::string text = ics({{"a", "清明", ""}, {"b", "5月第2个周日", ""}}, CTime(2025, 6, 15, 10, 0, 0));
  EXPECT_TRUE(linesStarting(text, "RRULE:").empty());
  const std::vector<std::string> starts = linesStarting(text, "DTSTART;VALUE=DATE:");
  ASSERT_EQ(starts.size(), 60u);  // 30 years each
  EXPECT_EQ(starts[0], "DTSTART;VALUE=DATE:20250404");
  EXPECT_EQ(starts[1], "DTSTART;VALUE=DATE:20260405");
  EXPECT_EQ(starts[30], "DTSTART;VALUE=DATE:20250511");
  EXPECT_EQ(starts[31], "DTSTART;VALUE=DATE:20260510");
}

TEST(CalendarTest, UidStampAndTextAreWrittenAsTheyMustBe) {
  // 2025-06-15 12:34:56 UTC, in any time zone.
  const std::string text =
      ics({{"妈妈生日", "5月20日", ""}, {"a\\b;c,d", " 2025-07-01 ", ""}, {"a\\b;c,d", "2025-07-01", ""}},
          CTime(int64_t{1749990896}));
  const std::vector<std::string> uids = linesStarting(text, "UID:");
  ASSERT_EQ(uids.size(), 3u);
  // FNV-1a of the GBK name, a tab and the date text, worked out apart from the writer.
  EXPECT_EQ(uids[0], "UID:9572d00c-r@tessaly");
  // Spaces around a date text do not make another line: the same UID, as a copy.
  EXPECT_EQ(uids[2], uids[1].substr(0, 12) + "-2-r@tessaly");
  EXPECT_EQ(linesStarting(text, "DTSTAMP:")[0], "DTSTAMP:20250615T123456Z");
  EXPECT_EQ(linesStarting(text, "SUMMARY:a")[0], "SUMMARY:a\\\\b\\;c\\,d");
}

TEST(CalendarTest, OneLineCannotMakeTheFileHuge) {
  std::string many = "提醒";
  for (int n = 1; n <= 60; ++n) many += ",提前" + std::to_string(n) + "天";
  std::string milestones = "里程碑";
  for (int n = 1; n < kMaxLineOptions; ++n) milestones += ",里程碑" + std::to_string(n * 30);
  const CTime now(2025, 6, 15, 10, 0, 0);
  const IcsFile leads = icsFile({{"多", "5月20日", many.c_str()}, {"少", "6月1日", "提前3天"}}, now);
  EXPECT_EQ(linesStarting(leads.text, "TRIGGER:").size(), static_cast<size_t>(kMaxIcsAlarms + 1));
  // The nearest leads are kept.
  EXPECT_EQ(linesStarting(leads.text, "TRIGGER:")[kMaxIcsAlarms - 1], icsTrigger(kMaxIcsAlarms - 1, 9 * 60));
  EXPECT_EQ(leads.cutNames, std::vector<std::string>{"多"});
  EXPECT_NE(icsBoundNote(leads).find("多"), std::string::npos);
  EXPECT_TRUE(icsBoundNote(icsFile({{"少", "6月1日", "提前3天"}}, now)).empty());

  // A lunar month's 371 occurrences and 100 milestones: cut at the line's bound, the next line whole.
  const IcsFile events =
      icsFile({{"初一", "农历2024年正月初一", ("农历每月," + milestones).c_str()}, {"少", "6月1日", ""}}, now);
  EXPECT_EQ(linesStarting(events.text, "BEGIN:VEVENT").size(), static_cast<size_t>(kMaxIcsLineEvents + 1));
  EXPECT_EQ(events.cutNames, std::vector<std::string>{"初一"});

  // Many such lines: no event begun past the file's bound, every line past it named.
  std::vector<Line> lines(kTableRecords, Line{"满", "2025-01-31", ""});
  const std::string options = "提醒,提前1天,提前2天,提前3天,提前4天,提前5天,提前6天,提前7天,每月," + milestones;
  for (Line& line : lines) line.options = options.c_str();
  const IcsFile full = icsFile(lines, now);
  EXPECT_LT(full.text.size(), kMaxIcsBytes + 8192);
  EXPECT_GT(full.text.size(), kMaxIcsBytes);
  EXPECT_EQ(full.text.substr(full.text.size() - 15), "END:VCALENDAR\r\n");
  EXPECT_EQ(full.cutNames.size(), lines.size());
}

}  // namespace
