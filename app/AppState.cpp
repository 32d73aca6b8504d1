#include "app/AppState.h"

CCore* core = nullptr;
int fontSize = kDefaultFontSize;
FilePath appPath;
FilePath itemFilePath;
CString fontFace;
int rowsSetting = kDefaultRows;
RowOrder rowOrder = RowOrder::File;
int withinDays = 0;
