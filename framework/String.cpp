#include "framework/String.h"

#include "framework/Gbk.h"

#ifdef _WIN32
#include <oleauto.h>
#endif

int CString::Find(const char* needle, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  size_t at = gbk::find(m_text, needle ? needle : "", static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(const char* from, const char* to) {
  return gbk::replaceAll(m_text, from ? from : "", to ? to : "");
}

#ifdef _WIN32
BSTR CString::AllocSysString() const {
  std::wstring wide = gbk::toWide(m_text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}
#endif
