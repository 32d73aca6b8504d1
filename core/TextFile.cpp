#include "core/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/UserInput.h"
#include "framework/Gbk.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// What a character costs the reading it appears in, roughly in bits: the less likely it is in a list
// of names and dates, the more. A GBK text misread as UTF-8 gives mostly two-byte sequences (Latin-1
// signs and letters, IPA, Greek, Cyrillic, Hebrew, Arabic) and stray three-byte ones; a UTF-8 text
// misread as GBK gives rare GBK characters, user-defined cells and broken pairs, and half again as many
// characters. Real text of either kind is mostly common hanzi and punctuation. Both readings are
// priced with the same table, and the cheaper one wins; a tie goes to GBK.
enum Cost : int { kPunctuation = 6, kCommon = 10, kLess = 16, kRare = 20, kUnlikely = 30, kBroken = 40 };

struct GbkRange {
  unsigned char leadFirst, leadLast, trailFirst, trailLast;
  Cost cost;
};
constexpr GbkRange kGbkCosts[] = {
    {0xB0, 0xD7, 0xA1, 0xFE, kCommon},       // GB2312 level 1: the 3755 common hanzi
    {0xD8, 0xF7, 0xA1, 0xFE, kLess},         // GB2312 level 2
    {0xA1, 0xA1, 0xA1, 0xFE, kPunctuation},  // punctuation: 、。“”…
    {0xA3, 0xA3, 0xA1, 0xFE, kPunctuation},  // full-width forms: ，（）：
    {0xA2, 0xA2, 0xA1, 0xFE, kLess},         // numbers: ① ⑴ Ⅰ
    {0xA4, 0xA9, 0xA1, 0xFE, kLess},         // kana, Greek, Cyrillic, pinyin, box drawing
    {0x81, 0xA0, 0x40, 0xFE, kRare},         // GBK/3: rare and traditional hanzi
    {0xAA, 0xFE, 0x40, 0xA0, kRare},         // GBK/4: rare and traditional hanzi
    {0xA8, 0xA9, 0x40, 0xA0, kRare},         // GBK/5: rare signs
};

struct CodeRange {
  char32_t first, last;
  Cost cost;
};
// CJK ideographs U+4E00..U+9FFF are priced by their GBK cell instead, as the GBK reading is.
constexpr CodeRange kUnicodeCosts[] = {
    {0x00A0, 0x00BF, kLess},         // Latin-1 signs: what GBK row C2 reads as
    {0x00C0, 0x024F, kLess},         // accented Latin letters: what GBK rows C3..C9 read as
    {0x0370, 0x052F, kLess},         // Greek, Cyrillic: what GBK rows CD..D4 read as
    {0x2010, 0x2027, kPunctuation},  // dashes, quotation marks, ellipsis
    {0x2028, 0x27BF, kLess},         // other signs, arrows, shapes, symbols, dingbats
    {0x2E80, 0x2FFF, kRare},         // CJK radicals
    {0x3000, 0x303F, kPunctuation},  // CJK punctuation: 、。《》
    {0x3040, 0x33FF, kLess},         // kana, bopomofo, enclosed and squared forms
    {0x3400, 0x4DBF, kRare},         // CJK ideographs, extension A
    {0xAC00, 0xD7AF, kLess},         // Hangul syllables
    {0xF900, 0xFAFF, kRare},         // CJK compatibility ideographs
    {0xFE30, 0xFE4F, kLess},         // CJK compatibility forms
    {0xFF00, 0xFFEF, kPunctuation},  // full-width forms: ，（）：
    {0x1F000, 0x1FAFF, kLess},       // emoji and pictographs
    {0x20000, 0x3134F, kRare},       // CJK ideographs, extensions B..G
};
// A UTF-8 reading is plausible text only when its characters cost at most this much on average.
constexpr Cost kPlausibleAverage = kLess;

bool isCjkIdeograph(char32_t code) { return code >= 0x4E00 && code <= 0x9FFF; }

