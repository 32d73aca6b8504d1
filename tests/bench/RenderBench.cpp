// Prints what the widget's display costs with five rows at font sizes 20 and 200: the metrics alone,
// the painting into an off-screen surface, and, when a window can be made, a whole RenderWidget and
// a whole UpdateLayout. A benchmark, not a test: it prints figures and checks nothing.
// With "--render N" it prints only the median of N RenderWidget calls at size 20 and of N/8 at 200,
// as "render <size> <ms>", the lines the floor program prints too (scripts/bench.sh compares them).
// "--rows N" after it draws N rows (up to 20), the five names and dates over again.
#include <windows.h>
// These need the Windows types first.
#include <gdiplus.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/Core.h"
#include "display/SurfaceWin.h"

namespace {

double nowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Runs step a few times unmeasured, then rounds times; prints the mean and the best.
void measure(const char* what, int size, int rounds, const std::function<void()>& step) {
  for (int i = 0; i < 3; ++i) step();
  double total = 0, best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    const double start = nowMs();
    step();
    const double took = nowMs() - start;
    total += took;
    best = std::min(best, took);
  }
  std::printf("%-34s size %3d: mean %8.3f ms, best %8.3f ms (%d rounds)\n", what, size, total / rounds, best, rounds);
}

// The median of rounds timed runs of step, after three untimed ones.
double medianMs(int rounds, const std::function<void()>& step) {
  for (int i = 0; i < 3; ++i) step();
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const double start = nowMs();
    step();
    times.push_back(nowMs() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void paintOffscreen(CWidgetDlg& widget) {
  OffscreenSurface surface(nullptr, widget.render.layout.windowWidth, widget.render.layout.windowHeight);
  if (Gdiplus::GpGraphics* graphics = surface.graphics()) {
    Gdiplus::DllExports::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::DllExports::GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAliasGridFit);
    widget.PaintBackgrounds(graphics);
    widget.DrawItemTexts(graphics);
    surface.flush();
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool renderOnly = argc > 2 && std::string(argv[1]) == "--render";
  const int renderRounds = renderOnly ? std::max(1, std::atoi(argv[2])) : 0;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 2;

  core = new CCore;
  const char* names[] = {"下次旅行", "妈妈生日", "新年", "相识纪念日", "毕业"};
  const char* dates[] = {"2031-05-01", "2001-01-01", "2030-01-01", "2020-06-30", "2019-09-10"};
  const int rows = argc > 4 && std::string(argv[3]) == "--rows" ? std::clamp(std::atoi(argv[4]), 1, 20) : kDefaultRows;
  ItemRecord table[kTableRecords] = {};
  for (int i = 0; i < rows; ++i) {
    std::strcpy(table[i].name, names[i % kDefaultRows]);
    std::strcpy(table[i].dateText, dates[i % kDefaultRows]);
  }
  settings.rows = rows;
  fontFace = "黑体";

  {
    CWidgetDlg widget;
    widget.items.assign(table, nullptr, rows);
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    widget.m_hWnd = window;
    widget.render.blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    widget.CountDays();
    widget.ArrangeRows();

    for (int size : {20, 200}) {
      settings.fontSize = size;
      if (renderOnly && window) {
        widget.UpdateLayout();
        const int sizeRounds = size == 20 ? renderRounds : std::max(1, renderRounds / 8);
        std::printf("render %d %.3f\n", size, medianMs(sizeRounds, [&] { widget.RenderWidget(); }));
        continue;
      }
      const int rounds = size == 20 ? 200 : 40;
      measure("ComputeMetrics", size, rounds, [&] { widget.ComputeMetrics(); });
      std::printf("%-34s size %3d: %d x %d pixels\n", "  bitmap", size, widget.render.layout.windowWidth,
                  widget.render.layout.windowHeight);
      measure("paint off screen (no window)", size, rounds, [&] { paintOffscreen(widget); });
      if (window) {
        measure("RenderWidget", size, rounds, [&] { widget.RenderWidget(); });
        measure("UpdateLayout", size, rounds, [&] { widget.UpdateLayout(); });
      }
    }
    if (!window) std::printf("no window could be made: RenderWidget and UpdateLayout not measured\n");
    if (window) {
      KillTimer(window, IDT_MINUTE);
      widget.m_hWnd = nullptr;
      DestroyWindow(window);
    }
  }

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory))) {
    std::printf("peak working set of this benchmark: %.1f MiB\n",
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
  }

  delete core;
  core = nullptr;
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
