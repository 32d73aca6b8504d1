// The recovery files' names and the seen mark: a number read from a name is one the name writer
// writes, back to the same name (letter case aside); every number written reads back; a seen mark
// read is the number its digits say, and every mark written reads back.
#include <algorithm>
#include <cstring>

#include "core/RecoveryFiles.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool sameFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const std::string_view bytes = asBytes(data + 3, size - 3);
  // The first byte splits the rest into the list's stem and a file name.
  const size_t split = data[0] % (bytes.size() + 1);
  const std::string stem(bytes.substr(0, split));
  const std::string_view name = bytes.substr(split);
  const int number = recoveryFileNumber(stem, name);
  FUZZ_CHECK(number >= 0 && number <= kMaxRecoveryFiles);
  if (number > 0) FUZZ_CHECK(sameFolded(recoveryFileName(stem, number), name));
  const int chosen = 1 + (data[1] << 8 | data[2]) % kMaxRecoveryFiles;
  FUZZ_CHECK(recoveryFileNumber(stem, recoveryFileName(stem, chosen)) == chosen);

  const uint64_t seen = parseSeenMark(bytes);
  if (seen != 0) {
    for (char c : bytes) FUZZ_CHECK(c >= '0' && c <= '9');
    FUZZ_CHECK(parseSeenMark(seenMarkText(seen)) == seen);
    const std::string_view digits = bytes.substr(std::min(bytes.find_first_not_of('0'), bytes.size()));
    FUZZ_CHECK(digits == seenMarkText(seen));
  }
  uint64_t any = 0;
  std::memcpy(&any, data, std::min<size_t>(size, sizeof any));
  FUZZ_CHECK(parseSeenMark(seenMarkText(any)) == any);
  return 0;
}
