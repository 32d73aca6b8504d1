// CWidgetDlg: the widget window, a borderless layered dialog that runs as the program's main modal
// dialog. Its routines live beside the subsystem they belong to: lifecycle in app/, items in items/,
// layout and drawing in display/, tray, menus, behaviour and dialogs in ui/.
#pragma once
#include "display/DesktopManners.h"
#include "display/LayoutMetrics.h"
#include "framework/AfxWin.h"
#include "items/ItemFolderWatch.h"
#include "ui/RowTips.h"
#include "ui/WinEventHook.h"

#include <gdiplus.h>

#include <string>

class CItemsDlg;

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

constexpr UINT IDT_MINUTE = 1;
constexpr UINT kMinuteMs = 60000;
constexpr UINT TRAY_ICON_UID = 100;
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 100;
// Adds the tray icon once, a moment after the widget is first shown.
constexpr UINT IDT_TRAY_ADD = 2;
constexpr UINT kTrayAddDelayMs = 500;
// One look at the foreground window once it has settled after an event.
constexpr UINT IDT_FULL_SCREEN = 30;
constexpr UINT kForegroundSettleMs = 250;
// One look at the list file once its folder has been quiet.
constexpr UINT IDT_ITEM_RELOAD = 31;
// Something changed in the list's folder (sent by the message loop when the watch's event is set).
constexpr UINT WM_ITEM_FOLDER_CHANGED = WM_APP + 30;

class CWidgetDlg : public CDialog {
 public:
  explicit CWidgetDlg(CWnd* parent = nullptr);

  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;

  // Items (items/).
  void LoadItems();
  void CountDays();
  // Watches the folder of itemFilePath for changes to the list and looks at the file now; to be
  // called again whenever itemFilePath changes.
  void WatchItemFolder();
  // Reads the list again when the file differs from the one loaded (never while the editor is open).
  void CheckItemFile();

  // Layout and drawing (display/).
  void UpdateLayout();
  // The metrics alone, from fontSize at dpi and the loaded names; UpdateLayout's first part.
  void ComputeMetrics();
  // The DPI of the monitor the widget is on.
  int WindowDpi() const;
  void RenderWidget();
  void PaintBackgrounds(Gdiplus::GpGraphics* graphics);
  void DrawItemTexts(Gdiplus::GpGraphics* graphics);

  // Tray icon and menus (ui/).
  bool NotifyTrayIcon(DWORD operation, CString tip);
  void ShowPopupMenu(int subMenuIndex);
  // The rows' tooltips follow the layout (ui/).
  void UpdateRowTips();

  LayoutMetrics layout;
  HICON appIcon = nullptr;
  HMODULE user32Module = nullptr;
  UpdateLayeredWindowFn updateLayeredWindowProc = nullptr;
  BLENDFUNCTION blendFunction = {};
  int dpi = kBaseDpi;  // the DPI the layout is for
  // The widget's top-left corner as remembered; hasPosition is false until one is known.
  int posLeft = 0;
  int posTop = 0;
  bool hasPosition = false;
  HDC memoryDC = nullptr;
  bool trayIconAdded = false;
  RowTips rowTips;
  // Why the item file that is there could not be read at the last load; empty when it was read or is
  // simply missing (the widget's ordinary empty state).
  CString loadProblem;
  // The editor while it is open, so that quitting and the end of the session can reach its text.
  CItemsDlg* openEditor = nullptr;
  ItemFolderWatch itemWatch;

  // Layer, lock, click-through and full-screen (ui/).
  void ReadDesktopSettings();
  // Puts the settings in effect: style, layer, the hooks that follow the foreground window.
  void ApplyDesktopSettings();
  void StopDesktopHooks();
  void PlaceInLayer();
  // Hides or shows the widget for a full-screen program, and lifts a desktop-layer widget above a
  // desktop brought in front.
  void CheckForeground();
  void ShowAsWanted();
  DesktopManners manners;
  ScopedWinEventHook foregroundHook;
  ScopedWinEventHook moveHook;  // the foreground window's thread

  // One dialog at a time: when a dialog or message box of the program is open, brings it to the
  // front, flashes it and returns true.
  bool BringModalToFront();
  // A note the user should see without being stopped: a balloon from the tray icon, or a message
  // box when there is no icon.
  void ShowNote(const std::wstring& text);
  // The notes due at start (an unreadable list, text recovered at the last log-off), once the tray
  // icon is there (app/).
  void ShowStartNotes();

 protected:
  // Lifecycle (app/).
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnQueryEndSession(WPARAM, LPARAM);
  LRESULT OnEndSession(WPARAM, LPARAM);
  // A second start of the program asks the running widget to come forward.
  LRESULT OnActivateRequest(WPARAM, LPARAM);
  void PlaceAtStart();
  // Centres the widget on the primary monitor's work area unless at (left, top) it can be grabbed on
  // some monitor's work area; the place it ends at becomes the remembered one (not yet saved).
  void KeepReachable(int left, int top);
  void CentreOnPrimary();
  LRESULT OnDisplayChange(WPARAM, LPARAM);
  LRESULT OnSettingChange(WPARAM, LPARAM);
  void SavePosition();

  // Layout (display/).
  LRESULT OnDpiChanged(WPARAM, LPARAM);

  // Tray icon and menus (ui/).
  LRESULT OnTrayNotify(WPARAM, LPARAM);
  void OnTrayAddTimer();
  LRESULT OnTaskbarCreated(WPARAM, LPARAM);
  LRESULT OnRButtonUp(WPARAM, LPARAM);
  LRESULT OnNotify(WPARAM, LPARAM);

  // Window behaviour and commands (ui/).
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  LRESULT OnTimer(WPARAM, LPARAM);
  void OnMinuteTick();
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnWindowPosChanging(WPARAM, LPARAM);
  LRESULT OnItemFolderChanged(WPARAM, LPARAM);
  // Above every ordinary window, set explicitly: the template's system-modal style does not do it
  // everywhere.
  void StayOnTop();
  void OnAppHide();
  void OnAppAbout();
  void OnAppQuit();

  // Dialogs (ui/).
  void OnAppItems();
  void OnAppOptions();

  DECLARE_MESSAGE_MAP()
};
