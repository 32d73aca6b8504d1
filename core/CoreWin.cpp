// The core services that need Windows: the settings file, the program's path, warning boxes.
#include "core/Core.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "framework/Gbk.h"

namespace {
const wchar_t kSection[] = L"Tessaly";

// The settings path as the profile functions take it. They stop at MAX_PATH and know no "\\?\"
// prefix: a longer path goes through its folder's short (8.3) name where the volume has them.
std::wstring profilePath(const FilePath& path) {
  std::wstring plain = gbk::utf8ToWide(path);
  if (plain.size() < MAX_PATH) return plain;
  std::wstring wide = widePath(path);
  size_t slash = wide.find_last_of(L'\\');
  if (slash == std::wstring::npos) return wide;
  std::wstring folder = wide.substr(0, slash);
  DWORD needed = GetShortPathNameW(folder.c_str(), nullptr, 0);
  if (needed == 0) return wide;
  std::wstring shortFolder(needed, L'\0');
  DWORD got = GetShortPathNameW(folder.c_str(), shortFolder.data(), needed);
  if (got == 0 || got >= needed) return wide;
  shortFolder.resize(got);
  if (shortFolder.compare(0, 4, L"\\\\?\\") == 0 && shortFolder.compare(0, 8, L"\\\\?\\UNC\\") != 0)
    shortFolder.erase(0, 4);
  std::wstring shortened = shortFolder + wide.substr(slash);
  return shortened.size() < MAX_PATH ? shortened : wide;
}

// The profile functions write the settings file in place and leave it in the system's cache: a
// written value is flushed to the disk at once, so that a power cut does not take it back.
bool written(BOOL wrote, const std::wstring& path) {
  if (!wrote) return false;
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) FlushFileBuffers(file.get());
  return true;
}
}

void CCore::autoFileConfig() { m_configPath = getAppFilePath() + ".ini"; }

int CCore::getConfigInt(const char* key) {
  wchar_t text[32] = {};
  GetPrivateProfileStringW(kSection, gbk::toWide(key).c_str(), L"", text, 32, profilePath(m_configPath).c_str());
  // Strictly a decimal int: anything else (a damaged or hand-edited file) counts as never saved.
  wchar_t* end = nullptr;
  errno = 0;
  long value = std::wcstol(text, &end, 10);
  while (end && (*end == L' ' || *end == L'\t')) ++end;
  if (end == text || !end || *end != L'\0' || errno == ERANGE || value < INT_MIN + 1L || value > INT_MAX)
    return kConfigNotSaved;
  return static_cast<int>(value);
}

bool CCore::saveConfigInt(const CString& key, int value) {
  // Digits only, so the narrow conversion serves: the wide one would bring in formatted output.
  const std::wstring digits = gbk::toWide(std::to_string(value));
  const std::wstring path = profilePath(m_configPath);
  return written(WritePrivateProfileStringW(kSection, gbk::toWide(key.view()).c_str(), digits.c_str(), path.c_str()),
                 path);
}

std::wstring CCore::getConfigText(const char* key, const wchar_t* section) {
  // The profile functions say nothing of a value cut at the buffer's end: grow until it fits.
  std::wstring text(256, L'\0');
  for (;;) {
    DWORD n = GetPrivateProfileStringW(section ? section : kSection, gbk::toWide(key).c_str(), L"", text.data(),
                                       static_cast<DWORD>(text.size()), profilePath(m_configPath).c_str());
    if (n + 1 < text.size() || text.size() >= 65536) {
      text.resize(n);
      return text;
    }
    text.resize(text.size() * 4);
  }
}

bool CCore::saveConfigText(const char* key, const wchar_t* value, const wchar_t* section) {
  const std::wstring path = profilePath(m_configPath);
  return written(WritePrivateProfileStringW(section ? section : kSection, gbk::toWide(key).c_str(), value, path.c_str()),
                 path);
}

CString CCore::getAppPath() { return CString(gbk::utf8ToGbk(getAppFilePath())); }

FilePath CCore::getAppFilePath() {
  // Long paths: grow the buffer until the whole path fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return FilePath();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  // Started through a long-path name: the prefix comes back where the path meets Windows again.
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    path = L"\\" + path.substr(7);
  else if (path.compare(0, 4, L"\\\\?\\") == 0)
    path = path.substr(4);
  size_t slash = path.find_last_of(L"\\/");
  size_t dot = path.find_last_of(L'.');
  if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) path.resize(dot);
  return gbk::wideToUtf8(path);
}

void CCore::msgboxWarning(HWND owner, const CString& message) { msgboxWarning(owner, gbk::toWide(message.view())); }

void CCore::msgboxWarning(HWND owner, const std::wstring& message) {
  MessageBoxW(owner, message.c_str(), L"Tessaly", MB_OK | MB_ICONWARNING);
}
