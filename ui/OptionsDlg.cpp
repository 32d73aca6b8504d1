#include "ui/OptionsDlg.h"

#include <commctrl.h>
#include <shobjidl.h>

#include <memory>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/DateText.h"
#include "core/UserInput.h"
#include "framework/Gbk.h"
#include "res/Texts.h"
#include "res/resource.h"
#include "ui/Messages.h"

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

const char* const kOrderNames[] = {"文件顺序", "最近的在前"};  // RowOrder::File, RowOrder::Soon
// In WidgetTheme's order.
const char* const kThemeNames[] = {"经典", "深色", "浅色", "跟随系统"};
const char kDisabledNote[] = "已在任务管理器中禁用";

// The system's own words for an error, with its number, for the rare one not named here.
std::wstring systemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n ? std::wstring(text, n) : std::wstring();
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.pop_back();
  return message + gbk::toWide((" （错误 " + std::to_string(error) + "）").c_str());
}

// A drop-down list of names (GBK), with the one at selected chosen.
void fillList(HWND list, const char* const* names, int count, int selected) {
  for (int i = 0; i < count; ++i)
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gbk::toWide(names[i]).c_str()));
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// A whole number from the box within [low, high]; digits pasted past ES_NUMBER too long for an int are
// refused, never wrapped.
bool boxNumber(const CString& text, int low, int high, int* value) {
  return parseIntLikeAtoi(text.view(), value) && *value >= low && *value <= high;
}
}  // namespace

BEGIN_MESSAGE_MAP(COptionsDlg)
  ON_COMMAND(IDC_ITEM_DIR_CHANGE, OnItemDirChange)
  ON_COMMAND(IDC_ITEM_DIR_DEFAULT, OnItemDirDefault)
  ON_COMMAND(IDC_LOCK, OnLockClicked)
END_MESSAGE_MAP()

COptionsDlg::COptionsDlg() : CDialog(IDD_OPTIONS) {}

BOOL COptionsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_FONT_SIZE, core->getStrInt(chosen.fontSize));
  check(m_hWnd, IDC_REMIND, chosen.remind);
  SetDlgItemText(IDC_REMIND_AT, CString(remindAtText(chosen.remindAt).c_str()));
  check(m_hWnd, IDC_REMIND_SOUND, chosen.remindSound);
  // Disabled in Task Manager: shown unchecked, and said so; only the user's check takes it back.
  m_autostart = readAutostart();
  check(m_hWnd, IDC_AUTOSTART, m_autostart == AutostartState::On || m_autostart == AutostartState::Stale);
  if (m_autostart == AutostartState::Disabled) SetDlgItemText(IDC_AUTOSTART_NOTE, kDisabledNote);
  SetDlgItemText(IDC_ROWS, core->getStrInt(chosen.rows));
  fillList(GetDlgItem(IDC_ORDER), kOrderNames, 2, chosen.order == RowOrder::Soon ? 1 : 0);
  SetDlgItemText(IDC_WITHIN, core->getStrInt(chosen.within));
  m_itemDir = core->itemDir();
  ShowItemDir();
  check(m_hWnd, IDC_LAYER_TOP, chosen.layer == WidgetLayer::Top);
  check(m_hWnd, IDC_LAYER_NORMAL, chosen.layer == WidgetLayer::Normal);
  check(m_hWnd, IDC_LAYER_DESKTOP, chosen.layer == WidgetLayer::Desktop);
  check(m_hWnd, IDC_LOCK, chosen.lock);
  check(m_hWnd, IDC_CLICK_THROUGH, chosen.clickThrough);
  check(m_hWnd, IDC_HIDE_FULL_SCREEN, chosen.hideFullScreen);
  check(m_hWnd, IDC_HOLIDAY_ROW, chosen.holidayRow);
  SetDlgItemText(IDC_HOTKEY, CString(hotkeyText(chosen.hotkey)));
  fillList(GetDlgItem(IDC_THEME), kThemeNames, 4, static_cast<int>(chosen.theme));
  SetDlgItemText(IDC_OPACITY, core->getStrInt(chosen.opacity));
  // The arrows beside the box; without the library the box alone takes the number.
  if (loadCommonControls(ICC_UPDOWN_CLASS)) {
    HWND arrows = CreateWindowExW(
        0, UPDOWN_CLASSW, nullptr,
        WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0, m_hWnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_OPACITY_SPIN)), AfxGetResourceHandle(), nullptr);
    SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(IDC_OPACITY)), 0);
    SendMessageW(arrows, UDM_SETRANGE32, kMinOpacity, kMaxOpacity);
    SendMessageW(arrows, UDM_SETPOS32, 0, chosen.opacity);
  }
  OnLockClicked();
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

