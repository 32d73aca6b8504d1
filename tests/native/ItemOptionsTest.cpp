// The options after a line's date: what the one parser reads, what it keeps as written, and the item
// reader keeping each record's options beside the record. Chinese literals compile to GBK.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cstdio>

#include "core/Core.h"
#include "core/TextFile.h"
#include "core/UserInput.h"
#include "items/ItemCheck.h"
#include "framework/String.h"
#include "items/ItemFile.h"
#include "items/ItemOptions.h"

namespace {

std::string describe(const ItemOptions& o) {
  std::string text;
  if (o.remind) text += " remind";
  for (int lead : o.leadDays) text += " lead" + std::to_string(lead);
  if (o.pinned) text += " pinned";
  if (o.hidden) text += " hidden";
  static const char* const kRepeats[] = {"", " yearly", " monthly", " weekly", " every", " lunarMonthly"};
  text += kRepeats[static_cast<int>(o.repeat)];
  if (o.everyDays) text += std::to_string(o.everyDays);
  if (o.milestones) text += " milestones";
  for (int n : o.ownMilestones) text += " m" + std::to_string(n);
  if (o.countStartDay) text += " day1";
  if (o.workdays) text += " workdays";
  if (o.years != YearsLabel::None) text += o.years == YearsLabel::Age ? " age" : " anniversary";
  for (const std::string& u : o.unknown) text += " ?" + u;
  if (o.repeatConflict) text += " conflict";
  if (o.unread) text += " unread" + std::to_string(o.unread);
  return text;
}

TEST(ItemOptionsTest, ReadsEachOptionKeepsUnknownOnesAndTheWrittenText) {
  const struct {
    std::string fields, meaning, written;
  } cases[] = {
      {"", "", ""},
      {"提前7天,提醒", " remind lead7", "提前7天,提醒"},
      // Trimmed (ASCII and full-width spaces), the full-width comma splits, empty fields dropped.
      {" 提醒 ，　置顶　,, 隐藏", " remind pinned hidden", "提醒,置顶,隐藏"},
      // Full-width digits count; several leads, a repeated one once.
      {"提前７天,提前1天,提前７天,提前366天", " lead7 lead1 lead366", "提前７天,提前1天,提前７天,提前366天"},
      {"提前９天,\t提醒", " remind lead9", "提前９天,提醒"},
      // Out of range or malformed numbers are unknown, kept as written.
      {"提前0天,提前367天,提前天,提前-1天,每0天", " ?提前0天 ?提前367天 ?提前天 ?提前-1天 ?每0天",
       "提前0天,提前367天,提前天,提前-1天,每0天"},
      {"每年", " yearly", "每年"},
      // 岁 and 周年: the last one written wins; anything around them is another option.
      {"岁", " age", "岁"},
      {"岁,周年", " anniversary", "岁,周年"},
      {"周年，岁,60岁,周岁", " age ?60岁 ?周岁", "周年,岁,60岁,周岁"},
      {"每月", " monthly", "每月"},
      {"每周", " weekly", "每周"},
      {"每１０天", " every10", "每１０天"},
      {"农历每月", " lunarMonthly", "农历每月"},
      // The last repeat written wins; two different ones are a conflict the editor names.
      {"每10天,每月", " monthly conflict", "每10天,每月"},
      {"每周,每年", " yearly conflict", "每周,每年"},
      {"每10天,每２０天", " every20 conflict", "每10天,每２０天"},
      {"每周,提醒,每周", " remind weekly", "每周,提醒,每周"},
      {"里程碑,里程碑999,里程碑100,含当天", " milestones m999 m100 day1", "里程碑,里程碑999,里程碑100,含当天"},
      {"工作日,每年", " yearly workdays", "工作日,每年"},
      {"明天提醒,remind,提醒我", " ?明天提醒 ?remind ?提醒我", "明天提醒,remind,提醒我"},
      // A tab inside stays part of the option.
      {"提\t醒", " ?提\t醒", "提\t醒"},
  };
  for (const auto& c : cases) {
    const ItemOptions options = parseItemOptions(c.fields);
    EXPECT_EQ(describe(options), c.meaning) << c.fields;
    EXPECT_EQ(options.written, c.written) << c.fields;
  }
}

TEST(ItemOptionsTest, LeadsAndReminded) {
  EXPECT_FALSE(parseItemOptions("置顶").reminded());
  EXPECT_TRUE(parseItemOptions("提前3天").reminded());
  EXPECT_EQ(parseItemOptions("提前7天,提醒,提前1天").leads(), (std::vector<int>{0, 1, 7}));
}

TEST(ItemOptionsTest, AFullWidthCommaIsFoundOnlyAtACharacterBoundary) {
  // "，" is A3 AC; here A3 is the trail byte of B0 A3 and AC the lead byte of AC B0.
  const std::string text = "\xB0\xA3\xAC\xB0";
  EXPECT_EQ(parseItemOptions(text).written, text);
  EXPECT_EQ(parseItemOptions(text).unknown.size(), 1u);
}

TEST(ItemOptionsTest, OptionFieldsStartAfterTheSecondComma) {
  EXPECT_EQ(optionFieldsOfLine("妈妈生日,5月20日,提前7天,提醒"), "提前7天,提醒");
  EXPECT_EQ(optionFieldsOfLine("a,2025-01-01"), "");
  EXPECT_EQ(optionFieldsOfLine("a,2025-01-01,"), "");
  EXPECT_EQ(optionFieldsOfLine("a"), "");
  // A "，" ends the date as "," does; in the name it is part of the name.
  const struct {
    std::string line, date, options;
  } cases[] = {
      {"名称,2025-01-01，提醒", "2025-01-01", "提醒"},
      {"名称,2025-01-01，提醒,置顶", "2025-01-01", "提醒,置顶"},
      {"名称,5月20日,提前7天，提醒", "5月20日", "提前7天，提醒"},
      {"爸爸，妈妈,5-20，", "5-20", ""},
      {"名称，2025-01-01", "", ""},
      // A3 AC across two characters is no comma.
      {"x,\xB0\xA3\xAC\xB0,y", "\xB0\xA3\xAC\xB0", "y"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dateFieldOfLine(c.line), c.date) << c.line;
    EXPECT_EQ(optionFieldsOfLine(c.line), c.options) << c.line;
  }
}

TEST(ItemOptionsTest, OneLineKeepsAtMostTheCappedNumberOfOptions) {
  std::string fields;
  for (int n = 1; n <= kMaxLineOptions + 50; ++n) fields += "里程碑" + std::to_string(n) + ",,";
  const ItemOptions options = parseItemOptions(fields);
  EXPECT_EQ(options.ownMilestones.size(), static_cast<size_t>(kMaxLineOptions));
  EXPECT_EQ(options.ownMilestones.back(), kMaxLineOptions);
  EXPECT_EQ(options.unread, 50);
  EXPECT_EQ(parseItemOptions(options.written).written, options.written);
  EXPECT_EQ(parseItemOptions(options.written).unread, 0);
}

TEST(ItemOptionsTest, TheReaderKeepsEachRecordsOptionsAndLeavesNameAndDateAlone) {
  CCore core;
  std::vector<ItemRecord> table(kTableRecords);
  std::vector<ItemOptions> options(kTableRecords);
  options[5].pinned = true;  // a stale entry past the records is cleared
  const int stored = readItemBytes(
      core,
      "妈妈生日,5月20日,提前7天,提醒\n;skipped,1-1,置顶\n相识,2020-01-01，含当天\n中秋,农历八月十五,,置顶,新选项\n",
      table.data(), options.data());
  ASSERT_EQ(stored, 3);
  EXPECT_EQ(std::string(table[0].dateText), "5月20日");
  EXPECT_EQ(options[0].written, "提前7天,提醒");
  // A full-width comma before the options ends the date, as the editor's save would make it.
  EXPECT_EQ(std::string(table[1].dateText), "2020-01-01");
  EXPECT_EQ(options[1].written, "含当天");
  EXPECT_TRUE(options[2].pinned);
  EXPECT_EQ(options[2].unknown, std::vector<std::string>{"新选项"});
  EXPECT_FALSE(options[5].pinned);
}

TEST(ItemOptionsTest, ALoadKeepsTheOptionsOrLeavesThemAsTheyWere) {
  CCore core;
  const FilePath path = testing::TempDir() + "items_options.txt";
  ASSERT_TRUE(replaceFileBytes(path, "a,1-1,置顶\nb,2-2\n"));
  std::vector<ItemRecord> table(kTableRecords);
  std::vector<ItemOptions> options(kTableRecords);
  int shown = 0, stored = 0;
  ASSERT_TRUE(loadItemFile(core, path, table.data(), shown, &stored, options.data()));
  EXPECT_EQ(stored, 2);
  EXPECT_TRUE(options[0].pinned);
  EXPECT_EQ(options[1].written, "");
  std::remove(path.c_str());
  EXPECT_FALSE(loadItemFile(core, path, table.data(), shown, &stored, options.data()));
  EXPECT_TRUE(options[0].pinned);  // a missing file leaves them alone
}

TEST(ItemOptionsTest, TheEditorsCheckListsLinesWithUnknownOptions) {
  std::string tooMany = "f,1-1";
  for (int n = 0; n <= kMaxLineOptions; ++n) tooMany += ",置顶";
  const CString text("a,2025-01-01,提醒\r\nb,2025-01-01,提前八天\r\n;c,1-1,zz\r\nd,1-1,置顶,zz\r\ne,1-1,每周,每年\r\n" +
                     tooMany + "\r\n");
  const std::vector<CString> lines = unknownOptionLines(text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].str(), "b,2025-01-01,提前八天");
  EXPECT_EQ(lines[1].str(), "d,1-1,置顶,zz");
  EXPECT_EQ(lines[2].str(), tooMany);
  const std::vector<CString> conflicts = conflictingRepeatLines(text);
  ASSERT_EQ(conflicts.size(), 1u);
  EXPECT_EQ(conflicts[0].str(), "e,1-1,每周,每年");
  const std::string both = itemCheckQuestion({}, {}, conflicts).str();
  EXPECT_NE(both.find("e,1-1,每周,每年"), std::string::npos);
  EXPECT_NE(both.find("只有最后写的那一种有效"), std::string::npos);
  const std::string question = itemCheckQuestion({}, lines).str();
  EXPECT_NE(question.find("b,2025-01-01,提前八天"), std::string::npos);
  EXPECT_NE(question.find("提前八天"), std::string::npos);
  EXPECT_TRUE(itemCheckQuestion({}, {}).IsEmpty());
  // Unreadable dates alone: the question as before.
  EXPECT_EQ(itemCheckQuestion({CString("x,y")}, {}).str(), unreadableDatesQuestion({CString("x,y")}).str());
}

}  // namespace
