// The About box: name, version, where the item file and the settings live, the item file's format.
#pragma once
#include "framework/AfxWin.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
  BOOL OnInitDialog() override;
};
