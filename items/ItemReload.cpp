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

bool endsWithLineEnd(std::string_view bytes) {
  if (bytes.empty()) return true;
  const auto lineEnd = [](char c) { return c == '\n' || c == '\r'; };
  if (lineEnd(bytes.back())) return true;
  // UTF-16: "\n\0" little-endian; big-endian ends "\0\n", which the byte test above took already.
  return bytes.size() >= 2 && bytes.back() == '\0' && lineEnd(bytes[bytes.size() - 2]);
}

namespace {

bool sameSizeAndTime(const FileStamp& a, const FileStamp& b) {
  return a.state == FileStamp::State::Found && b.state == FileStamp::State::Found && a.size == b.size &&
         a.written == b.written;
}

}  // namespace

void ReloadDebounce::loaded(const FileStamp& stamp) {
  m_loaded = stamp;
  m_looked = FileStamp();
  m_holding = false;
  m_busyLooks = 0;
}

ReloadDebounce::Action ReloadDebounce::decide(const FileStamp& now, uint64_t nowMs) {
  if (now.state == FileStamp::State::Busy) {
    // Left to the minute tick after a few looks: a file held open for long is not waited on here.
    return m_busyLooks++ < kBusyRetries ? Action::LookAgain : Action::Nothing;
  }
  m_busyLooks = 0;
  // A list that went keeps its rows: a sync tool removes the old file before it puts the new one
  // in place, and a file that comes back the same is not read again.
  if (now.state == FileStamp::State::Missing) {
    m_looked = FileStamp();
    return Action::Nothing;
  }
  if (!now.hashed) {
    if (sameSizeAndTime(now, m_loaded)) {
      m_looked = FileStamp();
      m_holding = false;
      return Action::Nothing;
    }
    // Changed since the load: read only once it held still from one look to the next, or a writer
    // that pauses mid-file would have its half list shown.
    if (sameSizeAndTime(now, m_looked)) return Action::ReadBytes;
    m_looked = now;
    return Action::LookAgain;
  }
  if (m_loaded.state == FileStamp::State::Found && m_loaded.hashed && now.hash == m_loaded.hash) {
    m_loaded = now;  // the same bytes written again: only the time moved
    m_looked = FileStamp();
    m_holding = false;
    return Action::Nothing;
  }
  if (!now.lineEnded) {
    if (!m_holding) {
      m_holding = true;
      m_holdSince = nowMs;
    }
    if (nowMs - m_holdSince < kUnendedHoldMs) return Action::LookAgain;
  }
  return Action::Reload;
}
