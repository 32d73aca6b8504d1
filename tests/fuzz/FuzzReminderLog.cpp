// The reminder log as the settings file holds it, and the reminder time: any two values. What is
// read writes back as itself, pruning keeps a subset and drops nothing within 30 days of both today
// and the day written; a reminder time read is a minute of the day and reads back the same.
#include <set>
#include <sstream>
#include <string>

#include "framework/CivilDate.h"
#include "items/Reminders.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

std::set<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::set<std::string> all;
  for (std::string word; in >> word;) all.insert(word);
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  // The first two bytes choose today, in 1900..2100; the third splits the rest into the two values.
  const CivilDate today = civilFromDays(daysFromCivil(1900, 1, 1) + (data[0] << 8 | data[1]) % 73414);
  const std::string_view rest = asBytes(data + 3, size - 3);
  const size_t split = rest.empty() ? 0 : data[2] % (rest.size() + 1);
  const std::string_view shown = rest.substr(0, split), day = rest.substr(split);

  ReminderLog log;
  log.parse(shown, day);
  const std::string keys = log.serialize(), dayList = log.serializeDay();
  ReminderLog again;
  again.parse(keys, dayList);
  FUZZ_CHECK(again.serialize() == keys && again.serializeDay() == dayList);
  FUZZ_CHECK(words(keys).size() == log.size());
  for (const std::string& key : words(dayList.size() > 8 ? dayList.substr(9) : std::string()))
    FUZZ_CHECK(log.contains(key));

  // The day written, when the day value starts with one; without it nothing is dropped.
  bool hasWritten = false;
  int64_t written = 0;
  const size_t first = day.find_first_not_of(" \t\r\n");
  const std::string_view trimmed = first == std::string_view::npos ? std::string_view() : day.substr(first);
  if (trimmed.size() >= 8 &&
      (trimmed.size() == 8 || trimmed[8] == ' ' || trimmed.find_first_not_of(" \t\r\n", 8) == std::string_view::npos) &&
      trimmed.substr(0, 8).find_first_not_of("0123456789") == std::string_view::npos) {
    const int y = std::stoi(std::string(trimmed.substr(0, 4))), m = std::stoi(std::string(trimmed.substr(4, 2)));
    const int d = std::stoi(std::string(trimmed.substr(6, 2)));
    if (isRealDate(y, m, d)) {
      hasWritten = true;
      written = daysFromCivil(y, m, d);
    }
  }
  log.prune(today);
  const std::set<std::string> before = words(keys), after = words(log.serialize());
  for (const std::string& key : after) FUZZ_CHECK(before.count(key));
  const int64_t todayNumber = daysFromCivil(today.year, today.month, today.day);
  for (const std::string& key : before) {
    const int64_t keyDay =
        daysFromCivil(std::stoi(key.substr(0, 4)), std::stoi(key.substr(4, 2)), std::stoi(key.substr(6, 2)));
    if (!hasWritten || (keyDay >= todayNumber - 30 && keyDay >= written - 30)) FUZZ_CHECK(after.count(key));
  }

  int minutes = -1;
  if (parseRemindAt(rest, &minutes)) {
    FUZZ_CHECK(minutes >= 0 && minutes < 24 * 60);
    int back = -1;
    FUZZ_CHECK(parseRemindAt(remindAtText(minutes), &back) && back == minutes);
  } else {
    FUZZ_CHECK(minutes == -1);
  }
  return 0;
}