// The cost of the GBK character at i (width bytes); ASCII costs nothing.
long gbkCost(std::string_view s, size_t i, size_t width) {
  unsigned char lead = static_cast<unsigned char>(s[i]);
  if (lead < 0x80) return 0;
  if (width < 2) return kBroken;
  unsigned char trail = static_cast<unsigned char>(s[i + 1]);
  for (const GbkRange& range : kGbkCosts)
    if (lead >= range.leadFirst && lead <= range.leadLast && trail >= range.trailFirst && trail <= range.trailLast)
      return range.cost;
  return kUnlikely;  // user-defined cells
}

long gbkReadingCost(std::string_view s) {
  long total = 0;
  for (size_t i = 0, width = 1; i < s.size(); i += width) {
    width = gbk::charWidth(s, i);
    total += gbkCost(s, i, width);
  }
  return total;
}

// The code point of the valid UTF-8 sequence at i, and its length.
char32_t decodeUtf8At(std::string_view s, size_t i, size_t* length) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  *length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (*length == 1) return c;
  char32_t code = c & (*length == 2 ? 0x1F : *length == 3 ? 0x0F : 0x07);
  for (size_t k = 1; k < *length; ++k) code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return code;
}

// The cost of valid UTF-8 text read as UTF-8, and the number of its non-ASCII characters.
long utf8ReadingCost(std::string_view s, long* characters) {
  // The ideographs all at once in GBK: one conversion gives each its GBK cell, or '?' for none.
  std::string ideographs;
  for (size_t i = 0, length = 1; i < s.size(); i += length)
    if (isCjkIdeograph(decodeUtf8At(s, i, &length))) ideographs.append(s.substr(i, length));
  const std::string cells = gbk::utf8ToGbk(ideographs);
  size_t cell = 0;
  long total = 0;
  *characters = 0;
  for (size_t i = 0, length = 1; i < s.size(); i += length) {
    char32_t code = decodeUtf8At(s, i, &length);
    if (code < 0x80) continue;
    ++*characters;
    if (isCjkIdeograph(code) && cell < cells.size()) {
      size_t width = gbk::charWidth(cells, cell);
      total += width == 2 ? gbkCost(cells, cell, width) : static_cast<long>(kRare);
      cell += width;
      continue;
    }
    long cost = kUnlikely;
    for (const CodeRange& range : kUnicodeCosts)
      if (code >= range.first && code <= range.last) cost = range.cost;
    total += cost;
  }
  return total;
}

// A probe may end inside a UTF-8 sequence: the length without an incomplete last one.
size_t withoutCutSequence(std::string_view bytes) {
  size_t end = bytes.size();
  size_t lead = end;
  while (lead > 0 && end - lead < 3 && (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead > 0) {
    unsigned char c = static_cast<unsigned char>(bytes[lead - 1]);
    size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (need > 1 && end - (lead - 1) < need) end = lead - 1;
  }
  return end;
}

bool isUtf16(TextEncoding encoding) { return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be; }

std::u16string utf16FromBytes(std::string_view bytes, bool bigEndian) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(bytes[2 * i]), b = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  return text;
}

std::string utf16ToBytes(std::u16string_view text, bool bigEndian) {
  std::string bytes(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    char high = static_cast<char>(text[i] >> 8), low = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i] = bigEndian ? high : low;
    bytes[2 * i + 1] = bigEndian ? low : high;
  }
  return bytes;
}

}  // namespace

