// The settings model: each key of the settings file read into its value (a key never saved, or one
// the options dialog could not have accepted, gives the default), and the save that writes only what
// the file does not hold yet. Texts in the store are UTF-8, as the program's store gives them.
#include "core/Settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

class FakeStore : public SettingsStore {
 public:
  std::string read(const char* key) override {
    const auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
  }
  bool holds(const char* key) override { return values.count(key) > 0; }
  bool write(const std::vector<std::pair<const char*, std::string>>& changed) override {
    ++writes;
    if (full) return false;
    for (const auto& [key, value] : changed) {
      values[key] = value;
      written.push_back(key);
    }
    return true;
  }

  std::map<std::string, std::string> values;
  int writes = 0;                    // each a write of the file and one flush
  std::vector<std::string> written;  // the keys, in order
  bool full = false;                 // the file takes nothing
};

// Where each key's value shows in Settings, as a number (flags 0/1, words their enum's).
int valueOf(const Settings& s, const std::string& key) {
  const std::map<std::string, int> values = {
      {"posleft", s.placeLeft},
      {"postop", s.placeTop},
      {"fsize", s.fontSize},
      {"remind", s.remind},
      {"remindat", s.remindAt},
      {"remindsound", s.remindSound},
      {"rows", s.rows},
      {"order", static_cast<int>(s.order)},
      {"within", s.within},
      {"layer", static_cast<int>(s.layer)},
      {"lock", s.lock},
      {"clickthrough", s.clickThrough},
      {"hidefull", s.hideFullScreen},
      {"clickthroughtold", s.clickThroughTold},
      {"holidayrow", s.holidayRow},
      {"workdaynote", s.workdayNote},
      {"hotkey", s.hotkey},
      {"theme", static_cast<int>(s.theme)},
      {"opacity", s.opacity},
  };
  return values.at(key);
}

constexpr int kSoon = static_cast<int>(RowOrder::Soon);
constexpr int kNormal = static_cast<int>(WidgetLayer::Normal), kDesktop = static_cast<int>(WidgetLayer::Desktop);

TEST(SettingsModel, EachKeyReadsItsValueOrItsDefault) {
  const struct {
    const char* key;
    const char* stored;  // nullptr: never saved
    int value;
  } cases[] = {
      // The place: any int; none when either is missing or damaged.
      {"posleft", nullptr, kConfigNotSaved},
      {"posleft", "-1200", -1200},
      {"posleft", "2147483647", INT_MAX},
      {"posleft", "-2147483648", kConfigNotSaved},
      {"posleft", "99999999999", kConfigNotSaved},
      {"postop", "0", 0},
      {"postop", " 30\t", 30},
      {"postop", "+7", 7},
      {"postop", "12px", kConfigNotSaved},
      // Numbers the options dialog accepts; anything else their default.
      {"fsize", nullptr, 20},
      {"fsize", "10", 10},
      {"fsize", "200", 200},
      {"fsize", "9", 20},
      {"fsize", "201", 20},
      {"fsize", "abc", 20},
      {"fsize", "012345678901234567890123456789012345", 20},
      {"rows", nullptr, 5},
      {"rows", "1", 1},
      {"rows", "20", 20},
      {"rows", "0", 5},
      {"rows", "21", 5},
      {"within", nullptr, 0},
      {"within", "1", 1},
      {"within", "36600", 36600},
      {"within", "36601", 0},
      // Flags: 0 and 1 are themselves, anything else the flag's default.
      {"remind", nullptr, 1},
      {"remind", "0", 0},
      {"remind", "2", 1},
      {"remindsound", nullptr, 0},
      {"remindsound", "1", 1},
      {"lock", nullptr, 0},
      {"lock", "1", 1},
      {"clickthrough", "1", 1},
      {"hidefull", nullptr, 1},
      {"hidefull", "0", 0},
      {"clickthroughtold", nullptr, 0},
      {"holidayrow", nullptr, 0},
      {"holidayrow", "1", 1},
      {"workdaynote", nullptr, -1},  // never saved: follows holidayrow
      {"workdaynote", "0", 0},
      {"workdaynote", "1", 1},
      {"workdaynote", "-1", -1},
      {"workdaynote", "2", -1},
      // The reminder time, as the box takes it.
      {"remindat", nullptr, 540},
      {"remindat", "07:30", 450},
      {"remindat", "0:05", 5},
      {"remindat", u8"２３：５９", 1439},
      {"remindat", "25:00", 540},
      {"remindat", "9", 540},
      // Words, letters' case aside; any other word the default.
      {"order", nullptr, 0},
      {"order", "soon", kSoon},
      {"order", "SOON", kSoon},
      {"order", "file", 0},
      {"order", "soonest", 0},
      {"theme", nullptr, 0},
      {"theme", "dark", static_cast<int>(WidgetTheme::Dark)},
      {"theme", "Light", static_cast<int>(WidgetTheme::Light)},
      {"theme", "system", static_cast<int>(WidgetTheme::System)},
      {"theme", "auto", 0},
      {"opacity", nullptr, 99},
      {"opacity", "20", 20},
      {"opacity", "100", 100},
      {"opacity", "19", 99},
      {"opacity", "50%", 99},
      {"layer", nullptr, 0},
      {"layer", "normal", kNormal},
      {"layer", "desktop", kDesktop},
      {"layer", "Desktop", kDesktop},
      {"layer", "desktop ", 0},
      // The hotkey: saved empty, none; never saved or unreadable, Ctrl+Alt+D.
      {"hotkey", nullptr, kDefaultHotkey},
      {"hotkey", "", 0},
      {"hotkey", "ctrl + shift + f12", hotkeyValue(kHotkeyCtrl | kHotkeyShift, 0x7B)},
      {"hotkey", "Ctrl+Alt", kDefaultHotkey},
  };
  for (const auto& c : cases) {
    FakeStore store;
    if (c.stored) store.values[c.key] = c.stored;
    EXPECT_EQ(valueOf(loadSettings(store), c.key), c.value) << c.key << "=" << (c.stored ? c.stored : "(none)");
  }
}

