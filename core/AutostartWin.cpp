// The Run value in the current user's registry: no administrator rights, no scheduled task.
#include "core/Autostart.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "core/SettingsPlace.h"
#include "framework/Gbk.h"
#include "framework/PathParts.h"
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
  return gbk::utf8ToWide(autostartValueName(gbk::wideToUtf8(std::wstring(folderOf(path)))));
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

// The file's identity: its volume and its id there. False when it cannot be opened.
bool fileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION* info) {
  const ScopedHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file && GetFileInformationByHandle(file.get(), info);
}

ExeLook lookAtExe(const std::string& exeUtf8) {
  if (!isFullPath(exeUtf8)) return ExeLook::Unknown;
  BY_HANDLE_FILE_INFORMATION there = {}, self = {};
  if (fileIdentity(widePath(exeUtf8), &there)) {
    if (!fileIdentity(moduleFileName(), &self)) return ExeLook::Another;
    return there.dwVolumeSerialNumber == self.dwVolumeSerialNumber && there.nFileIndexHigh == self.nFileIndexHigh &&
                   there.nFileIndexLow == self.nFileIndexLow
               ? ExeLook::ThisProgram
               : ExeLook::Another;
  }
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return ExeLook::Unknown;
  // Gone only where the drive or share answers: a copy on an unplugged stick keeps its value.
  return GetFileAttributesW(widePath(pathRoot(exeUtf8)).c_str()) != INVALID_FILE_ATTRIBUTES ? ExeLook::Gone
                                                                                            : ExeLook::Unknown;
}

// The command of a string value, environment names expanded where the value asks for it.
std::wstring commandOf(const std::vector<BYTE>& data, DWORD type) {
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()));
  if (type != REG_EXPAND_SZ) return text;
  const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::wstring expanded(needed, L'\0');
  const DWORD got = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
  if (got == 0 || got > needed) return text;
  expanded.resize(got - 1);
  return expanded;
}

// The Run values that start this program, or a copy of it that is gone, whatever their names.
std::vector<RunValueFound> findThisProgramsValues() {
  std::vector<RunValueFound> found;
  ScopedKey key(kRunKey, KEY_QUERY_VALUE, false);
  if (!key.get()) return found;
  const std::wstring self = moduleFileName();
  const std::string selfName = gbk::wideToUtf8(std::wstring(fileNameOf(self)));
  std::wstring name(16384, L'\0');  // the longest value name the registry takes
  std::vector<BYTE> data;
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size()), type = 0, dataSize = 0;
    const LONG status = RegEnumValueW(key.get(), index, name.data(), &nameSize, nullptr, &type, nullptr, &dataSize);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) continue;
    if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
    const std::wstring entry(name.data(), nameSize);
    if (!readValue(kRunKey, entry, &data, &type)) continue;
    const std::string command = gbk::wideToUtf8(commandOf(data, type));
    const std::string nameUtf8 = gbk::wideToUtf8(entry);
    if (!mayBeThisProgramsValue(nameUtf8, command, selfName)) continue;
    found.push_back({nameUtf8, runValueKind(lookAtExe(parseRunCommand(command).exe))});
  }
  return found;
}

void removeValue(const std::wstring& name) {
  {
    ScopedKey run(kRunKey, KEY_SET_VALUE, false);
    if (run.get()) RegDeleteValueW(run.get(), name.c_str());
  }
  ScopedKey approved(kApprovedKey, KEY_SET_VALUE, false);
  if (approved.get()) RegDeleteValueW(approved.get(), name.c_str());
}

void writeOwnValue() {
  ScopedKey key(kRunKey, KEY_SET_VALUE, true);
  if (!key.get()) return;
  const std::wstring command = expectedCommand();
  RegSetValueExW(key.get(), valueName().c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

void applyCleanup(const AutostartCleanup& plan) {
  if (!plan.adopt.empty()) {
    const std::wstring old = gbk::utf8ToWide(plan.adopt);
    writeOwnValue();
    // Task Manager's word about the old value goes along with it.
    std::vector<BYTE> approved;
    DWORD type = 0;
    if (readValue(kApprovedKey, old, &approved, &type)) {
      ScopedKey key(kApprovedKey, KEY_SET_VALUE, true);
      if (key.get())
        RegSetValueExW(key.get(), valueName().c_str(), 0, type, approved.data(),
                       static_cast<DWORD>(approved.size() - sizeof(wchar_t)));
    }
    removeValue(old);
  }
  for (const std::string& name : plan.remove) removeValue(gbk::utf8ToWide(name));
}

// The state of the value of this program's own name.
AutostartState readOwnValue() {
  const std::wstring name = valueName();
  std::vector<BYTE> run, approved;
  DWORD type = 0;
  const bool present = readValue(kRunKey, name, &run, &type) && (type == REG_SZ || type == REG_EXPAND_SZ);
  std::string stored = present ? gbk::wideToUtf8(commandOf(run, type)) : std::string();
  DWORD approvedType = 0;
  if (!readValue(kApprovedKey, name, &approved, &approvedType)) approved.clear();
  const size_t approvedSize = approved.empty() ? 0 : approved.size() - sizeof(wchar_t);
  return autostartStateOf(present, stored, gbk::wideToUtf8(expectedCommand()), approved.data(), approvedSize);
}

}  // namespace

AutostartState readAutostart() {
  const AutostartState own = readOwnValue();
  if (own != AutostartState::Off) return own;
  // Not under its own name: a value reached by another name (a short name, a junction) still
  // starts this program, and the box says so.
  for (const RunValueFound& value : findThisProgramsValues()) {
    if (value.kind == RunValueKind::This) return AutostartState::On;
  }
  return AutostartState::Off;
}

bool writeAutostart(bool on) {
  // Every other value that starts this program, or a copy gone, goes: "off" leaves none behind,
  // and "on" leaves one.
  const std::vector<RunValueFound> found = findThisProgramsValues();
  applyCleanup(planAutostartCleanup(found, gbk::wideToUtf8(valueName()), false));
  if (on) {
    writeOwnValue();
  } else {
    ScopedKey key(kRunKey, KEY_SET_VALUE, false);
    if (key.get()) RegDeleteValueW(key.get(), valueName().c_str());
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
  // A value of this program under another name, or one left by a copy that moved away, is taken
  // over under the own name; the rest of them go.
  applyCleanup(planAutostartCleanup(findThisProgramsValues(), gbk::wideToUtf8(valueName()), true));
  if (readOwnValue() == AutostartState::Stale) writeOwnValue();
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
