// The core services that need Windows: the settings file and where it lives, the program's path,
// the message when the settings could not be stored.
#include "core/Core.h"

#include <shlobj.h>

#include <string>

#include "framework/Gbk.h"
#include "framework/PathParts.h"
#include "res/Texts.h"

namespace {
const wchar_t kSection[] = L"Tessaly";

// The settings path as the profile functions take it. They stop at MAX_PATH and know no "\\?\"
// prefix: a longer path goes through its folder's short (8.3) name where the volume has them.
std::wstring profilePath(const FilePath& path) {
  std::wstring plain = gbk::utf8ToWide(path);
  if (plain.size() < MAX_PATH) return plain;
  std::wstring wide = widePath(path);
  if (fileNameOf(wide).size() == wide.size()) return wide;
  std::wstring folder(folderOf(wide));
  DWORD needed = GetShortPathNameW(folder.c_str(), nullptr, 0);
  if (needed == 0) return wide;
  std::wstring shortFolder(needed, L'\0');
  DWORD got = GetShortPathNameW(folder.c_str(), shortFolder.data(), needed);
  if (got == 0 || got >= needed) return wide;
  shortFolder.resize(got);
  if (shortFolder.compare(0, 4, L"\\\\?\\") == 0 && shortFolder.compare(0, 8, L"\\\\?\\UNC\\") != 0)
    shortFolder.erase(0, 4);
  std::wstring shortened = shortFolder + wide.substr(folder.size());
  return shortened.size() < MAX_PATH ? shortened : wide;
}

DWORD attributes(const FilePath& path) { return GetFileAttributesW(widePath(path).c_str()); }
bool isFolder(const FilePath& path) {
  DWORD a = attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
bool isFile(const FilePath& path) {
  DWORD a = attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

FolderLook lookAtFolder(const FilePath& folder) {
  FolderLook look;
  const DWORD a = attributes(folder);
  if (a != INVALID_FILE_ATTRIBUTES) {
    look.folder = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    look.file = !look.folder;
    return look;
  }
  look.denied = GetLastError() == ERROR_ACCESS_DENIED;
  const FilePath root = pathRoot(folder);
  look.rootThere = !root.empty() && attributes(root) != INVALID_FILE_ATTRIBUTES;
  return look;
}

// The folder as the file system names it; the path as given when the folder cannot be opened.
FilePath finalFolder(const FilePath& folder) {
  const std::wstring path = finalFolderPath(widePath(folder));
  return path.empty() ? folder : gbk::wideToUtf8(path);
}

// Creates and deletes a file of a name no other run uses: the folder takes new files.
bool folderTakesFiles(const FilePath& folder, const FilePath& exeName) {
  const FilePath probe = folder + "\\" + exeName + ".probe-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(GetTickCount()) + ".tmp";
  const ScopedHandle file(CreateFileW(widePath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                      nullptr));
  return static_cast<bool>(file);
}

FilePath tempFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  DWORD n = GetTempPathW(MAX_PATH + 1, path);
  return n == 0 || n > MAX_PATH ? FilePath() : finalFolder(gbk::wideToUtf8(path));
}

FilePath roamingAppData() {
  PWSTR path = nullptr;
  FilePath folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &path)))
    folder = gbk::wideToUtf8(path);
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

// The settings model's store: this settings file's section "Tessaly", read once for all its keys.
class ProfileSettings : public SettingsStore {
 public:
  explicit ProfileSettings(CCore& core) : m_core(core), m_readingOnce(core.m_readOnce) { m_core.m_readOnce = true; }
  ~ProfileSettings() override {
    m_core.m_readOnce = m_readingOnce;
    if (!m_readingOnce) m_core.m_sectionsRead.clear();
  }
  std::string read(const char* key) override { return gbk::wideToUtf8(m_core.getConfigText(key)); }
  bool holds(const char* key) override {
    bool held = false;
    m_core.getConfigText(key, nullptr, &held);
    return held;
  }
  bool write(const std::vector<std::pair<const char*, std::string>>& values) override {
    std::vector<std::wstring> texts;
    std::vector<CCore::ConfigWrite> writes;
    texts.reserve(values.size());
    for (const auto& [key, value] : values) {
      texts.push_back(gbk::utf8ToWide(value));
      writes.push_back({key, texts.back().c_str()});
    }
    return m_core.writeConfig(writes.data(), writes.size(), kSection);
  }

