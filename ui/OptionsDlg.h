// The options dialog: the widget's font size, a whole number from 10 to 200. An accepted value is
// applied at once and remembered; anything else is refused with a warning and the dialog stays open.
#pragma once
#include "framework/AfxWin.h"

class COptionsDlg : public CDialog {
 public:
  COptionsDlg();

  BOOL OnInitDialog() override;
  void OnOK() override;
};
