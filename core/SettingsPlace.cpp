#include "core/SettingsPlace.h"

#include <cstdint>

#include "framework/Gbk.h"
#include "framework/PathParts.h"
#include "framework/String.h"

namespace {

char foldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view trimSlashes(std::string_view path) {
  // "C:\" keeps its backslash only as a root; the callers add their own.
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
  return path;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = foldAscii(c);
  return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

constexpr std::string_view kEscaped = "u8:";

bool isEscaped(std::string_view stored) { return stored.substr(0, kEscaped.size()) == kEscaped; }

// The longest name, in UTF-16 units, the file systems take for one folder or file.
constexpr size_t kMaxNameUnits = 255;

size_t longestNameUnits(std::string_view path) {
  size_t longest = 0, units = 0;
  for (char c : path) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '/') {
      units = 0;
      continue;
    }
    if ((u & 0xC0) != 0x80) units += u >= 0xF0 ? 2 : 1;  // a lead byte; four bytes make a surrogate pair
    if (units > longest) longest = units;
  }
  return longest;
}

}  // namespace

bool isInFolder(std::string_view path, std::string_view folder) {
  path = trimSlashes(path);
  folder = trimSlashes(folder);
  if (folder.empty() || path.size() < folder.size()) return false;
  for (size_t i = 0; i < folder.size(); ++i) {
    char a = foldAscii(path[i]), b = foldAscii(folder[i]);
    if (a == '/') a = '\\';
    if (b == '/') b = '\\';
    if (a != b) return false;
  }
  return path.size() == folder.size() || path[folder.size()] == '\\' || path[folder.size()] == '/';
}

bool isFullPath(std::string_view path) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= 3 && letter(path[0]) && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) return true;
  // A UNC path names a server and a share.
  if (path.size() < 5 || path[0] != '\\' || path[1] != '\\') return false;
  // Either separator ends the server's name, and the share's name is not empty.
  const size_t share = path.find_first_of("\\/", 2);
  return share != std::string_view::npos && share > 2 && share + 1 < path.size() && path[share + 1] != '\\' &&
         path[share + 1] != '/';
}

std::string appDataHomeName(std::string_view exeFolder) {
  exeFolder = trimSlashes(exeFolder);
  uint32_t hash = 2166136261u;  // FNV-1a over the folded UTF-8 bytes
  for (char c : exeFolder) {
    char f = foldAscii(c == '/' ? '\\' : c);
    hash = (hash ^ static_cast<unsigned char>(f)) * 16777619u;
  }
  std::string name(fileNameOf(exeFolder));
  // A drive's root has no folder name: "E:" becomes "E".
  std::string clean;
  for (char c : name)
    if (c != ':' && c != '\\' && c != '/') clean += c;
  if (clean.empty()) clean = "Tessaly";
  return clean + "-" + hexDigits(hash, 8);
}

std::string appDataHome(std::string_view appDataFolder, std::string_view exeFolder) {
  return join(join(appDataFolder, "Tessaly"), appDataHomeName(exeFolder));
}

SettingsPlace decideSettingsPlace(const PlaceFacts& facts, const std::function<bool()>& writable) {
  SettingsPlace place;
  place.folder = std::string(trimSlashes(facts.exeFolder));
  // A temporary folder set to a drive's root ("C:\") would take the whole drive for temporary.
  if (trimSlashes(facts.tempFolder).size() > 2 && isInFolder(facts.exeFolder, facts.tempFolder)) {
    place.kind = PlaceKind::TempFolder;
    return place;
  }
  const bool canWrite = writable();
  if (facts.portableMarker) {
    place.portableNotWritable = !canWrite;
    return place;
  }
  // Without an application-data folder there is nowhere better than beside the program.
  if (canWrite || facts.appDataFolder.empty()) return place;
  place.kind = PlaceKind::AppData;
  place.folder = appDataHome(facts.appDataFolder, facts.exeFolder);
  if (!facts.homeExists) {
    place.makeFolder = true;
    place.copyList = facts.listBesideExe;
    place.copyIni = facts.iniBesideExe;
  }
  return place;
}

std::string listPathFor(std::string_view settingsFolder, std::string_view itemDir, std::string_view exeName) {
  std::string name(exeName);
  name += "_items.txt";
  return join(itemDir.empty() ? settingsFolder : itemDir, name);
}

std::string escapeItemDir(std::string_view utf8) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out(kEscaped);
  for (char c : utf8) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u > 0x20 && u < 0x7F && c != '%') {
      out += c;
    } else {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
  return out;
}

std::string itemDirFromSetting(std::string_view stored) {
  std::string path;
  if (isEscaped(stored)) {
    stored.remove_prefix(kEscaped.size());
    for (size_t i = 0; i < stored.size(); ++i) {
      if (stored[i] != '%') {
        path += stored[i];
        continue;
      }
      if (i + 2 >= stored.size()) return std::string();
      const int high = hexValue(stored[i + 1]), low = hexValue(stored[i + 2]);
      if (high < 0 || low < 0) return std::string();
      path += static_cast<char>(high * 16 + low);
      i += 2;
    }
  } else {
    path = std::string(stored);
  }
  if (!isFullPath(path) || !gbk::isValidUtf8(path)) return std::string();
  // No Windows name holds a control character; a decoded "%00" would cut the path where the window
  // code hands it on, and a folder the user never chose would be named.
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 0x20) return std::string();
  }
  // "D:\" stays a root; any other trailing backslash goes, and what is left must still name a share
  // (\\server\ alone is no folder).
  std::string_view trimmed = trimSlashes(path);
  std::string folder = trimmed.size() == 2 ? std::string(trimmed) + "\\" : std::string(trimmed);
  return isFullPath(folder) ? folder : std::string();
}

ItemDirTrouble itemDirSettingTrouble(std::string_view stored) {
  if (stored.empty() || !itemDirFromSetting(stored).empty()) return ItemDirTrouble::None;
  return isEscaped(stored) ? ItemDirTrouble::Unreadable : ItemDirTrouble::NotFullPath;
}

ItemDirTrouble itemDirFolderTrouble(std::string_view folder, const FolderLook& look) {
  if (look.folder) return ItemDirTrouble::None;
  if (look.file) return ItemDirTrouble::FileInTheWay;
  if (longestNameUnits(folder) > kMaxNameUnits) return ItemDirTrouble::NameTooLong;
  const bool unc = folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\';
  if (!look.rootThere) return unc ? ItemDirTrouble::NetworkUnreachable : ItemDirTrouble::DriveMissing;
  return look.denied ? ItemDirTrouble::NoAccess : ItemDirTrouble::FolderMissing;
}

std::string pathRoot(std::string_view path) {
  if (!isFullPath(path)) return std::string();
  if (path[0] != '\\') return std::string(path.substr(0, 2)) + "\\";
  const size_t share = path.find_first_of("\\/", 2);
  const size_t end = path.find_first_of("\\/", share + 1);
  return std::string(path.substr(0, end)) + "\\";
}
