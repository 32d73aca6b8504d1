#include "core/TextFile.h"

#include <cstdio>

#include "framework/Gbk.h"
#include "framework/StdioFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
}

ReadResult readFileBytes(const FilePath& path, std::string& bytes, size_t maxBytes, bool truncateOk) {
  bytes.clear();
  FILE* file = AfxOpenFile(path, "rb");
  if (!file) return ReadResult::Missing;
  char buffer[16384];
  size_t got;
  ReadResult result = ReadResult::Ok;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (bytes.size() + got > maxBytes) {
      bytes.append(buffer, maxBytes - bytes.size());
      result = truncateOk ? ReadResult::Ok : ReadResult::TooLarge;
      break;
    }
    bytes.append(buffer, got);
  }
  std::fclose(file);
  if (result == ReadResult::TooLarge) bytes.clear();
  return result;
}

bool replaceFileBytes(const FilePath& path, std::string_view bytes) {
#ifdef _WIN32
  // A read-only list stays as it is. MoveFileEx alone does not ensure it: Wine run by root replaces it.
  DWORD attributes = GetFileAttributesW(widePath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
#endif
  FilePath temporary = path + ".tmp";
  FILE* file = AfxOpenFile(temporary, "wb");
  if (!file) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  written = (std::fflush(file) == 0) && written;
#ifndef _WIN32
  written = written && fsync(fileno(file)) == 0;
#endif
  written = (std::fclose(file) == 0) && written;
#ifdef _WIN32
  std::wstring from = widePath(temporary);
  std::wstring to = widePath(path);
  bool replaced = written && MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!replaced) DeleteFileW(from.c_str());
#else
  bool replaced = written && std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!replaced) std::remove(temporary.c_str());
#endif
  return replaced;
}

TextEncoding detectEncoding(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return TextEncoding::Utf8Bom;
  // A prefix read may end inside a sequence: leave out an incomplete last one.
  size_t end = bytes.size();
  size_t lead = end;
  while (lead > 0 && end - lead < 3 && (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead > 0) {
    unsigned char c = static_cast<unsigned char>(bytes[lead - 1]);
    size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (need > 1 && end - (lead - 1) < need) end = lead - 1;
  }
  std::string_view body = bytes.substr(0, end);
  return gbk::hasNonAscii(body) && gbk::isValidUtf8(body) ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

std::string decodeToGbk(std::string_view bytes, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom: return gbk::utf8ToGbk(bytes.substr(kUtf8Bom.size()));
    case TextEncoding::Utf8: return gbk::utf8ToGbk(bytes);
    case TextEncoding::Gbk: break;
  }
  return std::string(bytes);
}

std::string encodeFromGbk(std::string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom: return std::string(kUtf8Bom) + gbk::gbkToUtf8(text);
    case TextEncoding::Utf8: return gbk::gbkToUtf8(text);
    case TextEncoding::Gbk: break;
  }
  return std::string(text);
}
