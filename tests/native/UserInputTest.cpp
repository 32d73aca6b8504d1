// What the dialogs make of typed input: the font size number, full-width commas in GBK text, the
// shown lines whose dates the widget cannot read, and bare line feeds kept through the editor.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Core.h"
#include "core/TextFile.h"
#include "core/UserInput.h"
#include "items/ItemCheck.h"
#include "framework/Gbk.h"
#include "items/DayCount.h"
#include "items/ItemFile.h"

namespace {

std::vector<std::string> strings(const std::vector<CString>& lines) {
  std::vector<std::string> out;
  for (const CString& line : lines) out.push_back(line.str());
  return out;
}

TEST(UserInputTest, NumbersReadLikeAtoiAndRefusedPastInt) {
  struct Case {
    const char* text;
    bool fits;
    int value;
  } cases[] = {
      {"", true, 0},
      {"10", true, 10},
      {"200", true, 200},
      {"010", true, 10},
      {"0000000000000000000000012", true, 12},  // many leading zeros are still a small number
      {"  42", true, 42},
      {"\t\r\n\v\f7", true, 7},
      {"+15", true, 15},
      {"-5", true, -5},
      {"12abc", true, 12},
      {"1 2", true, 1},
      {"abc", true, 0},
      {"- 5", true, 0},
      {"+-5", true, 0},
      {"\xA3\xB1\xA3\xB2", true, 0},  // full-width digits are not digits to atoi
      {"2147483647", true, INT_MAX},
      {"-2147483648", true, INT_MIN},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"4294967306", false, 0},  // wraps to 10 in 32 bits
      {"99999999999", false, 0},
      {"99999999999999999999999999", false, 0},
  };
  for (const Case& c : cases) {
    int value = -77;
    EXPECT_EQ(parseIntLikeAtoi(c.text, &value), c.fits) << c.text;
    if (c.fits) {
      EXPECT_EQ(value, c.value) << c.text;
      EXPECT_EQ(value, std::atoi(c.text)) << c.text;
    } else {
      EXPECT_EQ(value, -77) << c.text;
    }
  }
}

TEST(UserInputTest, FullWidthCommasReplacedCharacterByCharacter) {
  struct Case {
    const char* text;
    const char* expected;
    int count;
  } cases[] = {
      {"生日，2025-05-20", "生日,2025-05-20", 1},
      {"a，b，c", "a,b,c", 2},
      {"，，", ",,", 2},
      {"生日,2025-05-20", "生日,2025-05-20", 0},
      {"", "", 0},
      // 埃 (B0 A3) then 珸 (AC 40): the bytes A3 AC straddle the two characters.
      {"埃珸", "埃珸", 0},
      {"埃珸，埃珸", "埃珸,埃珸", 1},
      {"x埃，", "x埃,", 1},
      // A lone lead byte at the end must not swallow anything.
      {"，\xA3", ",\xA3", 1},
  };
  for (const Case& c : cases) {
    CString text(c.text);
    EXPECT_EQ(replaceFullWidthCommas(text), c.count) << c.text;
    EXPECT_EQ(text.str(), c.expected) << c.text;
  }
}

TEST(UserInputTest, FullWidthCommasReplacedInUtf16) {
  std::wstring text =
      L"\x751F\x65E5\xFF0C"
      L"2025-05-20\r\n\xFF0C\xFF0C";
  EXPECT_EQ(replaceFullWidthCommas(text), 3);
  EXPECT_EQ(text,
            L"\x751F\x65E5,"
            L"2025-05-20\r\n,,");
}

class UnreadableLinesTest : public testing::Test {
 protected:
  // Midday keeps the local date the same in any time zone the machine may have.
  CTime now = CTime(2025, 5, 20, 12, 0, 0);
};

