// The widget's item routines: thin calls into the window-free item file reader and day counter.
#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "items/DayCount.h"
#include "items/ItemFile.h"

void CWidgetDlg::LoadItems() {
  ItemFileLoad load = loadItemFile(*core, itemFilePath, ItemTable, itemCount);
  // A missing list is the ordinary empty one; any other failure (unreadable, too large) is told at start.
  loadProblem = load || load.status == ItemFileStatus::Missing ? CString() : load.reason();
  // The list's own folder is gone (a drive unplugged): the widget is empty, not showing an old list,
  // and says why once; at start the note waits for the tray icon (ShowStartNotes).
  if (load.status == ItemFileStatus::Missing && !core->itemDir().empty()) {
    itemCount = 0;
    if (trayIconAdded) {
      const std::wstring note = core->itemDirNote();
      if (!note.empty()) ShowNote(note);
    }
  }
}

void CWidgetDlg::CountDays() { countDays(*core, ItemTable, itemCount); }