bool COptionsDlg::CopyListInto(const FilePath& moved) {
  const std::wstring from = widePath(itemFilePath);
  // No list yet: nothing to take along.
  if (GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  if (CopyFileW(from.c_str(), widePath(moved).c_str(), TRUE)) return true;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return true;
  const char* why = nullptr;
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      why = "这个文件夹不能写入（只读，或没有写入权限）。";
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      why = "磁盘空间不足。";
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      why = "纪念日文件正被其他程序占用。";
      break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NOT_READY:
      why = "这个文件夹无法访问（已被移走，或驱动器、网络已断开）。";
      break;
    default:
      break;
  }
  std::wstring reason = why ? gbk::toWide(why) : systemMessage(error);
  warn(m_hWnd, fill(kListNotCopied, {gbk::utf8ToWide(moved), reason}));
  m_itemDir = core->itemDir();
  ShowItemDir();
  ::SetFocus(GetDlgItem(IDC_ITEM_DIR_CHANGE));
  return false;
}

void COptionsDlg::OnLockClicked() { EnableWindow(GetDlgItem(IDC_CLICK_THROUGH), checked(m_hWnd, IDC_LOCK)); }

void COptionsDlg::Refuse(int id, const char* message) {
  warn(m_hWnd, message);
  ::SetFocus(GetDlgItem(id));
}

void COptionsDlg::OnOK() {
  CString text = GetDlgItemText(IDC_FONT_SIZE);
  // Digits can be pasted past ES_NUMBER; a number too long for an int is refused like any other
  // value out of range, never wrapped into it.
  int value = 0;
  if (!parseIntLikeAtoi(text.view(), &value) || value < kMinFontSize || value > kMaxFontSize) {
    warn(m_hWnd, kFontSizeRange);
    ::SetFocus(GetDlgItem(IDC_FONT_SIZE));
    return;
  }
  // Every other box is checked before anything is applied: a refusal changes nothing.
  int remindAt = 0, rows = 0, within = 0, opacity = 0;
  if (!parseRemindAt(GetDlgItemText(IDC_REMIND_AT).view(), &remindAt)) return Refuse(IDC_REMIND_AT, kRemindAtForm);
  if (!boxNumber(GetDlgItemText(IDC_ROWS), kMinRows, kMaxRows, &rows)) return Refuse(IDC_ROWS, kRowsRange);
  if (!boxNumber(GetDlgItemText(IDC_WITHIN), 0, kMaxWithinDays, &within)) return Refuse(IDC_WITHIN, kWithinRange);
  int hotkey = 0;  // an empty box: none
  const CString hotkeyBox = GetDlgItemText(IDC_HOTKEY);
  if (!trimSpaces(hotkeyBox.view()).empty() && !parseHotkey(hotkeyBox.view(), &hotkey))
    return Refuse(IDC_HOTKEY, kHotkeyForm);
  if (!boxNumber(GetDlgItemText(IDC_OPACITY), kMinOpacity, kMaxOpacity, &opacity))
    return Refuse(IDC_OPACITY, kOpacityRange);

  if (m_itemDir != core->itemDir()) {
    // A folder without a list starts with a copy of the current one: the user's list follows the
    // user to the synced folder. A list already there (from the other computer) is used as it is;
    // the old file is never removed. The copy comes first: a folder that cannot take it is not
    // saved, and the list stays where it was.
    const FilePath moved = core->listPathIn(m_itemDir);
    if (!CopyListInto(moved)) return;
    if (!core->saveItemDir(m_itemDir)) {
      warn(m_hWnd, core->unsavedNote(CCore::Unsaved::ItemDir));
      return;
    }
    itemFilePath = moved;
  }
  chosen.fontSize = value;
  chosen.remind = checked(m_hWnd, IDC_REMIND);
  chosen.remindAt = remindAt;
  chosen.remindSound = checked(m_hWnd, IDC_REMIND_SOUND);
  chosen.rows = rows;
  chosen.order = SendMessageW(GetDlgItem(IDC_ORDER), CB_GETCURSEL, 0, 0) == 1 ? RowOrder::Soon : RowOrder::File;
  chosen.within = within;
  chosen.layer = checked(m_hWnd, IDC_LAYER_NORMAL)    ? WidgetLayer::Normal
                 : checked(m_hWnd, IDC_LAYER_DESKTOP) ? WidgetLayer::Desktop
                                                      : WidgetLayer::Top;
  chosen.lock = checked(m_hWnd, IDC_LOCK);
  chosen.clickThrough = checked(m_hWnd, IDC_CLICK_THROUGH);
  chosen.hideFullScreen = checked(m_hWnd, IDC_HIDE_FULL_SCREEN);
  chosen.holidayRow = checked(m_hWnd, IDC_HOLIDAY_ROW);
  chosen.hotkey = hotkey;
  // The list holds the four themes and always one chosen.
  chosen.theme = static_cast<WidgetTheme>(SendMessageW(GetDlgItem(IDC_THEME), CB_GETCURSEL, 0, 0));
  chosen.opacity = opacity;
  // The size has a message of its own; the rest are stored even when it is not. A settings file that
  // took no size was named just now: one message for one cause.
  const bool sizeStored = core->saveSettings(chosen, {SettingId::FontSize});
  const bool stored = core->saveSettings(
      chosen, {SettingId::Remind, SettingId::RemindAt, SettingId::RemindSound, SettingId::Rows, SettingId::Order,
               SettingId::Within, SettingId::Layer, SettingId::Lock, SettingId::ClickThrough, SettingId::HideFullScreen,
               SettingId::HolidayRow, SettingId::Hotkey, SettingId::Theme, SettingId::Opacity});
  if (!sizeStored)
    warn(m_hWnd, core->unsavedNote(CCore::Unsaved::FontSize, value));
  else if (!stored)
    warn(m_hWnd, core->unsavedNote(CCore::Unsaved::Options));
  ApplyAutostart();
  CDialog::OnOK();
}

