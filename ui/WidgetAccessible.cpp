// The widget as screen readers see it: an MSAA list (IAccessible) with one list item per row shown,
// named as items/ItemList's rowSpeech reads the row. The layered window has no controls a reader
// could look into, so the widget answers WM_GETOBJECT for its client area itself. The object is
// made at the first question: while no reader runs, neither it, nor COM on the thread, nor oleacc.dll
// costs anything. It reads the rows afresh at every call, so it outlives any change of the list; a
// child id no row has any more is refused, and once the window is gone every call is.
#include <oleacc.h>

#include <new>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "framework/Gbk.h"

namespace {

// Spelled out: MinGW's import library gives IID_IAccessible as an import thunk, not the GUID, and
// marshaling across processes then fails with E_NOINTERFACE.
const IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using AccessibleObjectFromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

// oleacc.dll, loaded at the first question and kept for the rest of the process.
void* oleaccFunction(const char* name) {
  static HMODULE library = LoadLibraryW(L"oleacc.dll");
  return library ? reinterpret_cast<void*>(GetProcAddress(library, name)) : nullptr;
}

BSTR bstrOf(const std::string& gbkText) {
  const std::wstring text = gbk::toWide(gbkText);
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void setChild(VARIANT* out, LONG child) {
  out->vt = VT_I4;
  out->lVal = child;
}

}  // namespace

class WidgetAccessible final : public IAccessible {
 public:
  explicit WidgetAccessible(CWidgetDlg* widget) : m_widget(widget) {}
  WidgetAccessible(const WidgetAccessible&) = delete;
  WidgetAccessible& operator=(const WidgetAccessible&) = delete;
  void Disconnect() { m_widget = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: readers call IAccessible directly; late binding is not offered.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!m_widget) return RPC_E_DISCONNECTED;
    const auto fromWindow =
        reinterpret_cast<AccessibleObjectFromWindowFn>(oleaccFunction("AccessibleObjectFromWindow"));
    return fromWindow ? fromWindow(m_widget->m_hWnd, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                   reinterpret_cast<void**>(parent))
                      : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    if (!m_widget) return RPC_E_DISCONNECTED;
    *count = m_widget->items.rows();
    return S_OK;
  }
  // The rows are simple elements of the list, without an object of their own.
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    int row = -1;
    const HRESULT known = Row(child, &row);
    if (FAILED(known)) return known;
    return row >= 0 ? S_FALSE : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override { return Text(child, name, kName); }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override { return Text(child, value, kValue); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override { return Text(child, text, kNone); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override { return Text(child, text, kNone); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  // The list's shortcut is the hotkey that gives it the keyboard.
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
    return Text(child, text, kShortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
    return Text(child, text, kNone);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;
    int row = -1;
    const HRESULT known = Row(child, &row);
    if (FAILED(known)) return known;
    setChild(role, row < 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
    return S_OK;
  }
  // The selected row is focused while the widget has the keyboard.
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    int row = -1;
    const HRESULT known = Row(child, &row);
    if (FAILED(known)) return known;
    const HWND window = m_widget->m_hWnd;
    const bool keyboard = GetForegroundWindow() == window;
    LONG flags = STATE_SYSTEM_FOCUSABLE | (IsWindowVisible(window) ? 0 : STATE_SYSTEM_INVISIBLE);
    if (row < 0) {
      if (keyboard && m_widget->keyboard.row < 0) flags |= STATE_SYSTEM_FOCUSED;
    } else {
      flags |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_READONLY;
      if (row == m_widget->keyboard.row) flags |= STATE_SYSTEM_SELECTED | (keyboard ? STATE_SYSTEM_FOCUSED : 0);
    }
    setChild(state, flags);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    focus->vt = VT_EMPTY;
    if (!m_widget) return RPC_E_DISCONNECTED;
    if (GetForegroundWindow() != m_widget->m_hWnd) return S_FALSE;
    setChild(focus, m_widget->keyboard.row + 1);  // CHILDID_SELF (0) when no row is selected
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    selection->vt = VT_EMPTY;
    if (!m_widget) return RPC_E_DISCONNECTED;
    if (m_widget->keyboard.row < 0) return S_FALSE;
    setChild(selection, m_widget->keyboard.row + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    int row = -1;
    const HRESULT known = Row(child, &row);
    if (FAILED(known)) return known;
    RECT rect = {};
    GetWindowRect(m_widget->m_hWnd, &rect);
    const int rowHeight = m_widget->render.layout.rowHeight;
    *left = rect.left;
    *width = rect.right - rect.left;
    *top = row < 0 ? rect.top : rect.top + row * rowHeight;
    *height = row < 0 ? rect.bottom - rect.top : rowHeight;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    end->vt = VT_EMPTY;
    int row = -1;
    const HRESULT known = Row(start, &row);
    if (FAILED(known)) return known;
    const int rows = m_widget->items.rows();
    int to = -1;  // the row navigated to
    if (row < 0 && direction == NAVDIR_FIRSTCHILD) to = 0;
    if (row < 0 && direction == NAVDIR_LASTCHILD) to = rows - 1;
    if (row >= 0 && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)) to = row + 1;
    if (row >= 0 && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)) to = row - 1;
    if (to < 0 || to >= rows) return S_FALSE;
    setChild(end, to + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override {
    if (!found) return E_POINTER;
    found->vt = VT_EMPTY;
    if (!m_widget) return RPC_E_DISCONNECTED;
    RECT rect = {};
    const POINT point = {x, y};
    if (!GetWindowRect(m_widget->m_hWnd, &rect) || !PtInRect(&rect, point)) return S_FALSE;
    const int rowHeight = m_widget->render.layout.rowHeight;
    const int row = rowHeight > 0 ? (y - rect.top) / rowHeight : -1;
    setChild(found, row >= 0 && row < m_widget->items.rows() ? row + 1 : CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

 private:
  // The row a child id names, -1 for the list itself; E_INVALIDARG for an id no row has (any more).
  HRESULT Row(const VARIANT& child, int* row) const {
    if (!m_widget || !core) return RPC_E_DISCONNECTED;
    if (child.vt != VT_I4 || child.lVal < CHILDID_SELF || child.lVal > m_widget->items.rows()) return E_INVALIDARG;
    *row = child.lVal - 1;
    return S_OK;
  }
  // The text properties; S_FALSE and no string where the text is empty.
  enum Property { kName, kValue, kShortcut, kNone };
  HRESULT Text(const VARIANT& child, BSTR* out, Property property) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    int row = -1;
    const HRESULT known = Row(child, &row);
    if (FAILED(known)) return known;
    std::string text;
    if (row < 0) {
      if (property == kName) text = "纪念日";
      if (property == kShortcut && m_widget->keyboard.registered) text = hotkeyText(settings.hotkey);
    } else if (property == kName || property == kValue) {
      const ItemSpeech speech = m_widget->items.rowSpeech(row, core->getTimeNow());
      text = property == kName ? speech.name : speech.value;
    }
    if (text.empty()) return S_FALSE;
    *out = bstrOf(text);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  LONG m_references = 1;
  CWidgetDlg* m_widget;  // null once the window is gone
};

LRESULT CWidgetDlg::OnGetObject(WPARAM flags, LPARAM objectId) {
  // The id is a DWORD; a 64-bit lParam may carry it zero-extended.
  if (static_cast<LONG>(static_cast<DWORD>(objectId)) != OBJID_CLIENT || !core) return Default();
  const auto lresultFromObject = reinterpret_cast<LresultFromObjectFn>(oleaccFunction("LresultFromObject"));
  if (!lresultFromObject) return Default();
  if (!accessible) {
    // A single-threaded apartment: readers' calls come through this thread's messages, never from
    // another thread.
    accessibleCom = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    accessible = new (std::nothrow) WidgetAccessible(this);
    if (!accessible) {
      if (accessibleCom) CoUninitialize();
      accessibleCom = false;
      return Default();
    }
  }
  return lresultFromObject(kIidAccessible, flags, static_cast<IAccessible*>(accessible));
}

void CWidgetDlg::AnnounceRows() {
  // Only readers that asked hold anything to refresh; the others will ask when they need the rows.
  if (!accessible) return;
  NotifyWinEvent(EVENT_OBJECT_REORDER, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
  for (int row = 0; row < items.rows(); ++row) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, row + 1);
}

void CWidgetDlg::DisconnectAccessible() {
  if (!accessible) return;
  accessible->Disconnect();
  CoDisconnectObject(static_cast<IAccessible*>(accessible), 0);
  accessible->Release();
  accessible = nullptr;
  if (accessibleCom) CoUninitialize();
  accessibleCom = false;
}
