// The recovery files that keep the editor's unsaved text when the session ends: how they are named
// and numbered (a new one never takes an existing one's name), which of them the user has not been
// told about yet, and what the note at the next start says. Window-free: the widget finds and writes
// the files.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/StdioFile.h"

// Numbers 1 to kMaxRecoveryFiles: more than anyone keeps, few enough to look through.
constexpr int kMaxRecoveryFiles = 999;

// The path of recovery file number (1-based) for the list whose path without ".txt" is stem
// ("C:\Tools\Tessaly_items"): stem + ".recovered.txt" for the first, the name it had before numbers
// were used, then stem + ".recovered.2.txt" and on.
FilePath recoveryFileName(const FilePath& stem, int number);
// The number of fileName (a name without its folder) as a recovery file of the list named
// stemName ("Tessaly_items"), compared without regard to ASCII letter case; 0 when it is none.
int recoveryFileNumber(std::string_view stemName, std::string_view fileName);

// One recovery file found: where it is, when it was written (any clock that counts up, such as the
// file time), and whether it lies beside the list (else in the second place, the user's
// application-data folder).
struct RecoveryFile {
  FilePath path;
  uint64_t written = 0;
  bool besideList = true;
};

// The files the note has not named yet: those written after seen, the newest write named by an
// earlier note (0 when none was). Oldest first.
std::vector<RecoveryFile> unannouncedRecoveryFiles(std::vector<RecoveryFile> found, uint64_t seen);

// The note for those files, in UTF-8: where the text of the last log-off or shut-down is, and that
// a click opens the folder. Empty when there are none.
std::string recoveryNoteUtf8(const std::vector<RecoveryFile>& files);

// The seen mark as the settings file keeps it, and back (0 for an empty or damaged value).
std::string seenMarkText(uint64_t seen);
uint64_t parseSeenMark(std::string_view text);

// In core/RecoveryFilesWin.cpp: the files are kept beside the list (listStem is its path without
// ".txt"), else in home, the program's own folder in the user's application data (empty when there is
// none). The recovery files of the list found in those places; earlierHomeName names the folder
// beside home that versions before wrote theirs in, looked through too.
std::vector<RecoveryFile> findRecoveryFiles(const FilePath& listStem, const FilePath& home,
                                            const FilePath& earlierHomeName);
// Writes a new recovery file with write (false when the path could not take it), beside the list
// first; the path written, empty when no place could take it. home's folders are made on first use.
FilePath writeRecoveryFile(const FilePath& listStem, const FilePath& home,
                           const std::function<bool(const FilePath&)>& write);

// What the widget remembers of recovery files during one run.
struct RecoveryState {
  // The file this run's session end wrote: a session end that comes again (the first was called
  // off) writes it anew rather than a further file.
  FilePath writtenThisRun;
  // The file the note on screen names: a click on the note opens its folder with it selected.
  FilePath noteFile;
};
