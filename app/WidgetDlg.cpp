// The widget's lifecycle: creation, initialisation (settings, items, first layout, place; the tray icon
// once the widget is shown)
// and destruction (position saved, tray icon removed, state freed).
#include "app/WidgetDlg.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "app/AppState.h"
#include "app/SingleInstance.h"
#include "core/Core.h"
#include "core/RecoveryFiles.h"
#include "framework/Gbk.h"
#include "framework/Timeline.h"
#include "res/resource.h"
#include "res/Texts.h"
#include "ui/ItemsDlg.h"
#include "ui/Messages.h"

namespace {
// Sent to every top-level window when the taskbar is created anew (the shell restarted).
const UINT WM_TASKBAR_CREATED = RegisterWindowMessageW(L"TaskbarCreated");
const UINT WM_ACTIVATE_REQUEST = activateMessage();

const char* const kRecoverySeenKey = settingKey(SettingId::RecoverySeen).name;

// The list's path without ".txt": recovery files are named after it and go beside it, wherever it lives.
FilePath listStem() { return itemFilePath.substr(0, itemFilePath.size() - 4); }

}  // namespace

BEGIN_MESSAGE_MAP(CWidgetDlg)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_MESSAGE(WM_DESTROY, OnDestroy)
  ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
  ON_MESSAGE(WM_ENDSESSION, OnEndSession)
  ON_MESSAGE(WM_DISPLAYCHANGE, OnDisplayChange)
  ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
  ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
  ON_MESSAGE(WM_POWERBROADCAST, OnPowerBroadcast)
  ON_MESSAGE(WM_TIMECHANGE, OnTimeChange)
  ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
  ON_MESSAGE(WM_TIMER, OnTimer)
  ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
  ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
  ON_MESSAGE(WM_ITEM_FOLDER_CHANGED, OnItemFolderChanged)
  ON_MESSAGE(WM_RBUTTONUP, OnRButtonUp)
  ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
  ON_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotify)
  ON_MESSAGE(WM_NOTIFY, OnNotify)
  ON_MESSAGE(WM_HOTKEY, OnHotkey)
  ON_MESSAGE(WM_ACTIVATEAPP, OnActivateApp)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_MESSAGE(WM_OPEN_ROW, OnOpenRow)
  ON_REGISTERED_MESSAGE(WM_TASKBAR_CREATED, OnTaskbarCreated)
  ON_REGISTERED_MESSAGE(WM_ACTIVATE_REQUEST, OnActivateRequest)
  ON_COMMAND(ID_APP_ITEMS, OnAppItems)
  ON_COMMAND(ID_APP_ADD, OnAppAdd)
  ON_COMMAND(ID_APP_EDIT_ROW, OnAppEditRow)
  ON_COMMAND(ID_APP_OPTIONS, OnAppOptions)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_APP_QUIT, OnAppQuit)
  ON_COMMAND(ID_APP_HIDE, OnAppHide)
  ON_COMMAND(ID_APP_EXPORT, OnAppExport)
END_MESSAGE_MAP()

CWidgetDlg::CWidgetDlg(CWnd* parent) : CDialog(IDD_WIDGET, parent) {
  tray.icon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

LRESULT CWidgetDlg::OnCreate(WPARAM, LPARAM) {
  if (Default() == -1) return -1;
  render.blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  timelineMark("window created");
  return 0;
}

BOOL CWidgetDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // At once, so that a second start finds this widget also while it is still starting.
  publishInstanceWindow(m_hWnd);
  core = new (std::nothrow) CCore;
  if (!core) {
    fail(m_hWnd, kNoMemory);
    EndDialog(IDABORT);
    return TRUE;
  }
  ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW, 0);

  core->autoFileConfig();
  // The dozen keys the start asks for come from one read of each section.
  core->readSettingsOnce(true);
  appPath = core->getAppFilePath();
  itemFilePath = core->listPath();
  LoadSettings();
  ReadLook();
  fontFace = "黑体";
  core->readSettingsOnce(false);
  SetWindowText("Tessaly");
  timelineMark("settings read");

  LoadItems();
  timelineMark("list read");
  if (!place.known) place.left = place.top = 0;
  render.dpi = WindowDpi();
  // Placed between measuring and drawing: the window is moved and sized once, and the first frame
  // goes straight to its place.
  MeasureLayout();
  PlaceAtStart();
  ApplyLayout();
  // The place may lie on a monitor of another DPI than the one the widget was created on.
  if (WindowDpi() != render.dpi) {
    render.dpi = WindowDpi();
    UpdateLayout();
  }
  ApplyDesktopSettings();
  // Adding the icon is a round trip to the shell, another process; asked for now, it would hold up
  // the first frame on screen, which the system shows only once the dialog is up and its messages
  // run. Half a second later nobody can tell. The list's folder is watched from then on too.
  ::SetTimer(m_hWnd, IDT_AFTER_START, kAfterStartDelayMs, nullptr);
  // Shown here, without activation, before the dialog manager brings it to the foreground: in the
  // order of a plain window's show and SetForegroundWindow. The dialog manager's own order (the
  // hidden window activated, then shown) costs some milliseconds more under Wine.
  ShowWindow(SW_SHOWNA);
  timelineMark("initialised");
  return TRUE;
}

