// The widget's display: its metrics and size (UpdateLayout), and the layered window's one picture,
// painted off screen (row backgrounds, edge strip, texts as filled glyph paths) and pushed with
// UpdateLayeredWindow. The window never paints its rows in answer to WM_PAINT; the system keeps
// showing the last picture pushed.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "display/GdiplusWin.h"
#include "display/SurfaceWin.h"
#include "framework/Timeline.h"
#include "items/ItemOptions.h"

using namespace gdip;

namespace {

// The strip's brush is made with these two colours, which its preset blend then replaces.
constexpr ARGB kEdgeStripFirstColour = 0xFF008000;
constexpr ARGB kEdgeStripSecondColour = 0xFFA52A2A;
constexpr ARGB kEdgeStripTop = 0x00AC7C68;  // alpha 0: the strip adds nothing at the top edge

// The frame around the row selected with the keys: a blue no text of the widget has, 3:1 and more
// on both row backgrounds.
constexpr ARGB kFocusColour = 0xFF1E90FF;

const char kUpcomingWord[] = "还有";
const char kPastWord[] = "过去";
const char kUnit[] = "天";
const char kWorkdayUnit[] = "工作日";  // 工作日: the row counts working days
const char kWidestNumber[] = "99999";
const char kUnreadableMark[] = "?";

// Day counts exist for the three counted kinds only; any other kind shows "?" without word or unit.
bool isCounted(int32_t kind) { return kind == Upcoming || kind == Today || kind == Past; }

const char* wordOf(int32_t kind) {
  if (kind == Upcoming) return kUpcomingWord;
  if (kind == Past) return kPastWord;
  return "";
}

const char* unitOfLine(const ItemList& items, int line) {
  return items.optionsOf(line).workdays ? kWorkdayUnit : kUnit;
}

// The name as the row shows it, with its years label (items/ItemList.h).
[[gnu::noinline]] CString nameOf(const ItemList& items, int line) { return CString(items.shownName(line)); }

// The window's DC for the length of one render.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
  ~WindowDc() { release(); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return m_dc; }
  void release() {
    if (m_dc) ReleaseDC(m_window, m_dc);
    m_dc = nullptr;
  }

 private:
  HWND m_window;
  HDC m_dc;
};

// render.memoryDC is only meaningful during a render; it goes back to null on every way out of one.
class ClearOnExit {
 public:
  explicit ClearOnExit(HDC& field) : m_field(field) {}
  ~ClearOnExit() { m_field = nullptr; }
  ClearOnExit(const ClearOnExit&) = delete;
  ClearOnExit& operator=(const ClearOnExit&) = delete;

 private:
  HDC& m_field;
};

void makeLayered(HWND window) {
  const LONG style = GetWindowLongW(window, GWL_EXSTYLE);
  if (!(style & WS_EX_LAYERED)) SetWindowLongW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
}

}  // namespace

void CWidgetDlg::ComputeMetrics(const SurfaceLimit* limit) {
  if (!core) return;
  int em = scaledFontSize(settings.fontSize, render.dpi, render.textScale);
  // Each pass measures at em; a widget that cannot fit the limit even without names is laid out
  // again smaller, and emWithin gives at least one pixel less each time, so the passes are few.
  for (;;) {
    // The widest name as drawn; with no rows slot 0 is measured, so an empty name sets the row height.
    TextSize names[kMaxRows];
    const int measured = std::clamp(items.rows(), 1, kMaxRows);
    for (int i = 0; i < measured; ++i) {
      const CString name = items.rows() > 0 ? CString(items.rowName(i)) : nameOf(items, 0);
      const Gdiplus::Size size = core->getTextBounds(fontFace, em, name);
      names[i] = {size.Width, size.Height};
    }
    const Gdiplus::Size word = core->getTextBounds(fontFace, em, kUpcomingWord);
    const Gdiplus::Size number = core->getTextBounds(fontFace, em, kWidestNumber);
    const TextSize widest = names[widestTextIndex(names, measured)];
    render.layout = computeLayoutMetrics(em, items.rows(), widest, {word.Width, word.Height},
                                         {number.Width, number.Height}, core->getLineHeight(fontFace, em));
    // The unit is drawn in the room right of the number column, made for "天": a row that says
    // "工作日" widens the widget by the difference.
    for (int i = 0; i < items.rows() && !items.nothingSoon(); ++i) {
      if (unitOfLine(items, items.lineOfRow(i)) == kUnit) continue;
      render.layout.windowWidth +=
          core->getTextBounds(fontFace, em, kWorkdayUnit).Width - core->getTextBounds(fontFace, em, kUnit).Width;
      break;
    }
    if (!limit) return;
    const int smaller = emWithin(render.layout, widest.width, *limit);
    if (smaller == em) {
      render.layout = nameColumnWithin(render.layout, widest.width, *limit);
      return;
    }
    em = smaller;
  }
}

