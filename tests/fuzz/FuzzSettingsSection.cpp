// One read of the settings section: any block gives values without NULs, no longer than the block;
// a line put first is found by its key in any letter case, its value whole, "=" and all.
#include <string>

#include "core/SettingsSection.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool spaceOrQuote(wchar_t c) { return c == L' ' || c == L'\t' || c == L'"' || c == L'\''; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first byte: the key's length (1 to 8 letters, made from the next bytes).
  const size_t keyLength = 1 + data[0] % 8;
  if (size < 1 + keyLength) return 0;
  std::string key;
  for (size_t i = 0; i < keyLength; ++i) key += static_cast<char>('a' + data[1 + i] % 26);
  std::wstring rest;
  for (size_t i = 1 + keyLength; i + 1 < size; i += 2) rest += static_cast<wchar_t>(data[i] | data[i + 1] << 8);

  // Whatever the block: values without NULs.
  const SettingsSection any(rest);
  const std::wstring* value = any.find(key);
  if (value) {
    FUZZ_CHECK(value->find(L'\0') == std::wstring::npos);
    FUZZ_CHECK(value->size() <= rest.size());
  }

  // The value of a line put first: the text up to the first NUL, when nothing around it is trimmed.
  std::wstring wanted = rest.substr(0, rest.find(L'\0'));
  if (!wanted.empty() && (spaceOrQuote(wanted.front()) || spaceOrQuote(wanted.back()))) return 0;
  std::wstring block(key.begin(), key.end());
  block += L'=';
  block += wanted;
  block += L'\0';
  block += rest;
  const SettingsSection first(block);
  std::string upper = key;
  for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
  for (const std::string& asked : {key, upper}) {
    const std::wstring* found = first.find(asked);
    FUZZ_CHECK(found && *found == wanted);
  }
  return 0;
}
