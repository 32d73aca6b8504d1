// The item file reader: which lines become records, how fields are cut, encodings, and what a
// missing file leaves behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Core.h"
#include "core/DateText.h"
#include "core/TextFile.h"
#include "framework/Gbk.h"
#include "items/ItemFile.h"

namespace {

class ItemFileTest : public testing::Test {
 protected:
  void SetUp() override {
    path = testing::TempDir() + "items_" + testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    std::remove(path.c_str());
    // A table full of marks shows whether a load touched it.
    std::memset(table.data(), 0x5A, sizeof(ItemRecord) * table.size());
  }
  void TearDown() override { std::remove(path.c_str()); }

  void write(const std::string& bytes) { ASSERT_TRUE(replaceFileBytes(path, bytes)); }
  ItemFileLoad load() { return loadItemFile(core, path, table.data(), count); }
  std::string name(int i) const { return table[i].name; }
  std::string date(int i) const { return table[i].dateText; }
  int stored() const {
    int n = 0;
    while (n < kTableRecords && (table[n].name[0] || table[n].dateText[0])) ++n;
    return n;
  }

  CCore core;
  FilePath path;
  std::vector<ItemRecord> table = std::vector<ItemRecord>(kTableRecords);
  int count = -1;
};

TEST_F(ItemFileTest, EmptyFileAndSkippedLinesGiveNoRowsAndAZeroTable) {
  for (const char* text : {"", "\n\n\r\n", "a;b,2025-01-01\n;\n\n;x\r\n"}) {
    write(text);
    ASSERT_TRUE(load());
    EXPECT_EQ(count, 0) << text;
    std::vector<char> zero(sizeof(ItemRecord) * kTableRecords, 0);
    EXPECT_EQ(std::memcmp(table.data(), zero.data(), zero.size()), 0) << text;
  }
}

TEST_F(ItemFileTest, LinesBecomeConsecutiveRecordsInFileOrder) {
  write("a,2025-01-01\n\nsemi;colon,2025-01-02\nb,2025-01-03;\n   \nc , 2025-01-04 \r\nd,1,extra\ne\nf,\ng,2\n");
  ASSERT_TRUE(load());
  EXPECT_EQ(count, 5);
  ASSERT_EQ(stored(), 7);
  const char* names[] = {"a", "   ", "c ", "d", "e", "f", "g"};
  const char* dates[] = {"2025-01-01", "", " 2025-01-04 ", "1", "", "", "2"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(name(i), names[i]) << i;
    EXPECT_EQ(date(i), dates[i]) << i;
    EXPECT_EQ(table[i].days, 0);
    EXPECT_EQ(table[i].kind, 0);
  }
}

TEST_F(ItemFileTest, SevenLinesShowFiveAndKeepAll) {
  std::string text;
  for (int i = 0; i < 7; ++i) text += "n" + std::to_string(i) + ",2025-01-0" + std::to_string(i + 1) + "\n";
  write(text);
  ASSERT_TRUE(load());
  EXPECT_EQ(count, 5);
  EXPECT_EQ(stored(), 7);
  EXPECT_EQ(name(6), "n6");
}

TEST_F(ItemFileTest, MissingFileKeepsThePreviousTable) {
  write("kept,2025-01-01\n");
  ASSERT_TRUE(load());
  std::remove(path.c_str());
  EXPECT_FALSE(load());
  EXPECT_EQ(count, 1);
  EXPECT_EQ(name(0), "kept");
}

TEST_F(ItemFileTest, OverlongFieldsAreCutAtACharacterBoundary) {
  // 49 ASCII bytes and then a double-byte character: 51 bytes would split it, so it goes whole.
  std::string longName = std::string(49, 'x') + "年" + "tail";
  std::string longDate = std::string(19, '1') + "日" + "22";
  write(longName + "," + longDate + "\n" + std::string(80, 'y') + "," + std::string(40, '2') + "\n");
  ASSERT_TRUE(load());
  EXPECT_EQ(name(0), std::string(49, 'x'));
  // A date text that is no date is cut with a mark, so that what is left cannot read as a date.
  EXPECT_EQ(date(0), std::string(18, '1') + "…");
  EXPECT_EQ(name(1), std::string(50, 'y'));
  EXPECT_EQ(date(1), std::string(18, '2') + "…");
  EXPECT_EQ(table[1].name[50], '\0');
  // 0x81 leads a character too (並 is 81 4B): it is not cut in half.
  write(std::string(49, 'x') + "並,1\n");
  ASSERT_TRUE(load());
  EXPECT_EQ(name(0), std::string(49, 'x'));
  // 25 Chinese characters fill the 50 bytes exactly.
  std::string chinese;
  for (int i = 0; i < 26; ++i) chinese += "纪";
  write(chinese + ",2025-01-01\n");
  ASSERT_TRUE(load());
  EXPECT_EQ(name(0).size(), 50u);
  EXPECT_EQ(name(0), chinese.substr(0, 50));
}

TEST_F(ItemFileTest, DatesTooLongForTheFieldKeepTheirDay) {
  struct Case {
    const char* written;  // more than the field's 20 bytes
    const char* stored;
  };
  const Case cases[] = {
      {"农历１９９０年８月１５", "农历1990-8-15"},  // cut, it would be the 1st
      {"农历1990年闰十一月廿九", "农历1990-闰11-29"},
      {"  农历闰十二月廿九     ", "农历闰12-29"},
      {"２０２５年１２月３１日", "2025-12-31"},
      {"１２月３１日          ", "12-31"},
      {"农历２１０１年８月１５", "农历2101-8-15"},   // out of range: stays unreadable
      {"农历2025年闰四月初一日", "农历2025-闰4-1"},  // no such leap month: stays unreadable
      {"农历１９９０年８月１5", "农历1990-8-15"},    // 21 bytes: one too many, shortened all the same
      {"００００年０５月０１日", "0000-5-1"},        // year 0000 stays a year, and unreadable
      {"农历００００年８月１５", "农历0000-8-15"},
      {"２０２５－０５－２０２", "２０２５－０５－２…"},  // no date: cut, and marked so it stays none
      {"2025-05-20          junk", "2025-05-20        …"},
  };
  const CivilDate today{2026, 12, 7};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    ASSERT_GT(std::strlen(c.written), 20u);
    write(std::string("名,") + c.written + "\n");
    ASSERT_TRUE(load());
    EXPECT_EQ(date(0), c.stored);
    CivilDate original, kept;
    const bool readable = parseDateText(c.written, today, &original);
    EXPECT_EQ(parseDateText(date(0), today, &kept), readable);
    if (readable) {
      EXPECT_EQ(kept, original);
    }
  }
}

