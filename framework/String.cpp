#include "framework/String.h"

#include <algorithm>

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

std::string zeroPadded(int64_t value, int width) {
  // Built from the last digit up; the magnitude unsigned, so the most negative value has one too.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude);
  const int sign = value < 0 ? 1 : 0;
  const size_t room = static_cast<size_t>(std::max(width - sign, 0));
  if (digits.size() < room) digits.insert(0, room - digits.size(), '0');
  return sign ? "-" + digits : digits;
}

std::string hexDigits(uint64_t value, int width) {
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789abcdef"[value % 16]);
    value /= 16;
  } while (value);
  const size_t room = static_cast<size_t>(std::max(width, 0));
  if (digits.size() < room) digits.insert(0, room - digits.size(), '0');
  return digits;
}

#ifdef _WIN32
BSTR CString::AllocSysString() const {
  std::wstring wide = gbk::toWide(m_text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}
#endif
