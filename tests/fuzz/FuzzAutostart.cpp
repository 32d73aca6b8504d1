// The Run values: any command splits into a program and arguments no longer than it, arguments
// trimmed; a command written for a path reads back that path and the arguments after it; the names
// written are recognised; the clean-up never removes another program's value, the own one or the one
// it takes over, and leaves none of this program's behind.
#include <algorithm>
#include <string>
#include <vector>

#include "core/Autostart.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string_view text = asBytes(data + 1, size - 1);
  const RunCommand parsed = parseRunCommand(text);
  FUZZ_CHECK(parsed.exe.size() + parsed.arguments.size() <= text.size());
  if (!parsed.arguments.empty()) {
    FUZZ_CHECK(parsed.arguments.front() != ' ' && parsed.arguments.back() != ' ');
    FUZZ_CHECK(parsed.arguments.front() != '\t' && parsed.arguments.back() != '\t');
  }
  // The first byte splits the text into a path (without quotes) and arguments.
  const size_t split = data[0] % (text.size() + 1);
  const std::string_view path = text.substr(0, split);
  if (path.find('"') == std::string_view::npos) {
    const RunCommand again = parseRunCommand(autostartCommand(path) + " " + std::string(text.substr(split)));
    FUZZ_CHECK(again.exe == path);
  }
  FUZZ_CHECK(isAutostartValueName(autostartValueName(text)));
  mayBeThisProgramsValue(path, text, path);

  // Values of names of their own (as the registry keeps them), each of a kind the bytes say; the
  // own name, "v1", among them or not.
  std::vector<RunValueFound> found;
  for (size_t i = 1; i < size && found.size() < 16; ++i)
    found.push_back({"v" + std::to_string(i * 2 + (data[i] & 1)), static_cast<RunValueKind>(data[i] / 2 % 3)});
  const bool atStart = data[0] & 1;
  const AutostartCleanup plan = planAutostartCleanup(found, "V3", atStart);
  for (const RunValueFound& value : found) {
    const bool removed = std::count(plan.remove.begin(), plan.remove.end(), value.name) > 0;
    if (value.kind == RunValueKind::NotOurs || value.name == "v3") {
      FUZZ_CHECK(!removed && value.name != plan.adopt);
      continue;
    }
    FUZZ_CHECK(removed != (value.name == plan.adopt));
  }
  if (!atStart) FUZZ_CHECK(plan.adopt.empty());
  return 0;
}
