#include "items/Calendar.h"

std::string writeIcs(const ItemRecord*, const ItemOptions*, int, CTime) { return {}; }

std::string foldIcsLine(std::string_view line) { return std::string(line) + "\r\n"; }