TEST_F(ItemFileTest, AtMostAHundredRecordsAreStored) {
  std::string text;
  for (int i = 0; i < 150; ++i) text += "n" + std::to_string(i) + ",2025-01-01\n";
  write(text);
  int storedCount = -1;
  ASSERT_TRUE(loadItemFile(core, path, table.data(), count, &storedCount));
  EXPECT_EQ(count, 5);
  EXPECT_EQ(storedCount, kTableRecords);
  EXPECT_EQ(stored(), kTableRecords);
  EXPECT_EQ(name(99), "n99");
  // A 101st record would land in the guard past the table.
  std::vector<ItemRecord> guarded(kTableRecords + 1);
  std::memset(&guarded[kTableRecords], 0x5A, sizeof(ItemRecord));
  EXPECT_EQ(readItemBytes(core, text, guarded.data()), kTableRecords);
  EXPECT_EQ(guarded[kTableRecords].name[0], 0x5A);
  EXPECT_EQ(guarded[kTableRecords].dateText[0], 0x5A);
}

// The listing prints every stored record, also one whose fields are both empty.
TEST_F(ItemFileTest, StoredCountCountsEveryRecord) {
  const struct {
    std::string text;
    int stored;
  } cases[] = {{"", 0}, {"a,1\n,\nb,2\n", 3}, {"1,x\n2,x\n3,x\n;\n4,x\n5,x\n6,x\n\n7,x\n", 7}};
  for (const auto& c : cases) {
    write(c.text);
    int storedCount = -1;
    ASSERT_TRUE(loadItemFile(core, path, table.data(), count, &storedCount));
    EXPECT_EQ(storedCount, c.stored) << c.text;
  }
}

