// The rows' tooltips: one standard tooltip control owned by the widget, with one tool per row. The
// control, and the common controls library it comes from, are made when the pointer first comes over
// the widget: until then the tips cost the widget neither start-up time nor memory.
#pragma once
#include <windows.h>

#include <string>

class ItemList;

class RowTips {
 public:
  RowTips() = default;
  ~RowTips();
  RowTips(const RowTips&) = delete;
  RowTips& operator=(const RowTips&) = delete;

  // Makes the control at the first call; true when it was made then. The caller then sets the tools
  // (Update) and hands the control the move that brought the pointer (Relay), so that the first tip is
  // timed from it.
  bool MakeOnce();
  // One tool for each of rows rows of rowHeight pixels across width, once the control is made.
  void Update(HWND owner, int rows, int rowHeight, int width);
  void Relay(const MSG& move);
  // The text of the row of items the control is about to show, for TTN_GETDISPINFOW; null for other
  // notices.
  const wchar_t* TextFor(const NMHDR* header, const ItemList& items);

 private:
  HWND m_control = nullptr;
  bool m_tried = false;  // a control that could not be made is not tried again at every move
  int m_tools = 0;
  std::wstring m_text;  // must outlive the notification that hands it out
};
