// CString: narrow GBK text, the few operations this program uses.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <wtypes.h>  // BSTR
#endif

class CString {
 public:
  CString() = default;
  CString(const char* text) : m_text(text ? text : "") {}
  CString(const char* text, int length) : m_text(text, static_cast<size_t>(length)) {}
  CString(std::string text) : m_text(std::move(text)) {}

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  const char* GetString() const { return m_text.c_str(); }
  operator const char*() const { return m_text.c_str(); }
  const std::string& str() const { return m_text; }
  std::string_view view() const { return m_text; }

  CString& operator+=(const CString& more) {
    m_text += more.m_text;
    return *this;
  }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
  friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
  friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }

  // Both search GBK characters: a match never starts on the second byte of a double-byte character.
  int Find(const char* needle, int start = 0) const;
  int Find(char ch, int start = 0) const {
    const char s[2] = {ch, 0};
    return Find(s, start);
  }
  int Replace(const char* from, const char* to);

#ifdef _WIN32
  // A UTF-16 copy converted from code page 936; the caller frees it with SysFreeString.
  BSTR AllocSysString() const;
#endif

 private:
  std::string m_text;
};

// Numbers as printf's "%0*d" and "%0*x" write them, without the C library's formatter (which brings
// tens of kilobytes of floating-point code into the program): at least width digits, zeros in front,
// a minus sign before them; hex digits in lower case.
std::string zeroPadded(int64_t value, int width);
std::string hexDigits(uint64_t value, int width);
