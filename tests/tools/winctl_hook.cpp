// winctl_hook: loaded by a hook into the thread that shows a pop-up menu, so that winctl can read the
// menu's entries there (Wine keeps a menu's entries in the process that owns it). On a request
// message posted to the menu window it sends the entries back to the asking window as WM_COPYDATA:
// one line each, "id left top right bottom text" in screen coordinates and UTF-8; a separator is
// "0 left top right bottom -".
// It also hands the window a DPI change as the system sends it, with a suggested rectangle (a pointer,
// which only a message sent inside the process can carry), and answers with the window's rectangle.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t* text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::string describeMenu(HWND menuWindow) {
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
  int count = menu ? GetMenuItemCount(menu) : -1;
  std::string lines;
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
    bool separator = (item.fType & MFT_SEPARATOR) != 0;
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    RECT r = {};
    GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r);
    char line[64];
    std::snprintf(line, sizeof line, "%u %ld %ld %ld %ld ", separator ? 0u : item.wID, r.left, r.top, r.right,
                  r.bottom);
    lines += line + (separator ? std::string("-") : utf8(text)) + "\n";
  }
  return lines;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ReadMenuHook(int code, WPARAM removed, LPARAM lParam) {
  MSG* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == RegisterWindowMessageW(L"Tessaly.winctl.ReadMenu")) {
    std::string lines = describeMenu(msg->hwnd);
    if (lines.empty()) lines = "\n";  // an answer all the same, so that the asker need not wait
    COPYDATASTRUCT data = {1, static_cast<DWORD>(lines.size()), lines.data()};
    SendMessageW(reinterpret_cast<HWND>(msg->wParam), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    msg->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}

// wParam: the new DPI; lParam: the suggested rectangle's top-left corner, two signed 16-bit values.
extern "C" __declspec(dllexport) LRESULT CALLBACK DpiChangeHook(int code, WPARAM removed, LPARAM lParam) {
  MSG* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == RegisterWindowMessageW(L"Tessaly.winctl.Dpi")) {
    const int dpi = static_cast<int>(msg->wParam);
    const int left = static_cast<short>(LOWORD(msg->lParam)), top = static_cast<short>(HIWORD(msg->lParam));
    RECT before = {};
    GetWindowRect(msg->hwnd, &before);
    RECT suggested = {left, top, left + before.right - before.left, top + before.bottom - before.top};
    SendMessageW(msg->hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT after = {};
    GetWindowRect(msg->hwnd, &after);
    char line[64];
    std::snprintf(line, sizeof line, "%ld %ld %ld %ld\n", after.left, after.top, after.right, after.bottom);
    std::string answer = line;
    COPYDATASTRUCT data = {1, static_cast<DWORD>(answer.size()), answer.data()};
    if (HWND receiver = FindWindowExW(HWND_MESSAGE, nullptr, L"Tessaly.winctl.Receiver", nullptr))
      SendMessageW(receiver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    msg->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}
