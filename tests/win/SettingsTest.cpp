// The settings file: values written are read back by a later "run", and what was never saved or
// was damaged reads as not saved.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Autostart.h"
#include "core/Core.h"
#include "framework/Gbk.h"

namespace {

class SettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    core.autoFileConfig();
    DeleteFileW(widePath(core.configPath()).c_str());
  }
  void TearDown() override { DeleteFileW(widePath(core.configPath()).c_str()); }
  void writeRaw(const wchar_t* key, const wchar_t* value) {
    WritePrivateProfileStringW(L"Tessaly", key, value, widePath(core.configPath()).c_str());
  }
  CCore core;
};

TEST_F(SettingsTest, LivesBesideTheProgramAsAnIniFile) {
  FilePath path = core.configPath();
  ASSERT_GT(path.size(), 4u);
  EXPECT_EQ(path.substr(path.size() - 4), ".ini");
  EXPECT_EQ(path, core.getAppFilePath() + ".ini");
  EXPECT_EQ(core.getAppFilePath().find(".exe"), std::string::npos);
}

TEST_F(SettingsTest, RoundTripsAcrossCoreObjects) {
  Settings place;
  place.placeLeft = -1200;
  place.placeTop = 0;
  EXPECT_TRUE(core.saveSettings(place, {SettingId::PlaceLeft, SettingId::PlaceTop}));
  EXPECT_TRUE(core.saveConfigInt("fsize", 200));
  CCore later;
  later.autoFileConfig();
  EXPECT_EQ(later.getConfigInt("posleft"), -1200);
  EXPECT_EQ(later.getConfigInt("postop"), 0);
  EXPECT_EQ(later.loadSettings().placeLeft, -1200);
  EXPECT_EQ(later.getConfigInt("fsize"), 200);
  EXPECT_TRUE(later.saveConfigInt("fsize", 10));
  EXPECT_EQ(core.getConfigInt("fsize"), 10);
}

TEST_F(SettingsTest, TextValuesRoundTripInTheirSectionAndCanBeRemoved) {
  const std::wstring longValue(1000, L'x');  // past the first read buffer
  EXPECT_TRUE(core.saveConfigText("remindat", L"09:30"));
  EXPECT_TRUE(core.saveConfigText("k", longValue.c_str(), L"Other"));
  EXPECT_EQ(core.getConfigText("remindat"), L"09:30");
  EXPECT_EQ(core.getConfigText("k", L"Other"), longValue);
  EXPECT_EQ(core.getConfigText("k"), L"");  // another section's key
  EXPECT_TRUE(core.saveConfigText("remindat", nullptr));
  EXPECT_EQ(core.getConfigText("remindat"), L"");
}

TEST_F(SettingsTest, NeverSavedOrDamagedValuesReadAsNotSaved) {
  EXPECT_EQ(core.getConfigInt("fsize"), kConfigNotSaved);
  EXPECT_EQ(core.loadSettings().fontSize, 20);
  struct Case {
    const wchar_t* stored;
    int read;
    int fontSize;
  } cases[] = {
      {L"24", 24, 24},
      {L" 30 ", 30, 30},
      {L"9", 9, 20},
      {L"201", 201, 20},
      {L"-5", -5, 20},
      {L"abc", kConfigNotSaved, 20},
      {L"12px", kConfigNotSaved, 20},
      {L"", kConfigNotSaved, 20},
      {L"99999999999", kConfigNotSaved, 20},
      {L"\"26\"", 26, 26},
      {L"'27'", 27, 27},
      {L"\"28", kConfigNotSaved, 20},
      {L"012345678901234567890123456789012345", kConfigNotSaved, 20},
  };
  for (const Case& c : cases) {
    writeRaw(L"fsize", c.stored);
    EXPECT_EQ(core.getConfigInt("fsize"), c.read) << c.stored;
    EXPECT_EQ(core.loadSettings().fontSize, c.fontSize) << c.stored;
    // The section read at once answers as the key's own read.
    core.readSettingsOnce(true);
    EXPECT_EQ(core.getConfigInt("fsize"), c.read) << c.stored;
    core.readSettingsOnce(false);
  }
}

