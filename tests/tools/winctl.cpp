// winctl: a small console tool the end-to-end tests use to look at and command the running program's
// windows from the shell, the way another program on the desktop would.
//   winctl wait <title> [seconds]      waits for a top-level window; prints its state
//   winctl info <title>                prints: hwnd left top right bottom exstyle visible pid
//   winctl gone <title> [seconds]      waits until no such window is left
//   winctl command <title> <id>        posts WM_COMMAND id, as a menu entry does
//   winctl post <title> <msg> <wparam> <lparam>
//   winctl taskbar-created             broadcasts "TaskbarCreated", as a restarted shell does
//   winctl text <title> <control-id>   prints a control's text as UTF-8
//   winctl menu                        prints the entries of the pop-up menu that is open, as UTF-8
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

void printInfo(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  std::printf("%p %ld %ld %ld %ld 0x%08lx %d %lu\n", static_cast<void*>(hwnd), r.left, r.top, r.right, r.bottom,
              static_cast<unsigned long>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)), IsWindowVisible(hwnd) ? 1 : 0, pid);
}

HWND waitFor(const wchar_t* title, double seconds, bool present) {
  DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
  for (;;) {
    HWND hwnd = FindWindowW(nullptr, title);
    if ((hwnd != nullptr) == present) return hwnd;
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) return present ? nullptr : hwnd;
    Sleep(100);
  }
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  std::wstring verb = argv[1];
  const wchar_t* title = argc > 2 ? argv[2] : L"";

  if (verb == L"taskbar-created") {
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    return 0;
  }
  if (verb == L"menu") {
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (!menuWindow) return 1;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      wchar_t text[128] = {};
      UINT id = GetMenuItemID(menu, i);
      GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
      std::printf("%d %s\n", static_cast<int>(id), utf8(text).c_str());
    }
    return 0;
  }
  if (verb == L"wait") {
    HWND hwnd = waitFor(title, argc > 3 ? _wtof(argv[3]) : 30, true);
    if (!hwnd) return 1;
    printInfo(hwnd);
    return 0;
  }
  if (verb == L"gone") return waitFor(title, argc > 3 ? _wtof(argv[3]) : 30, false) ? 1 : 0;

  HWND hwnd = FindWindowW(nullptr, title);
  if (!hwnd) return 1;
  if (verb == L"info") {
    printInfo(hwnd);
  } else if (verb == L"command" && argc > 3) {
    PostMessageW(hwnd, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[3])), 0);
  } else if (verb == L"post" && argc > 5) {
    PostMessageW(hwnd, static_cast<UINT>(_wtoi(argv[3])), static_cast<WPARAM>(_wtoi(argv[4])),
                 static_cast<LPARAM>(_wtoi(argv[5])));
  } else if (verb == L"text" && argc > 3) {
    wchar_t text[65536] = {};
    GetDlgItemTextW(hwnd, _wtoi(argv[3]), text, 65536);
    std::printf("%s", utf8(text).c_str());
  } else {
    return 2;
  }
  LocalFree(argv);
  return 0;
}
