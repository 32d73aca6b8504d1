// The core services that need Windows: the settings file, the program's path, warning boxes.
#include "core/Core.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "framework/Gbk.h"

namespace {
const wchar_t kSection[] = L"Tessaly";
}

void CCore::autoFileConfig() { m_configPath = getAppPath() + ".ini"; }

int CCore::getConfigInt(const char* key) {
  wchar_t text[32] = {};
  GetPrivateProfileStringW(kSection, gbk::toWide(key).c_str(), L"", text, 32, gbk::toWide(m_configPath.view()).c_str());
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
  return WritePrivateProfileStringW(kSection, gbk::toWide(key.view()).c_str(), digits.c_str(),
                                    gbk::toWide(m_configPath.view()).c_str()) != FALSE;
}

CString CCore::getAppPath() {
  // Long paths: grow the buffer until the whole path fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return CString();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  size_t dot = path.find_last_of(L'.');
  if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) path.resize(dot);
  return CString(gbk::fromWide(path));
}

void CCore::msgboxWarning(HWND owner, const CString& message) {
  MessageBoxW(owner, gbk::toWide(message.view()).c_str(), L"Tessaly", MB_OK | MB_ICONWARNING);
}
