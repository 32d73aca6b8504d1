// Where the settings file and the list live: beside the program when its folder can be written, or a
// folder of the program's own under the user's application data when it cannot; never a zip viewer's
// temporary folder. And where the list goes when the user gives it a folder of its own ("itemdir").
// Paths are UTF-8 Windows paths without a trailing backslash; the window code finds the facts.
#pragma once
#include <functional>
#include <string>
#include <string_view>

struct PlaceFacts {
  std::string exeFolder;        // the program's folder, as its final path
  std::string exeName;          // the program's file name without ".exe": the files' names start with it
  std::string tempFolder;       // the user's temporary folder, as its final path
  std::string appDataFolder;    // the user's roaming application data
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
// anything else (a relative path, a broken escape, a path no folder can have: a control character
// such as a "%00" that would cut it, bytes that are no UTF-8).
std::string itemDirFromSetting(std::string_view stored);

// Why the list's folder the option names is not used, for a note that says what is true.
enum class ItemDirTrouble {
  None,
  Unreadable,          // an escaped value that does not decode to a path
  NotFullPath,         // a relative path
  NameTooLong,         // a name in it longer than any file system takes (255 UTF-16 units)
  FileInTheWay,        // a file of that name, not a folder
  NetworkUnreachable,  // "\\server\share\..." whose share cannot be reached
  DriveMissing,        // the drive is not there (unplugged)
  NoAccess,            // there, but this user may not open it
  FolderMissing,       // the drive is there, the folder is not
};
// What the window code found at the folder and at its root (pathRoot).
struct FolderLook {
  bool folder = false;     // a folder is there
  bool file = false;       // a file is there instead
  bool denied = false;     // the look was refused
  bool rootThere = false;  // the drive or share answers
};
// The option's trouble before anything is looked at: None, Unreadable or NotFullPath.
ItemDirTrouble itemDirSettingTrouble(std::string_view stored);
// The trouble of a folder read from the option, given what was found there.
ItemDirTrouble itemDirFolderTrouble(std::string_view folder, const FolderLook& look);
// The drive's root of a full path ("C:\"), or the share's ("\\server\share\"); empty for others.
std::string pathRoot(std::string_view path);
