#include "framework/StdioFile.h"

#include <cerrno>
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

namespace {

// A path the system gave back, in the form the user knows: "\\?\C:\..." as "C:\...", "\\?\UNC\server\..."
// as "\\server\...".
std::wstring withoutLongPathPrefix(const std::wstring& path) {
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

}  // namespace

std::wstring moduleFileName() {
  // Long paths: grow the buffer until the whole path fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  // Started through a long-path name: the prefix comes back where the path meets Windows again.
  return withoutLongPathPrefix(path);
}

std::wstring finalFolderPath(const std::wstring& folder) {
  ScopedHandle handle(CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return std::wstring();
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        GetFinalPathNameByHandleW(handle.get(), path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return withoutLongPathPrefix(path);
    }
    path.resize(n + 1);
  }
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

FILE* openToRead(const FilePath& path, FileError* error, int* code) {
  errno = 0;
#ifdef _WIN32
  SetLastError(ERROR_SUCCESS);
  FILE* file = AfxOpenFile(path, "rb");
  if (file) {
    *error = FileError::None;
    *code = 0;
    return file;
  }
  // The C library keeps the Windows error behind its errno.
  DWORD system = _doserrno ? static_cast<DWORD>(_doserrno) : GetLastError();
  *code = static_cast<int>(system);
  switch (system) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      *error = FileError::Missing;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      *error = FileError::Locked;
      break;
    case ERROR_ACCESS_DENIED: {
      DWORD attributes = GetFileAttributesW(widePath(path).c_str());
      *error = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileError::IsFolder
                                                                                                : FileError::Denied;
      break;
    }
    default:
      *error = errno == ENOENT ? FileError::Missing : FileError::Other;
      break;
  }
  return nullptr;
#else
  FILE* file = AfxOpenFile(path, "rb");
  *code = file ? 0 : errno;
  if (file)
    *error = FileError::None;
  else if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG)
    *error = FileError::Missing;
  else if (errno == EISDIR)
    *error = FileError::IsFolder;
  else if (errno == EACCES || errno == EPERM)
    *error = FileError::Denied;
  else if (errno == ETXTBSY || errno == EAGAIN || errno == EBUSY)
    *error = FileError::Locked;
  else
    *error = FileError::Other;
  return file;
#endif
}

FileError readFailure(int* code) {
  *code = errno;
  if (errno == EISDIR) return FileError::IsFolder;
#ifdef _WIN32
  *code = _doserrno ? static_cast<int>(_doserrno) : errno;
  if (_doserrno == ERROR_LOCK_VIOLATION) return FileError::Locked;
#endif
  return FileError::Other;
}
