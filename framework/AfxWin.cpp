#include "framework/AfxWin.h"

#include <algorithm>

#include "framework/Gbk.h"
#include "framework/Timeline.h"

namespace {

CWinApp* theApplication = nullptr;
// The dialog whose window is being created: the CBT hook attaches it to the first window created,
// and takes itself off once it has.
CWnd* windowBeingCreated = nullptr;
HHOOK creationHook = nullptr;

// The handles the modal loops wait on; one slot of the wait is the message queue's.
struct WaitEntry {
  HWND target;
  UINT message;
};
constexpr DWORD kMaxWaitHandles = MAXIMUM_WAIT_OBJECTS - 1;
HANDLE waitHandles[kMaxWaitHandles] = {};
WaitEntry waitEntries[kMaxWaitHandles] = {};
DWORD waitCount = 0;

// GetMessage that also answers the registered handles: it sleeps until a message or a handle comes,
// so nothing is polled. Messages come first, as GetMessage would give them.
BOOL getMessageOrHandle(MSG* msg) {
  for (;;) {
    if (waitCount == 0) return GetMessageW(msg, nullptr, 0, 0);
    if (PeekMessageW(msg, nullptr, 0, 0, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
    DWORD woken = MsgWaitForMultipleObjectsEx(waitCount, waitHandles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_FAILED) return -1;
    if (woken >= WAIT_OBJECT_0 && woken < WAIT_OBJECT_0 + waitCount) {
      HANDLE handle = waitHandles[woken - WAIT_OBJECT_0];
      const WaitEntry entry = waitEntries[woken - WAIT_OBJECT_0];
      // A handle whose window is gone would be signalled for ever: it is dropped.
      if (!IsWindow(entry.target))
        AfxRemoveWaitHandle(handle);
      else
        SendMessageW(entry.target, entry.message, 0, reinterpret_cast<LPARAM>(handle));
    }
  }
}

}  // namespace

// --- Windows and message maps ----------------------------------------------------------------

// The object is found through the window's user data, read in the process: a window property would
// be a round trip to the Wine server at every message.
LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = reinterpret_cast<CWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!wnd) return DefWindowProcW(hwnd, message, wParam, lParam);

  MSG saved = wnd->m_current;  // Default() must see this message also when handlers nest
  wnd->m_current = MSG{hwnd, message, wParam, lParam, 0, {}};
  LRESULT result = wnd->WindowProc(message, wParam, lParam);
  wnd->m_current = saved;

  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->m_defaultProc));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    wnd->m_hWnd = nullptr;
  }
  return result;
}

// Subclasses the dialog's window as soon as it exists, so that WM_CREATE reaches its message map.
// The hook goes at once: every later event of the creation (the initialisation's moves, the show,
// the activation) would call it, each call a round trip to the Wine server.
LRESULT CALLBACK AfxCbtHook(int code, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
  if (code == HCBT_CREATEWND && windowBeingCreated) {
    CWnd* wnd = windowBeingCreated;
    windowBeingCreated = nullptr;
    HWND hwnd = reinterpret_cast<HWND>(wParam);
    wnd->m_hWnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(wnd));
    wnd->m_defaultProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    UnhookWindowsHookEx(creationHook);
    creationHook = nullptr;
  }
  return result;
}

