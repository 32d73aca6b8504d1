#include "app/AppState.h"

CCore* core = nullptr;
ItemRecord* ItemTable = nullptr;
int itemCount = 0;
int fontSize = kDefaultFontSize;
CString appPath;
CString itemFilePath;
CString fontFace;
