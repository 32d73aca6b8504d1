// The options dialog: the widget's font size, a whole number from 10 to 200, and the folder the list
// lives in ("纪念日文件位置", chosen with the system's folder dialog; "默认" puts it back beside the
// settings). An accepted value is applied at once and remembered; anything else is refused with a
// warning and the dialog stays open.
#pragma once
#include <string>

#include "framework/AfxWin.h"
#include "framework/StdioFile.h"

class COptionsDlg : public CDialog {
 public:
  COptionsDlg();

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnItemDirChange();
  void OnItemDirDefault();
  // Shows the folder the list will be in: the chosen one, or the settings' folder.
  void ShowItemDir();

  FilePath m_itemDir;  // the option as it will be saved: empty for beside the settings

  DECLARE_MESSAGE_MAP()
};
