// The item list: the lines stored from the item file (the fixed table of 80-byte records, each with
// its options), the rows the widget shows of them, and what each line means today. No window code;
// the widget, its tooltips, the reminders, --list and --ics all read the list through it.
//
// What a line means (its count, next occurrence, milestone and reminder day) is worked out once per
// day and list: count() keeps it, keyed on the local day, until the day changes or the list is
// loaded, given or cleared again.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "framework/CivilDate.h"
#include "framework/Time.h"
#include "items/ItemDetails.h"
#include "items/ItemFile.h"
#include "items/Occurrence.h"
#include "items/RowOrder.h"

class CCore;

// The one row shown when the settings' within leaves no line.
constexpr char kNothingSoonText[] = "近期没有纪念日";

// A line on one day: what the row, its tooltip and --list show, and the rule the reminders and the
// calendar walk on from (meaningful unless details.kind is Unreadable).
struct LineFacts {
  ItemDetails details;
  DateRule rule;
};

class ItemList {
 public:
  ItemList();
  // A list of count records and their options, as assign() gives them.
  ItemList(const ItemRecord* records, const ItemOptions* options, int count);

  // Reads the item file (loadItemFile). A file that is missing, unreadable or too large leaves the
  // list as it was; the result says why.
  ItemFileLoad load(CCore& core, const FilePath& path);
  // The same from the file's bytes in memory (readItemBytes).
  void loadBytes(CCore& core, std::string_view bytes);
  // count records as the lines (at most kTableRecords), with their options (null: none).
  void assign(const ItemRecord* records, const ItemOptions* options, int count);
  // No line and no row, every record empty.
  void clear();

  // The stored lines: all the file's counted lines, not only those shown.
  int stored() const { return m_stored; }
  const ItemRecord& line(int index) const { return m_records[index]; }
  const ItemOptions& optionsOf(int index) const { return m_options[index]; }
  // The whole table (kTableRecords records, the first stored() of them lines), for the routines that
  // read names by index (the balloon's and the tip's texts).
  const ItemRecord* records() const { return m_records.data(); }

  // Sets days and kind of every line, and keeps their facts, for now's local day; does nothing when
  // they were counted for that day and the list has not changed since.
  void count(CTime now);
  // The facts of a line on now's day: those kept by count() for that day, else worked out now.
  LineFacts facts(int index, CTime now) const;

  // The name the line's row shows (shownName): with its years label (岁, 周年) once counted. The
  // widget's rows, their tooltips and their accessible names read it here.
  std::string shownName(int index) const;

  // The next holiday's row (settings holidayrow): counted by count() as one more line after the
  // stored ones, from holidayCalendar(); shown or not, the day's counts are forgotten, so that a
  // change of the holiday calendar is counted too.
  void showHoliday(bool shown);
  // The holiday row's line (stored(), read with line(), optionsOf() and facts() like the others), or
  // -1 when it is not shown or no known year has a break ahead. Its break is
  // holidayCalendar().nextBreak() from the day counted.
  int holidayLine() const { return m_hasHoliday ? m_stored : -1; }

  // Which lines the rows show, in which order (arrangeRows with the settings rows, order and
  // within), from the counts; true when the rows changed. With no line there is no row.
  bool arrange(int rows, RowOrder order, int within);
  // The rows shown: 1 for the row that says no line is near (nothingSoon).
  int rows() const { return m_nothingSoon ? 1 : static_cast<int>(m_rowLines.size()); }
  // within leaves no line: the one row drawn says so, and shows none.
  bool nothingSoon() const { return m_nothingSoon; }
  // The line a row shows, for 0 <= row < rows() without nothingSoon().
  int lineOfRow(int row) const { return m_rowLines[row]; }
  // The stored line any row shows; -1 for no row, the row that says no line is near, and the holiday
  // row (no line of the file: there is nothing of it to edit).
  int storedLineOfRow(int row) const {
    return row < 0 || row >= rows() || m_nothingSoon || m_rowLines[row] >= m_stored ? -1 : m_rowLines[row];
  }
  const ItemRecord& rowLine(int row) const { return m_records[m_rowLines[row]]; }
  // The name a row shows (GBK), kNothingSoonText for the row that says no line is near; uncut.
  std::string rowName(int row) const;
  // What a screen reader says of a row (itemSpeech) on now's day; the row that says no line is near
  // is its name alone.
  ItemSpeech rowSpeech(int row, CTime now) const;

 private:
  // After a change of the lines: nothing counted yet, the first kDefaultRows lines in file order.
  void changed();

  std::vector<ItemRecord> m_records;
  std::vector<ItemOptions> m_options;
  int m_stored = 0;
  std::vector<int> m_rowLines;
  bool m_nothingSoon = false;
  std::vector<LineFacts> m_facts;   // of the first m_stored lines, on m_countedDay
  CivilDate m_countedDay{0, 0, 0};  // year 0: not counted since the last change
  bool m_holidayShown = false;
  bool m_hasHoliday = false;  // counted: the record after the stored lines is the holiday row's
};
