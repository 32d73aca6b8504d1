// CWidgetDlg: the widget window, a borderless layered dialog that runs as the program's main modal
// dialog. Its routines live beside the subsystem they belong to: lifecycle in app/, items in items/,
// layout and drawing in display/, tray, menus, behaviour and dialogs in ui/.
#pragma once
#include "core/RecoveryFiles.h"
#include "display/DesktopManners.h"
#include "display/LayoutMetrics.h"
#include "display/Palette.h"
#include "framework/AfxWin.h"
#include "items/ItemFolderWatch.h"
#include "items/ItemList.h"
#include "items/ReminderWatch.h"
#include "ui/RowTips.h"
#include "ui/WinEventHook.h"

#include <gdiplus.h>

#include <string>

class CItemsDlg;
class WidgetAccessible;

constexpr UINT IDT_MINUTE = 1;
constexpr UINT kMinuteMs = 60000;
constexpr UINT TRAY_ICON_UID = 100;
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 100;
// Once, a moment after the widget is first shown: what the first frame does not need (the window's
// icons, the Run value renewed, the tray icon, the list's folder watched, a killed save's leftover).
constexpr UINT IDT_AFTER_START = 2;
constexpr UINT kAfterStartDelayMs = 500;
// At log-on the shell may not take the icon yet: asked again every 2 s, for two minutes; after that
// the shell's "TaskbarCreated" still brings it.
constexpr UINT IDT_TRAY_RETRY = 10;
constexpr UINT kTrayRetryMs = 2000;
constexpr int kTrayRetries = 60;
// After a clock or time-zone change the counts are redone at once and once more a moment later: the
// zone's rules are read again at most once a second.
constexpr UINT IDT_CLOCK_SETTLE = 11;
constexpr UINT kClockSettleMs = 1500;
// One look at the foreground window once it has settled after an event.
constexpr UINT IDT_FULL_SCREEN = 30;
constexpr UINT kForegroundSettleMs = 250;
// One look at the list file once its folder has been quiet.
constexpr UINT IDT_ITEM_RELOAD = 31;
// The widget's hotkey, as RegisterHotKey numbers it.
constexpr int IDH_KEYBOARD = 1;
// Enter on a selected row, posted so that the dialog opens outside the key's translation.
constexpr UINT WM_OPEN_ROW = WM_APP + 31;
// Something changed in the list's folder (sent by the message loop when the watch's event is set).
constexpr UINT WM_ITEM_FOLDER_CHANGED = WM_APP + 30;

class CWidgetDlg : public CDialog {
 public:
  explicit CWidgetDlg(CWnd* parent = nullptr);

  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;
  // The widget ends by "退出" or with the session only: Enter, Esc, the close box, WM_CLOSE and the
  // commands IDOK and IDCANCEL that another program may send do nothing.
  void OnOK() override {}
  void OnCancel() override {}

  // Items (items/): the list, read, counted and arranged into the rows.
  ItemList items;
  void LoadItems();
  // The holiday file beside the list into the calendar; its unreadable lines named once in a balloon.
  void LoadHolidays();
  // True when the holiday file differs from the one loaded (its size or time).
  bool HolidayFileChanged() const;
  void CountDays();
  // Which records the rows show, in which order (settings rows, order, within); true when that changed.
  bool ArrangeRows();
  // Watches the folder of itemFilePath for changes to the list and looks at the file now; to be
  // called again whenever itemFilePath changes.
  void WatchItemFolder();
  // Reads the list again when the file differs from the one loaded (never while the editor is open).
  void CheckItemFile();

  // Layout and drawing (display/).
  // UpdateLayout in two steps, for callers that settle the place in between: the rows arranged
  // and measured, then the window moved to the remembered place, sized and drawn.
  void UpdateLayout();
  void MeasureLayout();
  void ApplyLayout();
  // The metrics alone, from fontSize at dpi and the loaded names; UpdateLayout's first part. Within
  // limit when one is given: a smaller em when the widget would be too tall, names cut when too wide.
  void ComputeMetrics(const SurfaceLimit* limit = nullptr);
  // The DPI of the monitor the widget is on.
  int WindowDpi() const;
  void RenderWidget();
  void PaintBackgrounds(Gdiplus::GpGraphics* graphics);
  void DrawItemTexts(Gdiplus::GpGraphics* graphics);
  // The mark of the row selected with the keys (keyboard.row), drawn only while there is one.
  void DrawFocusMark(Gdiplus::GpGraphics* graphics);

