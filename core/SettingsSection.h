// SettingsSection: one section of the settings file as one read of it gives it (GetPrivateProfileSection),
// so that many keys cost one read: the profile functions open and parse the whole file at every call,
// and the start asks for more than a dozen keys.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class SettingsSection {
 public:
  SettingsSection() = default;
  // block: what the section read fills in: strings "key=value", each ended by a NUL, the last one
  // followed by a second NUL (or by the block's end).
  explicit SettingsSection(std::wstring_view block);

  // The value as GetPrivateProfileString gives it: the key's first line, the key compared with
  // ASCII letters' case aside, spaces around the value trimmed and one pair of matching quotes taken
  // off; nullptr for a key the section does not hold.
  const std::wstring* find(std::string_view key) const;

 private:
  std::vector<std::pair<std::wstring, std::wstring>> m_entries;
};
