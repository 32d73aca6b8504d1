// The options dialog: the widget's font size, a whole number from 10 to 200; reminders on or off,
// their time and sound; start with Windows; the rows shown, their order and the days they reach; the
// folder the list lives in ("纪念日文件位置", chosen with the system's folder dialog; "默认" puts it back
// beside the settings); its position group (layer, lock, click-through, hiding for full-screen
// programs); the next holiday's row; the hotkey that gives the widget the keyboard; the look ("外观",
// "不透明度" with up-down arrows). Accepted values are applied at once and remembered; a value out of
// range is refused with a warning and the dialog stays open.
#pragma once
#include <string>

#include "core/Autostart.h"
#include "core/Settings.h"
#include "framework/AfxWin.h"
#include "framework/StdioFile.h"

class COptionsDlg : public CDialog {
 public:
  COptionsDlg();

  BOOL OnInitDialog() override;
  void OnOK() override;

  Settings chosen;  // in: the settings shown; out, after OK: the settings chosen (and stored)

 private:
  // Refuses the value in control id with message: focus back to the box, dialog stays open.
  void Refuse(int id, const char* message);
  // Start with Windows as the box now says; the user's word where Task Manager disabled it.
  void ApplyAutostart();
  void OnItemDirChange();
  void OnItemDirDefault();
  // Copies the list into moved, its path in a new folder, unless a list is there already. False,
  // with the reason told and the old folder shown again, when the folder does not take it.
  bool CopyListInto(const FilePath& moved);
  // Shows the folder the list will be in: the chosen one, or the settings' folder.
  void ShowItemDir();
  // Click-through is offered only with a locked place.
  void OnLockClicked();

  AutostartState m_autostart = AutostartState::Off;
  FilePath m_itemDir;  // the option as it will be saved: empty for beside the settings

  DECLARE_MESSAGE_MAP()
};