TEST(SettingsModel, AnUnsavedWorkdayNoteFollowsTheHolidayRow) {
  const struct {
    const char* holidayRow;  // nullptr: never saved
    const char* workdayNote;
    bool on;
  } cases[] = {
      {nullptr, nullptr, false}, {"1", nullptr, true}, {"0", nullptr, false}, {"1", "0", false},
      {"0", "1", true},          {nullptr, "1", true}, {"1", "x", true},      {"0", "x", false},
  };
  for (const auto& c : cases) {
    FakeStore store;
    if (c.holidayRow) store.values["holidayrow"] = c.holidayRow;
    if (c.workdayNote) store.values["workdaynote"] = c.workdayNote;
    EXPECT_EQ(loadSettings(store).workdayNoteOn(), c.on)
        << (c.holidayRow ? c.holidayRow : "-") << " " << (c.workdayNote ? c.workdayNote : "-");
  }
}

TEST(SettingsModel, AFreshSettingsIsWhatAnEmptyFileReads) {
  FakeStore empty;
  const Settings read = loadSettings(empty), fresh;
  for (int id = 0; id < static_cast<int>(SettingId::Count); ++id) {
    const SettingKey& key = settingKey(static_cast<SettingId>(id));
    if (key.kind == SettingKind::Text) continue;
    EXPECT_EQ(valueOf(read, key.name), valueOf(fresh, key.name)) << key.name;
  }
  EXPECT_FALSE(fresh.hasPlace());
}

TEST(SettingsModel, SavesOnlyWhatTheFileDoesNotHold) {
  FakeStore store;
  store.values = {{"fsize", "20"}, {"rows", "5"}, {"order", "SOON"}, {"lock", " 1 "}};
  Settings settings = loadSettings(store);
  ASSERT_EQ(settings.order, RowOrder::Soon);

  // Nothing changed among the keys asked for: no write, no flush.
  EXPECT_TRUE(saveSettings(store, settings, {SettingId::FontSize, SettingId::Rows}));
  EXPECT_EQ(store.writes, 0);

  // Only the keys asked for, only those changed, in one write.
  settings.fontSize = 30;
  settings.within = 7;
  settings.placeLeft = -1;
  EXPECT_TRUE(saveSettings(store, settings, {SettingId::FontSize, SettingId::Rows, SettingId::Within}));
  EXPECT_EQ(store.writes, 1);
  EXPECT_EQ(store.written, (std::vector<std::string>{"fsize", "within"}));
  EXPECT_EQ(store.values.count("posleft"), 0u);

  // A value read the same but written otherwise is written in the program's own form.
  store.written.clear();
  EXPECT_TRUE(saveSettings(store, settings, {SettingId::Order, SettingId::Lock}));
  EXPECT_EQ(store.written, (std::vector<std::string>{"order", "lock"}));
  EXPECT_EQ(store.values["order"], "soon");
  EXPECT_EQ(store.values["lock"], "1");

  store.full = true;
  settings.fontSize = 40;
  EXPECT_FALSE(saveSettings(store, settings, {SettingId::FontSize}));
  EXPECT_TRUE(saveSettings(store, settings, {SettingId::Rows})) << "nothing to write, nothing failed";
}

TEST(SettingsModel, NoHotkeyIsSavedEmptyAndReadsBackAsNone) {
  FakeStore store;
  Settings settings = loadSettings(store);
  ASSERT_EQ(settings.hotkey, kDefaultHotkey);
  settings.hotkey = 0;
  EXPECT_TRUE(saveSettings(store, settings, {SettingId::Hotkey}));
  EXPECT_EQ(store.written, (std::vector<std::string>{"hotkey"})) << "written although the file read empty";
  EXPECT_EQ(store.values["hotkey"], "");
  EXPECT_EQ(loadSettings(store).hotkey, 0);
  EXPECT_TRUE(saveSettings(store, settings, {SettingId::Hotkey}));
  EXPECT_EQ(store.writes, 1) << "held empty already: no second write";
}

