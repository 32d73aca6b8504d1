// One out-of-context accessibility event hook, removed when it goes. The system calls its procedure
// from the thread's message loop; nothing is polled.
#pragma once
#include <windows.h>

class ScopedWinEventHook {
 public:
  ScopedWinEventHook() = default;
  ~ScopedWinEventHook() { Reset(); }
  ScopedWinEventHook(const ScopedWinEventHook&) = delete;
  ScopedWinEventHook& operator=(const ScopedWinEventHook&) = delete;

  // Hooks the events first to last in one thread of one process (0 and 0: everywhere); a hook set
  // before goes first.
  void Set(DWORD first, DWORD last, WINEVENTPROC procedure, DWORD process, DWORD thread) {
    Reset();
    m_hook = SetWinEventHook(first, last, nullptr, procedure, process, thread,
                             WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    m_thread = m_hook ? thread : 0;
  }
  void Reset() {
    if (m_hook) UnhookWinEvent(m_hook);
    m_hook = nullptr;
    m_thread = 0;
  }
  bool active() const { return m_hook != nullptr; }
  DWORD thread() const { return m_thread; }

 private:
  HWINEVENTHOOK m_hook = nullptr;
  DWORD m_thread = 0;
};
