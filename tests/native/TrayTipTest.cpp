#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "ui/TrayTip.h"

namespace {

// "啊" in GBK: both bytes lie in the lead-byte range, so only a walk from the start can tell where a
// character begins.
const std::string kAh = "\xB0\xA1";
// "昞" in GBK: its trail byte is a backslash.
const std::string kBackslashTrail = "\x95\x5C";

std::string repeat(const std::string& unit, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += unit;
  return out;
}

struct TipCase {
  const char* what;
  std::string tip;
  size_t keptBytes;
};

class TrayTipCut : public testing::TestWithParam<TipCase> {};

TEST_P(TrayTipCut, KeepsAWholeCharacterPrefixThatFitsTheField) {
  const TipCase& c = GetParam();
  const std::string cut = trayTipText(c.tip);
  EXPECT_EQ(cut.size(), c.keptBytes);
  EXPECT_LT(cut.size(), kTrayTipBytes);  // room for the terminating zero
  EXPECT_EQ(cut, c.tip.substr(0, cut.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, TrayTipCut,
    testing::Values(TipCase{"short", "Tessaly", 7}, TipCase{"63 Latin", std::string(63, 'a'), 63},
                    TipCase{"64 Latin", std::string(64, 'a'), 63}, TipCase{"100 Latin", std::string(100, 'a'), 63},
                    // 61 + 2 = 63 bytes: the last character ends exactly at the limit.
                    TipCase{"63 with a double-byte end", std::string(61, 'a') + kAh, 63},
                    // 62 + 2 = 64: the character would straddle the limit and goes whole.
                    TipCase{"64 with a double-byte character at the cut", std::string(62, 'a') + kAh, 62},
                    TipCase{"64 double-byte only", repeat(kAh, 32), 62},
                    TipCase{"100 double-byte only", repeat(kAh, 50), 62},
                    // One Latin letter shifts every character: byte 62 is a trail byte here.
                    TipCase{"100 with an odd start", "a" + repeat(kAh, 49) + "a", 63},
                    TipCase{"100 with trail bytes in the Latin range", "a" + repeat(kBackslashTrail, 49) + "a", 63},
                    TipCase{"Chinese text", repeat("纪念日", 11), 62}),
    [](const testing::TestParamInfo<TipCase>& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

TEST(TrayTipCut, EndsAtTheLastWholeCharacterForEveryLength) {
  // Tips of 0 to 100 bytes built from whole characters of one and two bytes: the cut keeps exactly
  // the characters that end within 63 bytes.
  const std::string units[] = {"a", kAh, kBackslashTrail, "b", "念"};
  std::string tip;
  std::vector<size_t> boundaries = {0};
  for (size_t i = 0; tip.size() < 100; ++i) {
    tip += units[i % 5];
    boundaries.push_back(tip.size());
  }
  for (size_t end : boundaries) {
    const std::string prefix = tip.substr(0, end);
    size_t expected = 0;
    for (size_t b : boundaries)
      if (b <= end && b <= kTrayTipBytes - 1) expected = b;
    EXPECT_EQ(trayTipText(prefix).size(), expected) << "tip of " << end << " bytes";
  }
}

// --- balloon notes ---

bool hasBrokenSurrogate(const std::u16string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
    bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
    if (high && (i + 1 == text.size() || !(text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF))) return true;
    if (low && (i == 0 || !(text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF))) return true;
  }
  return false;
}

TEST(BalloonNote, AShortNoteIsKeptWhole) {
  const std::u16string note = u"无法读取纪念日文件：\r\nC:\\한국어\\Tessaly_items.txt";
  EXPECT_EQ(noteForBalloon(note), note);
  const std::u16string full(kBalloonChars, u'x');
  EXPECT_EQ(noteForBalloon(full), full);
}

TEST(BalloonNote, ALongPathKeepsTheSentenceAndTheFileName) {
  const std::u16string sentence = u"无法读取纪念日文件，列表暂时是空的：\r\n";
  const std::u16string end = u"\\deep\\Tessaly_items.txt\r\n文件被其他程序占用。";
  for (size_t middle : {300u, 1000u, 40000u}) {
    const std::u16string note = sentence + u"C:\\" + std::u16string(middle, u'd') + end;
    const std::u16string shown = noteForBalloon(note);
    EXPECT_EQ(shown.size(), kBalloonChars) << middle;
    EXPECT_EQ(shown.substr(0, sentence.size()), sentence) << middle;
    EXPECT_EQ(shown.substr(shown.size() - end.size()), end) << middle;
    EXPECT_NE(shown.find(u'\u2026'), std::u16string::npos) << middle;
  }
}

TEST(BalloonNote, NeverCutsACharacterOfTwoUnits) {
  // "𠀀" (U+20000) takes two UTF-16 units; every alignment of the cut against them is tried.
  const std::u16string wide = u"\U00020000";
  for (size_t lead = 0; lead < 4; ++lead) {
    std::u16string note(lead, u'a');
    while (note.size() < 600) note += wide;
    const std::u16string shown = noteForBalloon(note);
    EXPECT_LE(shown.size(), kBalloonChars) << lead;
    EXPECT_FALSE(hasBrokenSurrogate(shown)) << lead;
  }
  // A first line longer than half the room is cut like the rest.
  std::u16string longLine(200, u'a');
  longLine += u"\n" + std::u16string(300, u'b');
  EXPECT_LE(noteForBalloon(longLine).size(), kBalloonChars);
}

}  // namespace