TEST_F(SettingsTest, ReadOnceSeesSavesAndOtherSections) {
  writeRaw(L"fsize", L"30");
  core.readSettingsOnce(true);
  EXPECT_EQ(core.getConfigInt("fsize"), 30);
  writeRaw(L"fsize", L"31");  // another program's change while reading once: not seen
  EXPECT_EQ(core.getConfigInt("fsize"), 30);
  EXPECT_TRUE(core.saveConfigInt("fsize", 32));
  EXPECT_TRUE(core.saveConfigText("k", L"v", L"Other"));
  EXPECT_EQ(core.getConfigInt("fsize"), 32);
  EXPECT_EQ(core.getConfigText("k", L"Other"), L"v");
  EXPECT_EQ(core.getConfigText("k"), L"");
  core.readSettingsOnce(false);
  writeRaw(L"fsize", L"33");
  EXPECT_EQ(core.getConfigInt("fsize"), 33);
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenSaysSo) {
  // A folder where the settings file should be: nothing can be stored, and the caller is told.
  std::wstring path = widePath(core.configPath());
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  EXPECT_FALSE(core.saveConfigInt("fsize", 30));
  EXPECT_EQ(core.getConfigInt("fsize"), kConfigNotSaved);
  RemoveDirectoryW(path.c_str());
  EXPECT_TRUE(core.saveConfigInt("fsize", 30));
  EXPECT_EQ(core.getConfigInt("fsize"), 30);
  // Held open by another program that lets others read only: the value the file holds needs no write,
  // another one is refused.
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(core.saveConfigInt("fsize", 30));
  EXPECT_FALSE(core.saveConfigInt("fsize", 31));
  Settings values = core.loadSettings();
  values.placeLeft = 1;
  EXPECT_TRUE(core.saveSettings(values, {SettingId::FontSize}));
  EXPECT_FALSE(core.saveSettings(values, {SettingId::FontSize, SettingId::PlaceLeft}));
  CloseHandle(held);
  EXPECT_EQ(core.getConfigInt("fsize"), 30);
}

TEST_F(SettingsTest, TheListsFolderReadsBackWholeInTheFilesCodePage) {
  const FilePath app = core.getAppFilePath();
  const FilePath exeName = app.substr(app.find_last_of('\\') + 1);
  const struct {
    const char* folder;
    bool plain;  // stored as it is, readable in the file on any code page
  } cases[] = {
      {"D:\\Sync", true},
      {"D:\\Sync 100%\\", true},
      {"D:\\Sync=Backup", true},
      {u8"D:\\同步=备份 한", false},    // "=" in the value, read at every start
      {u8"D:\\同步 한국어 ßö", false},  // beyond the code page of the test machine and of a Chinese one
      {u8"\\\\nas\\共享\\😀", false},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(core.saveItemDir(c.folder)) << c.folder;
    CCore later;
    later.autoFileConfig();
    FilePath folder = c.folder;
    if (folder.back() == '\\') folder.pop_back();
    EXPECT_EQ(later.itemDir(), folder) << c.folder;
    EXPECT_EQ(later.listPath(), folder + "\\" + exeName + "_items.txt") << c.folder;
    EXPECT_EQ(later.getConfigText("itemdir").substr(0, 3) != L"u8:", c.plain) << c.folder;
  }
  EXPECT_TRUE(core.saveItemDir(""));
  EXPECT_EQ(core.getConfigText("itemdir"), L"");
  EXPECT_EQ(core.listPath(), app + "_items.txt");
}