namespace {

BOOL CALLBACK addWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info = {sizeof info, {}, {}, 0};
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcWork;
    reinterpret_cast<std::vector<PixelRect>*>(areas)->push_back({r.left, r.top, r.right, r.bottom});
  }
  return TRUE;
}

}  // namespace

// Keeps the remembered place when the widget can be grabbed there; otherwise (first run, monitor
// gone, a place hand-edited off screen) centres it, and that becomes the remembered place.
void CWidgetDlg::PlaceAtStart() {
  if (place.known) {
    KeepReachable(place.left, place.top);
  } else {
    CentreOnPrimary();
    place.known = true;
  }
}

void CWidgetDlg::KeepReachable(int left, int top) {
  std::vector<PixelRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, addWorkArea, reinterpret_cast<LPARAM>(&areas));
  if (!isPlaceReachable(left, top, render.layout.windowWidth, render.layout.rowHeight, areas.data(),
                        static_cast<int>(areas.size()))) {
    CentreOnPrimary();
    return;
  }
  place.left = left;
  place.top = top;
}

void CWidgetDlg::CentreOnPrimary() {
  MONITORINFO info = {sizeof info, {}, {}, 0};
  const POINT origin = {0, 0};
  GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
  const RECT& work = info.rcWork;
  const PixelRect centred = centredGrabbable({work.left, work.top, work.right, work.bottom}, render.layout.windowWidth,
                                             render.layout.windowHeight);
  place.left = centred.left;
  place.top = centred.top;
}

