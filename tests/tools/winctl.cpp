// winctl: a small console tool the end-to-end tests use to look at and command the running program's
// windows from the shell, the way another program on the desktop would.
//   winctl wait <title> [seconds]      waits for a top-level window; prints its state
//   winctl info <title>                prints: hwnd left top right bottom exstyle visible pid
//   winctl gone <title> [seconds]      waits until no such window is left
//   winctl command <title> <id>        posts WM_COMMAND id, as a menu entry does
//   winctl post <title> <msg> <wparam> <lparam>
//   winctl taskbar-created             broadcasts "TaskbarCreated", as a restarted shell does
//   winctl text <title> <control-id>   prints a control's text as UTF-8
//   winctl focus <title>               prints the id of the window's control that has the keyboard
//   winctl item <title> <control-id>   prints a control's place on the screen: left top right bottom
//   winctl menu                        prints the entries of the pop-up menu that is open, as UTF-8:
//                                      one line each, "id left top right bottom text" (screen
//                                      coordinates; a separator is "0 ... -")
//   winctl foreground                  prints the foreground window's title as UTF-8
//   winctl tray <title> exists|delete  asks the shell whether the window's tray icon (id 100) is
//                                      there, or deletes it as a restarting shell loses it
//   winctl tray-area                   prints the notification area's window: left top right bottom
//   winctl window <title> <seconds> [full|clicks]
//                                      shows a window of another program, in front, for some seconds:
//                                      an ordinary one, a borderless one over the whole primary monitor
//                                      (as a full-screen program), or one whose title becomes
//                                      "<title> clicked" when a button is pressed on it
//   winctl memory <title>              prints the owning process's working set and its peak, in KiB
//   winctl tooltip <title>             prints the text of the tooltip the window's process shows, as
//                                      UTF-8; fails when none is showing
//   winctl list <title>                prints one info line for every top-level window with the title
//   winctl lines <title> <control-id>  prints an edit box's first visible line and its line count
//   winctl lock <path> <seconds>       holds the file open without sharing, as a program that locks it
//   winctl balloon [seconds]           waits for a tray balloon on the screen; prints its text as UTF-8
//   winctl send <title> <msg> <wparam> <lparam> [times]
//                                      sends the message (times over, one after the other) and prints
//                                      the window's last answer
//   winctl balloon-rect                prints the shown tray balloon's place: left top right bottom
//   winctl checked <title> <control-id> prints a check box's state: 0 unchecked, 1 checked
//   winctl version <file>              prints a file's version resource: the fixed file and product
//                                      versions (a.b.c.d), then FileVersion and ProductVersion as
//                                      UTF-8, one a line
//   winctl workarea                    prints the primary monitor's work area: left top right bottom
//   winctl resize <width> <height>     changes the display's resolution, as a user in the display
//                                      settings does (where the display can: a Wine virtual desktop)
//   winctl dpi <title> <dpi> <left> <top>
//                                      sends the window WM_DPICHANGED in its own process, with a
//                                      suggested rectangle at left top; prints its rectangle after
//   winctl shortcut <file.lnk>         prints a shell shortcut's target path and its arguments as UTF-8,
//                                      one a line, as the shell reads them
//   winctl line-height <face> <px>     prints ascent + descent of the face at an em of px pixels, as
//                                      GDI's text metrics give them
//   winctl access <title>              reads the window's client area as a screen reader does
//                                      (AccessibleObjectFromWindow, across processes): one line for
//                                      the object and one per child, "id role state left top width
//                                      height name<TAB>value" (role and state in hex, texts UTF-8),
//                                      then "beyond <hresult>", the answer for the name of the child
//                                      after the last
#include <windows.h>

#include <psapi.h>

#include <oleacc.h>
#include <shellapi.h>
#include <shlobj.h>

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

constexpr UINT kTrayIconId = 100;

