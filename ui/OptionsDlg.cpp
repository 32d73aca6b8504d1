#include "ui/OptionsDlg.h"

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/UserInput.h"
#include "framework/Gbk.h"
#include "res/resource.h"

namespace {

bool isChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void setChecked(HWND button, bool checked) {
  SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace

BEGIN_MESSAGE_MAP(COptionsDlg)
  ON_COMMAND(IDC_LOCK, OnLockClicked)
END_MESSAGE_MAP()

COptionsDlg::COptionsDlg() : CDialog(IDD_OPTIONS) {}

HWND COptionsDlg::DesktopLayerButton() const { return GetWindow(GetDlgItem(IDC_LAYER_NORMAL), GW_HWNDNEXT); }

BOOL COptionsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_FONT_SIZE, core->getStrInt(fontSize));
  setChecked(GetDlgItem(IDC_LAYER_TOP), desktop.layer == WidgetLayer::Top);
  setChecked(GetDlgItem(IDC_LAYER_NORMAL), desktop.layer == WidgetLayer::Normal);
  setChecked(DesktopLayerButton(), desktop.layer == WidgetLayer::Desktop);
  setChecked(GetDlgItem(IDC_LOCK), desktop.lock);
  setChecked(GetDlgItem(IDC_CLICK_THROUGH), desktop.clickThrough);
  setChecked(GetDlgItem(IDC_HIDE_FULL_SCREEN), desktop.hideFullScreen);
  OnLockClicked();
  CenterWindow();
  return TRUE;
}

void COptionsDlg::OnLockClicked() { EnableWindow(GetDlgItem(IDC_CLICK_THROUGH), isChecked(GetDlgItem(IDC_LOCK))); }

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
    std::wstring text = gbk::toWide(("字体大小 " + core->getStrInt(value) + " 现在就用，但无法保存到设置文件：\r\n").view()) +
                        gbk::utf8ToWide(core->configPath()) +
                        gbk::toWide("\r\n\r\n下次启动时仍是原来的大小。请检查设置文件是否只读或被其他程序占用。");
    MessageBoxW(m_hWnd, text.c_str(), L"Tessaly", MB_OK | MB_ICONWARNING);
  }

  DesktopSettings chosen;
  chosen.layer = isChecked(GetDlgItem(IDC_LAYER_NORMAL))  ? WidgetLayer::Normal
                 : isChecked(DesktopLayerButton())        ? WidgetLayer::Desktop
                                                          : WidgetLayer::Top;
  chosen.lock = isChecked(GetDlgItem(IDC_LOCK));
  chosen.clickThrough = isChecked(GetDlgItem(IDC_CLICK_THROUGH));
  chosen.hideFullScreen = isChecked(GetDlgItem(IDC_HIDE_FULL_SCREEN));
  // Only what changed is written: a settings file nobody asked to change stays as it is.
  bool saved = true;
  if (chosen.layer != desktop.layer) saved &= core->saveConfigText("layer", layerText(chosen.layer));
  if (chosen.lock != desktop.lock) saved &= core->saveConfigInt("lock", chosen.lock);
  if (chosen.clickThrough != desktop.clickThrough) saved &= core->saveConfigInt("clickthrough", chosen.clickThrough);
  if (chosen.hideFullScreen != desktop.hideFullScreen) saved &= core->saveConfigInt("hidefull", chosen.hideFullScreen);
  desktop = chosen;
  if (!saved) {
    std::wstring text = gbk::toWide("位置设置现在就用，但无法保存到设置文件：\r\n") + gbk::utf8ToWide(core->configPath()) +
                        gbk::toWide("\r\n\r\n下次启动时仍是原来的设置。请检查设置文件是否只读或被其他程序占用。");
    MessageBoxW(m_hWnd, text.c_str(), L"Tessaly", MB_OK | MB_ICONWARNING);
  }
  CDialog::OnOK();
}

void CWidgetDlg::OnAppOptions() {
  if (BringModalToFront()) return;
  COptionsDlg dialog;
  dialog.desktop = manners.settings;
  if (dialog.DoModal() != IDOK) return;
  const bool clickThroughBefore = manners.settings.clickThroughInEffect();
  manners.settings = dialog.desktop;
  ApplyDesktopSettings();
  UpdateLayout();
  // The widget no longer answers the mouse: the first time, the way back is told.
  if (manners.settings.clickThroughInEffect() && !clickThroughBefore &&
      !flagOrDefault(core->getConfigInt("clickthroughtold"), false)) {
    ShowNote(gbk::toWide("鼠标穿透已打开：点击会穿过小部件，落到它下面的窗口。\r\n要移动它或关闭穿透，请右击托盘图标，选择“选项”。"));
    core->saveConfigInt("clickthroughtold", 1);
  }
}
