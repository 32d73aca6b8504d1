// The small application framework the program is written against: an application object, windows
// and modal dialogs whose message maps bind messages and command ids to On... handlers, menus and
// paint contexts (message boxes are ui/Messages.h). Texts are GBK; every call into Windows goes through
// the W API.
#pragma once
#include <windows.h>

#include "framework/String.h"

class CWnd;
using AFX_PMSG = LRESULT (CWnd::*)(WPARAM, LPARAM);
using AFX_PCMD = void (CWnd::*)();

struct AFX_MSGMAP_ENTRY {
  UINT message;                   // WM_COMMAND for command entries
  UINT commandId;                 // command entries only
  const UINT* registeredMessage;  // ON_REGISTERED_MESSAGE entries only
  AFX_PMSG onMessage;
  AFX_PCMD onCommand;
};

#define DECLARE_MESSAGE_MAP() \
 protected:                   \
  const AFX_MSGMAP_ENTRY* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass)                         \
  const AFX_MSGMAP_ENTRY* theClass::GetMessageMap() const { \
    using ThisClass = theClass;                             \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define ON_MESSAGE(message, handler) {message, 0, nullptr, static_cast<AFX_PMSG>(&ThisClass::handler), nullptr},
#define ON_REGISTERED_MESSAGE(variable, handler) {0, 0, &variable, static_cast<AFX_PMSG>(&ThisClass::handler), nullptr},
#define ON_COMMAND(id, handler) {WM_COMMAND, id, nullptr, nullptr, static_cast<AFX_PCMD>(&ThisClass::handler)},
#define END_MESSAGE_MAP()             \
  { 0, 0, nullptr, nullptr, nullptr } \
  }                                   \
  ;                                   \
  return entries;                     \
  }

class CWnd {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd() = default;

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  virtual BOOL PreTranslateMessage(MSG* msg);
  // Dispatches through the message map; what it does not handle goes to Default().
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default processing of the message being handled.
  LRESULT Default();

  // GBK texts, converted to UTF-16 at the call.
  void SetWindowText(const CString& text);
  CString GetDlgItemText(int id) const;
  void SetDlgItemText(int id, const CString& text);
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
  void CenterWindow(HWND alternateOwner = nullptr);
  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }

  HWND m_hWnd = nullptr;

 protected:
  virtual const AFX_MSGMAP_ENTRY* GetMessageMap() const { return nullptr; }
  // A command the message map does not bind; true when handled.
  virtual bool OnUnmappedCommand(UINT) { return false; }

 private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK AfxCbtHook(int, WPARAM, LPARAM);
  WNDPROC m_defaultProc = nullptr;
  MSG m_current = {};
};

class CDialog : public CWnd {
 public:
  // A dialog from the template templateId; without a parent the main window becomes its owner.
  explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_templateId(templateId), m_parent(parent) {}

  // Creates the dialog and runs its modal loop until EndDialog or the quit message; returns the
  // EndDialog result (-1 when the dialog could not be created, IDABORT on the quit message).
  INT_PTR DoModal();
  void EndDialog(int result);

  BOOL PreTranslateMessage(MSG* msg) override;
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

 protected:
  bool OnUnmappedCommand(UINT id) override;

 private:
  friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
  UINT m_templateId;
  CWnd* m_parent;
  bool m_modalDone = false;
  int m_modalResult = -1;
};

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp() = default;
  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance() { return 0; }

  HINSTANCE m_hInstance = nullptr;
  CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetResourceHandle();

// A kernel object (an event, a change notification) the modal loops wait on beside the messages,
// on the one thread: when it is signalled, message is sent to target with the handle as lParam, and
// the handler must reset it (or remove it), or it would be sent again at once. False when the loops
// already wait on as many handles as they can.
bool AfxAddWaitHandle(HANDLE handle, HWND target, UINT message);
void AfxRemoveWaitHandle(HANDLE handle);

// Owns a menu handle; a menu from GetSubMenu only borrows its handle.
class CMenu {
 public:
  CMenu() = default;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;
  ~CMenu() { DestroyMenu(); }

  BOOL Attach(HMENU menu);
  BOOL DestroyMenu();
  HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }
  HMENU m_hMenu = nullptr;
};

// BeginPaint on construction, EndPaint on destruction.
class CPaintDC {
 public:
  explicit CPaintDC(CWnd* window) : m_hWnd(window->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
  ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  HDC GetSafeHdc() const { return m_hDC; }

  HDC m_hDC;

 private:
  HWND m_hWnd;
  PAINTSTRUCT m_ps;
};
