#include "app/AppState.h"

CCore* core = nullptr;
ItemRecord* ItemTable = nullptr;
ItemOptions* ItemOptionsTable = nullptr;
int itemCount = 0;
int fontSize = kDefaultFontSize;
FilePath appPath;
FilePath itemFilePath;
CString fontFace;
