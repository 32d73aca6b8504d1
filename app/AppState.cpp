#include "app/AppState.h"

CCore* core = nullptr;
Settings settings;
FilePath appPath;
FilePath itemFilePath;
CString fontFace;