void COptionsDlg::ApplyAutostart() {
  const bool wanted = checked(m_hWnd, IDC_AUTOSTART);
  if (m_autostart == AutostartState::Disabled) {
    // Left unchecked: Task Manager's word stands, and the value stays for it to switch on again.
    if (!wanted) return;
    if (ask(m_hWnd, kAskReenableAutostart, DefaultAnswer::Yes) && !clearStartupDisabled())
      warn(m_hWnd, kAutostartNotReenabled);
    return;
  }
  const bool on = m_autostart == AutostartState::On || m_autostart == AutostartState::Stale;
  if (wanted == on && m_autostart != AutostartState::Stale) return;
  if (writeAutostart(wanted)) return;
  warn(m_hWnd, wanted ? kAutostartNotSet : kAutostartNotCleared);
}

void CWidgetDlg::OnAppOptions() {
  if (BringModalToFront()) return;
  const FilePath listBefore = itemFilePath;
  COptionsDlg dialog;
  dialog.chosen = settings;
  if (dialog.DoModal() != IDOK) return;
  const bool clickThroughBefore = settings.clickThroughInEffect();
  const int hotkeyBefore = settings.hotkey;
  settings = dialog.chosen;
  if (settings.hotkey != hotkeyBefore) {
    const std::wstring note = RegisterWidgetHotkey();
    if (!note.empty()) ShowNote(note);
  }
  reminders.useSettings(settings);
  items.showHoliday(settings.holidayRow);
  ApplyDesktopSettings();
  ReadLook();
  if (itemFilePath != listBefore) {
    items.clear();  // a list the new folder lacks shows empty, not the old rows
    LoadItems();
    WatchItemFolder();
  }
  UpdateLayout();
  CheckReminders();
  // The widget no longer answers the mouse: the first time, the way back is told.
  if (settings.clickThroughInEffect() && !clickThroughBefore && !settings.clickThroughTold) {
    ShowNote(gbk::toWide(
        "鼠标穿透已打开：点击会穿过小窗口，落到它下面的窗口。\r\n要移动它或关闭穿透，请右击托盘图标，选择“选项”。"));
    settings.clickThroughTold = true;
    core->saveSettings(settings, {SettingId::ClickThroughTold});
  }
}