// The reminder and row settings as the widget reads them at start: out of range counts as the default,
// as the font size does; the log of shown reminders comes from its own section.
TEST_F(SettingsTest, WidgetSettingsReadBackOrFallBackToTheirDefaults) {
  struct Case {
    const wchar_t *remind, *remindAt, *sound, *rows, *order, *within;
    bool wantRemind;
    int wantAt;
    bool wantSound;
    int wantRows;
    RowOrder wantOrder;
    int wantWithin;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, true, 540, false, 5, RowOrder::File, 0},
      {L"0", L"07:30", L"1", L"20", L"soon", L"30", false, 450, true, 20, RowOrder::Soon, 30},
      {L"1", L"0:05", L"0", L"1", L"file", L"36600", true, 5, false, 1, RowOrder::File, 36600},
      {L"1", L"9:00", L"1", L"3", L"SOON", L"7", true, 540, true, 3, RowOrder::Soon, 7},
      {L"x", L"25:00", L"2", L"21", L"nearest", L"-1", true, 540, false, 5, RowOrder::File, 0},
      {L"", L"9", L"", L"0", L"", L"36601", true, 540, false, 5, RowOrder::File, 0},
  };
  ::core = &core;
  for (const Case& c : cases) {
    DeleteFileW(widePath(core.configPath()).c_str());
    const wchar_t* keys[] = {L"remind", L"remindat", L"remindsound", L"rows", L"order", L"within"};
    const wchar_t* values[] = {c.remind, c.remindAt, c.sound, c.rows, c.order, c.within};
    for (int i = 0; i < 6; ++i)
      if (values[i]) writeRaw(keys[i], values[i]);
    CWidgetDlg widget;
    widget.LoadSettings();
    SCOPED_TRACE(c.rows ? gbk::wideToUtf8(c.rows) : "nothing saved");
    EXPECT_EQ(widget.reminders.enabled, c.wantRemind);
    EXPECT_EQ(widget.reminders.remindAt, c.wantAt);
    EXPECT_EQ(widget.reminders.sound, c.wantSound);
    EXPECT_EQ(settings.rows, c.wantRows);
    EXPECT_EQ(settings.order, c.wantOrder);
    EXPECT_EQ(settings.within, c.wantWithin);
  }
  // The log of what was shown, from the section of its own.
  CWidgetDlg widget;
  widget.reminders.log.add(reminderKey("妈妈生日", "5月20日", {2027, 5, 20}, 7, false));
  EXPECT_TRUE(core.saveConfigText("shown", gbk::toWide(widget.reminders.log.serialize()).c_str(), kReminderSection));
  CWidgetDlg later;
  later.LoadSettings();
  EXPECT_EQ(later.reminders.log.size(), 1u);
  EXPECT_TRUE(later.reminders.log.contains(reminderKey("妈妈生日", "5月20日", {2027, 5, 20}, 7, false)));
  ::core = nullptr;
}

// Start with Windows found by what a value starts, not only by its name: a value of this program
// under another name (another spelling of its path) and one a copy that is gone left behind are
// taken over or removed; another copy's value, that copy still there, stays.
TEST(AutostartRegistry, ValuesAreFoundByWhatTheyStart) {
  const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  HKEY run = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr),
            ERROR_SUCCESS);
  const auto put = [&](const std::wstring& name, const std::wstring& command) {
    RegSetValueExW(run, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  };
  const auto there = [&](const std::wstring& name) {
    return RegQueryValueExW(run, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  };
  const std::wstring pid = std::to_wstring(GetCurrentProcessId());
  std::wstring self = moduleFileName();
  for (wchar_t& c : self) c = static_cast<wchar_t>(towupper(c));  // this program, spelled otherwise
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring otherFolder = std::wstring(temp) + L"tessaly-other-" + pid;
  CreateDirectoryW(otherFolder.c_str(), nullptr);
  const std::wstring otherExe = otherFolder + L"\\Tessaly.exe";
  CloseHandle(CreateFileW(otherExe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const std::wstring gone = L"Tessaly 00000000deadbeef", shortName = L"Tessaly by another name " + pid,
                     other = L"Tessaly other copy " + pid;

  ASSERT_TRUE(writeAutostart(false));
  put(gone, L"\"C:\\gone-" + pid + L"\\Tessaly.exe\"");
  put(shortName, L"\"" + self + L"\" --x");
  put(other, L"\"" + otherExe + L"\"");
  EXPECT_EQ(readAutostart(), AutostartState::On) << "the box shows the value under another name";
  renewStaleAutostart();
  EXPECT_EQ(readAutostart(), AutostartState::On);
  EXPECT_FALSE(there(shortName)) << "taken over under the own name";
  EXPECT_FALSE(there(gone)) << "a copy gone: removed";
  EXPECT_TRUE(there(other)) << "another copy that is there keeps its value";

  // Moved: only the old value there, naming a path gone; taken over at start.
  ASSERT_TRUE(writeAutostart(false));
  put(gone, L"\"C:\\gone-" + pid + L"\\Tessaly.exe\"");
  EXPECT_EQ(readAutostart(), AutostartState::Off);
  renewStaleAutostart();
  EXPECT_EQ(readAutostart(), AutostartState::On);
  EXPECT_FALSE(there(gone));

  // "--autostart off" leaves none of this program's values behind, whatever their names.
  put(gone, L"\"C:\\gone-" + pid + L"\\Tessaly.exe\"");
  put(shortName, L"\"" + self + L"\"");
  EXPECT_TRUE(writeAutostart(false));
  EXPECT_FALSE(there(gone));
  EXPECT_FALSE(there(shortName));
  EXPECT_TRUE(there(other));
  EXPECT_EQ(readAutostart(), AutostartState::Off);

  RegDeleteValueW(run, other.c_str());
  RegCloseKey(run);
  DeleteFileW(otherExe.c_str());
  RemoveDirectoryW(otherFolder.c_str());
}

}  // namespace
