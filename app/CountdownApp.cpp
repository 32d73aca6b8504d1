#include "app/CountdownApp.h"

#include <gdiplus.h>

#include "app/AppState.h"
#include "app/ListCommand.h"
#include "app/SingleInstance.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "framework/Timeline.h"
#include "core/Autostart.h"
#include "res/Texts.h"
#include "ui/Messages.h"

// The one application object; WinMain finds it through AfxGetApp.
CCountdownApp theApp;

BOOL CCountdownApp::InitInstance() {
  // The installer's way to the same Run value the options dialog sets: no window, exit code 0 or 1.
  bool on = false, valid = false;
  if (isAutostartCommandLine(&on, &valid)) {
    commandExitCode = valid && writeAutostart(on) ? 0 : 1;
    return FALSE;
  }
  // The installer's and uninstaller's way to end the widget of this folder first: exit code 0 once
  // none runs, 1 while it still does (the user kept it at the editor's question, or it hangs).
  if (isQuitCommandLine()) {
    commandExitCode = quitRunningInstance(30000) ? 0 : 1;
    return FALSE;
  }
  // The listing needs neither GDI+ nor a window, and works beside a running widget.
  if (isListCommandLine()) {
    commandExitCode = runListCommand();
    return FALSE;
  }
  // Started from inside a zip viewer: its temporary folder goes when the viewer closes, and with it
  // the list. Said before anything is written, the single-instance claim included.
  if (CCore().autoFileConfig(false) == PlaceKind::TempFolder) {
    warn(nullptr, kUnzipFirst);
    return FALSE;
  }
  // Before anything is shown: a second start only hands over to the running widget.
  CSingleInstance instance;
  if (!instance.Claim()) return FALSE;
  timelineMark("single instance");
  Gdiplus::GdiplusStartupInput input;  // version 1, background thread and codecs allowed
  if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
    gdiplusToken = 0;
    fail(nullptr, kNoGdiplus);
    return FALSE;
  }
  timelineMark("GDI+ started");
  CWidgetDlg widget(nullptr);
  m_pMainWnd = &widget;
  widget.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

int CCountdownApp::ExitInstance() {
  if (gdiplusToken) Gdiplus::GdiplusShutdown(gdiplusToken);
  timelineMark("GDI+ shut down");
  gdiplusToken = 0;
  CWinApp::ExitInstance();
  return commandExitCode;
}