ReadResult readFileBytes(const FilePath& path, std::string& bytes, size_t maxBytes, FileError* why) {
  bytes.clear();
  FileError error = FileError::None;
  int code = 0;
  FILE* file = openToRead(path, &error, &code);
  if (why) *why = error;
  if (!file) return error == FileError::Missing ? ReadResult::Missing : ReadResult::Unreadable;
  char buffer[16384];
  ReadResult result = ReadResult::Ok;
  for (;;) {
    // Never more than one byte past the limit: an endless file is not read on.
    size_t want = std::min(sizeof buffer, maxBytes + 1 - bytes.size());
    size_t got = std::fread(buffer, 1, want, file);
    bytes.append(buffer, got);
    if (bytes.size() > maxBytes) {
      result = ReadResult::TooLarge;
      if (why) *why = FileError::TooLarge;
      break;
    }
    if (got < want) {
      if (std::ferror(file)) {
        result = ReadResult::Unreadable;
        if (why) *why = readFailure(&code);
      }
      break;
    }
  }
  std::fclose(file);
  if (result != ReadResult::Ok) bytes.clear();
  return result;
}

namespace {

#ifdef _WIN32
// The path the file finally has, symbolic links followed (a hard link is its own name); the path as
// given when there is no file there yet or it cannot be opened.
std::wstring finalWidePath(const FilePath& path) {
  const std::wstring given = widePath(path);
  ScopedHandle file(CreateFileW(given.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return given;
  std::wstring resolved(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetFinalPathNameByHandleW(file.get(), resolved.data(), static_cast<DWORD>(resolved.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return given;
    if (n < resolved.size()) {
      resolved.resize(n);
      return resolved;
    }
    resolved.resize(n);
  }
}

bool isFolder(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Why a write to target, through temporary beside it, failed with the system's error code.
FileError writeFailure(DWORD code, const std::wstring& target, const std::wstring& temporary) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      if (isFolder(target) || isFolder(temporary)) return FileError::IsFolder;
      return code == ERROR_ACCESS_DENIED ? FileError::Denied : FileError::Other;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileError::Locked;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileError::DiskFull;
    case ERROR_WRITE_PROTECT:
      return FileError::ReadOnly;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return FileError::Missing;
    default:
      return FileError::Other;
  }
}
#else
FilePath finalPath(const FilePath& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  FilePath final(resolved);
  std::free(resolved);
  return final;
}

FileError writeFailure(int code) {
  switch (code) {
    case EISDIR:
      return FileError::IsFolder;
    case ENOSPC:
    case EDQUOT:
      return FileError::DiskFull;
    case EACCES:
    case EPERM:
      return FileError::Denied;
    case EROFS:
      return FileError::ReadOnly;
    case ENOENT:
    case ENOTDIR:
      return FileError::Missing;
    case EBUSY:
    case ETXTBSY:
      return FileError::Locked;
    default:
      return FileError::Other;
  }
}
#endif

bool failed(FileError error, int code, FileError* why, int* whyCode) {
  if (why) *why = error;
  if (whyCode) *whyCode = code;
  return false;
}

}  // namespace

bool replaceFileBytes(const FilePath& path, std::string_view bytes, FileError* why, int* code) {
  if (why) *why = FileError::None;
  if (code) *code = 0;
#ifdef _WIN32
  const std::wstring target = finalWidePath(path);
  const std::wstring temporary = target + gbk::utf8ToWide(kTemporarySuffix);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return failed(FileError::IsFolder, ERROR_ACCESS_DENIED, why, code);
  // A read-only list stays as it is. MoveFileEx alone does not ensure it: Wine run by root replaces it.
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return failed(FileError::ReadOnly, ERROR_ACCESS_DENIED, why, code);
  // The new file is made with the old one's attributes, so the replace keeps them.
  constexpr DWORD kKept =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD made =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept) ? attributes & kKept : FILE_ATTRIBUTE_NORMAL;
  DeleteFileW(temporary.c_str());  // left by a save that was killed
  DWORD error = ERROR_SUCCESS;
  {
    ScopedHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, made, nullptr));
    if (!file) {
      error = GetLastError();
      return failed(writeFailure(error, target, temporary), static_cast<int>(error), why, code);
    }
    for (size_t at = 0; at < bytes.size() && error == ERROR_SUCCESS;) {
      DWORD written = 0;
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - at, 1 << 20));
      if (!WriteFile(file.get(), bytes.data() + at, chunk, &written, nullptr) || written == 0)
        error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
      at += written;
    }
    // On the disk before the rename: after a power cut the name leads to the whole old or new content.
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get())) error = GetLastError();
    if (!file.close() && error == ERROR_SUCCESS) error = GetLastError();
  }
  if (error == ERROR_SUCCESS &&
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError();
  if (error == ERROR_SUCCESS) return true;
  DeleteFileW(temporary.c_str());
  return failed(writeFailure(error, target, temporary), static_cast<int>(error), why, code);
#else
  const FilePath target = finalPath(path);
  const FilePath temporary = target + kTemporarySuffix;
  unlink(temporary.c_str());  // left by a save that was killed
  errno = 0;
  FILE* file = AfxOpenFile(temporary, "wb");
  if (!file) return failed(writeFailure(errno), errno, why, code);
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  written = std::fflush(file) == 0 && written;
  written = written && fsync(fileno(file)) == 0;
  int error = written ? 0 : errno;
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && std::rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (written) return true;
  unlink(temporary.c_str());
  return failed(writeFailure(error), error, why, code);
#endif
}

