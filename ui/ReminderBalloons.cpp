// Reminders from the tray icon: a balloon titled "纪念日提醒" with the app's icon, quiet unless the
// settings ask for sound and held back while the user cannot take a notification (full-screen game,
// presentation: asked again at the next minute tick); what it showed goes into the settings file at
// once, and the tray tip lists today's reminders until the day ends, across a restart (the system's
// quiet hours may swallow a balloon). A click on the reminder balloon brings the widget forward.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "framework/Gbk.h"
#include "res/resource.h"

namespace {

// SHQueryUserNotificationState came with Vista; asked through the DLL so that older systems start.
bool userCanTakeNotification() {
  using QueryFn = HRESULT(WINAPI*)(int*);
  static const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHQueryUserNotificationState")));
  int state = 0;
  if (!query || FAILED(query(&state))) return true;
  // 5 accepts notifications, 6 quiet time (the balloon says it respects it; the tip keeps the list);
  // 1 not present (locked, screen saver), 2 busy, 3 full-screen Direct3D, 4 presentation, 7 an app.
  return state == 5 || state == 6 || state == 0;
}

template <size_t N>
void copyWide(wchar_t (&field)[N], const std::wstring& text) {
  lstrcpynW(field, text.c_str(), static_cast<int>(N));
}

bool storeReminderLog(ReminderWatch& reminders, CTime now) {
  reminders.log.prune({now.GetYear(), now.GetMonth(), now.GetDay()});
  const bool stored = core->saveConfigText("shown", gbk::toWide(reminders.log.serialize()).c_str(), kReminderSection);
  return core->saveConfigText("today", gbk::toWide(reminders.log.serializeDay()).c_str(), kReminderSection) && stored;
}

// The balloon with the user icon where the shell knows it (Vista on: hBalloonIcon), else the info icon.
bool showReminderBalloon(HWND owner, HICON icon, const std::string& text, bool sound) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = TRAY_ICON_UID;
  data.uFlags = NIF_INFO;
  data.uTimeout = 30000;
  data.dwInfoFlags = NIIF_USER | NIIF_LARGE_ICON | NIIF_RESPECT_QUIET_TIME | (sound ? 0 : NIIF_NOSOUND);
  data.hBalloonIcon = icon;
  copyWide(data.szInfoTitle, gbk::toWide("纪念日提醒"));
  copyWide(data.szInfo, gbk::toWide(text));
  if (Shell_NotifyIconW(NIM_MODIFY, &data)) return true;
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.dwInfoFlags = NIIF_INFO | (sound ? 0 : NIIF_NOSOUND);
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

}  // namespace

void CWidgetDlg::CheckReminders() {
  if (!core) return;
  const CTime now = core->getTimeNow();
  // At the first check of a day (the first after a start too) the tip lists what the log says was
  // shown that day.
  if (reminders.newDay(now, items)) UpdateTrayTip();
  const std::vector<DueReminder> due = reminders.due(items, now);
  // The day before a 补班 day: its note under the reminders, or alone in the balloon.
  std::string noteKey;
  const std::string note = reminders.dueWorkdayNote(now, &noteKey);
  // Without the icon, or while the user is away or busy, the reminders wait for a later tick.
  if ((due.empty() && note.empty()) || !tray.added || !userCanTakeNotification()) return;
  std::string text = due.empty() ? std::string() : reminderBalloonText(items.records(), due);
  if (!note.empty()) text += (text.empty() ? "" : "\r\n") + note;
  if (!showReminderBalloon(m_hWnd, tray.icon, text, reminders.sound)) return;
  reminders.shown(items.records(), due, now);
  if (!note.empty()) reminders.log.add(noteKey);
  if (!storeReminderLog(reminders, now) && reminders.storeFailed())
    showReminderBalloon(m_hWnd, tray.icon, text + "\r\n" + ReminderWatch::noteUnstored(), reminders.sound);
  UpdateTrayTip();
}

// "Tessaly" alone as before, or with today's reminders under it, cut to the tip's 127 characters.
void CWidgetDlg::UpdateTrayTip() {
  if (!tray.added) return;
  if (reminders.tipLines().empty()) {
    NotifyTrayIcon(NIM_MODIFY, "Tessaly");
    return;
  }
  NOTIFYICONDATAW data = {};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = m_hWnd;
  data.uID = TRAY_ICON_UID;
  data.uFlags = NIF_TIP;
  copyWide(data.szTip, gbk::toWide("Tessaly\n" + reminders.tipLines()));
  Shell_NotifyIconW(NIM_MODIFY, &data);
}
