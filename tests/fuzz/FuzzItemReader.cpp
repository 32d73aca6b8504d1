// The item reader: any file's bytes in, the item table out, then the day counts. The table holds at
// most 100 records, every field is terminated inside its bytes and cut at a character boundary, and
// every record is a line the reader should use, as a plain whole-file reading of the same bytes says;
// a date too long for its field reads as written or not at all. Read with its options, the table is
// the same; the options as written read back as themselves, their numbers are in range, and the
// counts, the order of the rows, the due reminders and the calendar file take them without harm.
#include <cstring>
#include <vector>

#include "core/Core.h"
#include "core/DateText.h"
#include "core/TextFile.h"
#include "framework/Gbk.h"
#include "items/Calendar.h"
#include "items/DayCount.h"
#include "items/ItemFile.h"
#include "items/Reminders.h"
#include "items/RowOrder.h"
#include "items/RowOrder.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

void checkField(const char* field, size_t size, std::string_view whole) {
  size_t length = strnlen(field, size);
  FUZZ_CHECK(length < size);  // terminated inside the field
  std::string_view kept(field, length);
  // The field is the longest prefix of the whole field text that fits without splitting a character
  // (a zero byte in the text ends it early).
  std::string_view expected = whole.substr(0, gbk::cutLength(whole, size - 1));
  FUZZ_CHECK(kept == expected.substr(0, expected.find('\0')));
}

// A date text too long for its field (up to a zero, which ends it) never becomes another date: it
// reads as the whole text does when that is a date, and is no date otherwise. Year 0000 is no date.
void checkDateField(const char* field, std::string_view whole) {
  whole = whole.substr(0, whole.find('\0'));
  if (whole.size() < kDateTextSize) {
    checkField(field, kDateTextSize, whole);
    return;
  }
  const CivilDate today{2025, 5, 20};
  CivilDate original{}, kept{};
  WrittenDate written;
  const bool readable = readDateText(whole, today, &original, &written) == DateProblem::None;
  FUZZ_CHECK(strnlen(field, kDateTextSize) < kDateTextSize);
  FUZZ_CHECK((readDateText(field, today, &kept, nullptr) == DateProblem::None) == readable);
  FUZZ_CHECK(!readable || kept == original);
  FUZZ_CHECK(!readable || written.year != 0 || written.form == DateForm::Yearly ||
             written.form == DateForm::LunarYearly);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = asBytes(data, size);
  CCore core;
  std::vector<ItemRecord> table(kTableRecords + 1);
  std::memset(&table[kTableRecords], 0x5A, sizeof(ItemRecord));  // a guard record past the table
  const int stored = readItemBytes(core, bytes, table.data());
  FUZZ_CHECK(stored >= 0 && stored <= kTableRecords);
  for (const char c : std::string(reinterpret_cast<const char*>(&table[kTableRecords]), sizeof(ItemRecord)))
    FUZZ_CHECK(c == 0x5A);

  // The same file read plainly: the whole of it decoded at once, then cut at line feeds.
  const TextEncoding encoding = detectEncoding(bytes);
  const std::string text = decodeToGbk(bytes, encoding);
  int expected = 0;
  size_t begin = 0;
  while (begin < text.size() && expected < kTableRecords) {
    size_t end = text.find('\n', begin);
    std::string line = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    begin = end == std::string::npos ? text.size() : end + 1;
    if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.find(';') != std::string::npos) continue;
    FUZZ_CHECK(expected < stored);
    const ItemRecord& record = table[expected++];
    checkField(record.name, sizeof record.name, core.getFg(CString(line), ',', 0).view());
    checkDateField(record.dateText, dateFieldOfLine(line));
  }
  FUZZ_CHECK(expected == stored);
  for (int i = stored; i < kTableRecords; ++i) FUZZ_CHECK(table[i].name[0] == 0 && table[i].dateText[0] == 0);

  const int shown = stored < kDefaultRows ? stored : kDefaultRows;
  countDaysAt(CTime(2025, 5, 20, 12, 0, 0), table.data(), shown);
  for (int i = 0; i < shown; ++i) {
    FUZZ_CHECK(table[i].kind >= Upcoming && table[i].kind <= Unreadable);
    FUZZ_CHECK(table[i].kind != Unreadable || table[i].days == 0);
    FUZZ_CHECK(table[i].kind != Today || table[i].days == 0);
    FUZZ_CHECK(table[i].days >= 0 && table[i].days <= (kLastDateYear - 2025 + 1) * 366);
    FUZZ_CHECK((table[i].kind == Today) == (table[i].days == 0 && table[i].kind != Unreadable));
  }

  std::vector<ItemRecord> withOptions(kTableRecords);
  std::vector<ItemOptions> options(kTableRecords);
  FUZZ_CHECK(readItemBytes(core, bytes, withOptions.data(), options.data()) == stored);
  for (int i = 0; i < stored; ++i) {
    FUZZ_CHECK(std::memcmp(withOptions[i].name, table[i].name, kNameSize) == 0);
    FUZZ_CHECK(std::memcmp(withOptions[i].dateText, table[i].dateText, kDateTextSize) == 0);
    const ItemOptions& o = options[i];
    const ItemOptions again = parseItemOptions(o.written);
    FUZZ_CHECK(again.written == o.written && again.unknown == o.unknown && again.leadDays == o.leadDays);
    for (int lead : o.leadDays) FUZZ_CHECK(lead >= 1 && lead <= kMaxLeadDays);
    for (int n : o.ownMilestones) FUZZ_CHECK(n >= 1 && n <= kMaxOwnMilestone);
    FUZZ_CHECK(o.repeat != Repeat::EveryNDays || (o.everyDays >= 1 && o.everyDays <= kMaxEveryDays));
  }
  const CTime now(2025, 5, 20, 12, 0, 0);
  countDaysAt(now, withOptions.data(), stored, options.data());
  for (int i = 0; i < stored; ++i) {
    FUZZ_CHECK(withOptions[i].kind >= Upcoming && withOptions[i].kind <= Unreadable);
    FUZZ_CHECK(withOptions[i].days >= 0 && withOptions[i].days <= (kLastDateYear - 2025 + 1) * 366);
  }
  const std::vector<int> rows = arrangeRows(withOptions.data(), options.data(), stored, RowOrder::Soon, 30, kMaxRows);
  FUZZ_CHECK(rows.size() <= static_cast<size_t>(kMaxRows));
  std::vector<bool> seen(stored);
  for (int i : rows) {
    FUZZ_CHECK(i >= 0 && i < stored && !seen[i] && !options[i].hidden);
    seen[i] = true;
  }
  const std::vector<DueReminder> due = dueReminders(withOptions.data(), options.data(), stored, now, 0, ReminderLog());
  for (const DueReminder& d : due) FUZZ_CHECK(d.daysLeft >= 0 && d.daysLeft <= d.lead && !d.keys.empty());
  reminderBalloonText(withOptions.data(), due);
  // The calendar file of a short list: a long one takes too long per input.
  if (stored <= 3) {
    const std::string ics = writeIcs(withOptions.data(), options.data(), stored, now, 9 * 60).text;
    FUZZ_CHECK(gbk::isValidUtf8(ics));
    for (size_t begin = 0, end; (end = ics.find("\r\n", begin)) != std::string::npos; begin = end + 2)
      FUZZ_CHECK(end - begin <= 75);
  }
  return 0;
}