void removeStaleTemporary(const FilePath& path) {
#ifdef _WIN32
  DeleteFileW((finalWidePath(path) + gbk::utf8ToWide(kTemporarySuffix)).c_str());
#else
  unlink((finalPath(path) + kTemporarySuffix).c_str());
#endif
}

CString fileErrorText(FileError error, int code) {
  switch (error) {
    case FileError::None:
      return CString();
    case FileError::Missing:
      return "文件不存在";
    case FileError::IsFolder:
      return "这是一个文件夹，不是文件";
    case FileError::Locked:
      return "文件被其他程序占用";
    case FileError::Denied:
      return "没有读取它的权限";
    case FileError::TooLarge:
      return "文件太大";
    case FileError::ReadOnly:
    case FileError::DiskFull:
    case FileError::Other:
      break;
  }
  return code ? "读取时出错（错误代码 " + CString(std::to_string(code)) + "）" : CString("读取时出错");
}

CString saveErrorText(FileError error, int code) {
  switch (error) {
    case FileError::None:
      return CString();
    case FileError::Missing:
      return "文件所在的文件夹不存在";
    case FileError::IsFolder:
      return "已有同名的文件夹";
    case FileError::Locked:
      return "文件被其他程序占用";
    case FileError::Denied:
      return "没有写入它的权限";
    case FileError::ReadOnly:
      return "文件是只读的";
    case FileError::DiskFull:
      return "磁盘已满";
    case FileError::TooLarge:
    case FileError::Other:
      break;
  }
  return code ? "写入时出错（错误代码 " + CString(std::to_string(code)) + "）" : CString("写入时出错");
}

TextEncoding detectEncoding(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return TextEncoding::Utf8Bom;
  if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) return TextEncoding::Utf16Le;
  if (bytes.substr(0, kUtf16BeBom.size()) == kUtf16BeBom) return TextEncoding::Utf16Be;
  std::string_view probe = bytes.substr(0, kEncodingProbeBytes);
  // Only a probe that stops short of the file can cut a sequence; a file may not.
  if (probe.size() < bytes.size()) probe = probe.substr(0, withoutCutSequence(probe));
  if (!gbk::hasNonAscii(probe) || !gbk::isValidUtf8(probe)) return TextEncoding::Gbk;
  // Valid UTF-8: it is UTF-8 only when that reading is plausible text and costs less than the GBK one.
  long characters = 0;
  long utf8Cost = utf8ReadingCost(probe, &characters);
  bool plausible = utf8Cost <= characters * kPlausibleAverage;
  return plausible && utf8Cost < gbkReadingCost(probe) ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

size_t markLength(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom:
      return kUtf8Bom.size();
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
      return 2;
    case TextEncoding::Gbk:
    case TextEncoding::Utf8:
      break;
  }
  return 0;
}

