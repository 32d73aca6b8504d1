// File paths and opening files by path.
#pragma once
#include <cstdio>
#include <string>

// A file path in UTF-8, whatever the text encoding of the program: a path may hold any character the
// file system allows (Korean, emoji), which GBK cannot. On Windows it becomes UTF-16 at the W API.
using FilePath = std::string;

#ifdef _WIN32
#include <windows.h>

// One kernel handle (a file, a mutex, a process), closed when it goes out of scope.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { close(); }
  explicit operator bool() const { return m_handle != nullptr; }
  HANDLE get() const { return m_handle; }
  void reset(HANDLE handle) {
    close();
    m_handle = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
  }
  bool close() {
    bool closed = !m_handle || CloseHandle(m_handle);
    m_handle = nullptr;
    return closed;
  }

 private:
  HANDLE m_handle;
};

// The UTF-16 form the W API takes; a long absolute path gets the "\\?\" prefix so MAX_PATH does not
// bound it.
std::wstring widePath(const FilePath& path);

// The program's own full path, whatever its length, without a "\\?\" prefix; empty on failure.
std::wstring moduleFileName();

// The folder as the file system finally names it (links, junctions, subst drives and 8.3 names
// resolved), without a "\\?\" prefix: two spellings of one folder compare equal. folder as the W API
// takes it (widePath); empty when the folder cannot be opened.
std::wstring finalFolderPath(const std::wstring& folder);
#endif

// fopen by path; the caller closes the file.
FILE* AfxOpenFile(const FilePath& path, const char* mode);

// Why a file could not be read or written.
enum class FileError { None, Missing, IsFolder, Locked, Denied, TooLarge, Other, ReadOnly, DiskFull };

// Opens path to read (binary); nullptr when it cannot, with the reason in error and the system's
// error number (errno, or the Windows error code) in code.
FILE* openToRead(const FilePath& path, FileError* error, int* code);
// The reason after a read from an open file failed (a folder opened as a file fails only here).
FileError readFailure(int* code);
