#include "items/ItemList.h"

#include <algorithm>
#include <cstring>

#include "core/Core.h"

namespace {

CivilDate dayOf(CTime now) { return {now.GetYear(), now.GetMonth(), now.GetDay()}; }

LineFacts factsOf(const ItemRecord& record, const ItemOptions& options, CTime now) {
  // The table's fields need no terminating zero: never read past them.
  const std::string_view dateText(record.dateText, strnlen(record.dateText, sizeof record.dateText));
  LineFacts facts;
  facts.details = itemDetails(dateText, options, now, &facts.rule);
  return facts;
}

}  // namespace

ItemList::ItemList() : m_records(kTableRecords), m_options(kTableRecords) { changed(); }

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

void ItemList::changed() {
  m_facts.clear();
  m_countedDay = CivilDate{0, 0, 0};
  m_nothingSoon = false;
  m_rowLines.clear();
  for (int i = 0; i < std::min(m_stored, kDefaultRows); ++i) m_rowLines.push_back(i);
}

void ItemList::count(CTime now) {
  const CivilDate today = dayOf(now);
  if (m_countedDay.year != 0 && today == m_countedDay) return;
  m_facts.resize(m_stored);
  for (int i = 0; i < m_stored; ++i) {
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

bool ItemList::arrange(int rows, RowOrder order, int within) {
  std::vector<int> lines;
  if (m_stored > 0) lines = arrangeRows(m_records.data(), m_options.data(), m_stored, order, within, rows);
  const bool nothingSoon = m_stored > 0 && lines.empty() && within > 0;
  const bool changed = lines != m_rowLines || nothingSoon != m_nothingSoon;
  m_rowLines = std::move(lines);
  m_nothingSoon = nothingSoon;
  return changed;
}
