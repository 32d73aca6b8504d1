#include "core/Core.h"

#include <string>

#include "core/TextFile.h"
#include "framework/StdioFile.h"

int CCore::isFileExist(const FilePath& path) {
  FILE* file = AfxOpenFile(path, "rb");
  if (!file) return 0;
  std::fclose(file);
  return 1;
}

CString CCore::getFg(const CString& text, char separator, int index) {
  const std::string& s = text.str();
  size_t begin = 0;
  for (int field = 0; field < index; ++field) {
    size_t at = s.find(separator, begin);
    if (at == std::string::npos) return CString();
    begin = at + 1;
  }
  size_t end = s.find(separator, begin);
  return CString(s.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
}

CString CCore::getStrInt(int value) { return CString(std::to_string(value)); }

CString CCore::readTxtFile(const FilePath& path) {
  std::string bytes;
  if (readFileBytes(path, bytes) != ReadResult::Ok) return CString();
  return CString(decodeToGbk(bytes, detectEncoding(bytes)));
}

bool CCore::outTxtFile(const CString& content, const FilePath& path) { return replaceFileBytes(path, content.view()); }
