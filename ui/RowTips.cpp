// The rows' tooltips. A standard tooltip control watches the widget's mouse messages itself
// (TTF_SUBCLASS) and shows, for the row under the pointer, the day the count refers to, its lunar
// date and the next anniversary, or why the date cannot be read. The text is made when the tip is
// about to show, so it speaks of the current day. TTS_ALWAYSTIP: the widget is hardly ever the
// active window; a tooltip never activates or focuses anything. The control has no owner: owned by
// the widget, Wine lets it take the widget's topmost place away. RowTips destroys it. It is made at the
// pointer's first move over the widget, with the common controls library: loaded at start, that library
// would be most of what the widget's start and memory cost beyond a bare window.
#include "ui/RowTips.h"

#include <commctrl.h>

#include <cstring>
#include <string_view>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/Holidays.h"
#include "framework/Gbk.h"
#include "ui/Messages.h"

namespace {
constexpr int kMaxTipWidth = 1000;  // any width at all lets the tip break its lines at "\r\n"
}  // namespace

RowTips::~RowTips() {
  if (m_control && IsWindow(m_control)) DestroyWindow(m_control);
}

bool RowTips::MakeOnce() {
  if (m_tried) return false;
  m_tried = true;
  if (!loadCommonControls(ICC_WIN95_CLASSES)) return false;
  m_control = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!m_control) return false;
  SendMessageW(m_control, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
  return true;
}

void RowTips::Relay(const MSG& move) {
  if (m_control) SendMessageW(m_control, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

void RowTips::Update(HWND owner, int rows, int rowHeight, int width) {
  if (!m_control) return;
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.hwnd = owner;
  for (int i = 0; i < m_tools; ++i) {
    tool.uId = static_cast<UINT_PTR>(i);
    SendMessageW(m_control, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  m_tools = 0;
  tool.uFlags = TTF_SUBCLASS;
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  for (int i = 0; i < rows; ++i) {
    tool.uId = static_cast<UINT_PTR>(i);
    tool.rect = {0, i * rowHeight, width, (i + 1) * rowHeight};
    if (SendMessageW(m_control, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) m_tools = i + 1;
  }
}

const wchar_t* RowTips::TextFor(const NMHDR* header, const ItemList& items) {
  if (!m_control || header->hwndFrom != m_control || header->code != TTN_GETDISPINFOW) return nullptr;
  const int row = static_cast<int>(header->idFrom);
  // The dim row that says no line is near has no tip; every other row's tip follows the drawn order.
  if (!core || row < 0 || row >= items.rows() || items.nothingSoon()) return nullptr;
  const int index = items.lineOfRow(row);
  const CTime now = core->getTimeNow();
  // The holiday row's tip gives its break: its days off and the 补班 days.
  HolidayBreak next;
  if (index == items.holidayLine() &&
      holidayCalendar().nextBreak({now.GetYear(), now.GetMonth(), now.GetDay()}, &next)) {
    m_text = gbk::toWide(holidayBreakText(next));
    return m_text.c_str();
  }
  const ItemRecord& record = items.line(index);
  const std::string_view dateText(record.dateText, strnlen(record.dateText, sizeof record.dateText));
  // The tip speaks of the day it shows on: after midnight, before the minute's recount, of the new one.
  m_text = gbk::toWide(itemTipText(dateText, items.facts(index, now).details));
  return m_text.c_str();
}

void CWidgetDlg::UpdateRowTips() {
  rowTips.Update(m_hWnd, items.rows(), render.layout.rowHeight, render.layout.windowWidth);
}

// The tools subclass the widget from now on; the move under way has gone past them, so it is handed
// to the control by hand.
LRESULT CWidgetDlg::OnMouseMove(WPARAM keys, LPARAM at) {
  if (rowTips.MakeOnce()) {
    UpdateRowTips();
    const DWORD pos = GetMessagePos();
    MSG move = {m_hWnd,
                WM_MOUSEMOVE,
                keys,
                at,
                static_cast<DWORD>(GetMessageTime()),
                {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))}};
    rowTips.Relay(move);
  }
  return Default();
}

LRESULT CWidgetDlg::OnNotify(WPARAM, LPARAM lParam) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (const wchar_t* text = rowTips.TextFor(header, items)) {
    reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = const_cast<wchar_t*>(text);
    return 0;
  }
  return Default();
}
