#include "core/Autostart.h"

#include "framework/PathParts.h"
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

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

RunCommand parseRunCommand(std::string_view command) {
  command = trimSpaces(command);
  RunCommand parsed;
  size_t end = 0;
  if (!command.empty() && command.front() == '"') {
    const size_t close = command.find('"', 1);
    parsed.exe = std::string(command.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    end = close == std::string_view::npos ? command.size() : close + 1;
  } else {
    end = command.find_first_of(" \t");
    for (size_t at = 0; at + 4 <= command.size(); ++at) {
      if (sameIgnoringCase(command.substr(at, 4), ".exe") &&
          (at + 4 == command.size() || command[at + 4] == ' ' || command[at + 4] == '\t')) {
        end = at + 4;
        break;
      }
    }
    if (end == std::string_view::npos) end = command.size();
    parsed.exe = std::string(command.substr(0, end));
  }
  parsed.arguments = std::string(trimSpaces(command.substr(end)));
  return parsed;
}

bool isAutostartValueName(std::string_view name) {
  constexpr std::string_view kPrefix = "Tessaly ";
  if (name.size() != kPrefix.size() + 16 || !sameIgnoringCase(name.substr(0, kPrefix.size()), kPrefix)) return false;
  for (char c : name.substr(kPrefix.size())) {
    const char l = lowerAscii(c);
    if (!((l >= '0' && l <= '9') || (l >= 'a' && l <= 'f'))) return false;
  }
  return true;
}

bool mayBeThisProgramsValue(std::string_view name, std::string_view command, std::string_view exeFileName) {
  if (isAutostartValueName(name)) return true;
  const std::string exe = parseRunCommand(command).exe;
  const std::string_view file = fileNameOf(exe);
  return sameIgnoringCase(file, "Tessaly.exe") || (!exeFileName.empty() && sameIgnoringCase(file, exeFileName));
}

RunValueKind runValueKind(ExeLook look) {
  switch (look) {
    case ExeLook::ThisProgram:
      return RunValueKind::This;
    case ExeLook::Gone:
      return RunValueKind::Stale;
    default:
      return RunValueKind::NotOurs;
  }
}

AutostartCleanup planAutostartCleanup(const std::vector<RunValueFound>& found, std::string_view ownName, bool atStart) {
  AutostartCleanup plan;
  bool ownThere = false;
  for (const RunValueFound& value : found) ownThere = ownThere || sameIgnoringCase(value.name, ownName);
  const RunValueFound* adopted = nullptr;
  if (atStart && !ownThere) {
    for (RunValueKind wanted : {RunValueKind::This, RunValueKind::Stale}) {
      for (const RunValueFound& value : found) {
        if (!adopted && value.kind == wanted) adopted = &value;
      }
    }
  }
  if (adopted) plan.adopt = adopted->name;
  for (const RunValueFound& value : found) {
    if (value.kind == RunValueKind::NotOurs || sameIgnoringCase(value.name, ownName) || &value == adopted) continue;
    plan.remove.push_back(value.name);
  }
  return plan;
}
