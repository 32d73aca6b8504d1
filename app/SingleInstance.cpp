#include "app/SingleInstance.h"

#include <cstdint>

#include "framework/PathParts.h"
#include "framework/String.h"
#include "res/resource.h"

#include "framework/StdioFile.h"

namespace {

std::wstring modulePath() { return finalModulePath(moduleFileName()); }

// The property that marks the widget of this instance; its name is the instance's own.
std::wstring windowMark() { return thisInstanceName() + L".Widget"; }

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

// The instance's widget, by its mark; null while there is none (starting, or quitting already).
HWND findInstanceWindow(const std::wstring& mark) {
  WindowSearch search = {mark.c_str(), nullptr};
  EnumWindows(findMarkedWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Asks the running instance's widget to come forward; false while it has no widget yet, or has one
// that is quitting.
bool handOver(const std::wstring& mark) {
  HWND widget = findInstanceWindow(mark);
  if (!widget) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(widget, &pid);
  // This process was just started by the user and may give the foreground away; the widget's own
  // process may not take it.
  AllowSetForegroundWindow(pid);
  // Sent, not posted: a widget that is quitting says no, and this start then waits for it to end. A
  // widget too busy to answer in time is still there: it is left to show itself when it can.
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(widget, activateMessage(), 0, 0, SMTO_ABORTIFHUNG, 3000, &answer))
    return GetLastError() == ERROR_TIMEOUT;
  return static_cast<LRESULT>(answer) == kActivateAccepted;
}

}  // namespace

std::wstring instanceNameFor(const std::wstring& path) {
  std::wstring folded = path;
  if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the UTF-16 code units
  for (wchar_t c : folded) {
    hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  }
  const std::string hex = hexDigits(hash, 16);
  return L"Tessaly-" + std::wstring(hex.begin(), hex.end());
}

std::wstring finalModulePath(const std::wstring& path) {
  const std::wstring fileName(fileNameOf(path));
  if (fileName.size() == path.size()) return path;
  // The folder, not the file: a link to the program alone still runs it from the folder it lies in.
  std::wstring folderPath = path.substr(0, path.size() - fileName.size());
  if (folderPath.size() >= MAX_PATH - 12 && folderPath.rfind(L"\\\\", 0) != 0) folderPath = L"\\\\?\\" + folderPath;
  std::wstring resolved = finalFolderPath(folderPath);
  if (resolved.empty()) return path;
  if (resolved.back() != L'\\') resolved += L'\\';
  // The file's own long name, when it was reached by its short (8.3) one.
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folderPath + fileName).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return resolved + fileName;
  FindClose(search);
  return resolved + found.cFileName;
}

// Worked out once: the path cannot change while the process runs, and its final form takes a look at
// every folder on the way (at start, and again at the quit).
std::wstring thisInstanceName() {
  static const std::wstring name = instanceNameFor(modulePath());
  return name;
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
  std::wstring name = thisInstanceName();
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

void publishInstanceWindow(HWND widget) { SetPropW(widget, windowMark().c_str(), reinterpret_cast<HANDLE>(1)); }

void withdrawInstanceWindow(HWND widget) { RemovePropW(widget, windowMark().c_str()); }

bool isInstanceWindow(HWND widget) { return GetPropW(widget, windowMark().c_str()) != nullptr; }

bool isQuitCommandLine() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return false;
  const bool asked = argc >= 2 && (lstrcmpiW(argv[1], L"--quit") == 0 || lstrcmpiW(argv[1], L"/quit") == 0);
  LocalFree(argv);
  return asked;
}

bool quitRunningInstance(DWORD timeoutMs) {
  const std::wstring name = thisInstanceName();
  const ScopedHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, (L"Local\\" + name).c_str()));
  if (!mutex) return true;  // no widget of this folder runs
  const std::wstring mark = name + L".Widget";
  const DWORD start = GetTickCount();
  ScopedHandle process(nullptr);
  bool asked = false;
  for (;;) {
    // Asked once: a user who keeps the widget at the editor's question has answered.
    if (!asked) {
      if (HWND widget = findInstanceWindow(mark)) {
        asked = true;
        DWORD pid = 0;
        GetWindowThreadProcessId(widget, &pid);
        process.reset(OpenProcess(SYNCHRONIZE, FALSE, pid));
        // The editor's question about unsaved text must be able to come to the front.
        AllowSetForegroundWindow(pid);
        PostMessageW(widget, WM_COMMAND, ID_APP_QUIT, 0);
      }
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    const DWORD step = timeoutMs - elapsed < 100 ? timeoutMs - elapsed : 100;
    // The process, not the mutex, when it is known: the program's file is free only once the process
    // has ended. Without a widget to ask, the instance is still starting (asked once its window is
    // there) or quitting already, and its mutex goes with it.
    if (process) {
      if (WaitForSingleObject(process.get(), step) == WAIT_OBJECT_0) return true;
    } else {
      const DWORD waited = WaitForSingleObject(mutex.get(), step);
      if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        ReleaseMutex(mutex.get());
        return true;
      }
    }
  }
}
