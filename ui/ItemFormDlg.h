// The item dialog: one anniversary as a small form (name, date with a month calendar and a lunar
// helper, repeat, reminder, check boxes), over one line of the item file. The line is read into the
// fields and written back by items/ItemForm.h; a line whose fields did not change is given back as
// it was. OK hands the line to a store function (the editor's box, or the file) and closes only when
// that took it, so nothing typed is lost.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/AfxWin.h"
#include "items/ItemForm.h"
#include "items/ItemList.h"

class CItemFormDlg : public CDialog {
 public:
  // Takes the line to store; false keeps the dialog open.
  using Store = std::function<bool(HWND owner, const std::wstring& line)>;

  // original: the line to change (UTF-16, without its line break); empty to add one.
  CItemFormDlg(const std::wstring& original, Store store, CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;

 private:
  ItemForm ReadFields() const;
  void ShowForm(const ItemForm& form);
  void FillRepeat(Repeat selected);
  void FillLunarMonths();
  void WriteLunarDate();
  void ChooseFestival();
  void UpdatePreview();
  void KeepNameShort();
  void ShowCalendar();
  void HideCalendar(bool take);

  std::wstring m_original;
  ItemForm m_originalForm;
  Store m_store;
  bool m_yearly = false;         // the repeat list is the one for a date without a year
  bool m_repeatTouched = false;  // the user chose a repeat: the date no longer decides it
  bool m_nameCut = false;        // the name box was cut back to its limit: the preview says so
  bool m_filling = false;        // the fields are being set, not typed
  int m_festival = -1;           // the preset last chosen from the 节日 list (items/Festivals.h)
  HWND m_calendar = nullptr;     // made at the first pick, over the fields below the date
  bool m_calendarKeyed = false;  // the calendar's last input was a key, not a click
};

// Stores line as the stored line number `stored` of the item file (or appends it when stored is
// negative, original then empty) through the editor's safe save: read, the line spliced in, written
// in the file's encoding by atomic replacement. Lines around it stay byte for byte. False, after
// telling the user, when nothing was stored.
bool storeItemLine(HWND owner, int stored, const std::wstring& original, const std::wstring& line);

// The stored line number `stored` of the item file as UTF-16; false when the file has none such
// (or, after telling the user, cannot be read).
bool readStoredLine(HWND owner, int stored, std::wstring* line);

// The widget menu's entry for a line of the list: "编辑“名称”..."; empty for no line.
std::wstring rowEditEntry(const ItemList& items, int line);