LRESULT CWnd::Default() {
  return CallWindowProcW(m_defaultProc, m_current.hwnd, m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Menu items (0), accelerators (1) and button clicks (BN_CLICKED, also 0) are commands.
  bool isCommand = message == WM_COMMAND && HIWORD(wParam) <= 1;
  UINT id = LOWORD(wParam);
  for (const AFX_MSGMAP_ENTRY* e = GetMessageMap(); e && (e->onMessage || e->onCommand); ++e) {
    if (e->onCommand) {
      if (isCommand && e->commandId == id) {
        (this->*e->onCommand)();
        return 0;
      }
    } else if (e->registeredMessage ? (*e->registeredMessage != 0 && *e->registeredMessage == message)
                                    : e->message == message) {
      return (this->*e->onMessage)(wParam, lParam);
    }
  }
  if (isCommand && OnUnmappedCommand(id)) return 0;
  return Default();
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::SetWindowText(const CString& text) { SetWindowTextW(m_hWnd, gbk::toWide(text.view()).c_str()); }

CString CWnd::GetDlgItemText(int id) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  int length = GetWindowTextLengthW(item);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(item, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return CString(gbk::fromWide(text));
}

void CWnd::SetDlgItemText(int id, const CString& text) {
  SetDlgItemTextW(m_hWnd, id, gbk::toWide(text.view()).c_str());
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
  LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
  LONG_PTR changed = (style & ~static_cast<LONG_PTR>(remove)) | static_cast<LONG_PTR>(add);
  if (changed == style) return FALSE;
  SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, changed);
  if (flags) SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}

void CWnd::CenterWindow(HWND alternateOwner) {
  RECT window;
  GetWindowRect(m_hWnd, &window);
  HWND owner = alternateOwner ? alternateOwner : GetWindow(m_hWnd, GW_OWNER);
  MONITORINFO info = {sizeof info, {}, {}, 0};
  GetMonitorInfoW(MonitorFromWindow(owner && IsWindowVisible(owner) ? owner : m_hWnd, MONITOR_DEFAULTTOPRIMARY), &info);
  RECT area = info.rcWork;
  if (owner && IsWindowVisible(owner)) GetWindowRect(owner, &area);
  int width = window.right - window.left;
  int height = window.bottom - window.top;
  int x = area.left + (area.right - area.left - width) / 2;
  int y = area.top + (area.bottom - area.top - height) / 2;
  // Over an owner near the screen's edge, the window stays on the work area.
  const RECT& work = info.rcWork;
  x = std::max<int>(work.left, std::min<int>(x, work.right - width));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Modal dialogs -----------------------------------------------------------------------------

INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM lParam) {
  // Everything but the initialisation reaches the dialog through its subclassed window procedure.
  if (message == WM_INITDIALOG) return reinterpret_cast<CDialog*>(lParam)->OnInitDialog();
  return FALSE;
}

INT_PTR CDialog::DoModal() {
  HINSTANCE instance = AfxGetResourceHandle();
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(m_templateId), MAKEINTRESOURCEW(5));  // RT_DIALOG
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  auto* dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)) : nullptr;
  if (!dialogTemplate) return -1;

  CWnd* mainWnd = AfxGetMainWnd();
  HWND owner = m_parent ? m_parent->m_hWnd : (mainWnd && mainWnd != this ? mainWnd->m_hWnd : nullptr);

  m_modalDone = false;
  m_modalResult = -1;
  windowBeingCreated = this;
  creationHook = SetWindowsHookExW(WH_CBT, AfxCbtHook, nullptr, GetCurrentThreadId());
  HWND hwnd = CreateDialogIndirectParamW(instance, dialogTemplate, owner, AfxDlgProc, reinterpret_cast<LPARAM>(this));
  if (creationHook) UnhookWindowsHookEx(creationHook);  // no window was made
  creationHook = nullptr;
  windowBeingCreated = nullptr;
  if (!hwnd) return -1;

  bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  if (!m_modalDone && !IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);
  timelineMark("window shown");

  MSG msg;
  while (!m_modalDone) {
    BOOL got = getMessageOrHandle(&msg);
    if (got == -1) break;
    if (got == 0) {
      // The quit message ends every modal loop: pass it on to the loop outside this one.
      if (owner) PostQuitMessage(static_cast<int>(msg.wParam));
      if (!m_modalDone) m_modalResult = IDABORT;
      break;
    }
    if (!PreTranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  // The owner is enabled again before the dialog goes, so that activation returns to it.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  if (m_hWnd) {
    // Hidden first so that the owner, enabled again, is activated while the dialog is still there;
    // without an owner the destruction hides it anyway.
    if (owner) ::ShowWindow(m_hWnd, SW_HIDE);
    DestroyWindow(m_hWnd);
  }
  timelineMark("window gone");
  return m_modalResult;
}

void CDialog::EndDialog(int result) {
  m_modalResult = result;
  m_modalDone = true;
  PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop if nothing else is queued
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (!m_hWnd || (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd))) return FALSE;
  return IsDialogMessageW(m_hWnd, msg);
}

bool CDialog::OnUnmappedCommand(UINT id) {
  if (id == IDOK) {
    OnOK();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

// --- Application, menus -------------------------------------------------------------------------

CWinApp::CWinApp() { theApplication = this; }

CWinApp* AfxGetApp() { return theApplication; }

CWnd* AfxGetMainWnd() { return theApplication ? theApplication->m_pMainWnd : nullptr; }

HINSTANCE AfxGetResourceHandle() {
  return theApplication && theApplication->m_hInstance ? theApplication->m_hInstance : GetModuleHandleW(nullptr);
}

bool AfxAddWaitHandle(HANDLE handle, HWND target, UINT message) {
  if (!handle || waitCount == kMaxWaitHandles) return false;
  waitHandles[waitCount] = handle;
  waitEntries[waitCount] = {target, message};
  ++waitCount;
  return true;
}

void AfxRemoveWaitHandle(HANDLE handle) {
  for (DWORD i = 0; i < waitCount; ++i) {
    if (waitHandles[i] != handle) continue;
    // Later entries move up one, keeping their order.
    std::copy(waitHandles + i + 1, waitHandles + waitCount, waitHandles + i);
    std::copy(waitEntries + i + 1, waitEntries + waitCount, waitEntries + i);
    --waitCount;
    return;
  }
}

BOOL CMenu::Attach(HMENU menu) {
  DestroyMenu();
  m_hMenu = menu;
  return menu != nullptr;
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  BOOL ok = ::DestroyMenu(m_hMenu);
  m_hMenu = nullptr;
  return ok;
}
