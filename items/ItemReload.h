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
};

// A hash of the file's bytes (64-bit FNV-1a): enough to tell a rewrite with the same text from a change.
uint64_t contentHash(std::string_view bytes);

// Whether a buffer of change records from the folder (the layout of FILE_NOTIFY_INFORMATION: the next
// record's offset, the action and the name's length in bytes as 32-bit numbers, then the UTF-16 name)
// names the list file, whose name is listName (compared without regard to ASCII letter case). Other
// files (a sync tool's conflict copies, the settings file) do not concern the list. An empty buffer
// means the system lost count of the changes: it may name anything.
bool changesNameFile(const unsigned char* records, size_t bytes, std::u16string_view listName);

class ReloadDebounce {
 public:
  // How long the folder must be quiet before the file is looked at: a sync tool writes in bursts.
  static constexpr unsigned kQuietMs = 500;
  // A file busy (held open by the writer) is looked at again after the quiet time, this many times.
  static constexpr int kBusyRetries = 6;

  enum class Action { Nothing, ReadBytes, Reload, LookAgain };

  // The file as it was when the list was (re)loaded, hashed or not.
  void loaded(const FileStamp& stamp);
  // What to do with the file as it is now: with only its size and time (hashed false), whether its
  // bytes must be read to tell; with its hash, whether to load it. A file that is back to what was
  // loaded, or rewritten with the same bytes, is not loaded again; a file gone is not either (the rows
  // stay until a list is there again).
  Action decide(const FileStamp& now);

 private:
  FileStamp m_loaded;
  int m_busyLooks = 0;
};
