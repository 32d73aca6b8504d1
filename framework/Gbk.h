// GBK (code page 936) text helpers. Files and in-memory texts are GBK; Windows is spoken to in UTF-16.
#pragma once
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace gbk {

// A GBK lead byte starts a double-byte character (0x81..0xFE); everything else is one byte.
inline bool isLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
inline bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Bytes taken by the character at i: two for a lead byte followed by a trail byte, else one (a
// broken pair never swallows an ASCII byte such as "," or ";").
inline size_t charWidth(std::string_view text, size_t i) {
  return i + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[i])) &&
                 isTrailByte(static_cast<unsigned char>(text[i + 1]))
             ? 2
             : 1;
}

// Length in bytes of the longest prefix of text that fits in maxBytes without splitting a character.
size_t cutLength(std::string_view text, size_t maxBytes);

// Copies text into a field of fieldSize bytes (terminating zero included), cut at a character boundary.
void copyToField(char* field, size_t fieldSize, std::string_view text);

// Position of needle in text at or after start, never matching from the trail byte of a double-byte
// character; npos when absent.
size_t find(std::string_view text, std::string_view needle, size_t start = 0);

// Replaces every match of from (found as find() does) with to; returns the number of replacements.
int replaceAll(std::string& text, std::string_view from, std::string_view to);

bool isValidUtf8(std::string_view bytes);
bool hasNonAscii(std::string_view bytes);

// Conversions between UTF-8 and UTF-16: a byte that is not part of a valid UTF-8 sequence, and a
// surrogate without its partner, become U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view text);

// Conversions between UTF-8 and GBK; a character the target cannot hold becomes '?'.
std::string utf8ToGbk(std::string_view utf8);
std::string gbkToUtf8(std::string_view text);
// GBK text as UTF-8 character by character: a byte that is no character (a lead byte without its
// trail) becomes '?' and never takes its neighbour (a tab, a comma) with it.
std::string gbkToUtf8EachCharacter(std::string_view text);

#ifdef _WIN32
std::wstring toWide(std::string_view text);    // GBK -> UTF-16
std::string fromWide(std::wstring_view text);  // UTF-16 -> GBK
std::wstring utf8ToWide(std::string_view text);
std::string wideToUtf8(std::wstring_view text);
// text (GBK, a message of res/Texts.h) in UTF-16 with its blanks "{1}", "{2}"... filled with values
// in order.
std::wstring fill(const char* text, std::initializer_list<std::wstring_view> values);
#endif

}  // namespace gbk
