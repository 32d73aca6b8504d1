// The Run value in the current user's registry: no administrator rights, no scheduled task.
#include "core/Autostart.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "framework/Gbk.h"
#include "framework/StdioFile.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

class ScopedKey {
 public:
  ScopedKey(const wchar_t* path, REGSAM access, bool create) {
    LONG status = create ? RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, access, nullptr, &m_key, nullptr)
                         : RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, access, &m_key);
    if (status != ERROR_SUCCESS) m_key = nullptr;
  }
  ~ScopedKey() {
    if (m_key) RegCloseKey(m_key);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  HKEY get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

std::wstring valueName() {
  std::wstring path = moduleFileName();
  return gbk::utf8ToWide(autostartValueName(gbk::wideToUtf8(path.substr(0, path.find_last_of(L"\\/")))));
}

std::wstring expectedCommand() { return gbk::utf8ToWide(autostartCommand(gbk::wideToUtf8(moduleFileName()))); }

// The value's bytes; false when it is not there.
bool readValue(const wchar_t* keyPath, const std::wstring& name, std::vector<BYTE>* data, DWORD* type) {
  ScopedKey key(keyPath, KEY_QUERY_VALUE, false);
  if (!key.get()) return false;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS) return false;
  data->assign(size + sizeof(wchar_t), 0);  // room for a terminating zero the value may lack
  return RegQueryValueExW(key.get(), name.c_str(), nullptr, type, data->data(), &size) == ERROR_SUCCESS;
}

}  // namespace

AutostartState readAutostart() {
  const std::wstring name = valueName();
  std::vector<BYTE> run, approved;
  DWORD type = 0;
  const bool present = readValue(kRunKey, name, &run, &type) && (type == REG_SZ || type == REG_EXPAND_SZ);
  std::string stored = present ? gbk::wideToUtf8(reinterpret_cast<const wchar_t*>(run.data())) : std::string();
  DWORD approvedType = 0;
  if (!readValue(kApprovedKey, name, &approved, &approvedType)) approved.clear();
  return autostartStateOf(present, stored, gbk::wideToUtf8(expectedCommand()), approved.data(), approved.size());
}

bool writeAutostart(bool on) {
  const std::wstring name = valueName();
  {
    ScopedKey key(kRunKey, KEY_SET_VALUE, on);
    if (key.get()) {
      if (on) {
        const std::wstring command = expectedCommand();
        RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
      } else {
        RegDeleteValueW(key.get(), name.c_str());
      }
    }
  }
  // Read back: what counts is what the registry holds now, not what the calls said.
  const AutostartState state = readAutostart();
  return on ? state == AutostartState::On || state == AutostartState::Disabled : state == AutostartState::Off;
}

bool clearStartupDisabled() {
  {
    ScopedKey key(kApprovedKey, KEY_SET_VALUE, false);
    if (key.get()) RegDeleteValueW(key.get(), valueName().c_str());
  }
  return readAutostart() != AutostartState::Disabled;
}

void renewStaleAutostart() {
  if (readAutostart() == AutostartState::Stale) writeAutostart(true);
}

bool isAutostartCommandLine(bool* on, bool* valid) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return false;
  bool asked = false;
  if (argc >= 2 && (lstrcmpiW(argv[1], L"--autostart") == 0 || lstrcmpiW(argv[1], L"/autostart") == 0)) {
    asked = true;
    *valid = argc == 3 && parseAutostartWord(gbk::wideToUtf8(argv[2]), on);
  }
  LocalFree(argv);
  return asked;
}
