// The widget's item routines: thin calls into the window-free item file reader and day counter.
#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "items/DayCount.h"
#include "items/ItemFile.h"

void CWidgetDlg::LoadItems() {
  ItemFileLoad load = loadItemFile(*core, itemFilePath, ItemTable, itemCount);
  // A missing list is the ordinary empty one; any other failure (unreadable, too large) is told at start.
  loadProblem = load || load.status == ItemFileStatus::Missing ? CString() : load.reason();
}

void CWidgetDlg::CountDays() { countDays(*core, ItemTable, itemCount); }
