#include "ui/OptionsDlg.h"

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "core/UserInput.h"
#include "framework/Gbk.h"
#include "items/ReminderWatch.h"
#include "items/RowOrder.h"
#include "res/resource.h"

namespace {
const char* const kOrderNames[] = {"文件顺序", "最近的在前"};  // RowOrder::File, RowOrder::Soon
const char kDisabledNote[] = "已在任务管理器中禁用";

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// A whole number from the box within [low, high]; digits pasted past ES_NUMBER too long for an int are
// refused, never wrapped.
bool boxNumber(const CString& text, int low, int high, int* value) {
  return parseIntLikeAtoi(text.view(), value) && *value >= low && *value <= high;
}
}  // namespace

COptionsDlg::COptionsDlg(ReminderWatch& reminders) : CDialog(IDD_OPTIONS), m_reminders(reminders) {}

BOOL COptionsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_FONT_SIZE, core->getStrInt(fontSize));
  check(m_hWnd, IDC_REMIND, m_reminders.enabled);
  SetDlgItemText(IDC_REMIND_AT, CString(remindAtText(m_reminders.remindAt).c_str()));
  check(m_hWnd, IDC_REMIND_SOUND, m_reminders.sound);
  // Disabled in Task Manager: shown unchecked, and said so; only the user's check takes it back.
  m_autostart = readAutostart();
  check(m_hWnd, IDC_AUTOSTART, m_autostart == AutostartState::On || m_autostart == AutostartState::Stale);
  if (m_autostart == AutostartState::Disabled) SetDlgItemText(IDC_AUTOSTART_NOTE, kDisabledNote);
  SetDlgItemText(IDC_ROWS, core->getStrInt(rowsSetting));
  HWND order = GetDlgItem(IDC_ORDER);
  for (const char* name : kOrderNames)
    SendMessageW(order, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gbk::toWide(name).c_str()));
  SendMessageW(order, CB_SETCURSEL, rowOrder == RowOrder::Soon ? 1 : 0, 0);
  SetDlgItemText(IDC_WITHIN, core->getStrInt(withinDays));
  CenterWindow();
  return TRUE;
}

void COptionsDlg::Refuse(int id, const char* message) {
  core->msgboxWarning(m_hWnd, message);
  ::SetFocus(GetDlgItem(id));
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
  // Every other box is checked before anything is applied: a refusal changes nothing.
  int remindAt = 0, rows = 0, within = 0;
  if (!parseRemindAt(GetDlgItemText(IDC_REMIND_AT).view(), &remindAt))
    return Refuse(IDC_REMIND_AT, "提醒时间必须写成“时:分”，从 00:00 到 23:59，例如 09:00！");
  if (!boxNumber(GetDlgItemText(IDC_ROWS), kMinRows, kMaxRows, &rows))
    return Refuse(IDC_ROWS, "显示行数必须是1到20之间的整数！");
  if (!boxNumber(GetDlgItemText(IDC_WITHIN), 0, kMaxWithinDays, &within))
    return Refuse(IDC_WITHIN, "只显示的天数必须是0到36600之间的整数（0 表示全部）！");

  fontSize = value;
  const bool sizeStored = core->saveConfigInt("fsize", value);
  if (!sizeStored) {
    std::wstring text = gbk::toWide(("字体大小 " + core->getStrInt(value) + " 现在就用，但无法保存到设置文件：\r\n").view()) +
                        gbk::utf8ToWide(core->configPath()) +
                        gbk::toWide("\r\n\r\n下次启动时仍是原来的大小。请检查设置文件是否只读或被其他程序占用。");
    MessageBoxW(m_hWnd, text.c_str(), L"Tessaly", MB_OK | MB_ICONWARNING);
  }

  m_reminders.enabled = checked(m_hWnd, IDC_REMIND);
  m_reminders.remindAt = remindAt;
  m_reminders.sound = checked(m_hWnd, IDC_REMIND_SOUND);
  rowsSetting = rows;
  rowOrder = SendMessageW(GetDlgItem(IDC_ORDER), CB_GETCURSEL, 0, 0) == 1 ? RowOrder::Soon : RowOrder::File;
  withinDays = within;
  bool stored = core->saveConfigInt("remind", m_reminders.enabled ? 1 : 0);
  stored = core->saveConfigText("remindat", gbk::toWide(remindAtText(remindAt)).c_str()) && stored;
  stored = core->saveConfigInt("remindsound", m_reminders.sound ? 1 : 0) && stored;
  stored = core->saveConfigInt("rows", rows) && stored;
  stored = core->saveConfigText("order", gbk::toWide(rowOrderWord(rowOrder)).c_str()) && stored;
  stored = core->saveConfigInt("within", within) && stored;
  // A settings file that took no size was named just now: one message for one cause.
  if (!stored && sizeStored) {
    std::wstring text = gbk::toWide("提醒和显示的设置现在就用，但无法保存到设置文件：\r\n") +
                        gbk::utf8ToWide(core->configPath()) +
                        gbk::toWide("\r\n\r\n下次启动时仍是原来的设置。请检查设置文件是否只读或被其他程序占用。");
    MessageBoxW(m_hWnd, text.c_str(), L"Tessaly", MB_OK | MB_ICONWARNING);
  }
  ApplyAutostart();
  CDialog::OnOK();
}

void COptionsDlg::ApplyAutostart() {
  const bool wanted = checked(m_hWnd, IDC_AUTOSTART);
  if (m_autostart == AutostartState::Disabled) {
    // Left unchecked: Task Manager's word stands, and the value stays for it to switch on again.
    if (!wanted) return;
    const std::wstring question = gbk::toWide("开机时自动启动已在任务管理器的“启动”页中禁用。\r\n\r\n要重新启用吗？");
    if (MessageBoxW(m_hWnd, question.c_str(), L"Tessaly", MB_YESNO | MB_ICONQUESTION) == IDYES) {
      if (!clearStartupDisabled())
        core->msgboxWarning(m_hWnd, "无法重新启用开机时自动启动：任务管理器中的禁用未能取消。");
    }
    return;
  }
  const bool on = m_autostart == AutostartState::On || m_autostart == AutostartState::Stale;
  if (wanted == on && m_autostart != AutostartState::Stale) return;
  if (writeAutostart(wanted)) return;
  core->msgboxWarning(m_hWnd, wanted ? "无法设置开机时自动启动：写入注册表后读回的值不对，可能被安全软件阻止了。"
                                     : "无法取消开机时自动启动：注册表中的启动项未能删除，可能被安全软件阻止了。");
}

void CWidgetDlg::LoadSettings() {
  reminders.enabled = core->getConfigInt("remind") != 0;  // never saved: on
  const std::string at = gbk::fromWide(core->getConfigText("remindat"));
  reminders.remindAt = kDefaultRemindAt;
  if (!at.empty() && !parseRemindAt(at, &reminders.remindAt)) reminders.remindAt = kDefaultRemindAt;
  reminders.sound = core->getConfigInt("remindsound") == 1;
  reminders.log.parse(gbk::fromWide(core->getConfigText("shown", kReminderSection)));
  rowsSetting = rowsOrDefault(core->getConfigInt("rows"));
  rowOrder = rowOrderFromWord(gbk::fromWide(core->getConfigText("order")));
  withinDays = withinOrDefault(core->getConfigInt("within"));
}

void CWidgetDlg::OnAppOptions() {
  if (BringModalToFront()) return;
  COptionsDlg dialog(reminders);
  if (dialog.DoModal() != IDOK) return;
  UpdateLayout();
  CheckReminders();
}
