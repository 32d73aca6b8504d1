#include "items/ItemList.h"

#include <algorithm>
#include <cstring>

#include "core/Core.h"
#include "core/Holidays.h"
#include "framework/String.h"

namespace {

CivilDate dayOf(CTime now) { return {now.GetYear(), now.GetMonth(), now.GetDay()}; }

LineFacts factsOf(const ItemRecord& record, const ItemOptions& options, CTime now) {
  // The table's fields need no terminating zero: never read past them.
  const std::string_view dateText(record.dateText, strnlen(record.dateText, sizeof record.dateText));
  LineFacts facts;
  facts.details = itemDetails(dateText, options, now, &facts.rule);
  return facts;
}

// The holiday row's record: the next break's name and first day. Made once a day: built for size.
[[gnu::cold]] bool holidayRecord(const CivilDate& today, ItemRecord* record) {
  HolidayBreak next;
  if (!holidayCalendar().nextBreak(today, &next)) return false;
  *record = ItemRecord{};
  next.name.copy(record->name, sizeof record->name - 1);
  const std::string first =
      zeroPadded(next.first.year, 4) + "-" + zeroPadded(next.first.month, 2) + "-" + zeroPadded(next.first.day, 2);
  first.copy(record->dateText, sizeof record->dateText - 1);
  return true;
}

}  // namespace

// One record more than the file holds: the holiday row's.
ItemList::ItemList() : m_records(kTableRecords + 1), m_options(kTableRecords + 1) { changed(); }

ItemList::ItemList(const ItemRecord* records, const ItemOptions* options, int count) : ItemList() {
  assign(records, options, count);
}

ItemFileLoad ItemList::load(CCore& core, const FilePath& path) {
  int shown = 0;
  const ItemFileLoad result = loadItemFile(core, path, m_records.data(), shown, &m_stored, m_options.data());
  if (result) changed();
  return result;
}

void ItemList::loadBytes(CCore& core, std::string_view bytes) {
  m_stored = readItemBytes(core, bytes, m_records.data(), m_options.data());
  changed();
}

void ItemList::assign(const ItemRecord* records, const ItemOptions* options, int count) {
  clear();
  m_stored = std::clamp(count, 0, kTableRecords);
  std::copy(records, records + m_stored, m_records.begin());
  if (options) std::copy(options, options + m_stored, m_options.begin());
  changed();
}

void ItemList::clear() {
  std::fill(m_records.begin(), m_records.end(), ItemRecord{});
  std::fill(m_options.begin(), m_options.end(), ItemOptions());
  m_stored = 0;
  changed();
}

void ItemList::showHoliday(bool shown) {
  m_holidayShown = shown;
  m_countedDay = CivilDate{0, 0, 0};
}

void ItemList::changed() {
  m_facts.clear();
  m_hasHoliday = false;
  m_countedDay = CivilDate{0, 0, 0};
  m_nothingSoon = false;
  m_rowLines.clear();
  for (int i = 0; i < std::min(m_stored, kDefaultRows); ++i) m_rowLines.push_back(i);
}

void ItemList::count(CTime now) {
  const CivilDate today = dayOf(now);
  if (m_countedDay.year != 0 && today == m_countedDay) return;
  // The holiday row: one more line, counted like the others.
  m_hasHoliday = m_holidayShown && holidayRecord(today, &m_records[m_stored]);
  if (m_hasHoliday) m_options[m_stored] = ItemOptions();
  const int counted = m_stored + (m_hasHoliday ? 1 : 0);
  m_facts.resize(counted);
  for (int i = 0; i < counted; ++i) {
    m_facts[i] = factsOf(m_records[i], m_options[i], now);
    m_records[i].days = m_facts[i].details.days;
    m_records[i].kind = m_facts[i].details.kind;
  }
  m_countedDay = today;
}

LineFacts ItemList::facts(int index, CTime now) const {
  if (m_countedDay.year != 0 && dayOf(now) == m_countedDay) return m_facts[index];
  return factsOf(m_records[index], m_options[index], now);
}

std::string ItemList::shownName(int index) const {
  const ItemRecord& record = m_records[index];
  const std::string_view name(record.name, strnlen(record.name, sizeof record.name));
  return index < static_cast<int>(m_facts.size()) ? ::shownName(name, m_facts[index].details) : std::string(name);
}

bool ItemList::arrange(int rows, RowOrder order, int within) {
  const int counted = m_stored + (m_hasHoliday ? 1 : 0);
  std::vector<int> lines;
  if (counted > 0) lines = arrangeRows(m_records.data(), m_options.data(), counted, order, within, rows);
  const bool nothingSoon = counted > 0 && lines.empty() && within > 0;
  const bool changed = lines != m_rowLines || nothingSoon != m_nothingSoon;
  m_rowLines = std::move(lines);
  m_nothingSoon = nothingSoon;
  return changed;
}

std::string ItemList::rowName(int row) const {
  return m_nothingSoon ? std::string(kNothingSoonText) : shownName(lineOfRow(row));
}

[[gnu::cold]] ItemSpeech ItemList::rowSpeech(int row, CTime now) const {
  if (m_nothingSoon) return {kNothingSoonText, std::string()};
  const int line = lineOfRow(row);
  const ItemRecord& record = m_records[line];
  return itemSpeech(rowName(row), std::string_view(record.dateText, strnlen(record.dateText, sizeof record.dateText)),
                    facts(line, now).details);
}
