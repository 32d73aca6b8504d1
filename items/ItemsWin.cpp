// The widget's item routines: thin calls into the window-free item file reader, day counter and row
// order.
#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/Holidays.h"
#include "items/DayCount.h"
#include "framework/Gbk.h"
#include "framework/PathParts.h"
#include "items/ItemFile.h"
#include "items/ItemFolderWatch.h"

#include <algorithm>

void CWidgetDlg::LoadItems() {
  // Stamped before the read: a change in between shows as a change at the next look.
  itemWatch.debounce.loaded(ItemFolderWatch::Stamp(itemFilePath, true));
  ItemFileLoad load = loadItemFile(*core, itemFilePath, ItemTable, itemCount, &storedCount, ItemOptionsTable);
  LoadHolidays();
  // A missing list is the ordinary empty one; any other failure (unreadable, too large) is told at start.
  loadProblem = load || load.status == ItemFileStatus::Missing ? CString() : load.reason();
  // The list's own folder is gone (a drive unplugged): the widget is empty, not showing an old list,
  // and says why once; at start the note waits for the tray icon (ShowStartNotes).
  if (load.status == ItemFileStatus::Missing && !core->itemDir().empty()) {
    itemCount = 0;
    storedCount = 0;
    if (trayIconAdded) {
      const std::wstring note = core->itemDirNote();
      if (!note.empty()) ShowNote(note);
    }
  }
}

// Every stored line is counted, not only those drawn: the nearest-first order and the reminders need
// them all.
void CWidgetDlg::CountDays() {
  countDays(*core, ItemTable, std::max(storedCount, itemCount), storedCount > 0 ? ItemOptionsTable : nullptr);
}

bool CWidgetDlg::ArrangeRows() {
  if (storedCount <= 0) {
    // No list read: the rows in the table are drawn as they stand.
    const bool changed = !rowRecords.empty() || nothingSoonRow;
    rowRecords.clear();
    nothingSoonRow = false;
    return changed;
  }
  std::vector<int> rows = arrangeRows(ItemTable, ItemOptionsTable, storedCount, rowOrder, withinDays, rowsSetting);
  const bool nothingSoon = rows.empty() && withinDays > 0;
  const bool changed = rows != rowRecords || nothingSoon != nothingSoonRow;
  rowRecords = std::move(rows);
  nothingSoonRow = nothingSoon;
  itemCount = nothingSoonRow ? 1 : static_cast<int>(rowRecords.size());
  return changed;
}

namespace {

FileStamp loadedHolidayFile;

FilePath holidayFilePath() { return join(folderOf(itemFilePath), kHolidayFileName); }

}  // namespace

bool CWidgetDlg::HolidayFileChanged() const {
  const FileStamp now = ItemFolderWatch::Stamp(holidayFilePath(), false);
  return now.state != loadedHolidayFile.state || now.size != loadedHolidayFile.size ||
         now.written != loadedHolidayFile.written;
}

void CWidgetDlg::LoadHolidays() {
  loadedHolidayFile = ItemFolderWatch::Stamp(holidayFilePath(), false);
  std::vector<std::string> badLines;
  loadHolidayFile(itemFilePath, &badLines);
  // Each set of bad lines is named once, not at every reload.
  static std::string named;
  const std::string note = holidayFileNote(badLines);
  if (note == named || !trayIconAdded) return;
  named = note;
  if (!note.empty()) ShowNote(gbk::toWide(note), holidayFilePath());
}