// Spelled out: MinGW's import library gives IID_IAccessible as an import thunk, not the GUID.
const IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

std::string bstrText(BSTR text) {
  std::string out = text ? utf8(std::wstring(text, SysStringLen(text))) : std::string();
  SysFreeString(text);
  return out;
}

bool printAccessible(HWND hwnd) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                        reinterpret_cast<void**>(&object))) ||
      !object)
    return false;
  long children = 0;
  object->get_accChildCount(&children);
  for (long id = 0; id <= children; ++id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    object->get_accRole(child, &role);
    object->get_accState(child, &state);
    long left = 0, top = 0, width = 0, height = 0;
    object->accLocation(&left, &top, &width, &height, child);
    BSTR name = nullptr, value = nullptr;
    object->get_accName(child, &name);
    object->get_accValue(child, &value);
    std::printf("%ld %lx %lx %ld %ld %ld %ld %s\t%s\n", id, role.vt == VT_I4 ? role.lVal : -1L,
                state.vt == VT_I4 ? state.lVal : -1L, left, top, width, height, bstrText(name).c_str(),
                bstrText(value).c_str());
  }
  VARIANT beyond;
  VariantInit(&beyond);
  beyond.vt = VT_I4;
  beyond.lVal = children + 1;
  BSTR name = nullptr;
  std::printf("beyond %lx\n", static_cast<unsigned long>(object->get_accName(beyond, &name)));
  bstrText(name);
  object->Release();
  return true;
}

BOOL CALLBACK keepOpenMenu(HWND hwnd, LPARAM out) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (std::wcscmp(cls, L"#32768") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(out) = hwnd;
  return FALSE;
}

// The pop-up menu window that is showing, if any (Wine keeps hidden ones around).
HWND findOpenMenu() {
  HWND found = nullptr;
  EnumWindows(keepOpenMenu, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string received;  // the hook's answer

LRESULT CALLBACK receiverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    received.assign(static_cast<const char*>(data->lpData), data->cbData);
    if (received.empty()) received = "\n";
    return TRUE;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Runs hookName of winctl_hook.dll (beside this program) in the thread of window, posts it message
// with wParam (the window the answer goes to when null) and lParam, and returns what the hook sends
// back; empty when that fails.
std::string askInOwner(HWND window, const char* hookName, const wchar_t* message, WPARAM wParam, LPARAM lParam) {
  received.clear();
  WNDCLASSW cls = {};
  cls.lpfnWndProc = receiverProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"Tessaly.winctl.Receiver";
  RegisterClassW(&cls);
  HWND receiver = CreateWindowW(cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring hookPath(path, length);
  hookPath = hookPath.substr(0, hookPath.find_last_of(L"\\/") + 1) + L"winctl_hook.dll";
  HMODULE hookModule = LoadLibraryW(hookPath.c_str());
  // 32-bit builds export the stdcall name with its argument size.
  FARPROC found = hookModule ? GetProcAddress(hookModule, hookName) : nullptr;
  if (!found && hookModule) found = GetProcAddress(hookModule, (std::string(hookName) + "@12").c_str());
  auto* hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(found));
  HHOOK hook = hookProc ? SetWindowsHookExW(WH_GETMESSAGE, hookProc, hookModule, thread) : nullptr;
  if (hook && receiver) {
    PostMessageW(window, RegisterWindowMessageW(message), wParam == 0 ? reinterpret_cast<WPARAM>(receiver) : wParam,
                 lParam);
    DWORD deadline = GetTickCount() + 5000;
    MSG msg;
    while (received.empty() && static_cast<LONG>(GetTickCount() - deadline) < 0) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
  }
  if (hook) UnhookWindowsHookEx(hook);
  if (hookModule) FreeLibrary(hookModule);
  if (receiver) DestroyWindow(receiver);
  return received == "\n" ? std::string() : received;
}

// The entries of the menu shown by menuWindow, read inside the process that owns it (Wine keeps a
// menu's entries there); empty when that fails.
std::string readMenuInOwner(HWND menuWindow) {
  return askInOwner(menuWindow, "ReadMenuHook", L"Tessaly.winctl.ReadMenu", 0, 0);
}

struct TooltipSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK keepShownTooltip(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<TooltipSearch*>(param);
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->pid || _wcsicmp(cls, L"tooltips_class32") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  if (GetWindowLongPtrW(hwnd, GWL_STYLE) & 0x40 /* TTS_BALLOON: the tray icon's notes */) return TRUE;
  search->found = hwnd;
  return FALSE;
}

// The text of the tooltip shown by the process that owns window; false when none is showing. The
// control answers WM_GETTEXT with the text it shows, which the system copies across processes.
bool readTooltip(HWND window, std::wstring* text) {
  TooltipSearch search = {0, nullptr};
  GetWindowThreadProcessId(window, &search.pid);
  EnumWindows(keepShownTooltip, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  wchar_t buffer[4096] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(search.found, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                           &length))
    return false;
  text->assign(buffer);
  return true;
}

struct TitleSearch {
  const wchar_t* title;
  int count;
};

BOOL CALLBACK printTitled(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<TitleSearch*>(lParam);
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  if (std::wcscmp(text, search->title) != 0) return TRUE;
  printInfo(hwnd);
  ++search->count;
  return TRUE;
}

BOOL CALLBACK keepBalloon(HWND hwnd, LPARAM out) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (_wcsicmp(cls, L"tooltips_class32") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & 0x40 /* TTS_BALLOON */)) return TRUE;
  *reinterpret_cast<HWND*>(out) = hwnd;
  return FALSE;
}

