// CStdioFile: line reading in text mode, and opening files by GBK path.
#pragma once
#include <cstdio>

#include "framework/String.h"

// fopen by a GBK path (converted to UTF-16 on Windows); the caller closes the file.
FILE* AfxOpenFile(const CString& path, const char* mode);

class CStdioFile {
 public:
  enum OpenFlags { modeRead = 0 };
  // Lines longer than this are cut there; the rest of the line is skipped.
  static constexpr int kMaxLineBytes = 64 * 1024;

  CStdioFile() = default;
  CStdioFile(const CStdioFile&) = delete;
  CStdioFile& operator=(const CStdioFile&) = delete;
  ~CStdioFile() { Close(); }

  bool Open(const CString& path, unsigned flags, void* exception = nullptr);
  // The next line without its line break (a CR before the LF goes with it); false at the end.
  bool ReadString(CString& line);
  void Close();

 private:
  FILE* m_file = nullptr;
};
