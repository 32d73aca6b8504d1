#include "core/Settings.h"

#include <cstdint>

#include "core/DateText.h"
#include "framework/Gbk.h"
#include "framework/String.h"

namespace {

using K = SettingKind;
constexpr SettingKey kKeys[] = {
    {"posleft", K::Number, kConfigNotSaved, INT_MIN + 1, INT_MAX, {}},
    {"postop", K::Number, kConfigNotSaved, INT_MIN + 1, INT_MAX, {}},
    {"fsize", K::Number, kDefaultFontSize, kMinFontSize, kMaxFontSize, {}},
    {"remind", K::Flag, 1, 0, 1, {}},
    {"remindat", K::Time, kDefaultRemindAt, 0, 24 * 60 - 1, {}},
    {"remindsound", K::Flag, 0, 0, 1, {}},
    {"rows", K::Number, kDefaultRows, kMinRows, kMaxRows, {}},
    {"order", K::Word, 0, 0, 1, {"file", "soon"}},  // RowOrder's order
    {"within", K::Number, 0, 0, kMaxWithinDays, {}},
    {"layer", K::Word, 0, 0, 2, {"top", "normal", "desktop"}},  // WidgetLayer's order
    {"lock", K::Flag, 0, 0, 1, {}},
    {"clickthrough", K::Flag, 0, 0, 1, {}},
    {"hidefull", K::Flag, 1, 0, 1, {}},
    {"clickthroughtold", K::Flag, 0, 0, 1, {}},
    {"itemdir", K::Text, 0, 0, 0, {}},
    {"recoveryseen", K::Text, 0, 0, 0, {}},
    {"holidayrow", K::Flag, 0, 0, 1, {}},
    {"workdaynote", K::Flag, -1, 0, 1, {}},  // -1: never saved, follows holidayrow
    {"hotkey", K::Hotkey, kDefaultHotkey, 0, 0, {}},
    // WidgetTheme's order.
    {"theme", K::Word, 0, 0, 3, {"classic", "dark", "light", "system"}},
    {"opacity", K::Number, kDefaultOpacity, kMinOpacity, kMaxOpacity, {}},
};
static_assert(sizeof kKeys / sizeof kKeys[0] == static_cast<size_t>(SettingId::Count), "one row per key");

// The one list of which value holds which key. Every value is an int, a bool or an enum: its number is
// the value itself, 0/1, or the word's index.
template <typename S, typename F>
void eachValue(S& s, F&& f) {
  f(SettingId::PlaceLeft, s.placeLeft);
  f(SettingId::PlaceTop, s.placeTop);
  f(SettingId::FontSize, s.fontSize);
  f(SettingId::Remind, s.remind);
  f(SettingId::RemindAt, s.remindAt);
  f(SettingId::RemindSound, s.remindSound);
  f(SettingId::Rows, s.rows);
  f(SettingId::Order, s.order);
  f(SettingId::Within, s.within);
  f(SettingId::Layer, s.layer);
  f(SettingId::Lock, s.lock);
  f(SettingId::ClickThrough, s.clickThrough);
  f(SettingId::HideFullScreen, s.hideFullScreen);
  f(SettingId::ClickThroughTold, s.clickThroughTold);
  f(SettingId::HolidayRow, s.holidayRow);
  f(SettingId::WorkdayNote, s.workdayNote);
  f(SettingId::Hotkey, s.hotkey);
  f(SettingId::Theme, s.theme);
  f(SettingId::Opacity, s.opacity);
}

template <typename T>
void assign(T& value, int number) {
  value = static_cast<T>(number);
}

// Words in the settings file are read as its keys are, ASCII letters' case aside ("SOON" too).
bool sameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

// held: the file holds the key, also when its value is empty.
int readValue(const SettingKey& key, const std::string& text, bool held) {
  switch (key.kind) {
    case K::Hotkey: {
      // Saved empty: no hotkey, as the options dialog's empty box says.
      int hotkey = text.empty() && held ? 0 : key.fallback;
      return text.empty() || parseHotkey(text, &hotkey) ? hotkey : key.fallback;
    }
    case K::Word:
      for (int i = key.low; i <= key.high; ++i)
        if (sameWord(text, key.words[i])) return i;
      return key.fallback;
    case K::Time: {
      int minutes = key.fallback;
      return parseRemindAt(gbk::utf8ToGbk(text), &minutes) ? minutes : key.fallback;
    }
    default: {
      const int number = parseSettingNumber(text);
      return number >= key.low && number <= key.high ? number : key.fallback;
    }
  }
}

std::string valueText(const SettingKey& key, int value) {
  switch (key.kind) {
    case K::Word:
      return key.words[value >= key.low && value <= key.high ? value : key.fallback];
    case K::Time:
      return remindAtText(value);
    case K::Hotkey:
      return hotkeyText(value);
    default:
      return std::to_string(value);
  }
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

const SettingKey& settingKey(SettingId id) { return kKeys[static_cast<size_t>(id)]; }

Settings::Settings() {
  eachValue(*this, [](SettingId id, auto& value) { assign(value, settingKey(id).fallback); });
}

Settings loadSettings(SettingsStore& store) {
  Settings settings;
  eachValue(settings, [&store](SettingId id, auto& value) {
    const SettingKey& key = settingKey(id);
    const std::string text = store.read(key.name);
    assign(value, readValue(key, text, !text.empty() || (key.kind == K::Hotkey && store.holds(key.name))));
  });
  return settings;
}

bool saveSettings(SettingsStore& store, const Settings& settings, std::initializer_list<SettingId> ids) {
  std::vector<std::pair<const char*, std::string>> changed;
  eachValue(settings, [&](SettingId id, const auto& value) {
    bool wanted = false;
    for (SettingId asked : ids) wanted = wanted || asked == id;
    if (!wanted) return;
    const SettingKey& key = settingKey(id);
    std::string text = valueText(key, static_cast<int>(value));
    // An empty value (no hotkey) is written unless the file holds it so: a key never saved reads
    // as its default.
    if (store.read(key.name) != text || (text.empty() && !store.holds(key.name)))
      changed.emplace_back(key.name, std::move(text));
  });
  return changed.empty() || store.write(changed);
}

int parseSettingNumber(std::string_view text) {
  // As wcstol reads it: spaces, a sign, at least one digit; then only spaces or tabs.
  size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const size_t digits = i;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = int64_t{INT_MAX} + 1;  // out of range however long
  }
  if (i == digits) return kConfigNotSaved;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i != text.size() || value > INT_MAX) return kConfigNotSaved;
  return static_cast<int>(negative ? -value : value);
}