// The version resource as Explorer's file properties read it.
bool printVersion(const wchar_t* file) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  if (size == 0) return false;
  std::string data(size, '\0');
  if (!GetFileVersionInfoW(file, 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
    return false;
  const DWORD parts[4] = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                          fixed->dwProductVersionLS};
  std::printf("%u.%u.%u.%u %u.%u.%u.%u\n", HIWORD(parts[0]), LOWORD(parts[0]), HIWORD(parts[1]), LOWORD(parts[1]),
              HIWORD(parts[2]), LOWORD(parts[2]), HIWORD(parts[3]), LOWORD(parts[3]));
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof *translation)
    return false;
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    wchar_t path[80];
    std::swprintf(path, 80, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(data.data(), path, reinterpret_cast<void**>(&value), &length)) return false;
    std::printf("%s\n", utf8(value).c_str());
  }
  return true;
}

// The shell's own reading of a shortcut file.
bool printShortcut(const wchar_t* file) {
  if (FAILED(CoInitialize(nullptr))) return false;
  bool ok = false;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
      wchar_t target[MAX_PATH] = {}, args[MAX_PATH] = {};
      if (SUCCEEDED(persist->Load(file, STGM_READ)) && SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
          SUCCEEDED(link->GetArguments(args, MAX_PATH))) {
        std::printf("%s\n%s\n", utf8(target).c_str(), utf8(args).c_str());
        ok = true;
      }
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return ok;
}

