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
  s.lineEnded = endsWithLineEnd(bytes);
  return s;
}
FileStamp state(FileStamp::State st) {
  FileStamp s;
  s.state = st;
  return s;
}

TEST(ItemReload, Decisions) {
  using A = ReloadDebounce::Action;
  const FileStamp loaded = hashed(12, 100, "a,2020-1-1\r\n");
  const FileStamp half = hashed(7, 101, "a,2020-");
  struct Look {
    FileStamp stamp;
    uint64_t ms;
  };
  struct Case {
    const char* what;
    FileStamp loaded;
    std::vector<Look> looks;
    A last;
  };
  const Case cases[] = {
      {"unchanged size and time", loaded, {{found(12, 100), 0}}, A::Nothing},
      {"a new time: looked at again", loaded, {{found(12, 101), 0}}, A::LookAgain},
      {"held still: read the bytes", loaded, {{found(12, 101), 0}, {found(12, 101), 500}}, A::ReadBytes},
      {"grew meanwhile: looked at again", loaded, {{found(7, 101), 0}, {found(12, 102), 500}}, A::LookAgain},
      {"grew, then held still",
       loaded,
       {{found(7, 101), 0}, {found(12, 102), 500}, {found(12, 102), 1000}},
       A::ReadBytes},
      {"back to the loaded file", loaded, {{found(7, 101), 0}, {found(12, 100), 500}}, A::Nothing},
      {"same bytes written again", loaded, {{hashed(12, 101, "a,2020-1-1\r\n"), 0}}, A::Nothing},
      {"new bytes", loaded, {{hashed(12, 101, "b,2020-1-1\r\n"), 0}}, A::Reload},
      {"UTF-16 with its line end", loaded, {{hashed(4, 101, std::string("a\0\n\0", 4)), 0}}, A::Reload},
      {"the last line unended: held back", loaded, {{half, 0}}, A::LookAgain},
      {"held back until the time is up", loaded, {{half, 0}, {half, ReloadDebounce::kUnendedHoldMs - 1}}, A::LookAgain},
      {"then shown as it is", loaded, {{half, 0}, {half, ReloadDebounce::kUnendedHoldMs}}, A::Reload},
      {"the writer finished meanwhile",
       loaded,
       {{half, 0}, {hashed(20, 102, "a,2020-1-1\r\nb,1-1\r\n"), 1500}},
       A::Reload},
      {"held, back to the loaded bytes, then unended again: a new hold",
       loaded,
       {{half, 0}, {loaded, 200}, {half, 20000}},
       A::LookAgain},
      {"the file went: the rows stay", loaded, {{state(FileStamp::State::Missing), 0}}, A::Nothing},
      {"gone and back the same",
       loaded,
       {{state(FileStamp::State::Missing), 0}, {hashed(12, 300, "a,2020-1-1\r\n"), 500}},
       A::Nothing},
      {"gone and back changed",
       loaded,
       {{state(FileStamp::State::Missing), 0}, {hashed(10, 300, "a,2020-1\r\n"), 500}},
       A::Reload},
      {"still missing", state(FileStamp::State::Missing), {{state(FileStamp::State::Missing), 0}}, A::Nothing},
      {"a file appeared: looked at again", state(FileStamp::State::Missing), {{found(3, 5), 0}}, A::LookAgain},
      {"a file appeared, read", state(FileStamp::State::Missing), {{hashed(5, 5, "x,1\r\n"), 0}}, A::Reload},
      {"held open by its writer", loaded, {{state(FileStamp::State::Busy), 0}}, A::LookAgain},
      {"held open too long: left to the minute tick", loaded,
       std::vector<Look>(ReloadDebounce::kBusyRetries + 1, Look{state(FileStamp::State::Busy), 0}), A::Nothing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReloadDebounce debounce;
    debounce.loaded(c.loaded);
    A last = A::Nothing;
    for (const Look& look : c.looks) last = debounce.decide(look.stamp, look.ms);
    EXPECT_EQ(last, c.last);
  }
}

TEST(ItemReload, LineEnds) {
  const struct {
    std::string bytes;
    bool ended;
  } cases[] = {
      {"", true},
      {"a\r\n", true},
      {"a\n", true},
      {"a\r", true},
      {"a", false},
      {"a,2020-", false},
      {std::string("a\0\r\0\n\0", 6), true},
      {std::string("\0a\0\n", 4), true},
      {std::string("a\0", 2), false},
      {std::string("\0", 1), false},
  };
  for (const auto& c : cases) EXPECT_EQ(endsWithLineEnd(c.bytes), c.ended) << c.bytes.size();
}

TEST(ItemReload, HashTellsBytesApart) {
  EXPECT_EQ(contentHash("a"), 0xaf63dc4c8601ec8cull);  // the published FNV-1a test vector
  EXPECT_NE(contentHash(std::string("\0", 1)), contentHash(""));
}

}  // namespace
