// The settings model: every key of the settings file's section "Tessaly" in one table (its name, the
// kind of value, the default, the range or the words it accepts), one load that fills one Settings and
// one save that writes only the keys whose value the file does not hold yet. A value never saved, or
// one the options dialog could not have accepted (a damaged or hand-edited file), reads as the default.
// The file itself is reached through a SettingsStore: CCore's profile calls in the program, a map in
// the tests. Names, defaults and words are those older versions read: the file stays theirs too.
#pragma once
#include <climits>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a number setting reads as when never saved or holding no number (the place before the first).
constexpr int kConfigNotSaved = INT_MIN;

constexpr int kDefaultFontSize = 20;
constexpr int kMinFontSize = 10;
constexpr int kMaxFontSize = 200;
constexpr int kDefaultRemindAt = 9 * 60;  // 09:00
constexpr int kMinRows = 1;
constexpr int kMaxRows = 20;
constexpr int kDefaultRows = 5;
constexpr int kMaxWithinDays = 36600;  // within: 0 (all) .. 36600 days

// The widget's opacity in percent; the default is the alpha 253 the widget always had.
constexpr int kDefaultOpacity = 99;
constexpr int kMinOpacity = 20;
constexpr int kMaxOpacity = 100;

enum class RowOrder { File, Soon };  // words "file" (文件顺序) and "soon" (最近的在前)
// Above every window, among them, or on the desktop below them.
enum class WidgetLayer { Top, Normal, Desktop };
// The widget's colours: the ones it always had, a dark or a light set, or dark or light as Windows'
// app mode says (words "classic", "dark", "light", "system").
enum class WidgetTheme { Classic, Dark, Light, System };

enum class SettingId {
  PlaceLeft,
  PlaceTop,
  FontSize,
  Remind,
  RemindAt,
  RemindSound,
  Rows,
  Order,
  Within,
  Layer,
  Lock,
  ClickThrough,
  HideFullScreen,
  ClickThroughTold,
  ItemDir,
  RecoverySeen,
  HolidayRow,
  WorkdayNote,
  Hotkey,
  Theme,
  Opacity,
  Count
};

enum class SettingKind {
  Number,  // a decimal int in [low, high]
  Flag,    // 0 or 1
  Word,    // one of words, letters' case aside; the value is its index
  Time,    // "HH:MM" (see parseRemindAt); the value is minutes after midnight
  Text,    // kept as it is (UTF-8); read and written by its owner (CCore: itemdir; the recovery note)
  Hotkey,  // a key with its modifiers, "Ctrl+Alt+D" (see parseHotkey); the value is hotkeyValue's, 0
           // for none: a key saved empty
};

struct SettingKey {
  const char* name;
  SettingKind kind;
  int fallback;  // the value of a key never saved or out of range
  int low, high;
  const char* words[4];
};

const SettingKey& settingKey(SettingId id);

// The values the program works with; a Settings made fresh holds every default.
struct Settings {
  Settings();

  int placeLeft, placeTop;  // the widget's remembered top-left corner; kConfigNotSaved when none
  int fontSize;
  bool remind;
  int remindAt;  // minutes after midnight
  bool remindSound;
  int rows;
  RowOrder order;
  int within;  // days; 0 shows all
  WidgetLayer layer;
  bool lock;
  bool clickThrough;  // as chosen; in effect only while locked
  bool hideFullScreen;
  bool clickThroughTold;  // the way back from click-through was told once
  bool holidayRow;        // a row for the next holiday break
  // The note on the day before a 补班 day: 0 or 1 as saved; never saved (-1), it follows holidayRow.
  int workdayNote;
  int hotkey;  // the global key that gives the widget the keyboard (hotkeyValue's); 0 for none
  WidgetTheme theme;
  int opacity;  // percent, kMinOpacity..kMaxOpacity

  bool workdayNoteOn() const { return workdayNote < 0 ? holidayRow : workdayNote != 0; }

  bool hasPlace() const { return placeLeft != kConfigNotSaved && placeTop != kConfigNotSaved; }
  // A widget the mouse cannot reach must at least stay where it is.
  bool clickThroughInEffect() const { return lock && clickThrough; }
};

// The settings file as the model reaches it; texts in UTF-8.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The key's value, empty for a key never saved.
  virtual std::string read(const char* key) = 0;
  // The file holds the key, also with an empty value. A store that cannot tell says so of the
  // keys whose value is not empty.
  virtual bool holds(const char* key) { return !read(key).empty(); }
  // Writes each (key, value), the file flushed once after the last; false when any could not be written.
  virtual bool write(const std::vector<std::pair<const char*, std::string>>& values) = 0;
};

Settings loadSettings(SettingsStore& store);
// Writes the keys of ids whose value in settings differs from what the file holds, all in one write;
// nothing when none does. False when the file could not take them.
bool saveSettings(SettingsStore& store, const Settings& settings, std::initializer_list<SettingId> ids);

// A stored number: strictly a decimal int, spaces around it allowed; kConfigNotSaved for anything else.
int parseSettingNumber(std::string_view text);
// "HH:MM" (also "H:MM", full-width digits and "：", spaces around; GBK) as minutes after midnight,
// 00:00 to 23:59. False (minutes untouched) for anything else.
bool parseRemindAt(std::string_view text, int* minutes);
// minutes as "HH:MM"; out-of-range values as the default's.
std::string remindAtText(int minutes);

// A hotkey as one int: the modifiers (the values RegisterHotKey takes) times 256 plus the key's
// virtual-key code.
constexpr int kHotkeyAlt = 1, kHotkeyCtrl = 2, kHotkeyShift = 4, kHotkeyWin = 8;
constexpr int hotkeyValue(int modifiers, int virtualKey) { return modifiers << 8 | virtualKey; }
constexpr int hotkeyModifiers(int hotkey) { return hotkey >> 8; }
constexpr int hotkeyKey(int hotkey) { return hotkey & 0xFF; }
constexpr int kDefaultHotkey = hotkeyValue(kHotkeyCtrl | kHotkeyAlt, 'D');
// "Ctrl+Alt+D", "Ctrl+Shift+F12", "Alt+Win+K": modifiers (Ctrl or Control, Alt, Shift, Win, each
// once, in any order) and one key last (a letter, a digit, F1 to F24, Space, Insert, Delete, Home,
// End, PageUp, PageDown, Up, Down, Left, Right, Pause), joined by "+", letters' case and spaces
// around the parts aside. Ctrl, Alt or Win must be among the modifiers: Shift alone would take a
// character away from typing. False (hotkey untouched) for anything else, also for an empty text.
bool parseHotkey(std::string_view text, int* hotkey);
// The hotkey as parseHotkey reads it, modifiers in the order Ctrl, Alt, Shift, Win; empty for 0.
std::string hotkeyText(int hotkey);