size_t editorCharLimit(TextEncoding encoding, size_t loadedChars) {
  const size_t room = kMaxTextFileBytes - markLength(encoding);
  const bool twoBytesEach = encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
  return std::max(twoBytesEach ? room / 2 : room, loadedChars);
}

std::string decodeToGbk(std::string_view bytes, TextEncoding encoding) {
  bytes.remove_prefix(std::min(bytes.size(), markLength(encoding)));
  return decodeBodyToGbk(bytes, encoding);
}

std::string decodeBodyToGbk(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Gbk) return std::string(bytes);
  if (isUtf16(encoding))
    return gbk::utf8ToGbk(gbk::utf16ToUtf8(utf16FromBytes(bytes, encoding == TextEncoding::Utf16Be)));
  return gbk::utf8ToGbk(bytes);
}

std::string encodeFromGbk(std::string_view text, TextEncoding encoding) {
  if (encoding == TextEncoding::Gbk) return std::string(text);
  return encodeFromUtf16(gbk::utf8ToUtf16(gbk::gbkToUtf8(text)), encoding);
}

std::u16string decodeToUtf16(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Gbk) return gbk::utf8ToUtf16(gbk::gbkToUtf8(bytes));
  bytes.remove_prefix(std::min(bytes.size(), markLength(encoding)));
  if (isUtf16(encoding)) return utf16FromBytes(bytes, encoding == TextEncoding::Utf16Be);
  return gbk::utf8ToUtf16(bytes);
}

std::string encodeFromUtf16(std::u16string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Gbk: {
      std::string bytes = gbk::utf8ToGbk(gbk::utf16ToUtf8(text));
      if (detectEncoding(bytes) == TextEncoding::Gbk) return bytes;
      return std::string(kUtf8Bom) + gbk::utf16ToUtf8(text);
    }
    case TextEncoding::Utf8: {
      std::string bytes = gbk::utf16ToUtf8(text);
      if (detectEncoding(bytes) == TextEncoding::Utf8 || !gbk::hasNonAscii(bytes)) return bytes;
      return std::string(kUtf8Bom) + bytes;
    }
    case TextEncoding::Utf8Bom:
      return std::string(kUtf8Bom) + gbk::utf16ToUtf8(text);
    case TextEncoding::Utf16Le:
      return std::string(kUtf16LeBom) + utf16ToBytes(text, false);
    case TextEncoding::Utf16Be:
      return std::string(kUtf16BeBom) + utf16ToBytes(text, true);
  }
  return {};
}

EditableText textForEditing(std::string_view bytes) {
  EditableText edit;
  edit.form.encoding = detectEncoding(bytes);
  edit.text = decodeToUtf16(bytes, edit.form.encoding);
  const size_t zero = edit.text.find(u'\0');
  edit.cutAtZero = zero != std::u16string::npos;
  if (edit.cutAtZero)
    edit.text.resize(zero);
  else
    edit.changesOnSave = encodeFromUtf16(edit.text, edit.form.encoding) != bytes;
  edit.form.bareLineFeeds = hasBareLineFeedsOnly(edit.text);
  if (edit.form.bareLineFeeds) edit.text = lineFeedsToCrLf(edit.text);
  return edit;
}

SavedBytes bytesForSaving(std::u16string_view held, const TextFileForm& form, TextUse use) {
  std::u16string text(held);
  if (form.bareLineFeeds) text = crLfToLineFeeds(text);
  if (use == TextUse::List) replaceFullWidthCommas(text);
  SavedBytes saved;
  saved.bytes = encodeFromUtf16(text, form.encoding);
  if (decodeToUtf16(saved.bytes, detectEncoding(saved.bytes)) != text) {
    if (use == TextUse::Recovery)
      saved.bytes = encodeFromUtf16(text, TextEncoding::Utf8Bom);
    else
      saved.notInGbk = form.encoding == TextEncoding::Gbk;
  }
  saved.tooLarge = saved.bytes.size() > kMaxTextFileBytes;
  return saved;
}
