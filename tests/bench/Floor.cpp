// The floor the widget is measured against: a layered window, plain Win32 and the GDI+ flat API, that
// draws the widget's five sample rows the way the widget draws them (same metrics, face, colours,
// alpha, row backgrounds, edge strip and glyph paths) and does what every tray widget must: it adds a
// tray icon once shown and removes it at the quit, where it also writes its place (two values and a
// flush, through the profile API, into bench_floor.ini beside it). Nothing else: no item file, no
// settings read. Whatever the widget costs beyond this is the widget's own. Its step marks carry the
// widget's names for the same steps (framework/Timeline.h).
//   bench_floor.exe [--bare] [--rows N] [size]   shows the rows centred on the work area; a right
//                                 click opens a menu with "退出"; a minute timer redraws when the day
//                                 changes. --bare: no tray icon and no place written, the window alone.
//                                 --rows N: N rows (up to 20), the five over again, as render_bench
//   bench_floor.exe --render N [--rows N]   prints the median of N renders at size 20 and of N/8 at
//                                 200, in ms
#include <windows.h>
// GDI+ needs the Windows types first.
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "display/LayoutMetrics.h"
#include "framework/Timeline.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr UINT kQuitCommand = 32776;  // the widget's "退出"
constexpr UINT_PTR kMinuteTimer = 1;

// The rows the benchmark's item file produces: name, kind word, number, colour of word, number, unit.
struct Row {
  const wchar_t* name;
  const wchar_t* word;
  const wchar_t* number;
  ARGB colour;
};
constexpr ARGB kUpcoming = 0xFFA5B6EC, kPast = 0xFFF7A000, kToday = 0xFFFF0400;
constexpr Row kRows[] = {{L"下次旅行", L"还有", L"12", kUpcoming},
                         {L"妈妈生日", L"", L"0", kToday},
                         {L"新年", L"还有", L"100", kUpcoming},
                         {L"相识纪念日", L"过去", L"1000", kPast},
                         {L"毕业", L"过去", L"2000", kPast}};
constexpr int kSampleRows = 5;
constexpr int kMaxRows = 20;
constexpr int kLongestName = 3;  // the widest as drawn, as the widget picks it
constexpr UINT kTrayMessage = WM_APP + 1;

int rowCount = kSampleRows;
bool bare = false;
const Row& rowAt(int i) { return kRows[i % kSampleRows]; }

GpFontFamily* family = nullptr;
GpStringFormat* format = nullptr;
int fontSize = 20;
LayoutMetrics layout;
WORD shownDay = 0;

void addText(GpPath* path, const wchar_t* text, int x, int y) {
  const Rect box(x, y, 0, 0);
  GdipAddPathStringI(path, text, static_cast<INT>(std::wcslen(text)), family, FontStyleRegular,
                     static_cast<REAL>(fontSize), &box, format);
}

TextSize measure(const wchar_t* text) {
  GpPath* path = nullptr;
  GdipCreatePath(FillModeAlternate, &path);
  addText(path, text, 0, 0);
  INT points = 0;
  GdipGetPointCount(path, &points);
  TextSize size;
  GpRectF bounds;
  if (points > 0 && GdipGetPathWorldBounds(path, &bounds, nullptr, nullptr) == Ok) {
    size.width = static_cast<int>(__builtin_ceil(bounds.X + bounds.Width));
    size.height = static_cast<int>(__builtin_ceil(bounds.Y + bounds.Height));
  }
  GdipDeletePath(path);
  return size;
}

// Ascent + descent at the em, rounded up: a row holds at least one line of the face.
int lineHeight() {
  UINT16 em = 0, ascent = 0, descent = 0;
  GdipGetEmHeight(family, FontStyleRegular, &em);
  GdipGetCellAscent(family, FontStyleRegular, &ascent);
  GdipGetCellDescent(family, FontStyleRegular, &descent);
  return em ? static_cast<int>(__builtin_ceil(static_cast<double>(fontSize) * (ascent + descent) / em)) : 0;
}

