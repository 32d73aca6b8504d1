// The rows' tooltips: one standard tooltip control owned by the widget, with one tool per row.
#pragma once
#include <windows.h>

#include <string>

class RowTips {
 public:
  RowTips() = default;
  ~RowTips();
  RowTips(const RowTips&) = delete;
  RowTips& operator=(const RowTips&) = delete;

  // One tool for each of rows rows of rowHeight pixels across width; makes the control on first use.
  void Update(HWND owner, int rows, int rowHeight, int width);
  // The text of the row the control is about to show, for TTN_GETDISPINFOW; null for other notices.
  const wchar_t* TextFor(const NMHDR* header);

 private:
  HWND m_control = nullptr;
  int m_tools = 0;
  std::wstring m_text;  // must outlive the notification that hands it out
};
