// Writes the calendar file of an item file as the widget would on a given day, natively, so that an
// independent iCalendar parser can read it back (tests/tools/check_ics.py).
//   ics_sample ITEMFILE YYYY-MM-DD OUTFILE [REMINDAT minutes after midnight, 540 by default]
#include <cstdio>
#include <string>
#include <vector>

#include "core/Core.h"
#include "core/TextFile.h"
#include "items/Calendar.h"
#include "items/ItemFile.h"

int main(int argc, char** argv) {
  int year, month, day;
  int remindAt = 9 * 60;
  if ((argc != 4 && argc != 5) || std::sscanf(argv[2], "%d-%d-%d", &year, &month, &day) != 3 ||
      (argc == 5 && std::sscanf(argv[4], "%d", &remindAt) != 1)) {
    std::fprintf(stderr, "usage: ics_sample ITEMFILE YYYY-MM-DD OUTFILE [REMINDAT]\n");
    return 2;
  }
  std::string bytes;
  if (readFileBytes(argv[1], bytes) != ReadResult::Ok) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  CCore core;
  std::vector<ItemRecord> records(kTableRecords);
  std::vector<ItemOptions> options(kTableRecords);
  const int stored = readItemBytes(core, bytes, records.data(), options.data());
  const IcsFile ics = writeIcs(records.data(), options.data(), stored, CTime(year, month, day, 12, 0, 0), remindAt);
  const std::string note = icsBoundNote(ics);
  if (!note.empty()) std::fprintf(stderr, "%s\n", note.c_str());
  return replaceFileBytes(argv[3], ics.text) ? 0 : 1;
}