// Laid out as the widget lays itself out: smaller where the rows would not fit the screen (20 rows at
// size 200 would be some 4,000 pixels high), with the same rules.
void computeLayout() {
  const SurfaceLimit limit =
      surfaceLimitFor(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
  for (;;) {
    const TextSize widest = measure(kRows[kLongestName].name);
    layout = computeLayoutMetrics(fontSize, rowCount, widest, measure(L"还有"), measure(L"99999"), lineHeight());
    const int smaller = emWithin(layout, widest.width, limit);
    if (smaller == fontSize) {
      layout = nameColumnWithin(layout, widest.width, limit);
      return;
    }
    fontSize = smaller;
  }
}

void render(HWND window) {
  const int width = layout.windowWidth, height = layout.windowHeight;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  GpBitmap* image = nullptr;
  GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits), &image);
  GpGraphics* graphics = nullptr;
  GdipGetImageGraphicsContext(image, &graphics);
  GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
  GdipSetTextRenderingHint(graphics, TextRenderingHintAntiAliasGridFit);

  for (int i = 0; i < rowCount; ++i) {
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(i % 2 == 0 ? 0xFF262626 : 0xFF333333, &brush);
    GdipFillRectangle(graphics, brush, 0.0f, static_cast<REAL>(i * layout.rowHeight), static_cast<REAL>(width),
                      static_cast<REAL>(layout.rowHeight));
    GdipDeleteBrush(brush);
  }
  const GpRectF strip(0.0f, 0.0f, static_cast<REAL>(layout.margin), static_cast<REAL>(height));
  GpLineGradient* stripBrush = nullptr;
  GdipCreateLineBrushFromRect(&strip, 0xFF008000, 0xFFA52A2A, LinearGradientModeVertical, WrapModeTile, &stripBrush);
  const ARGB colours[] = {0x00AC7C68, 0xFFFFFFFF};
  const REAL positions[] = {0.0f, 1.0f};
  GdipSetLinePresetBlend(stripBrush, colours, positions, 2);
  GdipFillRectangle(graphics, stripBrush, strip.X, strip.Y, strip.Width, strip.Height);
  GdipDeleteBrush(stripBrush);

  // One path per colour, in the widget's order: names, then words, numbers and units over them.
  const ARGB pathColours[] = {0xFFFFFFFF, kUpcoming, kPast, kToday};
  GpPath* paths[4] = {};
  for (GpPath*& path : paths) GdipCreatePath(FillModeAlternate, &path);
  auto pathOf = [&](ARGB colour) { return colour == kUpcoming ? paths[1] : colour == kPast ? paths[2] : paths[3]; };
  const TextColumns columns = textColumnsOf(layout);
  for (int i = 0; i < rowCount; ++i) addText(paths[0], rowAt(i).name, columns.nameX, rowTextY(layout, i));
  for (int i = 0; i < rowCount; ++i)
    addText(pathOf(rowAt(i).colour), rowAt(i).word, columns.wordX, rowTextY(layout, i));
  for (int i = 0; i < rowCount; ++i) {
    const int offset = numberOffsetFor(layout.numberWidth, measure(rowAt(i).number).width);
    addText(pathOf(rowAt(i).colour), rowAt(i).number, columns.numberX + offset, rowTextY(layout, i));
  }
  for (int i = 0; i < rowCount; ++i) addText(pathOf(rowAt(i).colour), L"天", columns.unitX, rowTextY(layout, i));
  for (int i = 0; i < 4; ++i) {
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(pathColours[i], &brush);
    GdipFillPath(graphics, brush, paths[i]);
    GdipDeleteBrush(brush);
    GdipDeletePath(paths[i]);
  }
  GdipFlush(graphics, FlushIntentionSync);
  GdiFlush();

  RECT rect;
  GetWindowRect(window, &rect);
  POINT destination = {rect.left, rect.top}, source = {0, 0};
  SIZE size = {width, height};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 253, AC_SRC_ALPHA};
  UpdateLayeredWindow(window, screen, &destination, &size, memory, &source, 0, &blend, ULW_ALPHA);

  GdipDeleteGraphics(graphics);
  GdipDisposeImage(image);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(window, screen);
}

NOTIFYICONDATAW trayIcon(HWND window) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = 1;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  std::wcscpy(data.szTip, L"TessalyFloor");
  return data;
}