TEST(SettingsModel, HotkeysAreReadAsWrittenAndWrittenOneWay) {
  const struct {
    const char* text;
    int hotkey;  // 0: refused
    const char* written;
  } cases[] = {
      {"Ctrl+Alt+D", kDefaultHotkey, "Ctrl+Alt+D"},
      {"Ctrl+Shift+F12", hotkeyValue(kHotkeyCtrl | kHotkeyShift, 0x7B), "Ctrl+Shift+F12"},
      {"Alt+Win+K", hotkeyValue(kHotkeyAlt | kHotkeyWin, 'K'), "Alt+Win+K"},
      {" alt + CONTROL + d ", kDefaultHotkey, "Ctrl+Alt+D"},
      {"Win+Shift+1", hotkeyValue(kHotkeyWin | kHotkeyShift, '1'), "Shift+Win+1"},
      {"Ctrl+F1", hotkeyValue(kHotkeyCtrl, 0x70), "Ctrl+F1"},
      {"Ctrl+F24", hotkeyValue(kHotkeyCtrl, 0x87), "Ctrl+F24"},
      {"Ctrl+Alt+pageup", hotkeyValue(kHotkeyCtrl | kHotkeyAlt, 0x21), "Ctrl+Alt+PageUp"},
      {"Alt+Space", hotkeyValue(kHotkeyAlt, 0x20), "Alt+Space"},
      {"", 0, ""},
      {"D", 0, ""},               // no modifier
      {"Shift+D", 0, ""},         // Shift alone would take "D" from typing
      {"Ctrl+Alt", 0, ""},        // no key
      {"Ctrl+Alt+", 0, ""},       // an empty key
      {"Ctrl++D", 0, ""},         // an empty modifier
      {"Ctrl+Ctrl+D", 0, ""},     // a modifier twice
      {"Control+Ctrl+D", 0, ""},  // the same modifier by both names
      {"Ctrl+Alt+D+E", 0, ""},    // two keys
      {"Ctrl+Alt+F25", 0, ""},    // no such F key
      {"Hyper+D", 0, ""},
      {"Ctrl+Alt+\xc4\xe3", 0, ""},  // a hanzi
      {"Ctrl Alt D", 0, ""},
  };
  for (const auto& c : cases) {
    int hotkey = -1;
    const bool read = parseHotkey(c.text, &hotkey);
    EXPECT_EQ(read, c.hotkey != 0) << c.text;
    EXPECT_EQ(hotkey, read ? c.hotkey : -1) << c.text;
    if (read) {
      EXPECT_EQ(hotkeyText(hotkey), c.written) << c.text;
    }
  }
  EXPECT_EQ(hotkeyText(0), "");
}

TEST(SettingsModel, EveryValueReadsBackAsSaved) {
  Settings settings;
  settings.placeLeft = -1200;
  settings.placeTop = 0;
  settings.fontSize = 200;
  settings.remind = false;
  settings.remindAt = 7 * 60 + 5;
  settings.remindSound = true;
  settings.rows = 20;
  settings.order = RowOrder::Soon;
  settings.within = 36600;
  settings.layer = WidgetLayer::Desktop;
  settings.lock = true;
  settings.clickThrough = true;
  settings.hideFullScreen = false;
  settings.clickThroughTold = true;
  settings.holidayRow = true;
  settings.workdayNote = 0;
  settings.hotkey = hotkeyValue(kHotkeyAlt | kHotkeyWin, 'K');
  settings.theme = WidgetTheme::System;
  settings.opacity = 20;
  FakeStore store;
  EXPECT_TRUE(saveSettings(
      store, settings,
      {SettingId::PlaceLeft, SettingId::PlaceTop, SettingId::FontSize, SettingId::Remind, SettingId::RemindAt,
       SettingId::RemindSound, SettingId::Rows, SettingId::Order, SettingId::Within, SettingId::Layer, SettingId::Lock,
       SettingId::ClickThrough, SettingId::HideFullScreen, SettingId::ClickThroughTold, SettingId::HolidayRow,
       SettingId::WorkdayNote, SettingId::Hotkey, SettingId::Theme, SettingId::Opacity}));
  EXPECT_EQ(store.writes, 1);
  EXPECT_EQ(store.values["hotkey"], "Alt+Win+K");
  EXPECT_EQ(store.values["theme"], "system");
  EXPECT_EQ(store.values["remindat"], "07:05");
  EXPECT_EQ(store.values["layer"], "desktop");
  EXPECT_EQ(store.values["remind"], "0");
  const Settings read = loadSettings(store);
  for (int id = 0; id < static_cast<int>(SettingId::Count); ++id) {
    const SettingKey& key = settingKey(static_cast<SettingId>(id));
    if (key.kind == SettingKind::Text) continue;
    EXPECT_EQ(valueOf(read, key.name), valueOf(settings, key.name)) << key.name;
  }
  EXPECT_TRUE(read.hasPlace());
  EXPECT_TRUE(read.clickThroughInEffect());
}

}  // namespace
