#include "framework/Gbk.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace gbk {

size_t cutLength(std::string_view text, size_t maxBytes) {
  size_t i = 0;
  while (i < text.size()) {
    size_t width = charWidth(text, i);
    if (i + width > maxBytes) break;
    i += width;
  }
  return i;
}

void copyToField(char* field, size_t fieldSize, std::string_view text) {
  if (fieldSize == 0) return;
  size_t n = cutLength(text, fieldSize - 1);
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

size_t find(std::string_view text, std::string_view needle, size_t start) {
  if (needle.empty()) return start <= text.size() ? start : std::string_view::npos;
  // Walk from the beginning so that every candidate position is a character start.
  size_t i = 0;
  while (i < start && i < text.size()) i += charWidth(text, i);
  for (; i + needle.size() <= text.size(); i += charWidth(text, i)) {
    if (text.compare(i, needle.size(), needle) == 0) return i;
  }
  return std::string_view::npos;
}

int replaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return 0;
  std::string out;
  int count = 0;
  size_t copied = 0;
  for (size_t at = find(text, from, 0); at != std::string_view::npos; at = find(text, from, at + from.size())) {
    out.append(text, copied, at - copied);
    out.append(to);
    copied = at + from.size();
    ++count;
  }
  if (count == 0) return 0;
  out.append(text, copied, std::string::npos);
  text.swap(out);
  return count;
}

bool isValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t extra;
    unsigned int code;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      code = c & 0x07;
    } else
      return false;
    if (i + extra >= s.size()) return false;
    for (size_t k = 1; k <= extra; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      code = (code << 6) | (t & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

std::u16string utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    // The sequence its lead byte announces; isValidUtf8 knows the rules.
    std::string_view sequence = s.substr(i, (c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2));
    if (sequence.size() < 2 || !isValidUtf8(sequence)) {
      out.push_back(u'\xFFFD');
      ++i;
      continue;
    }
    char32_t code = c & (sequence.size() == 2 ? 0x1F : sequence.size() == 3 ? 0x0F : 0x07);
    for (size_t k = 1; k < sequence.size(); ++k) code = (code << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
    if (code >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += sequence.size();
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

bool hasNonAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

std::string gbkToUtf8EachCharacter(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3 / 2);
  for (size_t i = 0, width = 1; i < text.size(); i += width) {
    width = charWidth(text, i);
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    // One character at a time: no conversion can see a broken one together with the next.
    const std::string one = width == 2 ? gbkToUtf8(text.substr(i, 2)) : std::string();
    out += one.empty() || !isValidUtf8(one) ? std::string("?") : one;
  }
  return out;
}

#ifdef _WIN32

static std::wstring decode(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

static std::string encode(UINT codePage, std::wstring_view wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
  return text;
}

std::wstring toWide(std::string_view text) { return decode(936, text); }
std::string fromWide(std::wstring_view text) { return encode(936, text); }
std::wstring utf8ToWide(std::string_view text) { return decode(CP_UTF8, text); }
std::string wideToUtf8(std::wstring_view text) { return encode(CP_UTF8, text); }
std::string utf8ToGbk(std::string_view utf8) { return encode(936, decode(CP_UTF8, utf8)); }
std::string gbkToUtf8(std::string_view text) { return encode(CP_UTF8, decode(936, text)); }

std::wstring fill(const char* text, std::initializer_list<std::wstring_view> values) {
  // One pass over the text: a value that holds "{2}" (a path may) stays as it is.
  const std::wstring blanks = toWide(text);
  std::wstring filled;
  for (size_t i = 0; i < blanks.size(); ++i) {
    const bool blank = i + 2 < blanks.size() && blanks[i] == L'{' && blanks[i + 1] >= L'1' && blanks[i + 1] <= L'9' &&
                       blanks[i + 2] == L'}';
    const size_t number = blank ? static_cast<size_t>(blanks[i + 1] - L'0') : 0;
    if (number >= 1 && number <= values.size()) {
      filled += values.begin()[number - 1];
      i += 2;
    } else {
      filled += blanks[i];
    }
  }
  return filled;
}

#else

// iconv with //TRANSLIT is not reliable across C libraries; unconvertible input becomes '?' by hand.
static std::string convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  char buffer[1024];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, sizeof buffer - dstLeft);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out.push_back('?');
      ++src;
      --srcLeft;
      // Skip the rest of a broken multi-byte sequence.
      while (srcLeft > 0 && std::strcmp(from, "UTF-8") == 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80) {
        ++src;
        --srcLeft;
      }
    }
  }
  iconv_close(cd);
  return out;
}

std::string utf8ToGbk(std::string_view utf8) { return convert("CP936", "UTF-8", utf8); }
std::string gbkToUtf8(std::string_view text) { return convert("UTF-8", "CP936", text); }

#endif

}  // namespace gbk
