// The process-wide state, alive from the widget's initialisation to its destruction.
#pragma once
#include "framework/StdioFile.h"
#include "framework/String.h"
#include "items/RowOrder.h"

class CCore;

extern CCore* core;
extern int fontSize;
extern CString fontFace;
// Paths in UTF-8, whole whatever characters the folders hold; UTF-16 where they meet Windows.
extern FilePath appPath;
extern FilePath itemFilePath;

constexpr int kDefaultFontSize = 20;
constexpr int kMinFontSize = 10;
constexpr int kMaxFontSize = 200;

// The stored font size when it is one the options dialog could have accepted, else the default: a
// value out of range comes from a damaged or hand-edited settings file.
inline int fontSizeOrDefault(int stored) {
  return stored >= kMinFontSize && stored <= kMaxFontSize ? stored : kDefaultFontSize;
}

// Which lines the widget draws: the settings rows, order and within (INI "rows", "order", "within").
extern int rowsSetting;
extern RowOrder rowOrder;
extern int withinDays;