TEST_F(ItemFileTest, Utf8FilesAreReadAsGbk) {
  const std::string utf8Name = "\xE7\x94\x9F\xE6\x97\xA5";  // 生日 in UTF-8
  for (const std::string& bom : {std::string(), std::string("\xEF\xBB\xBF")}) {
    write(bom + utf8Name + ",2025-05-20\r\n\xE7\xBA\xAA\xE5\xBF\xB5,2025-01-01\n");
    ASSERT_TRUE(load());
    EXPECT_EQ(count, 2);
    EXPECT_EQ(name(0), "生日") << "BOM: " << bom.size();
    EXPECT_EQ(date(0), "2025-05-20");
    EXPECT_EQ(name(1), "纪念");
  }
  // Longer than the probe, its byte 65,536 inside a character: still UTF-8.
  const std::string first = ";\xE7\xBA\xAA\xE5\xBF\xB5" + std::string(kEncodingProbeBytes - 10, 'x') + "\n";
  ASSERT_EQ(first.size(), kEncodingProbeBytes - 2);
  write(first + utf8Name + ",2025-05-20\n");
  ASSERT_TRUE(load());
  EXPECT_EQ(name(0), "生日");
}

TEST_F(ItemFileTest, GbkAndInvalidBytesAreReadAsTheyStand) {
  // GBK text is not valid UTF-8, so it is taken as it is; stray bytes do not stop the reader.
  write(std::string("生日,2025-05-20\n") + "\xFF\xFE\x80,x\n" + "after,1\n");
  ASSERT_TRUE(load());
  EXPECT_EQ(count, 3);
  EXPECT_EQ(name(0), "生日");
  EXPECT_EQ(name(1), "\xFF\xFE\x80");
  EXPECT_EQ(name(2), "after");
}

TEST_F(ItemFileTest, Utf16FilesWithTheirMarkAreRead) {
  const std::u16string text = u"生日,2025-05-20\r\n;注释,1\r\n纪念,5月20日\n\nlast,1";
  for (bool bigEndian : {false, true}) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
      char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
      bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    write(bytes + "x");  // an odd last byte is dropped
    ASSERT_TRUE(load());
    EXPECT_EQ(count, 3) << bigEndian;
    EXPECT_EQ(name(0), "生日");
    EXPECT_EQ(date(0), "2025-05-20");
    EXPECT_EQ(name(1), "纪念");
    EXPECT_EQ(date(1), "5月20日");
    EXPECT_EQ(name(2), "last");
  }
}

// Short GBK lists whose bytes are also valid UTF-8 show as Chinese.
TEST_F(ItemFileTest, ShortGbkListsStayChinese) {
  for (const char* text : {"小小,2025-05-20\r\n", "谢谢,5-20\r\n毛毛,1\r\n", "石头\n", "圆圆"}) {
    write(text);
    ASSERT_TRUE(load());
    std::string first = text;
    EXPECT_EQ(name(0), first.substr(0, first.find_first_of(",\r\n"))) << text;
  }
}

TEST_F(ItemFileTest, LongLinesAreSkippedOrUsedWhole) {
  const std::string longTail(100 * 1024, 'x');
  write("a" + longTail + ";\n" +      // ';' far past any line buffer: skipped whole
        longTail + ",2025-01-01\n" +  // a name from the start of the line, the date after it
        "after,2\n");
  ASSERT_TRUE(load());
  EXPECT_EQ(count, 2);
  EXPECT_EQ(name(0), std::string(50, 'x'));
  EXPECT_EQ(date(0), "2025-01-01");
  EXPECT_EQ(name(1), "after");
}

