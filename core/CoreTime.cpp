// The core services' clock and date texts.
#include "core/Core.h"
#include "core/DateText.h"

CTime CCore::getTimeNow() { return CTime::GetCurrentTime(); }

CTime CCore::getTimeFromStr(const CString& text) { return timeFromDateText(text.view(), getTimeNow()); }
