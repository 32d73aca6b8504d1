#include "app/AppState.h"

CCore* core = nullptr;
ItemRecord* ItemTable = nullptr;
ItemOptions* ItemOptionsTable = nullptr;
int itemCount = 0;
int fontSize = kDefaultFontSize;
FilePath appPath;
FilePath itemFilePath;
CString fontFace;
int rowsSetting = kDefaultRows;
RowOrder rowOrder = RowOrder::File;
int withinDays = 0;
int storedCount = 0;
std::vector<int> rowRecords;
bool nothingSoonRow = false;
