#include "ui/OptionsDlg.h"

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/UserInput.h"
#include "framework/Gbk.h"
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
  if (!core->saveConfigInt("fsize", value)) {
    core->takeConfigFailureToTell();  // told here, in the dialog: no balloon about it later
    std::wstring text = gbk::toWide(("字体大小已改为 " + core->getStrInt(value) + "，但无法保存到设置文件：\r\n").view()) +
                        gbk::utf8ToWide(core->configPath()) +
                        gbk::toWide("\r\n\r\n下次启动时仍是原来的大小。请检查设置文件是否只读或被其他程序占用。");
    MessageBoxW(m_hWnd, text.c_str(), L"Tessaly", MB_OK | MB_ICONWARNING);
  }
  CDialog::OnOK();
}

void CWidgetDlg::OnAppOptions() {
  if (BringModalToFront()) return;
  COptionsDlg dialog;
  if (dialog.DoModal() == IDOK) UpdateLayout();
}
