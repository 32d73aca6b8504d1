// The widget's lifecycle: creation, initialisation (settings, items, first layout, place; the tray icon
// once the widget is shown)
// and destruction (position saved, tray icon removed, state freed).
#include "app/WidgetDlg.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "app/AppState.h"
#include "app/SingleInstance.h"
#include "core/Core.h"
#include "framework/Gbk.h"
#include "res/resource.h"
#include "ui/ItemsDlg.h"

namespace {
// Sent to every top-level window when the taskbar is created anew (the shell restarted).
const UINT WM_TASKBAR_CREATED = RegisterWindowMessageW(L"TaskbarCreated");
const UINT WM_ACTIVATE_REQUEST = activateMessage();

// Where the editor's unsaved text goes when the session ends, beside the list.
FilePath recoveryPath() { return appPath + "_items.recovered.txt"; }

// The recovery file is newer than the list: the user has not saved the list since it was written.
bool recoveryPending() {
  WIN32_FILE_ATTRIBUTE_DATA recovery, list;
  if (!GetFileAttributesExW(widePath(recoveryPath()).c_str(), GetFileExInfoStandard, &recovery)) return false;
  if (!GetFileAttributesExW(widePath(itemFilePath).c_str(), GetFileExInfoStandard, &list)) return true;
  return CompareFileTime(&recovery.ftLastWriteTime, &list.ftLastWriteTime) > 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWidgetDlg)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_MESSAGE(WM_DESTROY, OnDestroy)
  ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
  ON_MESSAGE(WM_ENDSESSION, OnEndSession)
  ON_MESSAGE(WM_DISPLAYCHANGE, OnDisplayChange)
  ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
  ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
  ON_MESSAGE(WM_PAINT, OnPaint)
  ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
  ON_MESSAGE(WM_TIMER, OnTimer)
  ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
  ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
  ON_MESSAGE(WM_ITEM_FOLDER_CHANGED, OnItemFolderChanged)
  ON_MESSAGE(WM_RBUTTONUP, OnRButtonUp)
  ON_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotify)
  ON_MESSAGE(WM_NOTIFY, OnNotify)
  ON_REGISTERED_MESSAGE(WM_TASKBAR_CREATED, OnTaskbarCreated)
  ON_REGISTERED_MESSAGE(WM_ACTIVATE_REQUEST, OnActivateRequest)
  ON_COMMAND(ID_APP_ITEMS, OnAppItems)
  ON_COMMAND(ID_APP_OPTIONS, OnAppOptions)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_APP_QUIT, OnAppQuit)
  ON_COMMAND(ID_APP_HIDE, OnAppHide)
END_MESSAGE_MAP()

CWidgetDlg::CWidgetDlg(CWnd* parent) : CDialog(IDD_WIDGET, parent) {
  appIcon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

LRESULT CWidgetDlg::OnCreate(WPARAM, LPARAM) {
  if (Default() == -1) return -1;
  user32Module = LoadLibraryW(L"User32.DLL");
  if (!user32Module) {
    AfxMessageBox("User32.dll ERROR!", MB_OK);
    std::exit(0);
  }
  updateLayeredWindowProc =
      reinterpret_cast<UpdateLayeredWindowFn>(reinterpret_cast<void*>(GetProcAddress(user32Module, "UpdateLayeredWindow")));
  if (!updateLayeredWindowProc) {
    AfxMessageBox("这个版本的 Windows 不支持半透明窗口（缺少 UpdateLayeredWindow），Tessaly 无法显示，程序将退出。",
                  MB_OK | MB_ICONERROR);
    return -1;
  }
  blendFunction = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return 0;
}

BOOL CWidgetDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // At once, so that a second start finds this widget also while it is still starting.
  publishInstanceWindow(m_hWnd);
  ItemTable = static_cast<ItemRecord*>(std::malloc(kItemTableBytes));
  core = ItemTable ? new (std::nothrow) CCore : nullptr;
  if (!core) {
    AfxMessageBox("内存不足，Tessaly 无法启动，程序将退出。", MB_OK | MB_ICONERROR);
    EndDialog(IDABORT);
    return TRUE;
  }
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));
  ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW, 0);

  core->autoFileConfig();
  appPath = core->getAppFilePath();
  itemFilePath = appPath + "_items.txt";
  posLeft = core->getConfigInt("posleft");
  posTop = core->getConfigInt("postop");
  hasPosition = posLeft != kConfigNotSaved && posTop != kConfigNotSaved;
  fontSize = fontSizeOrDefault(core->getConfigInt("fsize"));
  fontFace = "黑体";
  ReadDesktopSettings();
  SetWindowText("Tessaly");

  // The first layout measures slot 0 even when no file is read: it must hold an empty name.
  itemCount = 0;
  std::memset(ItemTable, 0, kItemTableBytes);
  LoadItems();
  if (!hasPosition) posLeft = posTop = 0;
  dpi = WindowDpi();
  UpdateLayout();
  PlaceAtStart();
  // The place may lie on a monitor of another DPI than the one the widget was created on.
  if (WindowDpi() != dpi) {
    dpi = WindowDpi();
    UpdateLayout();
  }
  ApplyDesktopSettings();
  itemWatch.Start(itemFilePath, m_hWnd, WM_ITEM_FOLDER_CHANGED);
  // Adding the icon is a round trip to the shell, another process; asked for now, it would hold up
  // the first frame on screen, which the system shows only once the dialog is up and its messages
  // run. Half a second later nobody can tell.
  ::SetTimer(m_hWnd, IDT_TRAY_ADD, kTrayAddDelayMs, nullptr);
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
  if (hasPosition) {
    KeepReachable(posLeft, posTop);
  } else {
    CentreOnPrimary();
    hasPosition = true;
  }
}

