// The widget's item routines: thin calls into the window-free item file reader and day counter.
#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "items/DayCount.h"
#include "items/ItemFile.h"

void CWidgetDlg::LoadItems() {
  // Stamped before the read: a change in between shows as a change at the next look.
  itemWatch.debounce.loaded(ItemFolderWatch::Stamp(itemFilePath, true));
  ItemFileLoad load = loadItemFile(*core, itemFilePath, ItemTable, itemCount);
  loadProblem = load.status == ItemFileStatus::Unreadable ? load.reason() : CString();
}

void CWidgetDlg::CountDays() { countDays(*core, ItemTable, itemCount); }
