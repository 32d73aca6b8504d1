// The festival presets: each a line the list reads as a yearly date, under a name of its own.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/DateText.h"
#include "items/Festivals.h"
#include "items/ItemOptions.h"

namespace {

TEST(FestivalsTest, EveryPresetIsAYearlyLine) {
  size_t count = 0;
  const FestivalPreset* presets = festivalPresets(&count);
  ASSERT_GE(count, 14u);
  std::set<std::string> names;
  for (size_t i = 0; i < count; ++i) {
    const std::string line = festivalLine(presets[i]);
    EXPECT_TRUE(names.insert(presets[i].name).second) << line;
    // Read back as the list reads a line: the date field after the name.
    CivilDate date;
    WrittenDate written;
    EXPECT_EQ(readDateText(dateFieldOfLine(line), {2025, 6, 15}, &date, &written), DateProblem::None) << line;
    EXPECT_TRUE(isYearlyForm(written.form)) << line;
  }
  EXPECT_EQ(festivalLine(presets[6]), "中秋节,农历八月十五");
  for (const char* name : {"春节", "元宵节", "清明", "端午节", "七夕", "中秋节", "重阳节", "腊八", "除夕", "母亲节",
                           "父亲节", "元旦", "劳动节", "国庆节"})
    EXPECT_EQ(names.count(name), 1u) << name;
}

TEST(FestivalsTest, WhichPresetAndWhatItFills) {
  size_t count = 0;
  const FestivalPreset* presets = festivalPresets(&count);
  const int midAutumn = 6, national = 24;
  ASSERT_EQ(std::string(presets[national].name), "国庆节");
  // The list shows a preset chosen only for its own line.
  const struct {
    const char *name, *date;
    int preset;
  } lines[] = {{"中秋节", "农历八月十五", midAutumn}, {"国庆节", "10月1日", national},
               {"春节", "农历正月初一", 0},           {"结婚", "10月1日", -1},
               {"中秋节", "农历八月十六", -1},        {"", "", -1}};
  for (const auto& l : lines) EXPECT_EQ(festivalOfLine(l.name, l.date), l.preset) << l.name << "," << l.date;
  // The name box takes the preset's name when empty or still the previous preset's, never a typed one.
  const struct {
    const char* name;
    int previous;
    bool takes;
  } fills[] = {
      {"", -1, true},        {" \t　", midAutumn, true},     {"中秋节", midAutumn, true},   {"中秋节", national, false},
      {"中秋节", -1, false}, {"外婆生日", midAutumn, false}, {"中秋节 ", midAutumn, false}, {"中秋节", 1000, false}};
  for (const auto& f : fills) EXPECT_EQ(festivalTakesName(f.name, f.previous), f.takes) << f.name << "/" << f.previous;
}

}  // namespace
