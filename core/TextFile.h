// Whole text files by path (UTF-8, see FilePath): reading with encoding detection, and replacing in one step.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "core/Core.h"
#include "framework/StdioFile.h"

// Files larger than this are refused rather than read into memory.
constexpr size_t kMaxTextFileBytes = 4 * 1024 * 1024;

enum class ReadResult { Ok, Missing, TooLarge };

// The file's bytes, at most maxBytes of them (a longer file gives TooLarge, or its first maxBytes
// bytes when truncateOk).
ReadResult readFileBytes(const FilePath& path, std::string& bytes, size_t maxBytes = kMaxTextFileBytes,
                         bool truncateOk = false);

// Writes bytes to a temporary file beside path and then puts it in path's place, so the old file
// stays whole if anything fails; false when the new content could not be stored.
bool replaceFileBytes(const FilePath& path, std::string_view bytes);

// UTF-8 when the bytes start with its byte-order mark, or are valid UTF-8 with some non-ASCII text
// (a GBK text practically never is); GBK otherwise. A UTF-8 sequence cut at the end of a prefix
// read does not count against it.
TextEncoding detectEncoding(std::string_view bytes);
std::string decodeToGbk(std::string_view bytes, TextEncoding encoding);
std::string encodeFromGbk(std::string_view text, TextEncoding encoding);
