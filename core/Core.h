// CCore: the core services every part of the program calls through the one object `core`.
// The window-free operations are built natively too; the rest needs Windows.
#pragma once
#include <climits>
#include <cstdint>

#include "core/Settings.h"
#include "core/SettingsPlace.h"
#include "core/SettingsSection.h"
#include "framework/StdioFile.h"
#include "framework/String.h"
#include "framework/Time.h"

#ifdef _WIN32
#include <windows.h>
// GDI+ flat API: the C++ wrappers are not used, only the types and Gdip* functions.
#include <gdiplus.h>

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace gdip {
class FaceCache;
}
#endif

// What getTimeFromStr returns for a text that names no real date.
constexpr int64_t kUnreadableTime = INT64_MIN;

// How a text file's bytes are encoded; GBK unless the file shows itself to be something else. The
// UTF-16 forms always start with their byte-order mark.
enum class TextEncoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

class CCore {
 public:
  // Settings live in the INI file ("Tessaly.ini", section "Tessaly") beside the program, or where
  // decideSettingsPlace says when that folder cannot be written. With prepare, a new home under the
  // application data is made and the files beside the program copied into it, and placeNote says what
  // the user should know. Without it (the listing, the first look at start) nothing is written: a
  // home still to be made is read from beside the program.
  PlaceKind autoFileConfig(bool prepare = true);
  // One key's number (kConfigNotSaved when never saved or holding none) or text, as the profile calls
  // read and write them; the program's settings go through loadSettings and saveSettings.
  int getConfigInt(const char* key);
  bool saveConfigInt(const CString& key, int value);
#ifdef _WIN32
  // The settings model (core/Settings.h) on this settings file: all keys from one read of the section;
  // the keys of ids that changed in one write, the file flushed once. False when it could not be
  // written (unsavedNote says so).
  Settings loadSettings();
  bool saveSettings(const Settings& settings, std::initializer_list<SettingId> ids);
  // A text setting (a time, a word, a path) in section, "Tessaly" when none is named; empty for a key
  // never saved. Characters the settings file's encoding cannot hold do not survive a save: read the
  // value back where that matters. held, when given, says whether the file holds the key (also empty).
  std::wstring getConfigText(const char* key, const wchar_t* section = nullptr, bool* held = nullptr);
  // A null value removes the key; false when the settings file could not be written.
  bool saveConfigText(const char* key, const wchar_t* value, const wchar_t* section = nullptr);
  // While on, each section of the settings file is read once, at its first key, and its other keys
  // answered from that read: for the start, which asks for a dozen keys. A save reads it afresh.
  void readSettingsOnce(bool on);
  // The program's own folder in the user's application data, "<app data>\Tessaly\<home name>", for
  // everything kept there (the settings' second place, the recovery files); empty when there is no
  // such data folder. The folder itself may not exist yet.
  FilePath appDataHomeFolder();
#endif

  // The program's full path without its extension, in UTF-8.
  FilePath getAppFilePath();

  int isFileExist(const FilePath& path);
  // Field `index` (from 0) of text split at separator; empty when there is no such field.
  CString getFg(const CString& text, char separator, int index);
  CString getStrInt(int value);

  CTime getTimeNow();
  // The local midnight that starts the date the text names, or CTime(kUnreadableTime).
  CTime getTimeFromStr(const CString& text);

  // The whole file as GBK text (UTF-8 and UTF-16 files converted); empty when it cannot be read.
  CString readTxtFile(const FilePath& path);
  // Replaces the file in one step with content (GBK); false when the file could not be written.
  bool outTxtFile(const CString& content, const FilePath& path);

#ifdef _WIN32
  // The text measuring, defined in display/TextBoundsWin.cpp beside the drawing it measures for.
  // Extent of text set in face at an em of size pixels, as the widget's text paths occupy it.
  Gdiplus::Size getTextBounds(const CString& face, int size, const CString& text);
  // Ascent + descent of face at an em of size pixels, rounded up: the height of one line of text.
  int getLineHeight(const CString& face, int size);
  // The family and format texts are measured and drawn with, kept from one call to the next.
  gdip::FaceCache& faces();
#endif

  FilePath configPath() const { return m_configPath; }
  FilePath settingsFolder() const { return m_place.folder; }
#ifdef _WIN32
  // What could not be stored in the settings file, for the one message that says so.
  enum class Unsaved {
    Changes,   // anything the user changed outside the options (a dragged place): a note, once a run
    FontSize,  // the font size chosen in the options, in effect for this run
    Options,   // the other settings chosen in the options, in effect for this run
    ItemDir,   // the list's folder (not changed)
  };
  // The message naming the settings file; once shown, later failures in this run go untold.
  std::wstring unsavedNote(Unsaved what, int fontSize = 0);
  // The note on Changes once a run, after a write failed; empty when there is nothing new to tell.
  std::wstring untoldUnsavedNote();
  // What the user should know about where the files went at this start; empty for nothing.
  const std::wstring& placeNote() const { return m_placeNote; }

  // The list's own folder, the option "itemdir" (UTF-8); empty when not set or unusable.
  FilePath itemDir();
  // The list's path: in itemDir when set, else beside the settings.
  FilePath listPath();
  // The list's path if the option were folder (empty: beside the settings).
  FilePath listPathIn(const FilePath& folder);
  // Empty removes the option. False when the settings file could not be written.
  bool saveItemDir(const FilePath& folder);
  // Once a run, when the list's own folder cannot be used (a drive unplugged, a file in its place, a
  // network folder that does not answer) or the option names no readable full path: the note saying
  // which; empty otherwise and afterwards.
  std::wstring itemDirNote();
#endif

 private:
  FilePath m_configPath;
  SettingsPlace m_place;
  bool m_configWriteFailed = false;
  bool m_configFailureTold = false;
#ifdef _WIN32
  struct ConfigWrite {
    const char* key;
    const wchar_t* value;  // null removes the key
  };
  // Writes the values into section and flushes the file; false when any could not be written.
  bool writeConfig(const ConfigWrite* writes, size_t count, const wchar_t* section);
  friend class ProfileSettings;
  bool m_readOnce = false;
  std::vector<std::pair<std::wstring, SettingsSection>> m_sectionsRead;
  std::wstring m_placeNote;
  bool m_itemDirNoted = false;
  // Made on first use, in display/TextBoundsWin.cpp, which also gives the way to free it: the window-free
  // parts that make and free a CCore do not link GDI+.
  std::unique_ptr<gdip::FaceCache, void (*)(gdip::FaceCache*)> m_faces{nullptr, nullptr};
#endif
};