  // Tray icon and menus (ui/).
  bool NotifyTrayIcon(DWORD operation, CString tip);
  // At the pointer, or at a point on the screen (opened with the keys).
  void ShowPopupMenu(const POINT* at = nullptr);
  // The rows' tooltips follow the layout (ui/).
  void UpdateRowTips();

  // Reminders (ui/): shows the due ones as a balloon and records them; the tray tip lists today's.
  void CheckReminders();
  void UpdateTrayTip();
  ReminderWatch reminders;
  // Reads the settings file: the settings, the remembered place, the log of shown reminders.
  void LoadSettings();

  // The keyboard (ui/WindowBehaviour.cpp): the hotkey (settings hotkey) gives the widget the keyboard
  // with a row selected; the arrows move the selection, Enter edits the row's line, the menu key opens
  // its menu and Esc gives the keyboard back. row: the selected row, -1 for none (no mark is drawn);
  // before: the window that had the keyboard. note: a hotkey that could not be registered at start,
  // said with the start notes.
  struct Keyboard {
    int row = -1;
    HWND before = nullptr;
    bool opening = false;  // a dialog opened with Enter is open: the keyboard comes back after it
    bool registered = false;
    std::wstring note;
  } keyboard;
  // Registers settings.hotkey (none when 0) in place of the one before; what to tell the user when
  // it could not be, else empty.
  std::wstring RegisterWidgetHotkey();
  // Selects row (kept within the rows), draws its mark and tells screen readers.
  void SelectRow(int row);
  // No row selected any more, the mark taken away.
  void ClearSelection();
  // A key for the selected row; true when it was one.
  bool OnRowKey(const MSG& msg);
  // Enter's dialog for the selected row, after which the row has the keyboard again.
  LRESULT OnOpenRow(WPARAM, LPARAM);

  // Screen readers (ui/WidgetAccessible.cpp): the accessible object, made at the first WM_GETOBJECT
  // that asks for it, and COM started on the thread for it.
  WidgetAccessible* accessible = nullptr;
  bool accessibleCom = false;
  // The rows changed (names, counts or order): screen readers that asked are told.
  void AnnounceRows();
  // The object goes with the window: readers still holding it are cut off.
  void DisconnectAccessible();

  // The widget's state by subsystem, beside the routines above that keep it.
  // Place: the top-left corner as remembered; known is false until there is one.
  struct Place {
    int left = 0;
    int top = 0;
    bool known = false;
  } place;
  // Render: the metrics at the DPI, the layered window's blend, and the surface's DC while a render
  // runs; the rows' tooltips follow the metrics. The look: Windows' text size, high contrast and app
  // mode as last read, and the colours and alpha values they and the settings give.
  struct Render {
    LayoutMetrics layout;
    int dpi = kBaseDpi;  // the DPI the layout is for
    BLENDFUNCTION blend = {};
    HDC memoryDC = nullptr;
    int textScale = kMinTextScale;
    SystemLook system;
    Palette palette = paletteFor(WidgetTheme::Classic, SystemLook());
    WidgetAlpha alpha = widgetAlphaFor(kDefaultOpacity, false);
  } render;
  // Reads Windows' look (high contrast, its colours, the app mode when the theme follows it, the text
  // size) and puts it and the settings' theme and opacity in effect for the next render.
  void ReadLook();
  // After a change of the system's settings or colours: read again, and laid out or drawn again when
  // that changed what the widget shows (high contrast and its colours, the app mode, the text size).
  void FollowSystemLook();
  RowTips rowTips;
  // Tray: the icon (the window's too), whether the shell has it, and the tries to add it at start.
  struct Tray {
    HICON icon = nullptr;
    bool added = false;
    int addTries = 0;
  } tray;
  // Items: why the item file that is there could not be read at the last load (empty when it was
  // read or is simply missing, the widget's ordinary empty state), and the watch on its folder.
  CString loadProblem;
  ItemFolderWatch itemWatch;
  // Recovery: the editor while it is open, so that quitting and the end of the session can reach its
  // text, and what was written for the next start.
  CItemsDlg* openEditor = nullptr;
  RecoveryState recovery;