bool parseRemindAt(std::string_view text, int* minutes) {
  std::string ascii;
  for (size_t i = 0; i < text.size();) {
    const size_t width = gbk::charWidth(text, i);
    const unsigned char lead = text[i];
    const unsigned char trail = width == 2 ? text[i + 1] : 0;
    if (width == 2 && lead == 0xA3 && trail >= 0xB0 && trail <= 0xB9)
      ascii += static_cast<char>('0' + trail - 0xB0);
    else if (width == 2 && lead == 0xA3 && trail == 0xBA)
      ascii += ':';  // "："
    else if (width == 2 && lead == 0xA1 && trail == 0xA1)
      ascii += ' ';  // the full-width space
    else
      ascii.append(text.substr(i, width));
    i += width;
  }
  const std::string_view value = trimSpaces(ascii);
  const size_t colon = value.find(':');
  if (colon == std::string_view::npos || colon < 1 || colon > 2 || value.size() != colon + 3) return false;
  int hour = 0, minute = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    if (i == colon) continue;
    if (value[i] < '0' || value[i] > '9') return false;
    int& part = i < colon ? hour : minute;
    part = part * 10 + (value[i] - '0');
  }
  if (hour > 23 || minute > 59) return false;
  *minutes = hour * 60 + minute;
  return true;
}

