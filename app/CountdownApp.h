// CCountdownApp: starts GDI+, runs the widget as the program's one modal dialog, shuts GDI+ down.
#pragma once
#include "framework/AfxWin.h"

class CCountdownApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  int ExitInstance() override;

  ULONG_PTR gdiplusToken = 0;
  int commandExitCode = 0;  // the process exit code after --list, --autostart or --quit
};
