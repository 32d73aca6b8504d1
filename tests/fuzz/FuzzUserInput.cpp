// The editor's input rules: numbers read like atoi (or refused past int), full-width commas replaced
// only at character boundaries, the unreadable-date lines are lines of the text the reader would
// show, line-break conversions undo each other, and the question cuts lines at boundaries.
#include <cerrno>
#include <cstdlib>
#include <string>

#include "core/Core.h"
#include "core/UserInput.h"
#include "items/ItemCheck.h"
#include "framework/Gbk.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = asBytes(data, size);

  // Numbers: the same as strtol wherever the value fits in an int.
  const std::string terminated(bytes.substr(0, bytes.find('\0')));
  int value = 12345;
  const bool fits = parseIntLikeAtoi(terminated, &value);
  errno = 0;
  const long long reference = std::strtoll(terminated.c_str(), nullptr, 10);
  const bool referenceFits = errno != ERANGE && reference >= INT32_MIN && reference <= INT32_MAX;
  FUZZ_CHECK(fits == referenceFits);
  if (fits && referenceFits) FUZZ_CHECK(value == reference);
  if (!fits) FUZZ_CHECK(value == 12345);

  // Commas: each replacement takes one byte, and no full-width comma is left at a boundary.
  CString text{std::string(bytes)};
  const int replaced = replaceFullWidthCommas(text);
  FUZZ_CHECK(text.GetLength() == static_cast<int>(bytes.size()) - replaced);
  FUZZ_CHECK(gbk::find(text.view(), "\xA3\xAC") == std::string_view::npos);

  // The lines listed are whole lines of the text, at most the five shown.
  const std::vector<CString> lines = unreadableShownLines(CString{std::string(bytes)}, CTime(2025, 5, 20, 12, 0, 0));
  FUZZ_CHECK(lines.size() <= 5);
  for (const CString& line : lines) {
    FUZZ_CHECK(line.GetLength() > 0 && line.Find(';') < 0);
    FUZZ_CHECK(line.view().find('\n') == std::string_view::npos);
    FUZZ_CHECK(bytes.find(line.view()) != std::string_view::npos);
  }
  const CString question = unreadableDatesQuestion(lines);
  FUZZ_CHECK(question.GetLength() > 0);

  // Line breaks: shown with CR LF, saved back as they were.
  if (hasBareLineFeedsOnly(bytes)) {
    const std::string shown = lineFeedsToCrLf(bytes);
    FUZZ_CHECK(!hasBareLineFeedsOnly(shown) && crLfToLineFeeds(shown) == bytes);
  }
  std::u16string wide(size / 2, u'\0');
  for (size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  if (hasBareLineFeedsOnly(wide)) FUZZ_CHECK(crLfToLineFeeds(lineFeedsToCrLf(wide)) == wide);
  return 0;
}
