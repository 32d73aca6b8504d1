// Runs the Windows tests with GDI+ started, as the program itself runs, in a temporary folder of
// the run's own.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include "tests/native/RunFolder.h"

int main(int argc, char** argv) {
  const RunFolder folder;
  testing::InitGoogleTest(&argc, argv);
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 2;
  int result = RUN_ALL_TESTS();
  Gdiplus::GdiplusShutdown(token);
  return result;
}
