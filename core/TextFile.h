// Whole text files by path (UTF-8, see FilePath): reading, replacing in one step, telling and
// converting their encodings, and the way between a list file's bytes and the editor's text.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "core/Core.h"
#include "framework/StdioFile.h"

// Files larger than this are refused rather than read into memory.
constexpr size_t kMaxTextFileBytes = 4 * 1024 * 1024;
// The encoding is decided from at most this many bytes at the start of a file, so that a reader of a
// prefix and a reader of the whole file decide alike.
constexpr size_t kEncodingProbeBytes = 64 * 1024;

enum class ReadResult { Ok, Missing, Unreadable, TooLarge };

// The file's bytes, at most maxBytes of them: a longer file gives TooLarge and no bytes. The read stops
// there, whatever the file holds. why (when given) tells what kept an existing file from being read.
ReadResult readFileBytes(const FilePath& path, std::string& bytes, size_t maxBytes = kMaxTextFileBytes,
                         FileError* why = nullptr);

// Writes bytes to a temporary file beside path, flushes it to the disk and then puts it in path's place,
// so the old file stays whole if anything fails, also at a power cut. A symbolic link is written
// through: the file it finally leads to is replaced, beside it, and keeps its attributes. False when
// the new content could not be stored; why and code (errno, or the Windows error code) then tell why.
bool replaceFileBytes(const FilePath& path, std::string_view bytes, FileError* why = nullptr, int* code = nullptr);

// The temporary file replaceFileBytes writes for path (the name ends in kTemporarySuffix), and the
// removal of one left by a save that was killed; only a file of that name is removed.
constexpr char kTemporarySuffix[] = ".tessaly.tmp";
FilePath temporaryPathFor(const FilePath& path);
void removeStaleTemporary(const FilePath& path);

// What went wrong, in words for the user (GBK), the system's error number added when it says more:
// fileErrorText for a read, saveErrorText for a write.
CString fileErrorText(FileError error, int code);
CString saveErrorText(FileError error, int code);

// The encoding of a text file from its first bytes: the whole file, or more than kEncodingProbeBytes of
// it (only those are looked at; a sequence cut at the end of the probe does not count against UTF-8).
// A byte-order mark decides (UTF-8, UTF-16 LE, UTF-16 BE). Without one the text is GBK unless it is
// valid UTF-8 that reads as plausible text and more plausibly so than its GBK reading; see
// TextFile.cpp for the evidence weighed.
TextEncoding detectEncoding(std::string_view bytes);
// Bytes of the byte-order mark the encoding starts with (0 for GBK and UTF-8 without one).
size_t markLength(TextEncoding encoding);

// The editor box's limit in UTF-16 characters for a file of that encoding: as many characters of the
// fewest bytes each (ASCII in GBK and UTF-8, any character in UTF-16) as a file within
// kMaxTextFileBytes holds, and never fewer than the loadedChars the box was opened with (bare line
// feeds become CR LF there). Text typed or pasted past it is cut by the box.
size_t editorCharLimit(TextEncoding encoding, size_t loadedChars);

// The file's bytes (mark included) as GBK, for the item reader: what GBK cannot hold becomes '?', a
// broken sequence U+FFFD's stand-in, a last odd byte of UTF-16 is dropped.
std::string decodeToGbk(std::string_view bytes, TextEncoding encoding);
// The same for bytes past the mark, such as one line of the file.
std::string decodeBodyToGbk(std::string_view bytes, TextEncoding encoding);
// GBK text as the file's bytes, mark included.
std::string encodeFromGbk(std::string_view text, TextEncoding encoding);

// The file's bytes (mark included) as UTF-16 text, for the editor; encodeFromUtf16 turns such text
// back into the file's bytes, mark included. For every encoding, bytes that come back unchanged from
// the round trip lost nothing; anything else (a broken sequence, an odd byte, a character GBK does not
// have) comes back changed, which is how the editor finds out. Text is written so that it reads back
// as written: a UTF-8 text without a mark that would no longer be told from GBK gets the mark, and so
// does a GBK text that would be taken for UTF-8 (it is then written as UTF-8 with the mark).
std::u16string decodeToUtf16(std::string_view bytes, TextEncoding encoding);
std::string encodeFromUtf16(std::u16string_view text, TextEncoding encoding);

// The list file's text as the editor holds it, and back. The edit box breaks lines only at CR LF: a
// file whose every line break is a bare line feed is held with CR LF and written with bare line feeds
// again. Every other line end (CR LF, a lone CR, a mix) is held and written as it stands, and so is the
// last line's end or its lack.

// How a file read for editing is written back.
struct TextFileForm {
  TextEncoding encoding = TextEncoding::Gbk;
  bool bareLineFeeds = false;
};

// A file's bytes as the editor holds them.
struct EditableText {
  std::u16string text;
  TextFileForm form;
  // A zero character would end the box's text: text stops before the first one, and a save loses the rest.
  bool cutAtZero = false;
  // Bytes the conversion cannot map (a broken sequence, an odd last byte): a save writes them changed.
  bool changesOnSave = false;
};
EditableText textForEditing(std::string_view bytes);

// What a save is for: the list itself, or a recovery copy of the editor's unsaved text.
enum class TextUse { List, Recovery };
struct SavedBytes {
  std::string bytes;
  // A GBK list's text holds characters GBK has not: bytes have '?' for them (the editor asks first).
  bool notInGbk = false;
  // bytes are more than kMaxTextFileBytes: the editor could not open the file again.
  bool tooLarge = false;
};
// The bytes that store text (held as textForEditing gives it, or with bare line feeds) in a file of
// that form, written so that they read back as the text (see encodeFromUtf16). The list's full-width
// commas become the ASCII comma the item reader splits at. A recovery copy keeps the text as typed: its
// commas stay, and text its encoding cannot hold is written as UTF-8 with the mark instead. Used by the
// editor's save and recovery, and by whatever else adds to the list (read with textForEditing first).
SavedBytes bytesForSaving(std::u16string_view text, const TextFileForm& form, TextUse use);