 private:
  CCore& m_core;
  const bool m_readingOnce;
};

Settings CCore::loadSettings() {
  ProfileSettings store(*this);
  return ::loadSettings(store);
}

bool CCore::saveSettings(const Settings& settings, std::initializer_list<SettingId> ids) {
  ProfileSettings store(*this);
  return ::saveSettings(store, settings, ids);
}

std::wstring CCore::unsavedNote(Unsaved what, int fontSize) {
  m_configFailureTold = true;  // one message for one cause
  const char* text = what == Unsaved::FontSize  ? kFontSizeNotSaved
                     : what == Unsaved::Options ? kOptionsNotSaved
                     : what == Unsaved::ItemDir ? kItemDirNotSaved
                                                : kSettingsNotSaved;
  return gbk::fill(text, {gbk::utf8ToWide(m_configPath), gbk::toWide(std::to_string(fontSize))});
}

std::wstring CCore::untoldUnsavedNote() {
  if (!m_configWriteFailed || m_configFailureTold) return std::wstring();
  return unsavedNote(Unsaved::Changes);
}

FilePath CCore::appDataHomeFolder() {
  const FilePath appData = roamingAppData();
  if (appData.empty()) return FilePath();
  const FilePath app = getAppFilePath();
  static const FilePath exeFolder =
      finalFolder(fileNameOf(app).size() == app.size() ? FilePath(".") : FilePath(folderOf(app)));
  return appDataHome(appData, exeFolder);
}

PlaceKind CCore::autoFileConfig(bool prepare) {
  const FilePath app = getAppFilePath();
  const FilePath exeName(fileNameOf(app));
  const FilePath plainFolder = exeName.size() == app.size() ? FilePath(".") : FilePath(folderOf(app));
  // The program's folder does not move while it runs: looked at once, though the start asks twice
  // (before the single-instance claim, and when the widget is made).
  static const PlaceFacts folderFacts = [&] {
    PlaceFacts found;
    found.exeFolder = finalFolder(plainFolder);
    found.exeName = exeName;
    found.tempFolder = tempFolder();
    found.portableMarker = isFile(plainFolder + "\\portable");
    return found;
  }();
  static int writable = -1;  // not probed yet
  PlaceFacts facts = folderFacts;
  const auto probe = [&] {
    if (writable < 0) writable = folderTakesFiles(plainFolder, exeName);
    return writable == 1;
  };
  m_place = decideSettingsPlace(facts, probe);
  if (m_place.kind == PlaceKind::BesideProgram && writable == 0 && !facts.portableMarker) {
    // The other place is looked up only when the program's folder cannot take the files: the shell's
    // folder lookup would cost every start that does not need it.
    facts.appDataFolder = roamingAppData();
    facts.listBesideExe = isFile(app + "_items.txt");
    facts.iniBesideExe = isFile(app + ".ini");
    facts.homeExists = !facts.appDataFolder.empty() && isFolder(appDataHome(facts.appDataFolder, facts.exeFolder));
    m_place = decideSettingsPlace(facts, probe);
  }
  m_placeNote.clear();
  if (m_place.kind != PlaceKind::AppData) {
    m_place.folder = plainFolder;  // as the program was started, the spelling the user knows
  } else if (m_place.makeFolder && !prepare) {
    m_place.folder = plainFolder;  // what the new home would start from
  } else if (m_place.makeFolder) {
    // "<app data>\Tessaly" first: CreateDirectory makes one level.
    CreateDirectoryW(widePath(FilePath(folderOf(m_place.folder))).c_str(), nullptr);
    if (!CreateDirectoryW(widePath(m_place.folder).c_str(), nullptr) && !isFolder(m_place.folder)) {
      m_place.folder = plainFolder;  // nowhere better: the failures to save are told as ever
    } else {
      const FilePath home = m_place.folder + "\\" + exeName;
      std::wstring copied;
      if (m_place.copyList &&
          CopyFileW(widePath(app + "_items.txt").c_str(), widePath(home + "_items.txt").c_str(), TRUE))
        copied = gbk::toWide("\r\n程序文件夹中的纪念日文件已复制到这里，原文件保留不变。");
      if (m_place.copyIni) CopyFileW(widePath(app + ".ini").c_str(), widePath(home + ".ini").c_str(), TRUE);
      m_placeNote = gbk::toWide("程序所在的文件夹不可写，设置和纪念日文件保存在：\r\n") +
                    gbk::utf8ToWide(m_place.folder) + copied;
    }
  }
  if (m_place.portableNotWritable)
    m_placeNote = gbk::toWide(
                      "程序文件夹中有 portable 标记文件，设置和纪念日文件留在程序文件夹中，但这个文件夹不可写，"
                      "修改将无法保存：\r\n") +
                  gbk::utf8ToWide(plainFolder);
  m_configPath = m_place.folder + "\\" + exeName + ".ini";
  return m_place.kind;
}

