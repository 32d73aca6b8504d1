#include "app/AppState.h"

CCore* core = nullptr;
ItemRecord* ItemTable = nullptr;
ItemOptions* ItemOptionsTable = nullptr;
int itemCount = 0;
Settings settings;
FilePath appPath;
FilePath itemFilePath;
CString fontFace;
int storedCount = 0;
std::vector<int> rowRecords;
bool nothingSoonRow = false;
