// The process-wide state, alive from the widget's initialisation to its destruction.
#pragma once
#include "core/Settings.h"
#include "framework/StdioFile.h"
#include "framework/String.h"
#include "items/RowOrder.h"

class CCore;

extern CCore* core;
// The settings in effect: read at start, changed by the options dialog and by dragging the widget.
extern Settings settings;
extern CString fontFace;
// Paths in UTF-8, whole whatever characters the folders hold; UTF-16 where they meet Windows.
extern FilePath appPath;
extern FilePath itemFilePath;
