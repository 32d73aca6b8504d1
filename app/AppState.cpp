#include "app/AppState.h"

CCore* core = nullptr;
ItemRecord* ItemTable = nullptr;
int itemCount = 0;
int fontSize = kDefaultFontSize;
FilePath appPath;
FilePath itemFilePath;
CString fontFace;
