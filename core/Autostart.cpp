#include "core/Autostart.h"

#include "framework/String.h"

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A path as Windows compares it: ASCII case folded, "/" as "\", quotes and surrounding spaces gone.
std::string comparable(std::string_view path) {
  while (!path.empty() && (path.front() == ' ' || path.front() == '"')) path.remove_prefix(1);
  while (!path.empty() && (path.back() == ' ' || path.back() == '"')) path.remove_suffix(1);
  std::string out;
  out.reserve(path.size());
  for (char c : path) out += c == '/' ? '\\' : lowerAscii(c);
  return out;
}

}  // namespace

std::string autostartValueName(std::string_view folderUtf8) {
  std::string folder = comparable(folderUtf8);
  while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  // FNV-1a, 64 bits: stable across builds and machines, unlike std::hash.
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : folder) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return "Tessaly " + hexDigits(hash, 16);
}

std::string autostartCommand(std::string_view exePathUtf8) { return "\"" + std::string(exePathUtf8) + "\""; }

AutostartState autostartStateOf(bool present, std::string_view storedCommand, std::string_view expectedCommand,
                                const uint8_t* approved, size_t approvedSize) {
  if (!present) return AutostartState::Off;
  if (approved && approvedSize > 0 && (approved[0] & 1)) return AutostartState::Disabled;
  return comparable(storedCommand) == comparable(expectedCommand) ? AutostartState::On : AutostartState::Stale;
}

bool parseAutostartWord(std::string_view word, bool* on) {
  std::string w = comparable(word);
  if (w == "on" || w == "off") {
    *on = w == "on";
    return true;
  }
  return false;
}