// Monitors added, removed or resized, or the taskbar moved: a widget left where it cannot be grabbed
// comes back. The settings file is left alone until the user drags or quits.
LRESULT CWidgetDlg::OnDisplayChange(WPARAM, LPARAM) {
  RECT rect;
  if (!place.known || !GetWindowRect(m_hWnd, &rect)) return 0;
  KeepReachable(rect.left, rect.top);
  if (place.left != rect.left || place.top != rect.top)
    ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

// A time-zone change may come as a setting change alone: the counts are redone once the zone's rules
// are read afresh.
LRESULT CWidgetDlg::OnSettingChange(WPARAM what, LPARAM area) {
  if (what == SPI_SETWORKAREA) OnDisplayChange(0, 0);
  const wchar_t* name = reinterpret_cast<const wchar_t*>(area);
  if (what == 0 && name && (lstrcmpiW(name, L"intl") == 0 || lstrcmpiW(name, L"TimeZone") == 0))
    ::SetTimer(m_hWnd, IDT_CLOCK_SETTLE, kClockSettleMs, nullptr);
  // High contrast, the app mode ("ImmersiveColorSet") and the text size all come as setting changes.
  FollowSystemLook();
  return Default();
}

void CWidgetDlg::LoadSettings() {
  settings = core->loadSettings();
  place.left = settings.placeLeft;
  place.top = settings.placeTop;
  place.known = settings.hasPlace();
  reminders.useSettings(settings);
  reminders.log.parse(gbk::fromWide(core->getConfigText("shown", kReminderSection)),
                      gbk::fromWide(core->getConfigText("today", kReminderSection)));
}

void CWidgetDlg::SavePosition() {
  if (!core || !place.known) return;
  RECT rect;
  if (!GetWindowRect(m_hWnd, &rect)) return;
  settings.placeLeft = place.left = rect.left;
  settings.placeTop = place.top = rect.top;
  core->saveSettings(settings, {SettingId::PlaceLeft, SettingId::PlaceTop});
}

// What the user should know from the start, said once the icon is there so that it can be said
// without stopping the user; one balloon shows at a time, so the notes share it. A recovery file is
// named once: the settings file keeps the write time of the newest one named.
void CWidgetDlg::ShowStartNotes() {
  if (!core) return;
  LoadHolidays();  // its note waited for the tray icon
  std::wstring note = core->placeNote();
  const std::wstring folderNote = core->itemDirNote();
  if (!folderNote.empty()) note += (note.empty() ? L"" : L"\r\n\r\n") + folderNote;
  if (!keyboard.note.empty()) note += (note.empty() ? L"" : L"\r\n\r\n") + keyboard.note;
  keyboard.note.clear();
  if (!loadProblem.IsEmpty())
    note += (note.empty() ? L"" : L"\r\n\r\n") + gbk::toWide("无法读取纪念日文件，列表暂时是空的：\r\n") +
            gbk::utf8ToWide(itemFilePath) + L"\r\n" + gbk::toWide(loadProblem.view()) + L"\u3002";
  const std::vector<RecoveryFile> found =
      findRecoveryFiles(listStem(), core->appDataHomeFolder(), gbk::wideToUtf8(thisInstanceName()));
  const std::vector<RecoveryFile> recovered =
      unannouncedRecoveryFiles(found, parseSeenMark(gbk::wideToUtf8(core->getConfigText(kRecoverySeenKey))));
  FilePath opens;
  if (!recovered.empty()) {
    note += (note.empty() ? L"" : L"\r\n\r\n") + gbk::utf8ToWide(recoveryNoteUtf8(recovered));
    opens = recovered.back().path;
    core->saveConfigText(kRecoverySeenKey, gbk::utf8ToWide(seenMarkText(recovered.back().written)).c_str());
    // Not stored: the note comes again at the next start, and says why.
    const std::wstring unsaved = core->untoldUnsavedNote();
    if (!unsaved.empty()) note += L"\r\n\r\n" + unsaved;
  }
  if (!note.empty()) ShowNote(note, opens);
}

void CWidgetDlg::TellSettingsNotSaved() {
  const std::wstring note = core ? core->untoldUnsavedNote() : std::wstring();
  if (!note.empty()) ShowNote(note);
}

// The session is ending with unsaved text in the editor: it goes to a new recovery file beside the
// list, else in the second place; false when no place could take it.
bool CWidgetDlg::WriteRecoveryFile() {
  if (!recovery.writtenThisRun.empty() && openEditor->WriteRecovery(recovery.writtenThisRun)) return true;
  const FilePath written = writeRecoveryFile(listStem(), core->appDataHomeFolder(),
                                             [this](const FilePath& path) { return openEditor->WriteRecovery(path); });
  if (written.empty()) return false;
  recovery.writtenThisRun = written;
  return true;
}

LRESULT CWidgetDlg::OnDestroy(WPARAM, LPARAM) {
  timelineMark("destroying");
  Default();
  withdrawInstanceWindow(m_hWnd);
  KillTimer(m_hWnd, IDT_MINUTE);
  KillTimer(m_hWnd, IDT_AFTER_START);
  KillTimer(m_hWnd, IDT_TRAY_RETRY);
  KillTimer(m_hWnd, IDT_CLOCK_SETTLE);
  KillTimer(m_hWnd, IDT_ITEM_RELOAD);
  StopDesktopHooks();
  if (keyboard.registered) UnregisterHotKey(m_hWnd, IDH_KEYBOARD);
  DisconnectAccessible();
  itemWatch.Stop();
  timelineMark("list watch closed");
  SavePosition();
  timelineMark("position saved");
  if (tray.added) NotifyTrayIcon(NIM_DELETE, "");
  tray.added = false;
  timelineMark("tray icon removed");
  items.clear();
  delete core;
  core = nullptr;
  return 0;
}

// Log-off or shut-down asks nothing and loses nothing: the editor's unsaved text goes to a recovery
// file, and the next start says so. When no file can be written the session may not end yet, and
// Windows shows the user why.
LRESULT CWidgetDlg::OnQueryEndSession(WPARAM, LPARAM) {
  if (!openEditor || !openEditor->HasChanges() || WriteRecoveryFile()) {
    ShutdownBlockReasonDestroy(m_hWnd);
    return TRUE;
  }
  ShutdownBlockReasonCreate(m_hWnd, gbk::toWide("纪念日编辑框中有未保存的内容，无法写入恢复文件").c_str());
  return FALSE;
}

// Log-off or shut-down: the process may end without the widget being destroyed.
LRESULT CWidgetDlg::OnEndSession(WPARAM ending, LPARAM) {
  if (ending) {
    withdrawInstanceWindow(m_hWnd);  // no hand-over to a widget whose session is ending
    SavePosition();
    if (tray.added) NotifyTrayIcon(NIM_DELETE, "");
    tray.added = false;
  }
  return 0;
}
