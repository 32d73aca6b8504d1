#include "ui/OptionsDlg.h"

#include <shobjidl.h>

#include <memory>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/UserInput.h"
#include "framework/Gbk.h"
#include "res/resource.h"

namespace {

struct ComReleaser {
  void operator()(IUnknown* object) const {
    if (object) object->Release();
  }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComReleaser>;

// The system's folder dialog, opened at start; empty when the user cancelled or chose no file-system
// folder.
FilePath pickFolder(HWND owner, const FilePath& start) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  FilePath chosen;
  {
    IFileOpenDialog* raw = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                   reinterpret_cast<void**>(&raw)))) {
      ComPtr<IFileOpenDialog> dialog(raw);
      FILEOPENDIALOGOPTIONS options = 0;
      dialog->GetOptions(&options);
      dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
      dialog->SetTitle(gbk::toWide("纪念日文件位置").c_str());
      IShellItem* at = nullptr;
      if (SUCCEEDED(SHCreateItemFromParsingName(gbk::utf8ToWide(start).c_str(), nullptr, IID_IShellItem,
                                                reinterpret_cast<void**>(&at)))) {
        ComPtr<IShellItem> folder(at);
        dialog->SetFolder(folder.get());
      }
      IShellItem* result = nullptr;
      if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&result))) {
        ComPtr<IShellItem> item(result);
        PWSTR path = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) chosen = gbk::wideToUtf8(path);
        CoTaskMemFree(path);
      }
    }
  }
  // Every object is released before COM goes.
  if (SUCCEEDED(com)) CoUninitialize();
  return chosen;
}

}  // namespace

BEGIN_MESSAGE_MAP(COptionsDlg)
  ON_COMMAND(IDC_ITEM_DIR_CHANGE, OnItemDirChange)
  ON_COMMAND(IDC_ITEM_DIR_DEFAULT, OnItemDirDefault)
END_MESSAGE_MAP()

COptionsDlg::COptionsDlg() : CDialog(IDD_OPTIONS) {}

BOOL COptionsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_FONT_SIZE, core->getStrInt(fontSize));
  m_itemDir = core->itemDir();
  ShowItemDir();
  CenterWindow();
  return TRUE;
}

void COptionsDlg::ShowItemDir() {
  const FilePath shown = m_itemDir.empty() ? core->settingsFolder() : m_itemDir;
  SetDlgItemTextW(m_hWnd, IDC_ITEM_DIR, gbk::utf8ToWide(shown).c_str());
  EnableWindow(GetDlgItem(IDC_ITEM_DIR_DEFAULT), !m_itemDir.empty());
}

void COptionsDlg::OnItemDirChange() {
  const FilePath chosen = pickFolder(m_hWnd, m_itemDir.empty() ? core->settingsFolder() : m_itemDir);
  if (chosen.empty()) return;
  // The settings' own folder is the default, whatever way it was chosen.
  m_itemDir = itemDirFromSetting(chosen) == itemDirFromSetting(core->settingsFolder()) ? FilePath() : chosen;
  ShowItemDir();
}

void COptionsDlg::OnItemDirDefault() {
  m_itemDir.clear();
  ShowItemDir();
  ::SetFocus(GetDlgItem(IDC_ITEM_DIR_CHANGE));
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
  if (m_itemDir != core->itemDir()) {
    if (!core->saveItemDir(m_itemDir)) {
      core->msgboxWarning(m_hWnd, gbk::toWide("纪念日文件位置无法保存到设置文件：\r\n") +
                                      gbk::utf8ToWide(core->configPath()) +
                                      gbk::toWide("\r\n\r\n请检查设置文件是否只读或被其他程序占用。"));
      return;
    }
    // A folder without a list starts with a copy of the current one: the user's list follows the
    // user to the synced folder. A list already there (from the other computer) is used as it is;
    // the old file is never removed.
    const FilePath moved = core->listPath();
    CopyFileW(widePath(itemFilePath).c_str(), widePath(moved).c_str(), TRUE);
    itemFilePath = moved;
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
  const FilePath listBefore = itemFilePath;
  COptionsDlg dialog;
  if (dialog.DoModal() != IDOK) return;
  if (itemFilePath != listBefore) {
    // TODO(merge): the live reload's WatchItemFolder() goes here, to watch the new list's folder.
    itemCount = 0;  // a list the new folder lacks shows empty, not the old rows
    LoadItems();
  }
  UpdateLayout();
}
