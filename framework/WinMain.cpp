// The process entry: hands control to the one application object.
#include "framework/AfxWin.h"
#include "framework/Timeline.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  timelineMark("main");
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  app->m_hInstance = instance;
  int exitCode = 0;
  if (app->InitInstance()) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    exitCode = static_cast<int>(msg.wParam);
  }
  int result = app->ExitInstance();
  timelineMark("exit");
  return exitCode ? exitCode : result;
}
