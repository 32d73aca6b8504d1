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
    testing::Values(TipCase{"short", "Tessaly", 7},
                    TipCase{"63 Latin", std::string(63, 'a'), 63},
                    TipCase{"64 Latin", std::string(64, 'a'), 63},
                    TipCase{"100 Latin", std::string(100, 'a'), 63},
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

}  // namespace
