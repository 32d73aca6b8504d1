// When the widget reads its list again after another program changed the file (a sync tool, a text
// editor): which changes in the list's folder concern the list, and, once the changes have been
// quiet for a moment, whether the file now differs from the one last loaded.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

// The file as found: its size and last-write time, and its bytes' hash once read.
struct FileStamp {
  enum class State { Missing, Busy, Found } state = State::Missing;  // Busy: there, but could not be read now
  uint64_t size = 0;
  uint64_t written = 0;  // last-write time, in the file system's own units
  bool hashed = false;
  uint64_t hash = 0;
  bool lineEnded = true;  // with its bytes: the last line has its line end (or the file is empty)
};

// A hash of the file's bytes (64-bit FNV-1a): enough to tell a rewrite with the same text from a change.
uint64_t contentHash(std::string_view bytes);
// The bytes end with a line end ("\n" or "\r", in one byte or as UTF-16 in either order), or there
// are none. A writer that pauses mid-file most often stops mid-line.
bool endsWithLineEnd(std::string_view bytes);

// Whether a buffer of change records from the folder (the layout of FILE_NOTIFY_INFORMATION: the next
// record's offset, the action and the name's length in bytes as 32-bit numbers, then the UTF-16 name)
// names the list file, whose name is listName (compared without regard to ASCII letter case). Other
// files (a sync tool's conflict copies, the settings file) do not concern the list. An empty buffer
// means the system lost count of the changes: it may name anything.
bool changesNameFile(const unsigned char* records, size_t bytes, std::u16string_view listName);

class ReloadDebounce {
 public:
  // How long the folder must be quiet before the file is looked at: a sync tool writes in bursts.
  // A changed file is read only when two looks this far apart find the same size and time.
  static constexpr unsigned kQuietMs = 500;
  // A file busy (held open by the writer) is looked at again after the quiet time, this many times.
  static constexpr int kBusyRetries = 6;
  // A file whose last line has no line end is held back this long (its writer may not be done; a
  // file saved by hand without a final line end still shows, this much later).
  static constexpr uint64_t kUnendedHoldMs = 10000;

  enum class Action { Nothing, ReadBytes, Reload, LookAgain };

  // The file as it was when the list was (re)loaded, hashed or not.
  void loaded(const FileStamp& stamp);
  // What to do with the file as it is now, looked at at nowMs (any millisecond clock): with only its
  // size and time (hashed false), whether to look again (it changed since the last look) or to read
  // its bytes (it changed since the load, and held still since the last look); with its hash,
  // whether to load it. A file that is back to what was loaded, or rewritten with the same bytes, is
  // not loaded again; a file gone is not either (the rows stay until a list is there again).
  Action decide(const FileStamp& now, uint64_t nowMs);

 private:
  FileStamp m_loaded;
  FileStamp m_looked;  // the last look at a changed file: state Missing when there was none
  bool m_holding = false;
  uint64_t m_holdSince = 0;
  int m_busyLooks = 0;
};
