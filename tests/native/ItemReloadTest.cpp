#include "items/ItemReload.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void putU32(std::vector<unsigned char>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// Change records as the system lays them out, each padded to four bytes.
std::vector<unsigned char> records(const std::vector<std::u16string>& names) {
  std::vector<unsigned char> out;
  for (size_t i = 0; i < names.size(); ++i) {
    const size_t start = out.size();
    const size_t length = 12 + names[i].size() * 2;
    const size_t padded = (length + 3) / 4 * 4;
    putU32(out, i + 1 < names.size() ? static_cast<uint32_t>(padded) : 0);
    putU32(out, 3);  // modified
    putU32(out, static_cast<uint32_t>(names[i].size() * 2));
    for (char16_t c : names[i]) {
      out.push_back(static_cast<unsigned char>(c & 0xFF));
      out.push_back(static_cast<unsigned char>(c >> 8));
    }
    out.resize(start + padded);
  }
  return out;
}

TEST(ItemReload, ChangesThatConcernTheList) {
  struct Case {
    const char* what;
    std::vector<std::u16string> names;
    bool concerns;
  };
  const Case cases[] = {
      {"the list", {u"Tessaly_items.txt"}, true},
      {"the list, other letter case", {u"TESSALY_ITEMS.TXT"}, true},
      {"the settings file", {u"Tessaly.ini"}, false},
      {"a conflict copy", {u"Tessaly_items (conflict 2026-12-07).txt"}, false},
      {"temporary file renamed onto the list", {u"Tessaly_items.txt.tmp", u"Tessaly_items.txt"}, true},
      {"a longer name with the list's start", {u"Tessaly_items.txt2"}, false},
      {"a name with Chinese characters", {u"纪念日.txt", u"Tessaly.ini"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<unsigned char> buffer = records(c.names);
    EXPECT_EQ(changesNameFile(buffer.data(), buffer.size(), u"Tessaly_items.txt"), c.concerns);
  }
  EXPECT_TRUE(changesNameFile(records({u"纪念日.txt"}).data(), records({u"纪念日.txt"}).size(), u"纪念日.TXT"));
}

TEST(ItemReload, DamagedOrLostRecordsLookAtTheFile) {
  EXPECT_TRUE(changesNameFile(nullptr, 0, u"a.txt")) << "the system lost count";
  std::vector<unsigned char> cut = records({u"Tessaly.ini"});
  cut.resize(16);  // the name's length says more than the buffer holds
  EXPECT_TRUE(changesNameFile(cut.data(), cut.size(), u"a.txt"));
  std::vector<unsigned char> header = records({u"x"});
  header.resize(8);  // not even one whole header: nothing named
  EXPECT_FALSE(changesNameFile(header.data(), header.size(), u"a.txt"));
}

FileStamp found(uint64_t size, uint64_t written) {
  FileStamp s;
  s.state = FileStamp::State::Found;
  s.size = size;
  s.written = written;
  return s;
}
FileStamp hashed(uint64_t size, uint64_t written, const std::string& bytes) {
  FileStamp s = found(size, written);
  s.hashed = true;
  s.hash = contentHash(bytes);
  return s;
}
FileStamp state(FileStamp::State st) {
  FileStamp s;
  s.state = st;
  return s;
}

TEST(ItemReload, Decisions) {
  using A = ReloadDebounce::Action;
  const FileStamp loaded = hashed(10, 100, "a,2020-1-1");
  struct Case {
    const char* what;
    FileStamp loaded;
    std::vector<FileStamp> looks;
    A last;
  };
  const Case cases[] = {
      {"unchanged size and time", loaded, {found(10, 100)}, A::Nothing},
      {"a new time: read the bytes", loaded, {found(10, 101)}, A::ReadBytes},
      {"same bytes written again", loaded, {hashed(10, 101, "a,2020-1-1")}, A::Nothing},
      {"new bytes", loaded, {hashed(10, 101, "b,2020-1-1")}, A::Reload},
      {"the file went: the rows stay", loaded, {state(FileStamp::State::Missing)}, A::Nothing},
      {"gone and back the same", loaded, {state(FileStamp::State::Missing), hashed(10, 300, "a,2020-1-1")}, A::Nothing},
      {"gone and back changed", loaded, {state(FileStamp::State::Missing), hashed(9, 300, "a,2020-1")}, A::Reload},
      {"still missing", state(FileStamp::State::Missing), {state(FileStamp::State::Missing)}, A::Nothing},
      {"a file appeared, read", state(FileStamp::State::Missing), {hashed(3, 5, "x,1")}, A::Reload},
      {"held open by its writer", loaded, {state(FileStamp::State::Busy)}, A::LookAgain},
      {"held open too long: left to the minute tick", loaded,
       std::vector<FileStamp>(ReloadDebounce::kBusyRetries + 1, state(FileStamp::State::Busy)), A::Nothing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReloadDebounce debounce;
    debounce.loaded(c.loaded);
    A last = A::Nothing;
    for (const FileStamp& look : c.looks) last = debounce.decide(look);
    EXPECT_EQ(last, c.last);
  }
}

TEST(ItemReload, HashTellsBytesApart) {
  EXPECT_EQ(contentHash("a"), 0xaf63dc4c8601ec8cull);  // the published FNV-1a test vector
  EXPECT_NE(contentHash(std::string("\0", 1)), contentHash(""));
}

}  // namespace
