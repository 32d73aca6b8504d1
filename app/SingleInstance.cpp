#include "app/SingleInstance.h"

#include <cstdint>
#include <cwchar>

namespace {

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  // A short (8.3) spelling of the same folder names the same instance.
  DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed > 0) {
    std::wstring longPath(needed, L'\0');
    DWORD got = GetLongPathNameW(path.c_str(), longPath.data(), needed);
    if (got > 0 && got < needed) {
      longPath.resize(got);
      path = longPath;
    }
  }
  return path;
}

// This program's instance name, worked out once: the path cannot change while the process runs, and
// its long form takes a look at every folder on the way (at start, and again at the quit).
const std::wstring& instanceName() {
  static const std::wstring name = instanceNameFor(modulePath());
  return name;
}

// The property that marks the widget of this instance; its name is the instance's own.
std::wstring windowMark() { return instanceName() + L".Widget"; }

struct WindowSearch {
  const wchar_t* mark;
  HWND found;
};

BOOL CALLBACK findMarkedWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  if (!GetPropW(hwnd, search->mark)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

// Asks the running instance's widget to come forward; false while it has no widget yet.
bool handOver(const std::wstring& mark) {
  WindowSearch search = {mark.c_str(), nullptr};
  EnumWindows(findMarkedWindow, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(search.found, &pid);
  // This process was just started by the user and may give the foreground away; the widget's own
  // process may not take it.
  AllowSetForegroundWindow(pid);
  return PostMessageW(search.found, activateMessage(), 0, 0) != FALSE;
}

}  // namespace

std::wstring instanceNameFor(const std::wstring& path) {
  std::wstring folded = path;
  if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the UTF-16 code units
  for (wchar_t c : folded) {
    hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  }
  wchar_t hex[17];
  std::swprintf(hex, 17, L"%016llx", static_cast<unsigned long long>(hash));
  return std::wstring(L"Tessaly-") + hex;
}

UINT activateMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tessaly.Activate");
  return message;
}

CSingleInstance::~CSingleInstance() {
  if (!m_mutex) return;
  ReleaseMutex(m_mutex);
  CloseHandle(m_mutex);
}

bool CSingleInstance::Claim() {
  const std::wstring& name = instanceName();
  // Local: one widget per program folder and log-on session.
  m_mutex = CreateMutexW(nullptr, TRUE, (L"Local\\" + name).c_str());
  if (!m_mutex || GetLastError() != ERROR_ALREADY_EXISTS) return true;
  // Another instance holds it. Its widget may not exist yet (it is still starting) or not any more
  // (it is ending): wait for either its window or the mutex, whichever comes first.
  std::wstring mark = name + L".Widget";
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (handOver(mark)) return false;
    DWORD waited = WaitForSingleObject(m_mutex, 100);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return true;  // it ended: this one runs
  }
  return false;  // ten seconds of a running instance without a widget: it is busy, leave it be
}

void publishInstanceWindow(HWND widget) {
  SetPropW(widget, windowMark().c_str(), reinterpret_cast<HANDLE>(1));
}

void withdrawInstanceWindow(HWND widget) { RemovePropW(widget, windowMark().c_str()); }