namespace {
const char* const kItemDirKey = settingKey(SettingId::ItemDir).name;
}

FilePath CCore::itemDir() {
  const FilePath stored = gbk::wideToUtf8(getConfigText(kItemDirKey));
  return itemDirFromSetting(stored);
}

FilePath CCore::listPath() { return listPathIn(itemDir()); }

FilePath CCore::listPathIn(const FilePath& folder) {
  const FilePath app = getAppFilePath();
  return listPathFor(m_place.folder, folder, fileNameOf(app));
}

bool CCore::saveItemDir(const FilePath& folder) {
  if (folder.empty()) return saveConfigText(kItemDirKey, nullptr);
  const std::wstring plain = gbk::utf8ToWide(folder);
  if (!saveConfigText(kItemDirKey, plain.c_str())) return false;
  // The settings file's own encoding (the system's code page) may lack some of the path's characters.
  if (getConfigText(kItemDirKey) == plain) return true;
  return saveConfigText(kItemDirKey, gbk::utf8ToWide(escapeItemDir(folder)).c_str());
}

std::wstring CCore::itemDirNote() {
  if (m_itemDirNoted) return std::wstring();
  const std::wstring stored = getConfigText(kItemDirKey);
  if (stored.empty()) return std::wstring();
  const FilePath folder = itemDir();
  ItemDirTrouble trouble = itemDirSettingTrouble(gbk::wideToUtf8(stored));
  if (trouble == ItemDirTrouble::None) trouble = itemDirFolderTrouble(folder, lookAtFolder(folder));
  if (trouble == ItemDirTrouble::None) return std::wstring();
  m_itemDirNoted = true;
  const std::wstring named = gbk::utf8ToWide(folder);
  const std::wstring kept = gbk::toWide("\r\n请在“选项”中重新选择纪念日文件位置，列表暂时是空的。");
  switch (trouble) {
    case ItemDirTrouble::Unreadable:
      return gbk::toWide("设置文件中的纪念日文件位置无法读取（编码损坏，或含有路径中不能有的字符），没有使用：\r\n") +
             stored;
    case ItemDirTrouble::NotFullPath:
      return gbk::toWide("设置文件中的纪念日文件位置不是完整的文件夹路径，没有使用：\r\n") + stored;
    case ItemDirTrouble::NameTooLong:
      return gbk::toWide("纪念日文件位置中有超过 255 个字符的名称，这样的文件夹不能存在：\r\n") + named + kept;
    case ItemDirTrouble::FileInTheWay:
      return gbk::toWide("纪念日文件位置是一个文件，不是文件夹（已有同名的文件）：\r\n") + named + kept;
    case ItemDirTrouble::NoAccess:
      return gbk::toWide("没有权限打开纪念日文件所在的文件夹，列表暂时是空的：\r\n") + named +
             gbk::toWide("\r\n请检查文件夹的权限，或在“选项”中重新选择纪念日文件位置。");
    case ItemDirTrouble::NetworkUnreachable:
      return gbk::toWide("无法连接纪念日文件所在的网络文件夹（网络或服务器可能未连接），列表暂时是空的：\r\n") + named +
             gbk::toWide("\r\n网络连接恢复后重新启动 Tessaly 即可，设置保持不变。");
    case ItemDirTrouble::DriveMissing:
      return gbk::toWide("找不到纪念日文件所在的文件夹（驱动器可能已拔出），列表暂时是空的：\r\n") + named +
             gbk::toWide("\r\n文件夹回来后重新启动 Tessaly 即可，设置保持不变。");
    default:
      return gbk::toWide("找不到纪念日文件所在的文件夹（它可能已被移动、改名或删除），列表暂时是空的：\r\n") + named +
             gbk::toWide("\r\n文件夹回来后重新启动 Tessaly 即可，设置保持不变。");
  }
}

