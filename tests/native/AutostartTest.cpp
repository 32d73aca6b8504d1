#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/Autostart.h"

namespace {

TEST(AutostartValueName, OnePerFolderWhateverTheSpelling) {
  const std::string name = autostartValueName("C:\\Program Files\\Tessaly");
  EXPECT_EQ(name.substr(0, 8), "Tessaly ");
  EXPECT_EQ(name.size(), 8u + 16u);
  // The same folder written otherwise: case, slashes, a trailing separator.
  for (const char* same : {"c:\\program files\\tessaly", "C:/Program Files/Tessaly", "C:\\Program Files\\Tessaly\\"})
    EXPECT_EQ(autostartValueName(same), name) << same;
  // Other folders, also ones differing only in a non-ASCII letter, get other names.
  for (const char* other : {"C:\\Program Files\\Tessaly2", "D:\\Program Files\\Tessaly", "C:\\工具\\纪念日",
                            "C:\\工具\\纪念曰"})
    EXPECT_NE(autostartValueName(other), name) << other;
  EXPECT_NE(autostartValueName("C:\\工具\\纪念日"), autostartValueName("C:\\工具\\纪念曰"));
  // Fixed from build to build: the installer and older copies must find the same value.
  EXPECT_EQ(autostartValueName(""), "Tessaly cbf29ce484222325");
}

TEST(AutostartCommand, QuotesTheFullPath) {
  EXPECT_EQ(autostartCommand("C:\\Program Files\\Tessaly\\Tessaly.exe"), "\"C:\\Program Files\\Tessaly\\Tessaly.exe\"");
}

struct StateCase {
  const char* what;
  bool present;
  const char* stored;
  std::basic_string<uint8_t> approved;
  AutostartState expected;
};

class AutostartStateTable : public testing::TestWithParam<StateCase> {};

TEST_P(AutostartStateTable, ReadsTheRegistry) {
  const StateCase& c = GetParam();
  const std::string expected = "\"C:\\Apps\\Tessaly\\Tessaly.exe\"";
  EXPECT_EQ(autostartStateOf(c.present, c.stored, expected, c.approved.data(), c.approved.size()), c.expected)
      << c.what;
}

const uint8_t kEnabled[] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const uint8_t kDisabled[] = {3, 0, 0, 0, 0x10, 0x20, 0, 0, 0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, AutostartStateTable,
    testing::Values(
        StateCase{"no value", false, "", {}, AutostartState::Off},
        StateCase{"no value, a disabled entry left over", false, "", {kDisabled, 12}, AutostartState::Off},
        StateCase{"this exe", true, "\"C:\\Apps\\Tessaly\\Tessaly.exe\"", {}, AutostartState::On},
        StateCase{"this exe, other case, unquoted", true, "c:\\apps\\tessaly\\TESSALY.EXE", {}, AutostartState::On},
        StateCase{"this exe, enabled in Task Manager", true, "\"C:\\Apps\\Tessaly\\Tessaly.exe\"", {kEnabled, 12},
                  AutostartState::On},
        StateCase{"moved", true, "\"C:\\Old\\Tessaly\\Tessaly.exe\"", {}, AutostartState::Stale},
        StateCase{"empty text", true, "", {}, AutostartState::Stale},
        StateCase{"disabled in Task Manager", true, "\"C:\\Apps\\Tessaly\\Tessaly.exe\"", {kDisabled, 12},
                  AutostartState::Disabled},
        StateCase{"disabled by another tool (07)", true, "\"C:\\Apps\\Tessaly\\Tessaly.exe\"", {7, 0},
                  AutostartState::Disabled},
        StateCase{"moved and disabled: the user's word stands", true, "\"C:\\Old\\Tessaly.exe\"", {kDisabled, 12},
                  AutostartState::Disabled}));

TEST(AutostartWord, OnOrOffOnly) {
  struct {
    const char* word;
    bool valid;
    bool on;
  } cases[] = {{"on", true, true}, {"OFF", true, false}, {"Off", true, false}, {"", false, false},
               {"yes", false, false}, {"onn", false, false}, {"1", false, false}};
  for (const auto& c : cases) {
    bool on = !c.on;
    EXPECT_EQ(parseAutostartWord(c.word, &on), c.valid) << c.word;
    if (c.valid) {
      EXPECT_EQ(on, c.on) << c.word;
    }
  }
}

}  // namespace
