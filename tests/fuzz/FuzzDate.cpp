// The date parser: any text. A date read is a real one in 1900..9999; written back in the plain form
// it reads as the same date; a yearly date falls on or after today, within eight years.
#include <cstdio>

#include "framework/CivilDate.h"

#include "core/Core.h"
#include "core/DateText.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose today, in 1900..9999.
  const int dayNumber = (data[0] << 8 | data[1]) % 36500;
  const CivilDate today = civilFromDays(daysFromCivil(2000, 1, 1) + dayNumber - 18250);
  const std::string_view text = asBytes(data + 2, size - 2);
  CivilDate date;
  if (!parseDateText(text, today, &date)) return 0;
  FUZZ_CHECK(date.year >= kFirstDateYear && date.year <= kLastDateYear);
  FUZZ_CHECK(isRealDate(date.year, date.month, date.day));
  char plain[16];
  std::snprintf(plain, sizeof plain, "%04d-%02d-%02d", date.year, date.month, date.day);
  CivilDate again;
  FUZZ_CHECK(parseDateText(plain, today, &again) && again == date);
  const int64_t offset =
      daysFromCivil(date.year, date.month, date.day) - daysFromCivil(today.year, today.month, today.day);
  // A yearly date (no year: shorter than the shortest text with one) falls from today on, within the
  // eight years that hold any 29 February.
  if (text.size() < 8) FUZZ_CHECK(offset >= 0 && offset < 8 * 366);
  return 0;
}