void CWidgetDlg::KeepReachable(int left, int top) {
  std::vector<PixelRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, addWorkArea, reinterpret_cast<LPARAM>(&areas));
  if (!isPlaceReachable(left, top, layout.windowWidth, layout.rowHeight, areas.data(), static_cast<int>(areas.size()))) {
    CentreOnPrimary();
    return;
  }
  posLeft = left;
  posTop = top;
}

void CWidgetDlg::CentreOnPrimary() {
  MONITORINFO info = {sizeof info, {}, {}, 0};
  const POINT origin = {0, 0};
  GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
  const RECT& work = info.rcWork;
  const PixelRect place =
      centredIn({work.left, work.top, work.right, work.bottom}, layout.windowWidth, layout.windowHeight);
  ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  posLeft = place.left;
  posTop = place.top;
}

// Monitors added, removed or resized, or the taskbar moved: a widget left where it cannot be grabbed
// comes back. The settings file is left alone until the user drags or quits.
LRESULT CWidgetDlg::OnDisplayChange(WPARAM, LPARAM) {
  RECT rect;
  if (hasPosition && GetWindowRect(m_hWnd, &rect)) KeepReachable(rect.left, rect.top);
  return 0;
}

LRESULT CWidgetDlg::OnSettingChange(WPARAM what, LPARAM) {
  if (what == SPI_SETWORKAREA) OnDisplayChange(0, 0);
  return Default();
}

void CWidgetDlg::SavePosition() {
  if (!core || !hasPosition) return;
  RECT rect;
  if (!GetWindowRect(m_hWnd, &rect)) return;
  posLeft = rect.left;
  posTop = rect.top;
  core->saveConfigInt("posleft", posLeft);
  core->saveConfigInt("postop", posTop);
}

// What the user should know from the start, said once the icon is there so that it can be said
// without stopping the user; one balloon shows at a time, so the notes share it.
void CWidgetDlg::ShowStartNotes() {
  std::wstring note;
  if (!loadProblem.IsEmpty())
    note = gbk::toWide("无法读取纪念日文件，列表暂时是空的：\r\n") + gbk::utf8ToWide(itemFilePath) + L"\r\n" +
           gbk::toWide(loadProblem.view()) + L"\u3002";
  if (recoveryPending())
    note += (note.empty() ? L"" : L"\r\n\r\n") +
            gbk::toWide("上次注销或关机时，纪念日编辑器中未保存的文本已保存到：\r\n") +
            gbk::utf8ToWide(recoveryPath());
  if (!note.empty()) ShowNote(note);
}

LRESULT CWidgetDlg::OnDestroy(WPARAM, LPARAM) {
  Default();
  withdrawInstanceWindow(m_hWnd);
  KillTimer(m_hWnd, IDT_MINUTE);
  KillTimer(m_hWnd, IDT_TRAY_ADD);
  KillTimer(m_hWnd, IDT_ITEM_RELOAD);
  StopDesktopHooks();
  itemWatch.Stop();
  SavePosition();
  if (trayIconAdded) NotifyTrayIcon(NIM_DELETE, "");
  trayIconAdded = false;
  if (ItemTable) {
    std::free(ItemTable);
    ItemTable = nullptr;
  }
  itemCount = 0;
  delete core;
  core = nullptr;
  return 0;
}

// Log-off or shut-down asks nothing and loses nothing: the editor's unsaved text goes to the recovery
// file, and the next start says so.
LRESULT CWidgetDlg::OnQueryEndSession(WPARAM, LPARAM) {
  if (openEditor && openEditor->HasChanges()) openEditor->WriteRecovery(recoveryPath());
  return TRUE;
}

// Log-off or shut-down: the process may end without the widget being destroyed.
LRESULT CWidgetDlg::OnEndSession(WPARAM ending, LPARAM) {
  if (ending) {
    SavePosition();
    if (trayIconAdded) NotifyTrayIcon(NIM_DELETE, "");
    trayIconAdded = false;
  }
  return 0;
}