// Where the widget keeps its place: the settings file beside the program, written and flushed.
void savePlace(HWND window) {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  wchar_t* slash = std::wcsrchr(path, L'\\');
  if (n == 0 || n >= MAX_PATH || !slash || slash - path + 16 >= MAX_PATH) return;
  std::wcscpy(slash + 1, L"bench_floor.ini");
  RECT rect;
  GetWindowRect(window, &rect);
  wchar_t value[16];
  std::swprintf(value, 16, L"%ld", rect.left);
  WritePrivateProfileStringW(L"Tessaly", L"x", value, path);
  std::swprintf(value, 16, L"%ld", rect.top);
  WritePrivateProfileStringW(L"Tessaly", L"y", value, path);
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RBUTTONUP: {
      HMENU menu = CreatePopupMenu();
      AppendMenuW(menu, MF_STRING, kQuitCommand, L"退出");
      POINT cursor;
      GetCursorPos(&cursor);
      SetForegroundWindow(window);
      TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
      PostMessageW(window, WM_NULL, 0, 0);
      DestroyMenu(menu);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kQuitCommand) {
        timelineMark("quit asked");
        DestroyWindow(window);
        timelineMark("window gone");
      }
      return 0;
    case WM_TIMER: {
      SYSTEMTIME now;
      GetLocalTime(&now);
      if (now.wDay != shownDay) {
        shownDay = now.wDay;
        render(window);
      }
      return 0;
    }
    case WM_DESTROY: {
      timelineMark("destroying");
      KillTimer(window, kMinuteTimer);
      if (!bare) {
        savePlace(window);
        timelineMark("position saved");
        NOTIFYICONDATAW data = trayIcon(window);
        Shell_NotifyIconW(NIM_DELETE, &data);
        timelineMark("tray icon removed");
      }
      PostQuitMessage(0);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

double nowMs() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

int compareDoubles(const void* a, const void* b) {
  const double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
  return x < y ? -1 : x > y;
}

void renderBench(HWND window, int rounds) {
  double* times = static_cast<double*>(std::malloc(sizeof(double) * rounds));
  if (!times) return;
  const int sizes[] = {20, 200};
  for (int size : sizes) {
    fontSize = size;
    computeLayout();
    SetWindowPos(window, nullptr, 0, 0, layout.windowWidth, layout.windowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < 3; ++i) render(window);
    // Size 200 costs some hundred times size 20: fewer rounds, as render_bench does.
    const int sizeRounds = size == 20 ? rounds : (rounds / 8 > 0 ? rounds / 8 : 1);
    for (int i = 0; i < sizeRounds; ++i) {
      const double start = nowMs();
      render(window);
      times[i] = nowMs() - start;
    }
    std::qsort(times, sizeRounds, sizeof(double), compareDoubles);
    std::printf("render %d %.3f\n", size, times[sizeRounds / 2]);
  }
  std::free(times);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  timelineMark("main");
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool bench = argc > 2 && std::wcscmp(argv[1], L"--render") == 0;
  const int rounds = bench ? _wtoi(argv[2]) : 0;
  for (int i = bench ? 3 : 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--bare") == 0) {
      bare = true;
    } else if (std::wcscmp(argv[i], L"--rows") == 0 && i + 1 < argc) {
      rowCount = _wtoi(argv[++i]);
    } else {
      fontSize = _wtoi(argv[i]);
    }
  }
  LocalFree(argv);
  if (rowCount < 1 || rowCount > kMaxRows) rowCount = kSampleRows;
  if (fontSize < 10 || fontSize > 200) fontSize = 20;

  GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (GdiplusStartup(&token, &input, nullptr) != Ok) return 1;
  timelineMark("GDI+ started");
  GdipCreateFontFamilyFromName(L"黑体", nullptr, &family);
  GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
  computeLayout();
  timelineMark("layout");

  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = L"TessalyFloor";
  RegisterClassW(&windowClass);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + (work.right - work.left - layout.windowWidth) / 2;
  const int top = work.top + (work.bottom - work.top - layout.windowHeight) / 2;
  HWND window =
      CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"TessalyFloor", L"TessalyFloor", WS_POPUP,
                      left, top, layout.windowWidth, layout.windowHeight, nullptr, nullptr, instance, nullptr);
  timelineMark("window created");
  int status = 0;
  if (window && bench) {
    renderBench(window, rounds > 0 ? rounds : 1);
    DestroyWindow(window);
  } else if (window) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    shownDay = now.wDay;
    render(window);
    timelineMark("frame pushed");
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    timelineMark("window shown");
    if (!bare) {
      NOTIFYICONDATAW data = trayIcon(window);
      Shell_NotifyIconW(NIM_ADD, &data);
      timelineMark("tray icon added");
    }
    SetTimer(window, kMinuteTimer, 60000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    status = static_cast<int>(message.wParam);
  }
  GdipDeleteStringFormat(format);
  GdipDeleteFontFamily(family);
  GdiplusShutdown(token);
  timelineMark("GDI+ shut down");
  timelineMark("exit");
  return status;
}
