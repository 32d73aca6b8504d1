#include "core/SettingsSection.h"

namespace {

std::wstring_view trimmed(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

wchar_t asciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool sameKey(const std::wstring& stored, std::string_view key) {
  if (stored.size() != key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    if (asciiLower(stored[i]) != asciiLower(static_cast<wchar_t>(static_cast<unsigned char>(key[i])))) return false;
  }
  return true;
}

}  // namespace

SettingsSection::SettingsSection(std::wstring_view block) {
  while (!block.empty() && block.front() != L'\0') {
    const size_t end = block.find(L'\0');
    const std::wstring_view line = block.substr(0, end);
    block = end == std::wstring_view::npos ? std::wstring_view() : block.substr(end + 1);
    const std::wstring_view key = trimmed(line.substr(0, line.find(L'=')));
    if (key.empty()) continue;
    std::wstring_view value =
        line.find(L'=') == std::wstring_view::npos ? std::wstring_view() : trimmed(line.substr(line.find(L'=') + 1));
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    m_entries.emplace_back(std::wstring(key), std::wstring(value));
  }
}

const std::wstring* SettingsSection::find(std::string_view key) const {
  for (const auto& [name, value] : m_entries) {
    if (sameKey(name, key)) return &value;
  }
  return nullptr;
}
