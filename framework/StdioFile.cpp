#include "framework/StdioFile.h"

#include <string>

#ifdef _WIN32
#include <windows.h>

#include "framework/Gbk.h"

std::wstring widePath(const FilePath& path) {
  std::wstring wide = gbk::utf8ToWide(path);
  // Below MAX_PATH (less room for a file name the system may add) the path goes as it is.
  if (wide.size() < MAX_PATH - 12) return wide;
  auto isSlash = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  std::wstring prefixed;
  if (wide.size() > 2 && wide[1] == L':' && isSlash(wide[2]))
    prefixed = L"\\\\?\\" + wide;
  else if (wide.size() > 2 && isSlash(wide[0]) && isSlash(wide[1]) && wide[2] != L'?' && wide[2] != L'.')
    prefixed = L"\\\\?\\UNC\\" + wide.substr(2);
  else
    return wide;  // relative: the system resolves it, and says so if it is too long
  // Behind the prefix the system takes the path literally: only backslashes separate.
  for (wchar_t& c : prefixed)
    if (c == L'/') c = L'\\';
  return prefixed;
}
#endif

FILE* AfxOpenFile(const FilePath& path, const char* mode) {
#ifdef _WIN32
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(widePath(path).c_str(), wideMode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

bool CStdioFile::Open(const FilePath& path, unsigned, void*) {
  Close();
  // Binary underneath: line breaks are handled here, the same way on every platform.
  m_file = AfxOpenFile(path, "rb");
  return m_file != nullptr;
}

bool CStdioFile::ReadString(CString& line) {
  if (!m_file) return false;
  std::string text;
  int c;
  bool any = false;
  while ((c = std::fgetc(m_file)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (text.size() < static_cast<size_t>(kMaxLineBytes)) text.push_back(static_cast<char>(c));
  }
  if (!any) return false;
  if (c == '\n' && !text.empty() && text.back() == '\r') text.pop_back();
  line = CString(std::move(text));
  return true;
}

void CStdioFile::Close() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
}