int CWidgetDlg::WindowDpi() const {
  // Per-monitor DPI where the system has it (Windows 10 1607 on), else the system's one DPI.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && m_hWnd) {
    if (const UINT found = getDpiForWindow(m_hWnd)) return clampDpi(static_cast<int>(std::min<UINT>(found, kMaxDpi)));
  }
  WindowDc screen(nullptr);
  const int found = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return found > 0 ? clampDpi(found) : kBaseDpi;
}

void CWidgetDlg::UpdateLayout() {
  MeasureLayout();
  ApplyLayout();
}

void CWidgetDlg::MeasureLayout() {
  // Which rows, in which order, before their sizes: counted first, since the order follows the counts.
  if (core) {
    CountDays();
    ArrangeRows();
  }
  const SurfaceLimit limit =
      surfaceLimitFor(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
  ComputeMetrics(&limit);
  timelineMark("layout");
}

void CWidgetDlg::ApplyLayout() {
  // Back to the remembered place, wherever the widget has been dragged since.
  ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, render.layout.windowWidth, render.layout.windowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  // A selected row stays selected while there is one: the last, when the rows became fewer.
  keyboard.row = std::min(keyboard.row, items.rows() - 1);
  RenderWidget();
  timelineMark("frame pushed");
  UpdateRowTips();
  AnnounceRows();
  // Arming the same id again replaces the running timer, so the minute starts afresh.
  ::SetTimer(m_hWnd, IDT_MINUTE, kMinuteMs, nullptr);
}

// Dragged onto a monitor of another DPI, or the scale changed: laid out again for the new DPI at the
// top-left corner of the rectangle the system suggests, which it chose so that the widget does not
// straddle back onto the first monitor and flip between the two DPIs. The size is the layout's own;
// a place where the widget could not be grabbed is given up as at start.
LRESULT CWidgetDlg::OnDpiChanged(WPARAM dpis, LPARAM suggested) {
  RECT rect;
  if (const auto* given = reinterpret_cast<const RECT*>(suggested)) {
    place.left = given->left;
    place.top = given->top;
  } else if (GetWindowRect(m_hWnd, &rect)) {
    place.left = rect.left;
    place.top = rect.top;
  }
  render.dpi = clampDpi(HIWORD(dpis));
  MeasureLayout();
  if (place.known) KeepReachable(place.left, place.top);
  ApplyLayout();
  return 0;
}

void CWidgetDlg::RenderWidget() {
  CountDays();
  render.blend.SourceConstantAlpha = render.alpha.text;
  // With no rows there is nothing to show: GDI and GDI+ refuse an empty bitmap, and the window is
  // already zero pixels high. A layered window shows nothing until a picture is pushed.
  if (render.layout.windowWidth <= 0 || render.layout.windowHeight <= 0) {
    makeLayered(m_hWnd);
    return;
  }

  ClearOnExit clearMemoryDc(render.memoryDC);
  WindowDc windowDc(m_hWnd);
  OffscreenSurface surface(windowDc.get(), render.layout.windowWidth, render.layout.windowHeight);
  render.memoryDC = surface.dc();
  RECT windowRect = {};
  GetWindowRect(m_hWnd, &windowRect);
  POINT destination = {windowRect.left, windowRect.top};

  if (GpGraphics* graphics = surface.graphics()) {
    GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
    GdipSetTextRenderingHint(graphics, TextRenderingHintAntiAliasGridFit);
    PaintBackgrounds(graphics);
    DrawItemTexts(graphics);
    if (keyboard.row >= 0 && keyboard.row < items.rows()) DrawFocusMark(graphics);
    surface.flush();
  }

  makeLayered(m_hWnd);
  SIZE size = {render.layout.windowWidth, render.layout.windowHeight};
  POINT source = {0, 0};
  if (render.memoryDC)
    UpdateLayeredWindow(m_hWnd, windowDc.get(), &destination, &size, render.memoryDC, &source, 0, &render.blend,
                        ULW_ALPHA);

  // The graphics goes before the DCs; the bitmap only after the memory DC that held it is gone.
  surface.releaseGraphics();
  windowDc.release();
  surface.releaseDc();
}

void CWidgetDlg::PaintBackgrounds(GpGraphics* graphics) {
  const Palette& palette = render.palette;
  // Painted under the window's constant alpha so that the rows show at the opacity's alpha, the
  // texts above them at theirs.
  const BYTE alpha = render.alpha.rowBrush;
  for (int i = 0; i < items.rows(); ++i) {
    ARGB colour = i % 2 == 0 ? palette.evenRow : palette.oddRow;
    if (palette.todayRow && !items.nothingSoon() && items.rowLine(i).kind == Today) colour = palette.todayRow;
    ScopedSolidBrush brush;
    GdipCreateSolidFill(withAlpha(colour, alpha), brush.out());
    GdipFillRectangle(graphics, brush, 0.0f, static_cast<REAL>(i * render.layout.rowHeight),
                      static_cast<REAL>(render.layout.windowWidth), static_cast<REAL>(render.layout.rowHeight));
  }

  // The strip spans the whole height, not one row: it whitens the rows progressively downwards.
  if (!palette.stripBottom || render.layout.margin <= 0 || render.layout.windowHeight <= 0) return;
  const GpRectF strip(0.0f, 0.0f, static_cast<REAL>(render.layout.margin),
                      static_cast<REAL>(render.layout.windowHeight));
  ScopedLineBrush brush;
  GdipCreateLineBrushFromRect(&strip, kEdgeStripFirstColour, kEdgeStripSecondColour, LinearGradientModeVertical,
                              WrapModeTile, brush.out());
  const ARGB colours[] = {kEdgeStripTop, withAlpha(palette.stripBottom, alpha)};
  const REAL positions[] = {0.0f, 1.0f};
  GdipSetLinePresetBlend(brush, colours, positions, 2);
  GdipFillRectangle(graphics, brush, strip.X, strip.Y, strip.Width, strip.Height);
}

// A frame just inside the row's edges, over its texts; thicker with the row, at least 2 pixels.
void CWidgetDlg::DrawFocusMark(GpGraphics* graphics) {
  const REAL width = static_cast<REAL>(render.layout.windowWidth), height = static_cast<REAL>(render.layout.rowHeight);
  const REAL top = static_cast<REAL>(keyboard.row * render.layout.rowHeight);
  const REAL line = static_cast<REAL>(std::max(2, render.layout.rowHeight / 15));
  ScopedSolidBrush brush;
  GdipCreateSolidFill(kFocusColour, brush.out());
  GdipFillRectangle(graphics, brush, 0.0f, top, width, line);
  GdipFillRectangle(graphics, brush, 0.0f, top + height - line, width, line);
  GdipFillRectangle(graphics, brush, 0.0f, top + line, line, height - 2 * line);
  GdipFillRectangle(graphics, brush, width - line, top + line, line, height - 2 * line);
}

void CWidgetDlg::DrawItemTexts(GpGraphics* graphics) {
  // Declared in creation order, so that scope exit releases in the reverse: brushes (last first),
  // working text, then the paths from todayPath back to namePath. The family and format are the
  // core's, kept between renders.
  const Palette& palette = render.palette;
  ScopedPath namePath, upcomingPath, pastPath, todayPath;
  GdipCreatePath(FillModeAlternate, namePath.out());
  GdipCreatePath(FillModeAlternate, upcomingPath.out());
  GdipCreatePath(FillModeAlternate, pastPath.out());
  GdipCreatePath(FillModeAlternate, todayPath.out());
  const GpFontFamily* family = core->faces().family(kWidgetFace);
  const GpStringFormat* format = core->faces().format();
  CString text;

  auto pathOf = [&](int32_t kind) -> GpPath* {
    if (kind == Upcoming) return upcomingPath;
    if (kind == Past) return pastPath;
    if (kind != Today && palette.unreadableInNameColour) return namePath;
    return todayPath;
  };
  const TextColumns columns = textColumnsOf(render.layout);

  if (items.nothingSoon()) {
    text = CString(items.rowName(0));
    addTextToPath(namePath, text, family, render.layout.emSize, columns.nameX, rowTextY(render.layout, 0), format);
    ScopedSolidBrush dimBrush;
    GdipCreateSolidFill(palette.nothingSoon, dimBrush.out());
    GdipFillPath(graphics, dimBrush, namePath);
    return;
  }

  // Each pass runs over all rows before the next: later texts of a row lie over its name.
  auto widthOf = [&](std::string_view shown) {
    return core->getTextBounds(fontFace, render.layout.emSize, CString(std::string(shown))).Width;
  };
  for (int i = 0; i < items.rows(); ++i) {
    text = CString(items.rowName(i));
    // Cut with "…" where the widget would be wider than any screen can show.
    if (render.layout.nameRoom >= 0) text = CString(cutToWidth(text.view(), render.layout.nameRoom, widthOf));
    const bool todayName = palette.todayNameInTodayColour && items.rowLine(i).kind == Today;
    addTextToPath(todayName ? todayPath : namePath, text, family, render.layout.emSize, columns.nameX,
                  rowTextY(render.layout, i), format);
  }
  for (int i = 0; i < items.rows(); ++i) {
    const ItemRecord& record = items.rowLine(i);
    text = wordOf(record.kind);
    addTextToPath(pathOf(record.kind), text, family, render.layout.emSize, columns.wordX, rowTextY(render.layout, i),
                  format);
  }
  for (int i = 0; i < items.rows(); ++i) {
    const ItemRecord& record = items.rowLine(i);
    text = isCounted(record.kind) ? core->getStrInt(record.days) : CString(kUnreadableMark);
    // Centred in the number column; a number wider than "99999" reaches out on both sides.
    const int offset =
        numberOffsetFor(render.layout.numberWidth, core->getTextBounds(fontFace, render.layout.emSize, text).Width);
    addTextToPath(pathOf(record.kind), text, family, render.layout.emSize, columns.numberX + offset,
                  rowTextY(render.layout, i), format);
  }
  for (int i = 0; i < items.rows() && !items.nothingSoon(); ++i) {
    const ItemRecord& record = items.rowLine(i);
    if (!isCounted(record.kind)) continue;
    text = unitOfLine(items, items.lineOfRow(i));
    addTextToPath(pathOf(record.kind), text, family, render.layout.emSize, columns.unitX, rowTextY(render.layout, i),
                  format);
  }

  // Each path filled once, with the even-odd rule, in this order: where outlines of one path overlap
  // the overlap stays unfilled, and the kind colours lie over the names.
  ScopedSolidBrush nameBrush, upcomingBrush, pastBrush, todayBrush;
  GdipCreateSolidFill(palette.name, nameBrush.out());
  GdipFillPath(graphics, nameBrush, namePath);
  GdipCreateSolidFill(palette.upcoming, upcomingBrush.out());
  GdipFillPath(graphics, upcomingBrush, upcomingPath);
  GdipCreateSolidFill(palette.past, pastBrush.out());
  GdipFillPath(graphics, pastBrush, pastPath);
  GdipCreateSolidFill(palette.today, todayBrush.out());
  GdipFillPath(graphics, todayBrush, todayPath);
}