// A window that says in its title that a mouse button was pressed on it.
LRESULT CALLBACK clickRecorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 200);
    if (!std::wcsstr(title, L" clicked")) SetWindowTextW(hwnd, (std::wstring(title) + L" clicked").c_str());
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int main() {
  // Places and sizes in the display's real pixels, whatever DPI the program under test is laid out at.
  SetProcessDPIAware();
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
    HWND menuWindow = findOpenMenu();
    if (!menuWindow) return 1;
    std::string lines = readMenuInOwner(menuWindow);
    if (lines.empty()) return 1;
    std::fputs(lines.c_str(), stdout);
    return 0;
  }
  if (verb == L"version") return printVersion(title) ? 0 : 1;
  if (verb == L"shortcut") return printShortcut(title) ? 0 : 1;
  if (verb == L"foreground") {
    HWND hwnd = GetForegroundWindow();
    if (!hwnd) return 1;
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    std::printf("%s\n", utf8(text).c_str());
    return 0;
  }
  if (verb == L"tray-area") {
    // Wine without a desktop taskbar shows the icons in a small window of its own.
    HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    if (!tray) tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!tray || !IsWindowVisible(tray)) return 1;
    RECT r;
    GetClientRect(tray, &r);
    MapWindowPoints(tray, nullptr, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if (verb == L"window" && argc > 3) {
    const std::wstring kind = argc > 4 ? argv[4] : L"";
    HWND window = nullptr;
    if (kind == L"full") {
      window = CreateWindowExW(0, L"STATIC", title, WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                               GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    } else if (kind == L"clicks") {
      WNDCLASSW windowClass = {};
      windowClass.lpfnWndProc = clickRecorder;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
      windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      windowClass.lpszClassName = L"winctl.clicks";
      RegisterClassW(&windowClass);
      window = CreateWindowExW(0, L"winctl.clicks", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 500, 300, 200,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    } else {
      window = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 500, 300, 200, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    if (!window) return 1;
    SetForegroundWindow(window);
    DWORD deadline = GetTickCount() + static_cast<DWORD>(_wtof(argv[3]) * 1000);
    MSG msg;
    while (IsWindow(window) && static_cast<LONG>(GetTickCount() - deadline) < 0) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    if (IsWindow(window)) DestroyWindow(window);
    return 0;
  }
  if (verb == L"list") {
    TitleSearch search = {title, 0};
    EnumWindows(printTitled, reinterpret_cast<LPARAM>(&search));
    return search.count ? 0 : 1;
  }
  if (verb == L"lock" && argc > 3) {
    HANDLE file = CreateFileW(title, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::printf("locked\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(_wtof(argv[3]) * 1000));
    CloseHandle(file);
    return 0;
  }
  if (verb == L"balloon") {
    // The shell shows a balloon as a tooltip window; its text comes back through WM_GETTEXT, which
    // Windows carries across processes.
    DWORD deadline = GetTickCount() + static_cast<DWORD>((argc > 2 ? _wtof(title) : 10) * 1000);
    for (;;) {
      HWND balloon = nullptr;
      EnumWindows(keepBalloon, reinterpret_cast<LPARAM>(&balloon));
      wchar_t text[1024] = {};
      DWORD_PTR got = 0;
      if (balloon &&
          SendMessageTimeoutW(balloon, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                              &got) &&
          text[0]) {
        std::printf("%s\n", utf8(text).c_str());
        return 0;
      }
      if (static_cast<LONG>(GetTickCount() - deadline) > 0) return 1;
      Sleep(200);
    }
  }
  if (verb == L"send" && argc > 5) {
    HWND hwnd = FindWindowW(nullptr, title);
    DWORD_PTR answer = 0;
    const int times = argc > 6 ? _wtoi(argv[6]) : 1;
    for (int i = 0; i < times; ++i) {
      if (!hwnd || !SendMessageTimeoutW(hwnd, static_cast<UINT>(_wtoi(argv[3])), static_cast<WPARAM>(_wtoi(argv[4])),
                                        static_cast<LPARAM>(_wtoi(argv[5])), SMTO_ABORTIFHUNG, 20000, &answer))
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(static_cast<LRESULT>(answer)));
    return 0;
  }
  if (verb == L"balloon-rect") {
    // Where the shown balloon is, to click it as a user would.
    HWND balloon = nullptr;
    EnumWindows(keepBalloon, reinterpret_cast<LPARAM>(&balloon));
    RECT r;
    if (!balloon || !GetWindowRect(balloon, &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if (verb == L"workarea") {
    RECT r;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if (verb == L"resize" && argc > 3) {
    DEVMODEW mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(_wtoi(argv[2]));
    mode.dmPelsHeight = static_cast<DWORD>(_wtoi(argv[3]));
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
  }
  if (verb == L"dpi" && argc > 5) {
    HWND hwnd = FindWindowW(nullptr, title);
    if (!hwnd) return 1;
    const LPARAM corner = MAKELPARAM(static_cast<WORD>(_wtoi(argv[4])), static_cast<WORD>(_wtoi(argv[5])));
    const int dpi = _wtoi(argv[3]);
    if (dpi <= 0) return 2;  // the window would not be told what to do
    std::string rect = askInOwner(hwnd, "DpiChangeHook", L"Tessaly.winctl.Dpi", static_cast<WPARAM>(dpi), corner);
    std::fputs(rect.c_str(), stdout);
    return rect.empty() ? 1 : 0;
  }
  if (verb == L"line-height" && argc > 3) {
    // A negative height asks for the em (character height) rather than the cell.
    HFONT font =
        CreateFontW(-_wtoi(argv[3]), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, title);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    BOOL ok = GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    if (!ok) return 1;
    std::printf("%ld\n", metrics.tmAscent + metrics.tmDescent);
    return 0;
  }
  if (verb == L"access") {
    HWND hwnd = FindWindowW(nullptr, title);
    CoInitialize(nullptr);
    const bool read = hwnd && printAccessible(hwnd);
    CoUninitialize();
    return read ? 0 : 1;
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
  } else if (verb == L"memory") {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    BOOL ok = GetProcessMemoryInfo(process, &counters, sizeof counters);
    CloseHandle(process);
    if (!ok) return 1;
    std::printf("%lu %lu\n", static_cast<unsigned long>(counters.WorkingSetSize / 1024),
                static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024));
  } else if (verb == L"tooltip") {
    std::wstring text;
    if (!readTooltip(hwnd, &text)) return 1;
    std::printf("%s\n", utf8(text).c_str());
  } else if (verb == L"command" && argc > 3) {
    PostMessageW(hwnd, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[3])), 0);
  } else if (verb == L"post" && argc > 5) {
    PostMessageW(hwnd, static_cast<UINT>(_wtoi(argv[3])), static_cast<WPARAM>(_wtoi(argv[4])),
                 static_cast<LPARAM>(_wtoi(argv[5])));
  } else if (verb == L"tray" && argc > 3) {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = hwnd;
    data.uID = kTrayIconId;
    // A modification that changes nothing succeeds only while the shell holds the icon.
    bool ok = Shell_NotifyIconW(std::wstring(argv[3]) == L"delete" ? NIM_DELETE : NIM_MODIFY, &data) != FALSE;
    LocalFree(argv);
    return ok ? 0 : 1;
  } else if (verb == L"item" && argc > 3) {
    HWND item = GetDlgItem(hwnd, _wtoi(argv[3]));
    RECT r;
    if (!item || !GetWindowRect(item, &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  } else if (verb == L"checked" && argc > 3) {
    HWND item = GetDlgItem(hwnd, _wtoi(argv[3]));
    if (!item) return 1;
    std::printf("%d\n", static_cast<int>(SendMessageW(item, BM_GETCHECK, 0, 0)));
  } else if (verb == L"lines" && argc > 3) {
    HWND item = GetDlgItem(hwnd, _wtoi(argv[3]));
    if (!item) return 1;
    std::printf("%ld %ld\n", static_cast<long>(SendMessageW(item, EM_GETFIRSTVISIBLELINE, 0, 0)),
                static_cast<long>(SendMessageW(item, EM_GETLINECOUNT, 0, 0)));
  } else if (verb == L"focus") {
    // The control of this window that has the keyboard in its thread, by id; fails for none.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) || !info.hwndFocus ||
        !IsChild(hwnd, info.hwndFocus))
      return 1;
    std::printf("%d\n", GetDlgCtrlID(info.hwndFocus));
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
