#include "items/ItemFile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "core/DateText.h"
#include "framework/Gbk.h"

namespace {

constexpr size_t kReadChunkBytes = 64 * 1024;

// The records of an item file's bytes, line by line as they arrive.
class ItemParser {
 public:
  ItemParser(CCore& core, TextEncoding encoding, ItemRecord* table, ItemOptions* options)
      : m_core(core), m_encoding(encoding), m_unit(encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be ? 2 : 1),
        m_table(table), m_options(options) {}

  bool full() const { return m_count >= kTableRecords; }
  int count() const { return m_count; }

  // Parses the complete lines of bytes from where the last call stopped (past the byte-order mark at
  // first); at the end, what follows the last line feed is a line too.
  void parse(std::string_view bytes, bool atEnd) {
    if (m_position == 0) m_position = std::min(bytes.size(), markLength(m_encoding));
    while (!full()) {
      // A long line is searched once, not again with every chunk.
      size_t feed = findLineFeed(bytes, std::max(m_position, m_searched));
      if (feed == std::string_view::npos && !atEnd) {
        m_searched = bytes.size() - (bytes.size() - m_position) % m_unit;
        return;
      }
      size_t end = feed == std::string_view::npos ? bytes.size() - (bytes.size() - m_position) % m_unit : feed;
      if (end == m_position && feed == std::string_view::npos) return;  // nothing after the last line feed
      std::string_view line = bytes.substr(m_position, end - m_position);
      if (feed != std::string_view::npos && isCarriageReturnAtEnd(line)) line.remove_suffix(m_unit);
      m_position = feed == std::string_view::npos ? bytes.size() : feed + m_unit;
      addLine(line);
    }
  }

 private:
  bool isUnit(std::string_view bytes, size_t at, char c) const {
    if (m_unit == 1) return bytes[at] == c;
    bool bigEndian = m_encoding == TextEncoding::Utf16Be;
    return bytes[at + (bigEndian ? 1 : 0)] == c && bytes[at + (bigEndian ? 0 : 1)] == '\0';
  }
  size_t findLineFeed(std::string_view bytes, size_t from) const {
    if (m_unit == 1) return bytes.find('\n', from);
    for (size_t at = from; at + 1 < bytes.size(); at += 2)
      if (isUnit(bytes, at, '\n')) return at;
    return std::string_view::npos;
  }
  bool isCarriageReturnAtEnd(std::string_view line) const {
    return line.size() >= m_unit && isUnit(line, line.size() - m_unit, '\r');
  }

  void addLine(std::string_view line) {
    // Skipped lines are not converted: a byte ';' in GBK or UTF-8 is always the semicolon.
    if (m_unit == 1 && (line.empty() || line.find(';') != std::string_view::npos)) return;
    CString text(m_encoding == TextEncoding::Gbk || (m_unit == 1 && !gbk::hasNonAscii(line))
                     ? std::string(line)
                     : decodeBodyToGbk(line, m_encoding));
    if (parseItemLine(m_core, text, m_table[m_count], m_options ? &m_options[m_count] : nullptr)) ++m_count;
  }

  CCore& m_core;
  TextEncoding m_encoding;
  size_t m_unit;
  ItemRecord* m_table;
  ItemOptions* m_options;
  int m_count = 0;
  size_t m_position = 0;
  size_t m_searched = 0;  // no line feed between m_position and here
};

}  // namespace

// The date text as its field holds it. A date cut to fit could name another day ("农历１９９０年８月１５"
// would become "...８月１"), so a date written too long for the field is stored in its shortest
// written form, which always fits and reads the same. Any other text is cut as it stands.
void storeDateText(std::string_view text, char (&field)[kDateTextSize]) {
  CivilDate ignored;
  WrittenDate written;
  if (text.size() < sizeof field ||
      readDateText(text, CivilDate{2000, 1, 1}, &ignored, &written) == DateProblem::NotADate) {
    gbk::copyToField(field, sizeof field, text);
    return;
  }
  const bool lunar = written.form == DateForm::LunarDated || written.form == DateForm::LunarYearly;
  std::string shortest = lunar ? "农历" : "";
  if (written.year) shortest += std::to_string(written.year) + "-";
  if (written.leap) shortest += "闰";
  shortest += std::to_string(written.month) + "-" + std::to_string(written.day);
  gbk::copyToField(field, sizeof field, shortest);
}

bool parseItemLine(CCore& core, const CString& line, ItemRecord& record, ItemOptions* options) {
  if (line.GetLength() == 0 || line.Find(';') >= 0) return false;
  gbk::copyToField(record.name, sizeof record.name, core.getFg(line, ',', 0).view());
  storeDateText(core.getFg(line, ',', 1).view(), record.dateText);
  if (options) *options = parseItemOptions(optionFieldsOfLine(line.view()));
  return true;
}

int readItemBytes(CCore& core, std::string_view bytes, ItemRecord* table, ItemOptions* options) {
  std::memset(table, 0, sizeof(ItemRecord) * kTableRecords);
  if (options) std::fill(options, options + kTableRecords, ItemOptions());
  ItemParser parser(core, detectEncoding(bytes), table, options);
  parser.parse(bytes, true);
  return parser.count();
}

ItemFileLoad loadItemFile(CCore& core, const FilePath& path, ItemRecord* table, int& itemCount,
                          int* storedCount, ItemOptions* options) {
  ItemFileLoad result;
  FILE* file = openToRead(path, &result.error, &result.code);
  if (!file) {
    result.status = result.error == FileError::Missing ? ItemFileStatus::Missing : ItemFileStatus::Unreadable;
    return result;
  }
  // Parsed aside: a read that fails half-way leaves the table as it was.
  std::vector<ItemRecord> fresh(kTableRecords);
  std::vector<ItemOptions> freshOptions(options ? kTableRecords : 0);
  std::string bytes;
  std::unique_ptr<ItemParser> parser;
  bool atEnd = false;
  while (!atEnd && !(parser && parser->full())) {
    if (bytes.size() >= kItemReadBudget) {
      // Past the budget only the end of the file is looked for: a line cut there is not used.
      atEnd = std::fgetc(file) == EOF && !std::ferror(file);
      if (!atEnd) break;
    } else {
      size_t want = std::min(kReadChunkBytes, kItemReadBudget - bytes.size());
      size_t old = bytes.size();
      bytes.resize(old + want);
      size_t got = std::fread(&bytes[old], 1, want, file);
      bytes.resize(old + got);
      atEnd = got < want && std::feof(file);
    }
    if (std::ferror(file)) {
      std::fclose(file);
      result.status = ItemFileStatus::Unreadable;
      result.error = readFailure(&result.code);
      return result;
    }
    // The encoding is decided once the probe's bytes are in, and one more: the whole file, or more.
    if (!parser && (atEnd || bytes.size() > kEncodingProbeBytes))
      parser = std::make_unique<ItemParser>(core, detectEncoding(bytes), fresh.data(),
                                            options ? freshOptions.data() : nullptr);
    if (parser) parser->parse(bytes, atEnd);
  }
  std::fclose(file);
  std::memcpy(table, fresh.data(), sizeof(ItemRecord) * kTableRecords);
  if (options) std::move(freshOptions.begin(), freshOptions.end(), options);
  itemCount = std::min(parser ? parser->count() : 0, kShownItems);
  if (storedCount) *storedCount = parser ? parser->count() : 0;
  return result;
}
