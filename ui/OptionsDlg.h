// The options dialog: the widget's font size, a whole number from 10 to 200, and its position group
// (layer, lock, click-through, hiding for full-screen programs). An accepted value is applied at once
// and remembered; a font size out of range is refused with a warning and the dialog stays open.
#pragma once
#include "display/DesktopManners.h"
#include "framework/AfxWin.h"

class COptionsDlg : public CDialog {
 public:
  COptionsDlg();

  BOOL OnInitDialog() override;
  void OnOK() override;

  DesktopSettings desktop;  // in: the settings shown; out, after OK: the settings chosen

 protected:
  // Click-through is offered only with a locked place.
  void OnLockClicked();
  HWND DesktopLayerButton() const;

  DECLARE_MESSAGE_MAP()
};