int CCore::getConfigInt(const char* key) { return parseSettingNumber(gbk::wideToUtf8(getConfigText(key))); }

bool CCore::saveConfigInt(const CString& key, int value) {
  const std::string name(key.view());
  // Digits only, so the narrow conversion serves: the wide one would bring in formatted output.
  return saveConfigText(name.c_str(), gbk::toWide(std::to_string(value)).c_str());
}

std::wstring CCore::getConfigText(const char* key, const wchar_t* section, bool* held) {
  if (!section) section = kSection;
  if (m_readOnce) {
    auto read = m_sectionsRead.begin();
    while (read != m_sectionsRead.end() && read->first != section) ++read;
    if (read == m_sectionsRead.end()) {
      // Read as a whole; the call says nothing of a section cut at the buffer's end either.
      std::wstring block(4096, L'\0');
      DWORD n = 0;
      for (;;) {
        n = GetPrivateProfileSectionW(section, block.data(), static_cast<DWORD>(block.size()),
                                      profilePath(m_configPath).c_str());
        if (n + 2 < block.size() || block.size() >= (1u << 20)) break;
        block.resize(block.size() * 4);
      }
      block.resize(n);
      read = m_sectionsRead.emplace(m_sectionsRead.end(), section, SettingsSection(block));
    }
    const std::wstring* value = read->second.find(key);
    if (held) *held = value != nullptr;
    return value ? *value : std::wstring();
  }
  // The profile functions say nothing of a value cut at the buffer's end: grow until it fits. A key
  // the file lacks gives the default, a line break no value can hold.
  std::wstring text(256, L'\0');
  for (;;) {
    DWORD n = GetPrivateProfileStringW(section, gbk::toWide(key).c_str(), held ? L"\n" : L"", text.data(),
                                       static_cast<DWORD>(text.size()), profilePath(m_configPath).c_str());
    if (n + 1 < text.size() || text.size() >= 65536) {
      text.resize(n);
      if (held) *held = text != L"\n";
      if (text == L"\n") text.clear();
      return text;
    }
    text.resize(text.size() * 4);
  }
}

void CCore::readSettingsOnce(bool on) {
  m_readOnce = on;
  m_sectionsRead.clear();
}

bool CCore::saveConfigText(const char* key, const wchar_t* value, const wchar_t* section) {
  // A value the file holds already is not written again: the place saved at every quit costs no
  // write, and no flush, when the widget has not moved.
  if (value && *value && getConfigText(key, section) == value) return true;
  const ConfigWrite write = {key, value};
  return writeConfig(&write, 1, section ? section : kSection);
}

bool CCore::writeConfig(const ConfigWrite* writes, size_t count, const wchar_t* section) {
  if (count == 0) return true;
  const std::wstring path = profilePath(m_configPath);
  bool saved = true;
  for (size_t i = 0; i < count; ++i)
    saved =
        WritePrivateProfileStringW(section, gbk::toWide(writes[i].key).c_str(), writes[i].value, path.c_str()) && saved;
  // The profile functions write the file in place and leave it in the system's cache: it is flushed
  // to the disk, once after the last value, so that a power cut does not take the values back.
  ScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) FlushFileBuffers(file.get());
  m_sectionsRead.clear();
  m_configWriteFailed = m_configWriteFailed || !saved;
  return saved;
}

FilePath CCore::getAppFilePath() {
  std::wstring path = moduleFileName();
  const size_t dot = fileNameOf(path).find_last_of(L'.');
  if (dot != std::wstring::npos) path.resize(path.size() - fileNameOf(path).size() + dot);
  return gbk::wideToUtf8(path);
}