TEST_F(UnreadableLinesTest, ListsShownLinesWithUnreadableDates) {
  struct Case {
    const char* text;
    std::vector<std::string> expected;
  } cases[] = {
      {"", {}},
      {"生日,2025-05-20\r\n婚礼,5月20日\r\n", {}},
      {"生日,2025-05-20\r\n毕业,某天\r\n入职,2025-02-30\r\n", {"毕业,某天", "入职,2025-02-30"}},
      // Only field 1 is the date; a line without a comma has an empty one.
      {"a,2025-05-20,备注\r\n没有逗号\r\nb,\r\n", {"没有逗号", "b,"}},
      // Empty lines and lines with ";" are not shown, so never listed, and do not count to five.
      {"\r\n;a,bad\r\nb;c,bad\r\n注释；全角分号不算,bad\r\n", {"注释；全角分号不算,bad"}},
      {"1,2025-01-01\r\n2,2025-01-02\r\n3,2025-01-03\r\n4,2025-01-04\r\n5,2025-01-05\r\n6,bad\r\n", {}},
      {"1,2025-01-01\r\n\r\n;x,bad\r\n2,2025-01-02\r\n3,2025-01-03\r\n4,bad\r\n5,bad\r\n6,bad\r\n", {"4,bad", "5,bad"}},
      {"1,x\r\n2,x\r\n3,x\r\n4,x\r\n5,x\r\n6,x\r\n7,x\r\n", {"1,x", "2,x", "3,x", "4,x", "5,x"}},
      // Bare line feeds, and a last line without any.
      {"a,bad\nb,2025-05-20\nc,also bad", {"a,bad", "c,also bad"}},
      // A date text too long for the table is never cut into a date.
      {"a,2025-05-20          junk\r\n", {"a,2025-05-20          junk"}},
      {"a,   2025-05-20 junk\r\n", {"a,   2025-05-20 junk"}},
      {"零年,0000-5-1\r\n每年,5-1\r\n", {"零年,0000-5-1"}},
      // Lunar dates: readable ones pass; a leap month the year lacks and a year past 2100 do not.
      {"中秋,农历八月十五\r\n妈妈,农历1990年闰五月初一\r\n错,农历2025年闰四月初一\r\n远,农历2101-1-1\r\n",
       {"错,农历2025年闰四月初一", "远,农历2101-1-1"}},
  };
  for (const Case& c : cases) EXPECT_EQ(strings(unreadableShownLines(c.text, now)), c.expected) << c.text;
  // More rows shown (the rows setting, or nearest first): the lines past the fifth are asked about too.
  const char* seven = "1,x\r\n2,2025-01-02\r\n3,x\r\n4,x\r\n5,x\r\n6,x\r\n7,x\r\n";
  EXPECT_EQ(strings(unreadableShownLines(seven, now, 6)),
            (std::vector<std::string>{"1,x", "3,x", "4,x", "5,x", "6,x"}));
  EXPECT_EQ(strings(unreadableShownLines(seven, now, kTableRecords)).size(), 6u);
}

// The item reader is the judge of which lines are shown: the list must name exactly the records it
// loads whose day count finds no date.
TEST_F(UnreadableLinesTest, AgreesWithTheItemReader) {
  const std::string path = testing::TempDir() + "user_input_items.txt";
  const char* texts[] = {
      "a,2025-05-20\r\nb,bad\r\n\r\n;c,bad\r\nd,5月20日\r\ne,2025-13-01\r\nf,bad\r\ng,bad\r\n",
      "x;y\r\n没有逗号\r\n名字,  2025-05-20  \r\n名字2,2025-05-20          junk\n\n最后,bad",
      "1,bad\n2,bad\n3,2025-01-01\n4,bad\n5,2025-01-01\n6,bad\n",
  };
  CCore core;
  for (const char* text : texts) {
    ASSERT_TRUE(replaceFileBytes(path, text));
    std::vector<ItemRecord> table(kTableRecords);
    int count = 0;
    ASSERT_TRUE(loadItemFile(core, path, table.data(), count));
    countDaysAt(now, table.data(), count);
    std::vector<std::string> readerNames;
    for (int i = 0; i < count; ++i)
      if (table[i].kind == Unreadable) readerNames.push_back(table[i].name);

    std::vector<std::string> listedNames;
    for (const CString& line : unreadableShownLines(text, now)) listedNames.push_back(core.getFg(line, ',', 0).str());
    EXPECT_EQ(listedNames, readerNames) << text;
  }
  std::remove(path.c_str());
}

TEST(UserInputTest, QuestionCutsLongLinesAtCharacterBoundaries) {
  std::string longName;
  for (int i = 0; i < 40; ++i) longName += "纪";  // 80 bytes
  CString question = unreadableDatesQuestion({CString("短,坏"), CString(longName + ",坏")});
  const std::string& text = question.str();
  EXPECT_NE(text.find("短,坏\r\n"), std::string::npos);
  // 60 bytes are 30 whole characters; the cut is marked.
  EXPECT_NE(text.find(longName.substr(0, 60) + "…\r\n"), std::string::npos);
  EXPECT_EQ(text.find(longName.substr(0, 62)), std::string::npos);
}

TEST(UserInputTest, BareLineFeedsRoundTrip) {
  struct Case {
    const char* bytes;
    bool bare;
  } cases[] = {
      {"a,2025-05-20\nb,5-20\n", true},
      {"\n", true},
      {"a\r\nb\r\n", false},
      {"a\nb\r\n", false},  // mixed: shown and saved as it is
      {"a\nb\r", false},
      {"one line", false},
      {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(hasBareLineFeedsOnly(c.bytes), c.bare) << c.bytes;
    if (!c.bare) continue;
    std::string shown = lineFeedsToCrLf(c.bytes);
    EXPECT_FALSE(hasBareLineFeedsOnly(shown)) << c.bytes;
    EXPECT_EQ(crLfToLineFeeds(shown), c.bytes);
  }
  EXPECT_EQ(lineFeedsToCrLf("生日,5月20日\n\n"), "生日,5月20日\r\n\r\n");
  EXPECT_EQ(crLfToLineFeeds("a\r\r\nb\r"), "a\r\nb\r");
}

}  // namespace
