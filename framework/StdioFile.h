// File paths and opening files: CStdioFile reads lines, AfxOpenFile opens by path.
#pragma once
#include <cstdio>
#include <string>

#include "framework/String.h"

// A file path in UTF-8, whatever the text encoding of the program: a path may hold any character the
// file system allows (Korean, emoji), which GBK cannot. On Windows it becomes UTF-16 at the W API.
using FilePath = std::string;

#ifdef _WIN32
// The UTF-16 form the W API takes; a long absolute path gets the "\\?\" prefix so MAX_PATH does not
// bound it.
std::wstring widePath(const FilePath& path);
#endif

// fopen by path; the caller closes the file.
FILE* AfxOpenFile(const FilePath& path, const char* mode);

class CStdioFile {
 public:
  enum OpenFlags { modeRead = 0 };
  // Lines longer than this are cut there; the rest of the line is skipped.
  static constexpr int kMaxLineBytes = 64 * 1024;

  CStdioFile() = default;
  CStdioFile(const CStdioFile&) = delete;
  CStdioFile& operator=(const CStdioFile&) = delete;
  ~CStdioFile() { Close(); }

  bool Open(const FilePath& path, unsigned flags, void* exception = nullptr);
  // The next line without its line break (a CR before the LF goes with it); false at the end.
  bool ReadString(CString& line);
  void Close();

 private:
  FILE* m_file = nullptr;
};
