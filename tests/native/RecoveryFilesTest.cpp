// The recovery files' names and numbers, which of them the start note names, and what it says.
#include "core/RecoveryFiles.h"

#include <gtest/gtest.h>

#include "framework/Gbk.h"

namespace {

TEST(RecoveryFiles, NamesAreNumberedAndReadBack) {
  struct Case {
    int number;
    const char* name;
  };
  const Case cases[] = {{1, "Tessaly_items.recovered.txt"},
                        {2, "Tessaly_items.recovered.2.txt"},
                        {10, "Tessaly_items.recovered.10.txt"},
                        {999, "Tessaly_items.recovered.999.txt"}};
  for (const Case& c : cases) {
    EXPECT_EQ(recoveryFileName("C:\\Tools\\Tessaly_items", c.number), std::string("C:\\Tools\\") + c.name);
    EXPECT_EQ(recoveryFileNumber("Tessaly_items", c.name), c.number) << c.name;
  }
}

TEST(RecoveryFiles, OtherNamesAreNotRecoveryFiles) {
  struct Case {
    const char* name;
    int number;
  };
  const Case cases[] = {
      {"TESSALY_ITEMS.RECOVERED.TXT", 1},  // Windows names ignore the letter case
      {"Tessaly_items.recovered.3.TXT", 3},   {"Tessaly_items.txt", 0},
      {"Tessaly_items.recovered.txt.tmp", 0}, {"Tessaly_items.recovered.1.txt", 0},  // the first has no number
      {"Tessaly_items.recovered.02.txt", 0},  {"Tessaly_items.recovered.1000.txt", 0},
      {"Tessaly_items.recovered.-2.txt", 0},  {"Tessaly_items.recovered.x.txt", 0},
      {"Tessaly_items.recovered..txt", 0},    {"Tessaly_items.recoveredtxt", 0},
      {"Other_items.recovered.txt", 0},  // another copy of the program in the same folder
      {"Tessaly_items.recovered", 0},         {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(recoveryFileNumber("Tessaly_items", c.name), c.number) << c.name;
}

TEST(RecoveryFiles, EachFileIsAnnouncedOnce) {
  const std::vector<RecoveryFile> found = {{"a", 300, true}, {"b", 100, true}, {"c", 200, false}, {"d", 200, true}};
  struct Case {
    uint64_t seen;
    std::vector<std::string> announced;
  };
  const Case cases[] = {
      {0, {"b", "c", "d", "a"}},                           // nothing announced yet: all, oldest first
      {100, {"c", "d", "a"}},    {200, {"a"}}, {300, {}},  // the newest was named: nothing more to say
      {UINT64_MAX, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> paths;
    for (const RecoveryFile& f : unannouncedRecoveryFiles(found, c.seen)) paths.push_back(f.path);
    EXPECT_EQ(paths, c.announced) << c.seen;
  }
}

TEST(RecoveryFiles, NoteSaysWhereEachFileIs) {
  const std::string beside = gbk::gbkToUtf8("上次注销或关机时，纪念日编辑器中未保存的文本已保存到：");
  const std::string elsewhere = gbk::gbkToUtf8("无法保存在纪念日文件旁边");
  const std::string click = gbk::gbkToUtf8("点击此通知打开它所在的文件夹");
  EXPECT_EQ(recoveryNoteUtf8({}), "");
  const std::string korean = u8"C:\\한\\Tessaly_items.recovered.txt";  // paths stay UTF-8, whole
  const std::string one = recoveryNoteUtf8({{korean, 5, true}});
  EXPECT_EQ(one.find(beside), 0u);
  EXPECT_NE(one.find(korean), std::string::npos);
  EXPECT_EQ(one.find(elsewhere), std::string::npos);
  EXPECT_NE(one.find(click), std::string::npos);
  const std::string two = recoveryNoteUtf8({{"A.txt", 5, true}, {"B.txt", 6, false}});
  EXPECT_LT(two.find("A.txt"), two.find(elsewhere));
  EXPECT_LT(two.find(elsewhere), two.find("B.txt"));
}

TEST(RecoveryFiles, SeenMarkRoundTrips) {
  for (uint64_t seen : {uint64_t{0}, uint64_t{1}, uint64_t{133497346123456789}, UINT64_MAX})
    EXPECT_EQ(parseSeenMark(seenMarkText(seen)), seen);
  for (const char* damaged : {"", "-1", "12a", " 12", "18446744073709551616", "99999999999999999999999"})
    EXPECT_EQ(parseSeenMark(damaged), 0u) << damaged;
}

}  // namespace