// The file is read in chunks, with the encoding decided after the first ones: records across chunk
// borders come out as from the whole file at once.
TEST_F(ItemFileTest, ChunkedReadingGivesWhatTheWholeFileGives) {
  std::string text = "\xEF\xBB\xBF";
  for (int i = 0; i < 120; ++i)
    text += ";" + std::string(1500 + i, 'c') + "\r\n\xE7\x94\x9F" + std::to_string(i) + ",5-20\r\n";
  write(text);
  ASSERT_TRUE(load());
  std::vector<ItemRecord> whole(kTableRecords);
  ASSERT_EQ(readItemBytes(core, text, whole.data()), kTableRecords);
  EXPECT_EQ(std::memcmp(whole.data(), table.data(), sizeof(ItemRecord) * kTableRecords), 0);
  EXPECT_EQ(name(99), "生99");
}

// Reading stops at the budget whatever the file holds; a file that goes on past it with the table not
// yet full is too large, and the table stays as it was.
TEST_F(ItemFileTest, ReadingIsBoundedByBytesRead) {
  write("kept,1\n");
  ASSERT_TRUE(load());
  write("first,1\n" + std::string(kItemReadBudget + 1024, 'x') + "\nlate,2\n");
  ItemFileLoad large = load();
  EXPECT_EQ(large.status, ItemFileStatus::TooLarge);
  EXPECT_EQ(large.reason(), CString("文件太大"));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(name(0), "kept");
  std::string bytes;
  EXPECT_EQ(readFileBytes(path, bytes), ReadResult::TooLarge);
  // Exactly the budget: the last line ends with the file and is used.
  std::string exact = "first,1\n";
  exact += std::string(kItemReadBudget - exact.size() - 6, 'y') + ",2\nz,3";
  ASSERT_EQ(exact.size(), kItemReadBudget);
  write(exact);
  ASSERT_TRUE(load());
  EXPECT_EQ(count, 3);
  EXPECT_EQ(name(2), "z");
  EXPECT_EQ(readFileBytes(path, bytes), ReadResult::Ok);  // what the editor opens
  EXPECT_EQ(bytes.size(), kMaxTextFileBytes);
  // A hundred records before the budget: the rest is never needed.
  std::string full;
  for (int i = 0; i < kTableRecords; ++i) full += "n,1\n";
  write(full + std::string(kItemReadBudget, 'x'));
  EXPECT_TRUE(load());
#ifndef _WIN32
  // An endless device.
  EXPECT_EQ(loadItemFile(core, "/dev/zero", table.data(), count).status, ItemFileStatus::TooLarge);
  EXPECT_EQ(count, 5);
#endif
}

TEST_F(ItemFileTest, AFailedLoadSaysWhyAndKeepsTheTable) {
  write("kept,2025-01-01\n");
  ASSERT_TRUE(load());
  std::remove(path.c_str());
  ItemFileLoad missing = load();
  EXPECT_EQ(missing.status, ItemFileStatus::Missing);
  EXPECT_EQ(missing.reason(), CString("文件不存在"));

  std::filesystem::create_directory(std::filesystem::u8path(path));
  ItemFileLoad folder = load();
  std::filesystem::remove(std::filesystem::u8path(path));
  EXPECT_EQ(folder.status, ItemFileStatus::Unreadable);
  EXPECT_EQ(folder.error, FileError::IsFolder) << folder.code;
  EXPECT_EQ(folder.reason(), CString("这是一个文件夹，不是文件"));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(name(0), "kept");
}

