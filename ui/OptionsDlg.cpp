#include "ui/OptionsDlg.h"

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/UserInput.h"
#include "res/resource.h"

COptionsDlg::COptionsDlg() : CDialog(IDD_OPTIONS) {}

BOOL COptionsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_FONT_SIZE, core->getStrInt(fontSize));
  CenterWindow();
  return TRUE;
}

void COptionsDlg::OnOK() {
  CString text = GetDlgItemText(IDC_FONT_SIZE);
  // Digits can be pasted past ES_NUMBER; a number too long for an int is refused like any other
  // value out of range, never wrapped into it.
  int value = 0;
  if (!parseIntLikeAtoi(text.view(), &value) || value < kMinFontSize || value > kMaxFontSize) {
    core->msgboxWarning(m_hWnd, "字体大小必须是10到200之间的整数！");
    ::SetFocus(GetDlgItem(IDC_FONT_SIZE));
    return;
  }
  fontSize = value;
  core->saveConfigInt("fsize", value);
  CDialog::OnOK();
}

void CWidgetDlg::OnAppOptions() {
  COptionsDlg dialog;
  if (dialog.DoModal() == IDOK) UpdateLayout();
}
