#include "framework/StdioFile.h"

#include <string>

#ifdef _WIN32
#include "framework/Gbk.h"
#endif

FILE* AfxOpenFile(const CString& path, const char* mode) {
#ifdef _WIN32
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(gbk::toWide(path.view()).c_str(), wideMode.c_str());
#else
  return std::fopen(path.GetString(), mode);
#endif
}

bool CStdioFile::Open(const CString& path, unsigned, void*) {
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
