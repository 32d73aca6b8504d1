// Telling the encodings of a text file apart, and converting between them: real words in both GBK
// and UTF-8, every pair of common hanzi, byte-order marks, and the round trips the editor relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TextFile.h"
#include "framework/Gbk.h"

namespace {

std::string utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// GB2312 level 1, the 3755 common hanzi, as GBK.
std::vector<std::string> commonHanzi() {
  std::vector<std::string> all;
  for (int lead = 0xB0; lead <= 0xD7; ++lead)
    for (int trail = 0xA1; trail <= 0xFE && !(lead == 0xD7 && trail > 0xF9); ++trail)
      all.push_back({static_cast<char>(lead), static_cast<char>(trail)});
  return all;
}

TEST(EncodingRuleTest, AByteOrderMarkDecides) {
  const struct {
    std::string bytes;
    TextEncoding expected;
  } cases[] = {
      {"\xEF\xBB\xBF", TextEncoding::Utf8Bom},
      {"\xEF\xBB\xBF"
       "a,1",
       TextEncoding::Utf8Bom},
      {"\xEF\xBB\xBF"
       "小小",
       TextEncoding::Utf8Bom},  // the mark wins over GBK bytes after it
      {"\xFF\xFE", TextEncoding::Utf16Le},
      {std::string("\xFF\xFE"
                   "a\0,\0",
                   6),
       TextEncoding::Utf16Le},
      {"\xFE\xFF", TextEncoding::Utf16Be},
      {std::string("\xFE\xFF\0a", 4), TextEncoding::Utf16Be},
      {"\xEF\xBB", TextEncoding::Gbk},  // half a mark
      {"\xFF", TextEncoding::Gbk},
      {"", TextEncoding::Gbk},
      {"plain,2025-01-01\r\n", TextEncoding::Gbk},
  };
  for (const auto& c : cases) EXPECT_EQ(detectEncoding(c.bytes), c.expected) << c.bytes;
}

// Every one of these, written in GBK, is also valid UTF-8 (Cyrillic or Latin letters); they stay GBK.
TEST(EncodingRuleTest, GbkWordsThatAreValidUtf8StayGbk) {
  const char* words[] = {"小小",
                         "谢谢",
                         "小猫",
                         "石头",
                         "小雪",
                         "笑笑",
                         "圆圆",
                         "毛毛",
                         "毛",
                         "猫",
                         "牛",
                         "皮",
                         "露",
                         "彤",
                         "然",
                         "小小猫",
                         "毛毛,2025-05-20",
                         "圆圆,5月20日\r\n笑笑,2025-01-01\r\n"};
  for (const char* word : words) {
    ASSERT_TRUE(gbk::isValidUtf8(word) || std::string(word).find(',') != std::string::npos) << word;
    EXPECT_EQ(detectEncoding(word), TextEncoding::Gbk) << gbk::gbkToUtf8(word);
  }
}

TEST(EncodingRuleTest, RealUtf8ListsAreUtf8) {
  const char* lists[] = {
      u8"小小",
      u8"谢谢",
      u8"小猫",
      u8"石头",
      u8"毛毛",
      u8"生日",
      u8"阿岸",
      u8"猫",
      u8"妈妈生日,5月20日\r\n结婚纪念日,2015-10-01\r\n",
      u8"宝宝出生,2024/3/8\n第一次旅行（北京）,2023年7月1日\n",
      u8"考试 \U0001F4DA,2025-06-07\n",
      u8"José 的生日,4-1\n",  // Latin letters among hanzi
  };
  for (const char* list : lists) EXPECT_EQ(detectEncoding(list), TextEncoding::Utf8) << list;
}

TEST(EncodingRuleTest, EveryPairOfCommonHanziIsToldApart) {
  const std::vector<std::string> hanzi = commonHanzi();
  ASSERT_EQ(hanzi.size(), 3755u);
  std::vector<std::string> utf8;
  for (const std::string& c : hanzi) utf8.push_back(gbk::gbkToUtf8(c));
  int wrongGbk = 0, wrongUtf8 = 0, utf8Checked = 0;
  for (size_t i = 0; i < hanzi.size(); ++i) {
    for (size_t j = 0; j < hanzi.size(); ++j) {
      if (detectEncoding(hanzi[i] + hanzi[j]) != TextEncoding::Gbk && ++wrongGbk < 5)
        ADD_FAILURE() << "GBK read as UTF-8: " << utf8[i] << utf8[j];
      // The UTF-8 side converts for every probe: a spread of partners is enough.
      if ((i + j) % 29 == 0) {
        ++utf8Checked;
        if (detectEncoding(utf8[i] + utf8[j]) != TextEncoding::Utf8 && ++wrongUtf8 < 5)
          ADD_FAILURE() << "UTF-8 read as GBK: " << utf8[i] << utf8[j];
      }
    }
  }
  EXPECT_EQ(wrongGbk, 0);
  EXPECT_EQ(wrongUtf8, 0);
  EXPECT_GT(utf8Checked, 480000);
}

TEST(EncodingRuleTest, OnlyTheProbeIsLookedAtAndItsCutSequenceDoesNotCount) {
  const std::string ascii(kEncodingProbeBytes - 4, 'a');  // the probe ends one byte into the second hanzi
  // UTF-8 cut by the probe's end: still UTF-8. The same bytes ending the whole file are not UTF-8.
  EXPECT_EQ(detectEncoding(ascii + u8"生日生日"), TextEncoding::Utf8);
  EXPECT_EQ(detectEncoding("\xE7\x94\x9F\xE6\x97"), TextEncoding::Gbk);
  // What lies past the probe does not decide.
  EXPECT_EQ(detectEncoding(std::string(kEncodingProbeBytes, 'a') + u8"生日"), TextEncoding::Gbk);
  EXPECT_EQ(detectEncoding("\xC0\xAF"), TextEncoding::Gbk);      // overlong: not UTF-8
  EXPECT_EQ(detectEncoding("\xE0\x80\xAF"), TextEncoding::Gbk);  // overlong in three bytes
  // Overlong in three bytes for a value that two bytes hold (0xE9): only the 0x800 bound refuses it.
  EXPECT_EQ(detectEncoding("\xE0\x83\xA9"), TextEncoding::Gbk);
  EXPECT_FALSE(gbk::isValidUtf8("\xE0\x83\xA9"));
}

TEST(EncodingConversionTest, TextComesBackAsWrittenInEveryEncoding) {
  const std::u16string texts[] = {u"", u"a,1\r\n", u"生日,5月20日\n小猫 \U0001F600,2025-01-01", u"\x00E7\xD55C\xAE00"};
  for (TextEncoding encoding :
       {TextEncoding::Utf8Bom, TextEncoding::Utf16Le, TextEncoding::Utf16Be, TextEncoding::Utf8}) {
    for (const std::u16string& text : texts) {
      std::string bytes = encodeFromUtf16(text, encoding);
      TextEncoding readAs = detectEncoding(bytes);
      EXPECT_EQ(decodeToUtf16(bytes, readAs), text) << static_cast<int>(encoding);
      EXPECT_EQ(encodeFromUtf16(decodeToUtf16(bytes, readAs), readAs), bytes);
    }
  }
  EXPECT_EQ(encodeFromUtf16(u"a\u751F", TextEncoding::Utf16Le), std::string("\xFF\xFE"
                                                                            "a\0\x1F\x75",
                                                                            6));
  EXPECT_EQ(encodeFromUtf16(u"a\u751F", TextEncoding::Utf16Be), std::string("\xFE\xFF\0a\x75\x1F", 6));
  EXPECT_EQ(decodeToGbk(utf16Bytes(u"生日,1", false), TextEncoding::Utf16Le), "生日,1");
  EXPECT_EQ(decodeToGbk(utf16Bytes(u"生日,1", true), TextEncoding::Utf16Be), "生日,1");
  EXPECT_EQ(encodeFromGbk("生日", TextEncoding::Utf16Le), utf16Bytes(u"生日", false));
  EXPECT_EQ(encodeFromGbk(decodeToGbk("\xEF\xBB\xBF\xE7\x94\x9F", TextEncoding::Utf8Bom), TextEncoding::Utf8Bom),
            "\xEF\xBB\xBF\xE7\x94\x9F");
}

// Text that would be read back in another encoding is written with a mark that keeps it.
TEST(EncodingConversionTest, SavedTextReadsBackAsItWasWritten) {
  const struct {
    std::u16string text;
    TextEncoding encoding;
    const char* expected;
  } cases[] = {
      {u"Zo\u00EB,1", TextEncoding::Utf8, "\xEF\xBB\xBFZo\xC3\xAB,1"},               // UTF-8 that reads as GBK
      {u"生日", TextEncoding::Utf8, "\xE7\x94\x9F\xE6\x97\xA5"},                     // stays without a mark
      {u"\x9518\x4FCA", TextEncoding::Gbk, "\xEF\xBB\xBF\xE9\x94\x98\xE4\xBF\x8A"},  // GBK bytes EF BB BF BF A1
      {u"毛毛", TextEncoding::Gbk, "\xC3\xAB\xC3\xAB"},
      {u"a,1\r\n", TextEncoding::Utf8, "a,1\r\n"},  // ASCII only: no mark needed
  };
  for (const auto& c : cases) {
    std::string bytes = encodeFromUtf16(c.text, c.encoding);
    EXPECT_EQ(bytes, c.expected);
    EXPECT_EQ(decodeToUtf16(bytes, detectEncoding(bytes)), c.text);
  }
}

// What does not survive the round trip is seen: the editor asks before saving over it.
TEST(EncodingConversionTest, WhatCannotBeKeptComesBackChanged) {
  const struct {
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {
      {std::string("\xFF\xFE"
                   "a\0b",
                   5),
       TextEncoding::Utf16Le},                          // an odd last byte
      {"\xEF\xBB\xBF\xC0\xAF", TextEncoding::Utf8Bom},  // broken UTF-8
      {"a\x81,b", TextEncoding::Gbk},                   // a lead byte without its trail
      {"\xFF\xFE", TextEncoding::Gbk},
  };
  for (const auto& c : cases)
    EXPECT_NE(encodeFromUtf16(decodeToUtf16(c.bytes, c.encoding), c.encoding), c.bytes) << c.bytes;
  // A lone surrogate is kept as it stands, like a zero; the editor deals with the zero.
  std::string lone("\xFE\xFF\xD8\x00\0a", 6);
  EXPECT_EQ(encodeFromUtf16(decodeToUtf16(lone, TextEncoding::Utf16Be), TextEncoding::Utf16Be), lone);
  std::string zero = utf16Bytes(std::u16string(u"a\0b", 3), false);
  EXPECT_EQ(decodeToUtf16(zero, TextEncoding::Utf16Le), std::u16string(u"a\0b", 3));
}

TEST(EditorLimitTest, TheBoxHoldsWhatTheEditorCanOpenAndSave) {
  constexpr size_t k4MiB = 4 * 1024 * 1024;
  static_assert(kMaxTextFileBytes == k4MiB);
  struct Case {
    TextEncoding encoding;
    size_t loaded, limit;
  };
  const Case cases[] = {
      {TextEncoding::Gbk, 0, k4MiB},  // 4 Mi ASCII characters are a 4 MiB file
      {TextEncoding::Utf8, 100, k4MiB},
      {TextEncoding::Utf8Bom, 0, k4MiB - 3},      // the mark takes its three bytes
      {TextEncoding::Utf16Le, 0, k4MiB / 2 - 1},  // two bytes a character, two for the mark
      {TextEncoding::Utf16Be, 5, k4MiB / 2 - 1},
      {TextEncoding::Gbk, 2 * k4MiB, 2 * k4MiB},  // 4 Mi bare line feeds, each shown as CR LF
      {TextEncoding::Utf16Le, k4MiB / 2 + 7, k4MiB / 2 + 7},
  };
  for (const Case& c : cases)
    EXPECT_EQ(editorCharLimit(c.encoding, c.loaded), c.limit) << static_cast<int>(c.encoding) << " " << c.loaded;
}

TEST(EncodingConversionTest, Utf8AndUtf16ConvertWithStandIns) {
  EXPECT_EQ(gbk::utf8ToUtf16(u8"a生\U0001F600"), u"a生\U0001F600");
  EXPECT_EQ(gbk::utf16ToUtf8(u"a生\U0001F600"), u8"a生\U0001F600");
  EXPECT_EQ(gbk::utf8ToUtf16("a\xE7\x94"), u"a\xFFFD\xFFFD");  // cut sequence
  EXPECT_EQ(gbk::utf8ToUtf16("\xC0\xAF"), u"\xFFFD\xFFFD");
  EXPECT_EQ(gbk::utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

// The listing converts each field on its own: a byte that is no character becomes "?" alone.
TEST(EncodingConversionTest, EachCharacterOnItsOwn) {
  const struct {
    std::string gbk, utf8;
  } cases[] = {
      {"\xC9\xFA\xC8\xD5", u8"生日"},
      {"x\x81", "x?"},       // a lead byte at the end
      {"\x81\t1", "?\t1"},   // ... or before a byte that is no trail
      {"\x81\x4B", u8"並"},  // 0x81 leads a character
      {"\x80\xFF", "??"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(gbk::gbkToUtf8EachCharacter(c.gbk), c.utf8) << c.gbk;
}

}  // namespace

TEST(FileErrorTextTest, EachReasonInWordsForAReadAndForASave) {
  const struct {
    FileError error;
    int code;
    const char* read;
    const char* save;
  } cases[] = {
      {FileError::None, 0, "", ""},
      {FileError::Missing, 2, "文件不存在", "文件所在的文件夹不存在"},
      {FileError::IsFolder, 5, "这是一个文件夹，不是文件", "已有同名的文件夹"},
      {FileError::Locked, 32, "文件被其他程序占用", "文件被其他程序占用"},
      {FileError::Denied, 5, "没有读取它的权限", "没有写入它的权限"},
      {FileError::ReadOnly, 5, "读取时出错（错误代码 5）", "文件是只读的"},
      {FileError::DiskFull, 112, "读取时出错（错误代码 112）", "磁盘已满"},
      {FileError::TooLarge, 0, "文件太大", "写入时出错"},
      {FileError::Other, 1392, "读取时出错（错误代码 1392）", "写入时出错（错误代码 1392）"},
      {FileError::Other, 0, "读取时出错", "写入时出错"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fileErrorText(c.error, c.code).str(), c.read) << static_cast<int>(c.error);
    EXPECT_EQ(saveErrorText(c.error, c.code).str(), c.save) << static_cast<int>(c.error);
  }
}

// The editor's way from a file to its box and back: an unchanged text is written as the bytes it was
// read from, whatever the encoding and line ends, and what cannot be kept is told.
TEST(EditorTextTest, AFileComesBackAsItWasReadInEveryFormOfLineEnds) {
  const std::string zeroInside("a,1\nb\0c\r\n", 9);
  const struct {
    std::string bytes;
    std::u16string held;
    TextEncoding encoding;
    bool bareLineFeeds, cutAtZero, changesOnSave;
  } cases[] = {
      {"", u"", TextEncoding::Gbk, false, false, false},
      {"a,1\r\nb,2\r\n", u"a,1\r\nb,2\r\n", TextEncoding::Gbk, false, false, false},
      {"a,1\nb,2\n", u"a,1\r\nb,2\r\n", TextEncoding::Gbk, true, false, false},
      {"a,1\nb,2", u"a,1\r\nb,2", TextEncoding::Gbk, true, false, false},  // no last line end: none added
      {"a,1\rb,2\r", u"a,1\rb,2\r", TextEncoding::Gbk, false, false, false},
      {"a,1\r\nb,2\nc\r", u"a,1\r\nb,2\nc\r", TextEncoding::Gbk, false, false, false},
      {"生日,5月20日\r\n", u"生日,5月20日\r\n", TextEncoding::Gbk, false, false, false},
      {u8"生日,5月20日\n", u"生日,5月20日\r\n", TextEncoding::Utf8, true, false, false},
      {u8"\uFEFF한글,1\n\n", u"한글,1\r\n\r\n", TextEncoding::Utf8Bom, true, false, false},
      {utf16Bytes(u"生日,1\n小猫,2", false), u"生日,1\r\n小猫,2", TextEncoding::Utf16Le, true, false, false},
      {utf16Bytes(u"生日,1\r\n", true), u"生日,1\r\n", TextEncoding::Utf16Be, false, false, false},
      {zeroInside, u"a,1\r\nb", TextEncoding::Gbk, true, true, false},  // the line ends before the zero
      {"a\x81,b\n", u"", TextEncoding::Gbk, true, false, true},
      {"\xEF\xBB\xBF\xC0\xAF", u"", TextEncoding::Utf8Bom, false, false, true},
  };
  for (const auto& c : cases) {
    const EditableText edit = textForEditing(c.bytes);
    // What stands in for a broken sequence is the system's choice.
    if (!c.changesOnSave) {
      EXPECT_EQ(edit.text, c.held) << c.bytes;
    }
    EXPECT_EQ(edit.form.encoding, c.encoding) << c.bytes;
    EXPECT_EQ(edit.form.bareLineFeeds, c.bareLineFeeds) << c.bytes;
    EXPECT_EQ(edit.cutAtZero, c.cutAtZero) << c.bytes;
    EXPECT_EQ(edit.changesOnSave, c.changesOnSave) << c.bytes;
    for (TextUse use : {TextUse::List, TextUse::Recovery}) {
      const SavedBytes saved = bytesForSaving(edit.text, edit.form, use);
      if (!c.cutAtZero && !c.changesOnSave) {
        EXPECT_EQ(saved.bytes, c.bytes);
      }
      EXPECT_FALSE(saved.notInGbk || saved.tooLarge) << c.bytes;
    }
  }
}

// What a save makes of edited text: commas for the reader, characters a GBK list cannot hold, a line
// added with a bare line feed, the limit of what the editor opens again.
TEST(EditorTextTest, EditedTextIsWrittenSoThatItReadsBack) {
  const TextFileForm gbkCrLf = {TextEncoding::Gbk, false}, gbkLf = {TextEncoding::Gbk, true};
  const TextFileForm utf8Lf = {TextEncoding::Utf8, true}, utf16 = {TextEncoding::Utf16Le, false};
  const struct {
    std::u16string held;
    TextFileForm form;
    TextUse use;
    std::string bytes;
    bool notInGbk;
  } cases[] = {
      {u"生日，5月20日，每年", gbkCrLf, TextUse::List, "生日,5月20日,每年", false},
      {u"生日，5月20日", gbkCrLf, TextUse::Recovery, "生日，5月20日", false},  // as typed
      {u"\xD55C,1\r\n", gbkCrLf, TextUse::List, "?,1\r\n", true},
      {u"\xD55C,1\r\n", gbkCrLf, TextUse::Recovery, u8"\uFEFF\uD55C,1\r\n", false},
      {u"\xD55C,1\r\n", utf8Lf, TextUse::List, u8"\uD55C,1\n", false},
      {u"a,1\r\nb,2\nc,3\r\n", gbkLf, TextUse::List, "a,1\nb,2\nc,3\n", false},  // a line added with LF
      {u"a,1\r\r\n", gbkLf, TextUse::List, "a,1\r\n", false},
      {u"", utf16, TextUse::List, "\xFF\xFE", false},
      {u"", gbkLf, TextUse::List, "", false},
      {u"\x9518\x4FCA", gbkCrLf, TextUse::List, "\xEF\xBB\xBF\xE9\x94\x98\xE4\xBF\x8A", false},  // else read as UTF-8
  };
  for (const auto& c : cases) {
    const SavedBytes saved = bytesForSaving(c.held, c.form, c.use);
    EXPECT_EQ(saved.bytes, c.bytes) << c.bytes;
    EXPECT_EQ(saved.notInGbk, c.notInGbk) << c.bytes;
    // Read back and saved again, the file stays as written.
    const EditableText again = textForEditing(saved.bytes);
    EXPECT_EQ(bytesForSaving(again.text, again.form, c.use).bytes, saved.bytes) << c.bytes;
  }
  // UTF-16 of the limit's size with its mark is the largest file the editor opens again.
  const size_t most = (kMaxTextFileBytes - 2) / 2;
  EXPECT_FALSE(bytesForSaving(std::u16string(most, u'a'), utf16, TextUse::List).tooLarge);
  EXPECT_TRUE(bytesForSaving(std::u16string(most + 1, u'a'), utf16, TextUse::List).tooLarge);
}
