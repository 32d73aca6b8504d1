#include "ui/AboutDlg.h"

#include "app/AppState.h"
#include "core/Core.h"
#include "Version.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUT) {}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CString settingsPath = core ? core->configPath() : CString();
  CString text = CString("Tessaly " TESSALY_VERSION "\r\n\r\n") +
                 "纪念日文件：" + itemFilePath + "\r\n" +
                 "设置文件：" + settingsPath + "\r\n\r\n" +
                 "纪念日文件每行一个纪念日：名称、逗号、日期，例如“生日,2025-05-20”；"
                 "空行和含有分号的行不显示，只显示前五个。";
  SetDlgItemText(IDC_ABOUT_TEXT, text);
  CenterWindow();
  return TRUE;
}
