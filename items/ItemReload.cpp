#include "items/ItemReload.h"

namespace {

uint32_t readU32(const unsigned char* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

char16_t foldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

uint64_t contentHash(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

bool changesNameFile(const unsigned char* records, size_t bytes, std::u16string_view listName) {
  if (bytes == 0) return true;
  constexpr size_t kHeader = 12;
  size_t at = 0;
  while (at + kHeader <= bytes) {
    const uint32_t next = readU32(records + at);
    const uint32_t nameBytes = readU32(records + at + 8);
    const size_t nameAt = at + kHeader;
    if (nameBytes > bytes - nameAt) return true;  // a record cut short: be safe, look at the file
    if (nameBytes == listName.size() * 2) {
      bool same = true;
      for (size_t i = 0; i < listName.size() && same; ++i) {
        const char16_t c = static_cast<char16_t>(records[nameAt + 2 * i] | records[nameAt + 2 * i + 1] << 8);
        same = foldAscii(c) == foldAscii(listName[i]);
      }
      if (same) return true;
    }
    if (next == 0) break;
    at += next;
  }
  return false;
}

void ReloadDebounce::loaded(const FileStamp& stamp) {
  m_loaded = stamp;
  m_busyLooks = 0;
}

ReloadDebounce::Action ReloadDebounce::decide(const FileStamp& now) {
  if (now.state == FileStamp::State::Busy) {
    // Left to the minute tick after a few looks: a file held open for long is not waited on here.
    return m_busyLooks++ < kBusyRetries ? Action::LookAgain : Action::Nothing;
  }
  m_busyLooks = 0;
  // A list that went keeps its rows: a sync tool removes the old file before it puts the new one
  // in place, and a file that comes back the same is not read again.
  if (now.state == FileStamp::State::Missing) return Action::Nothing;
  if (m_loaded.state != FileStamp::State::Found) return now.hashed ? Action::Reload : Action::ReadBytes;
  if (!now.hashed) {
    return now.size == m_loaded.size && now.written == m_loaded.written ? Action::Nothing : Action::ReadBytes;
  }
  if (m_loaded.hashed && now.hash == m_loaded.hash) {
    m_loaded = now;  // the same bytes written again: only the time moved
    return Action::Nothing;
  }
  return Action::Reload;
}
