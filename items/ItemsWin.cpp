// The widget's item routines: thin calls into the window-free item list.
#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/Holidays.h"
#include "framework/Gbk.h"
#include "framework/PathParts.h"
#include "items/ItemFolderWatch.h"

void CWidgetDlg::LoadItems() {
  // Stamped before the read: a change in between shows as a change at the next look.
  itemWatch.debounce.loaded(ItemFolderWatch::Stamp(itemFilePath, true));
  ItemFileLoad load = items.load(*core, itemFilePath);
  LoadHolidays();
  // A missing list is the ordinary empty one; any other failure (unreadable, too large) is told at start.
  loadProblem = load || load.status == ItemFileStatus::Missing ? CString() : load.reason();
  // The list's own folder is gone (a drive unplugged): the widget is empty, not showing an old list,
  // and says why once; at start the note waits for the tray icon (ShowStartNotes).
  if (load.status == ItemFileStatus::Missing && !core->itemDir().empty()) {
    items.clear();
    if (tray.added) {
      const std::wstring note = core->itemDirNote();
      if (!note.empty()) ShowNote(note);
    }
  }
}

// Every stored line is counted, not only those drawn: the nearest-first order and the reminders need
// them all.
void CWidgetDlg::CountDays() { items.count(core->getTimeNow()); }

bool CWidgetDlg::ArrangeRows() { return items.arrange(settings.rows, settings.order, settings.within); }

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
  // The rows count with the calendar just read, the holiday row's too.
  items.showHoliday(settings.holidayRow);
  // Each set of bad lines is named once, not at every reload.
  static std::string named;
  const std::string note = holidayFileNote(badLines);
  if (note == named || !tray.added) return;
  named = note;
  if (!note.empty()) ShowNote(gbk::toWide(note), holidayFilePath());
}
