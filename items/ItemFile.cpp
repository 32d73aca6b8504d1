#include "items/ItemFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "core/DateText.h"
#include "framework/Gbk.h"
#include "framework/String.h"
#include "items/RowOrder.h"

namespace {

constexpr size_t kReadChunkBytes = 64 * 1024;

// The records of an item file's bytes, line by line as they arrive.
class ItemParser {
 public:
  ItemParser(CCore& core, TextEncoding encoding, ItemRecord* table, ItemOptions* options)
      : m_core(core),
        m_encoding(encoding),
        m_unit(encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be ? 2 : 1),
        m_table(table),
        m_options(options) {}

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

namespace {

bool sameWritten(const WrittenDate& a, const WrittenDate& b) {
  return a.form == b.form && a.year == b.year && a.month == b.month && a.day == b.day && a.leap == b.leap &&
         a.weekday == b.weekday;
}

// The shortest text of a date in a known form: ASCII digits and "-", the year (four digits) kept
// whenever one was written, also 0000.
std::string shortestDateText(const WrittenDate& written) {
  if (written.form >= DateForm::SolarTerm) return namedDateText(written);
  const bool lunar = written.form == DateForm::LunarDated || written.form == DateForm::LunarYearly;
  std::string text = lunar ? "农历" : "";
  if (written.form == DateForm::Dated || written.form == DateForm::LunarDated) {
    text += zeroPadded(written.year, 4) + "-";
  }
  if (written.leap) text += "闰";
  return text + std::to_string(written.month) + "-" + std::to_string(written.day);
}

// The date text as its field holds it. A date cut to fit could name another day ("农历１９９０年８月１５"
// would become "...８月１", "２０２５－０５－２０２" 2025-05-20), so a text too long for the field is
// stored in its shortest written form when that reads the same; any other is cut and marked with "…",
// which no date holds: it stays unreadable, and the user sees that it was cut.
void storeDateText(std::string_view text, char (&field)[kDateTextSize]) {
  text = text.substr(0, text.find('\0'));  // a zero ends the text, as it ends the field
  if (text.size() < sizeof field) {
    gbk::copyToField(field, sizeof field, text);
    return;
  }
  const CivilDate anyDay{2000, 1, 1};
  CivilDate date, shortDate;
  WrittenDate written, shortWritten;
  const DateProblem problem = readDateText(text, anyDay, &date, &written);
  if (problem != DateProblem::NotADate) {
    const std::string shortest = shortestDateText(written);
    if (shortest.size() < sizeof field && readDateText(shortest, anyDay, &shortDate, &shortWritten) == problem &&
        sameWritten(shortWritten, written) && (problem != DateProblem::None || shortDate == date)) {
      gbk::copyToField(field, sizeof field, shortest);
      return;
    }
  }
  const std::string_view mark = "…";
  const std::string_view kept = text.substr(0, gbk::cutLength(text, sizeof field - 1 - mark.size()));
  gbk::copyToField(field, sizeof field, std::string(kept) + std::string(mark));
}

}  // namespace

bool parseItemLine(CCore& core, const CString& line, ItemRecord& record, ItemOptions* options) {
  if (line.GetLength() == 0 || line.Find(';') >= 0) return false;
  gbk::copyToField(record.name, sizeof record.name, core.getFg(line, ',', 0).view());
  storeDateText(dateFieldOfLine(line.view()), record.dateText);
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

ItemFileLoad loadItemFile(CCore& core, const FilePath& path, ItemRecord* table, int& itemCount, int* storedCount,
                          ItemOptions* options) {
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
      if (!atEnd && !std::ferror(file)) {
        // More than the budget and the table not yet full: what lies past it would be lost unseen
        // (200 MB on one line, an endless device). Said, and the table kept, as for an unreadable file.
        std::fclose(file);
        result.status = ItemFileStatus::TooLarge;
        result.error = FileError::TooLarge;
        return result;
      }
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
  itemCount = std::min(parser ? parser->count() : 0, kDefaultRows);
  if (storedCount) *storedCount = parser ? parser->count() : 0;
  return result;
}