// Paths are UTF-8 and reach the file system whole: characters GBK does not have, and (on Windows)
// a path longer than MAX_PATH.
TEST(FilePathTest, AnyCharacterAndAnyLengthReachesTheFile) {
  namespace fs = std::filesystem;
  const std::string folder = testing::TempDir() + u8"\uD3F4\uB354 \u00E7\u00F6\u00DF \U0001F600";
  const std::string deep = folder + "/" + std::string(120, 'd') + "/" + std::string(120, 'e');
  std::error_code ignored;
  fs::remove_all(fs::u8path(folder), ignored);
  fs::create_directories(fs::u8path(deep));
  CCore core;
  for (const std::string& path : {folder + u8"/\u7EAA\uB354_items.txt", deep + "/items.txt"}) {
    ASSERT_TRUE(replaceFileBytes(path, "a,2025-01-01\n")) << path.size();
    ASSERT_TRUE(replaceFileBytes(path, "b,2025-01-02\n")) << "replacing, " << path.size();
    std::vector<ItemRecord> table(kTableRecords);
    int count = 0;
    ASSERT_TRUE(loadItemFile(core, path, table.data(), count));
    EXPECT_EQ(std::string(table[0].name), "b");
    EXPECT_TRUE(fs::exists(fs::u8path(path)));
  }
  EXPECT_GT(deep.size(), 260u);
  // The C++ library itself may not reach past MAX_PATH on Windows: what is left is reused.
  fs::remove_all(fs::u8path(folder), ignored);
}

TEST(TextEncodingTest, DetectsUtf8AndKeepsGbk) {
  EXPECT_EQ(detectEncoding("plain,2025-01-01"), TextEncoding::Gbk);
  EXPECT_EQ(detectEncoding("\xEF\xBB\xBF"
                           "a"),
            TextEncoding::Utf8Bom);
  EXPECT_EQ(detectEncoding("\xE7\x94\x9F\xE6\x97\xA5"), TextEncoding::Utf8);
  EXPECT_EQ(detectEncoding("生日"), TextEncoding::Gbk);  // a GBK literal
  // A probe cut inside the last UTF-8 sequence still reads as UTF-8.
  EXPECT_EQ(detectEncoding(std::string(kEncodingProbeBytes - 4, 'a') + "\xE7\x94\x9F\xE6\x97\xA5"), TextEncoding::Utf8);
  EXPECT_EQ(detectEncoding("\xC0\xAF"), TextEncoding::Gbk);  // overlong: not UTF-8
  EXPECT_EQ(encodeFromGbk(decodeToGbk("\xEF\xBB\xBF\xE7\x94\x9F", TextEncoding::Utf8Bom), TextEncoding::Utf8Bom),
            "\xEF\xBB\xBF\xE7\x94\x9F");
}

TEST(GbkTextTest, ReplaceNeverMatchesAcrossACharacterBoundary) {
  // "\xA3\xAC" is the full-width comma; in "\xB0\xA3\xAC\xA1" the same bytes straddle two characters.
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"a\xA3\xAC"
       "b",
       "a,b"},
      {"\xB0\xA3\xAC\xA1", "\xB0\xA3\xAC\xA1"},
      {"\x81\xA3\xAC\xA1", "\x81\xA3\xAC\xA1"},  // 0x81 leads a character too
      {"\xB0\xA3\xA3\xAC", "\xB0\xA3,"},
      {"\xA3\xAC\xA3\xAC", ",,"},
      {"x\xA3", "x\xA3"},  // a lone lead byte at the end
      {"", ""},
  };
  for (const Case& c : cases) {
    CString s(c.text);
    s.Replace("，", ",");
    EXPECT_EQ(s.str(), c.expected) << c.text;
  }
  EXPECT_EQ(CString("\xB0;").Find(';'), 1);
  EXPECT_EQ(CString("\xB0\x3B").Find(";"), 1);  // 0x3B is never a trail byte
}

TEST(GbkTextTest, CutLengthKeepsDoubleByteCharactersWhole) {
  EXPECT_EQ(gbk::cutLength("ab", 5), 2u);
  EXPECT_EQ(gbk::cutLength("a年", 2), 1u);
  EXPECT_EQ(gbk::cutLength("a年", 3), 3u);
  EXPECT_EQ(gbk::cutLength("年年", 3), 2u);
  EXPECT_EQ(gbk::cutLength("\x81", 1), 1u);  // a lone lead byte at the end counts as one
}

}  // namespace
