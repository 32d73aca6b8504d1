#include "ui/AboutDlg.h"

#include <string>

#include "app/AppState.h"
#include "core/Core.h"
#include "core/DateText.h"
#include "Version.h"
#include "framework/Gbk.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUT) {}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  FilePath settingsPath = core ? core->configPath() : FilePath();
  // The paths go to the box as UTF-16, whole: a folder name GBK cannot hold is shown as it is.
  std::wstring text = gbk::toWide("Tessaly " TESSALY_VERSION "\r\n\r\n纪念日文件：") + gbk::utf8ToWide(itemFilePath) +
                      gbk::toWide("\r\n设置文件：") + gbk::utf8ToWide(settingsPath) +
                      gbk::toWide("\r\n\r\n纪念日文件每行一个纪念日：名称、逗号、日期，例如“生日,2025-05-20”。" +
                                  std::string(acceptedDateForms()) + "。空行和含有分号的行不显示；小窗口最多显示 " +
                                  std::to_string(settings.rows) + " 个纪念日（“选项”中可改为 1 到 20 个）。");
  SetDlgItemTextW(m_hWnd, IDC_ABOUT_TEXT, text.c_str());
  CenterWindow();
  return TRUE;
}
