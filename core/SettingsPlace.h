// Where the settings file and the list live: beside the program when its folder can be written, or a
// folder of the program's own under the user's application data when it cannot; never a zip viewer's
// temporary folder. And where the list goes when the user gives it a folder of its own ("itemdir").
// Paths are UTF-8 Windows paths without a trailing backslash; the window code finds the facts.
#pragma once
#include <functional>
#include <string>
#include <string_view>

struct PlaceFacts {
  std::string exeFolder;      // the program's folder, as its final path
  std::string exeName;        // the program's file name without ".exe": the files' names start with it
  std::string tempFolder;     // the user's temporary folder, as its final path
  std::string appDataFolder;  // the user's roaming application data
  bool portableMarker = false;  // a file "portable" beside the program
  bool homeExists = false;      // the application-data home for this program folder is there already
  bool listBesideExe = false;
  bool iniBesideExe = false;
};

enum class PlaceKind { BesideProgram, AppData, TempFolder };

struct SettingsPlace {
  PlaceKind kind = PlaceKind::BesideProgram;
  std::string folder;  // where the settings file and, by default, the list live
  // Copied from beside the program into folder, once: when folder is made.
  bool makeFolder = false;
  bool copyList = false;
  bool copyIni = false;
  // The marker keeps everything beside the program although that folder cannot be written.
  bool portableNotWritable = false;
};

// The decision. writable probes the program's folder; it is asked only when the answer matters (not
// for a temporary folder, where nothing may be written, probe included).
SettingsPlace decideSettingsPlace(const PlaceFacts& facts, const std::function<bool()>& writable);

// The home's folder name under "<app data>\Tessaly": the program folder's name and a short hash of its
// whole path (letters' case aside), so that copies in different folders keep their own files.
std::string appDataHomeName(std::string_view exeFolder);
// "<app data>\Tessaly\<home name>".
std::string appDataHome(std::string_view appDataFolder, std::string_view exeFolder);
// The folder itself is folder or lies inside it, ASCII letters' case aside.
bool isInFolder(std::string_view path, std::string_view folder);
// "C:\..." or "\\server\share...": a path that names its drive.
bool isFullPath(std::string_view path);

// The list's path: itemDir (the option, decoded) when set, else the settings' folder.
std::string listPathFor(std::string_view settingsFolder, std::string_view itemDir, std::string_view exeName);

// The option's form in the settings file. A path the file's encoding holds is stored as it is; the
// window code stores the escaped form when the plain one does not read back whole: "u8:" and the
// path's UTF-8 with every byte outside printable ASCII, and "%", as %XX. No full path starts so.
std::string escapeItemDir(std::string_view utf8);
// The option as read (UTF-8) to the path; the escaped form decoded, a plain path as it is, empty for
// anything else (a relative path, a broken escape).
std::string itemDirFromSetting(std::string_view stored);
