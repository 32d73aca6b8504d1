#include "items/DayCount.h"

#include <cstring>
#include <string_view>

#include "core/Core.h"
#include "items/ItemDetails.h"
#include "framework/CivilDate.h"

namespace {

int64_t localDayNumber(CTime time) { return daysFromCivil(time.GetYear(), time.GetMonth(), time.GetDay()); }

}  // namespace

int DaysBetween(CTime date, CTime now) {
  if (date.GetTime() == kUnreadableTime || now.GetTime() == kUnreadableTime) return 0;
  return static_cast<int>(localDayNumber(date) - localDayNumber(now));
}

void countDays(CCore& core, ItemRecord* records, int count, const ItemOptions* options) {
  if (count <= 0) return;
  countDaysAt(core.getTimeNow(), records, count, options);
}

void countDaysAt(CTime now, ItemRecord* records, int count, const ItemOptions* options) {
  for (int i = 0; i < count; ++i) {
    ItemRecord& record = records[i];
    // The table comes from malloc: never read past the field, terminated or not.
    const std::string_view dateText(record.dateText, strnlen(record.dateText, kDateTextSize));
    const ItemDetails details = options ? itemDetails(dateText, options[i], now) : itemDetails(dateText, now);
    record.days = details.days;
    record.kind = details.kind;
  }
}
