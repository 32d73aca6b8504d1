// One widget per program folder: a second start of the same Tessaly.exe (same item file, same
// settings) hands over to the running one and ends. The name of the kernel objects comes from the
// program's full path with its folder as the file system finally resolves it (symbolic links and
// junctions followed), case-folded, so copies in different folders run side by side and one folder
// reached by two roads has one widget.
#pragma once
#include <windows.h>

#include <string>

// The instance name of the program at modulePath: "Tessaly-" and a hash of the case-folded path
// (a path can be far longer than a kernel object name may be, and holds backslashes).
std::wstring instanceNameFor(const std::wstring& modulePath);

// The program's path with its folder's symbolic links and junctions resolved, as the file system
// finally names it (without the "\\?\" prefix), short (8.3) names made long; the path as given when
// the folder cannot be opened.
std::wstring finalModulePath(const std::wstring& modulePath);

// The instance name of this program, as it runs.
std::wstring thisInstanceName();

// Sent to the running widget by a second start: show yourself and come to the front. The widget
// answers kActivateAccepted; anything else (it is quitting) means the second start must wait for it
// to end and then run.
UINT activateMessage();
constexpr LRESULT kActivateAccepted = 0x7E55A1;

// "Tessaly.exe --quit" (or "/quit"): the installer's way to end the widget of this program folder
// before it replaces or removes the program.
bool isQuitCommandLine();

// Asks the running widget of this program folder to quit, as its menu's "退出" does (unsaved editor
// text is asked about first), and waits up to timeoutMs for its process to end. True when it ended
// or none was running.
bool quitRunningInstance(DWORD timeoutMs);

// Owns the named mutex that marks the running instance of this program folder.
class CSingleInstance {
 public:
  CSingleInstance() = default;
  CSingleInstance(const CSingleInstance&) = delete;
  CSingleInstance& operator=(const CSingleInstance&) = delete;
  ~CSingleInstance();

  // True when this process is the one instance (also when the kernel object cannot be made: then
  // nothing is known, and a widget is better than none). False when another instance is running;
  // it has then been asked to come to the front.
  bool Claim();

 private:
  HANDLE m_mutex = nullptr;
};

// The widget marks its window as the instance's, so that a second start finds it, and takes the
// mark away once it is quitting; a widget without the mark refuses hand-overs.
void publishInstanceWindow(HWND widget);
void withdrawInstanceWindow(HWND widget);
bool isInstanceWindow(HWND widget);
