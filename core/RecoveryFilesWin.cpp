// Finding and writing the recovery files: beside the list first, else in the program's own folder in
// the user's application data, the one the settings' second place uses.
#include <windows.h>

#include "core/RecoveryFiles.h"
#include "framework/Gbk.h"
#include "framework/PathParts.h"
#include "framework/StdioFile.h"

namespace {

// A name the file system knows, also one that cannot be opened.
bool pathTaken(const FilePath& path) {
  if (GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// The recovery files of the list named stemName in folder, with their write times.
void addRecoveryFiles(const FilePath& folder, const FilePath& stemName, bool besideList,
                      std::vector<RecoveryFile>& found) {
  const FilePath inFolder = folder + "\\";
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(widePath(inFolder + stemName + ".recovered*.txt").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const FilePath name = gbk::wideToUtf8(data.cFileName);
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || recoveryFileNumber(stemName, name) == 0) continue;
    const uint64_t written = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    found.push_back({inFolder + name, written, besideList});
  } while (FindNextFileW(search, &data));
  FindClose(search);
}

}  // namespace

std::vector<RecoveryFile> findRecoveryFiles(const FilePath& listStem, const FilePath& home,
                                            const FilePath& earlierHomeName) {
  const FilePath stemName(fileNameOf(listStem));
  std::vector<RecoveryFile> found;
  addRecoveryFiles(FilePath(folderOf(listStem)), stemName, true, found);
  if (home.empty()) return found;
  addRecoveryFiles(home, stemName, false, found);
  // Earlier versions wrote theirs in a folder of another name beside it: still told once and opened.
  if (!earlierHomeName.empty()) addRecoveryFiles(join(folderOf(home), earlierHomeName), stemName, false, found);
  return found;
}

FilePath writeRecoveryFile(const FilePath& listStem, const FilePath& home,
                           const std::function<bool(const FilePath&)>& write) {
  const FilePath stems[] = {listStem, home.empty() ? FilePath() : join(home, fileNameOf(listStem))};
  for (const FilePath& stem : stems) {
    if (stem.empty()) continue;
    if (stem != listStem) {
      // The home's folders, "Tessaly" and the program folder's own in it, are made on first use.
      CreateDirectoryW(widePath(FilePath(folderOf(home))).c_str(), nullptr);
      CreateDirectoryW(widePath(home).c_str(), nullptr);
    }
    // The first free number: a file the user has not looked at yet is never overwritten.
    for (int number = 1; number <= kMaxRecoveryFiles; ++number) {
      const FilePath path = recoveryFileName(stem, number);
      if (pathTaken(path)) continue;
      if (!write(path)) break;  // this place cannot take it: the next one
      return path;
    }
  }
  return FilePath();
}