std::string remindAtText(int minutes) {
  if (minutes < 0 || minutes >= 24 * 60) minutes = kDefaultRemindAt;
  return zeroPadded(minutes / 60, 2) + ":" + zeroPadded(minutes % 60, 2);
}

namespace {

// The names a hotkey is written with: the modifiers (their bits), in the order hotkeyText writes them,
// then the keys it may end with beside letters, digits and F1 to F24 (their virtual-key codes).
struct KeyName {
  char name[9];
  unsigned char code;
};
constexpr KeyName kKeyNames[] = {
    {"Ctrl", kHotkeyCtrl}, {"Alt", kHotkeyAlt}, {"Shift", kHotkeyShift}, {"Win", kHotkeyWin}, {"Control", kHotkeyCtrl},
    {"Space", 0x20},       {"PageUp", 0x21},    {"PageDown", 0x22},      {"End", 0x23},       {"Home", 0x24},
    {"Left", 0x25},        {"Up", 0x26},        {"Right", 0x27},         {"Down", 0x28},      {"Insert", 0x2D},
    {"Delete", 0x2E},      {"Pause", 0x13}};
constexpr int kModifierNames = 5, kKeyNameCount = sizeof kKeyNames / sizeof kKeyNames[0];
constexpr int kF1 = 0x70;

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The code of the name among kKeyNames[first, last), 0 for none; letters' case aside.
int codeNamed(std::string_view name, int first, int last) {
  for (int i = first; i < last; ++i) {
    const std::string_view known = kKeyNames[i].name;
    bool same = known.size() == name.size();
    for (size_t c = 0; same && c < name.size(); ++c) same = upper(name[c]) == upper(known[c]);
    if (same) return kKeyNames[i].code;
  }
  return 0;
}

// The virtual-key code of a key's name, 0 for none.
int keyNamed(std::string_view name) {
  const char first = name.empty() ? 0 : upper(name[0]);
  if (name.size() == 1 && ((first >= 'A' && first <= 'Z') || (first >= '0' && first <= '9'))) return first;
  if (name.size() >= 2 && name.size() <= 3 && first == 'F' && name[1] >= '1' && name[1] <= '9') {
    const int number = parseSettingNumber(name.substr(1));
    if (number >= 1 && number <= 24) return kF1 + number - 1;
  }
  return codeNamed(name, kModifierNames, kKeyNameCount);
}

}  // namespace

bool parseHotkey(std::string_view text, int* hotkey) {
  int modifiers = 0;
  for (size_t start = 0;;) {
    const size_t plus = text.find('+', start);
    const std::string_view part = trimSpaces(text.substr(start, plus == std::string_view::npos ? plus : plus - start));
    if (plus == std::string_view::npos) {
      const int key = keyNamed(part);
      if (!key || !(modifiers & (kHotkeyCtrl | kHotkeyAlt | kHotkeyWin))) return false;
      *hotkey = hotkeyValue(modifiers, key);
      return true;
    }
    const int modifier = codeNamed(part, 0, kModifierNames);
    if (!modifier || (modifiers & modifier)) return false;
    modifiers |= modifier;
    start = plus + 1;
  }
}

std::string hotkeyText(int hotkey) {
  const int key = hotkeyKey(hotkey);
  std::string text;
  for (int i = 0; i < kModifierNames - 1; ++i) {
    if (!(hotkeyModifiers(hotkey) & kKeyNames[i].code)) continue;
    text += kKeyNames[i].name;
    text += '+';
  }
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return text + static_cast<char>(key);
  if (key >= kF1 && key < kF1 + 24) {
    const int number = key - kF1 + 1;
    text += 'F';
    if (number >= 10) text += static_cast<char>('0' + number / 10);
    return text + static_cast<char>('0' + number % 10);
  }
  for (int i = kModifierNames; i < kKeyNameCount; ++i)
    if (kKeyNames[i].code == key) return text + kKeyNames[i].name;
  return std::string();
}