  // Layer, lock, click-through and full-screen (ui/).
  // Puts the settings in effect: style, layer, the hooks that follow the foreground window.
  void ApplyDesktopSettings();
  void StopDesktopHooks();
  void PlaceInLayer();
  // Hides or shows the widget for a full-screen program, and lifts a desktop-layer widget above a
  // desktop brought in front.
  void CheckForeground();
  void ShowAsWanted();
  DesktopManners manners;
  // The hooks that follow the foreground window: its changes, and the moves in its thread.
  struct DesktopHooks {
    ScopedWinEventHook foreground;
    ScopedWinEventHook move;
  } desktopHooks;

  // One dialog at a time: when a dialog or message box of the program is open, brings it to the
  // front, flashes it and returns true.
  bool BringModalToFront();
  // A note the user should see without being stopped: a balloon from the tray icon, or a message
  // box when there is no icon. A click on the balloon opens the folder of opens, when one is given.
  void ShowNote(const std::wstring& text, const FilePath& opens = FilePath());
  // The notes due at start (an unreadable list, text recovered at the last log-off), once the tray
  // icon is there (app/).
  void ShowStartNotes();
  // Once a run, after a settings write failed: a balloon that names the settings file (app/).
  void TellSettingsNotSaved();

 protected:
  // Lifecycle (app/).
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnQueryEndSession(WPARAM, LPARAM);
  bool WriteRecoveryFile();
  LRESULT OnEndSession(WPARAM, LPARAM);
  // A second start of the program asks the running widget to come forward.
  LRESULT OnActivateRequest(WPARAM, LPARAM);
  void PlaceAtStart();
  // The remembered place (not yet saved) becomes (left, top) when the widget can be grabbed there on
  // some monitor's work area, else the centre of the primary monitor's. The window is not moved.
  void KeepReachable(int left, int top);
  void CentreOnPrimary();
  LRESULT OnDisplayChange(WPARAM, LPARAM);
  LRESULT OnSettingChange(WPARAM, LPARAM);
  LRESULT OnSysColorChange(WPARAM, LPARAM);
  void SavePosition();

  // Layout (display/).
  LRESULT OnDpiChanged(WPARAM, LPARAM);

  // Tray icon and menus (ui/).
  LRESULT OnTrayNotify(WPARAM, LPARAM);
  void OnAfterStart();
  void OnTrayRetryTimer();
  // The icon is there (or will not come): the start notes and the first reminder check.
  void OnTrayIconReady();
  LRESULT OnTaskbarCreated(WPARAM, LPARAM);
  LRESULT OnRButtonUp(WPARAM, LPARAM);
  LRESULT OnNotify(WPARAM, LPARAM);
  // The pointer's first move over the widget makes the rows' tooltips (ui/).
  LRESULT OnMouseMove(WPARAM, LPARAM);

  // Window behaviour and commands (ui/).
  LRESULT OnTimer(WPARAM, LPARAM);
  void OnMinuteTick();
  // The counts made true again at once (resume, clock or time-zone change), the rows re-sorted and
  // the reminders checked.
  void RefreshCounts();
  LRESULT OnPowerBroadcast(WPARAM, LPARAM);
  LRESULT OnTimeChange(WPARAM, LPARAM);
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnWindowPosChanging(WPARAM, LPARAM);
  LRESULT OnItemFolderChanged(WPARAM, LPARAM);
  LRESULT OnHotkey(WPARAM, LPARAM);
  LRESULT OnActivateApp(WPARAM, LPARAM);
  LRESULT OnGetObject(WPARAM, LPARAM);
  // Above every ordinary window, set explicitly: the template's system-modal style does not do it
  // everywhere.
  void StayOnTop();
  void OnAppHide();
  void OnAppAbout();
  void OnAppQuit();

  // Dialogs (ui/).
  void OnAppItems();
  // The item dialog alone: a new line, or the line of the row the menu was opened on (ItemFormDlg.cpp).
  void OnAppAdd();
  void OnAppEditRow();
  int menuRecord = -1;  // the record of the row the widget's menu was opened on, -1 for none
  void OnAppOptions();
  void OnAppExport();

  DECLARE_MESSAGE_MAP()
};
