#include "core/UserInput.h"

#include <climits>
#include <cstdint>

#include "framework/Gbk.h"

namespace {

bool isAtoiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

bool parseIntLikeAtoi(std::string_view text, int* value) {
  size_t i = 0;
  while (i < text.size() && isAtoiSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // The magnitude is bounded before it can leave int64_t: INT_MIN's is the largest allowed.
  const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) return false;
  }
  *value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

int replaceFullWidthCommas(CString& text) { return text.Replace("，", ","); }

namespace {
template <typename Text>
int replaceWideCommas(Text& text) {
  int count = 0;
  for (auto& c : text) {
    if (c == 0xFF0C) {
      c = ',';
      ++count;
    }
  }
  return count;
}
}  // namespace

int replaceFullWidthCommas(std::wstring& text) { return replaceWideCommas(text); }
int replaceFullWidthCommas(std::u16string& text) { return replaceWideCommas(text); }

namespace {

template <typename Char>
bool bareLineFeedsOnly(std::basic_string_view<Char> text) {
  return text.find(Char('\n')) != std::basic_string_view<Char>::npos &&
         text.find(Char('\r')) == std::basic_string_view<Char>::npos;
}

template <typename Char>
std::basic_string<Char> withCrLf(std::basic_string_view<Char> text) {
  std::basic_string<Char> out;
  out.reserve(text.size() + text.size() / 16);
  for (Char c : text) {
    if (c == Char('\n')) out.push_back(Char('\r'));
    out.push_back(c);
  }
  return out;
}

template <typename Char>
std::basic_string<Char> withLineFeeds(std::basic_string_view<Char> text) {
  std::basic_string<Char> out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) continue;
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

bool hasBareLineFeedsOnly(std::string_view bytes) { return bareLineFeedsOnly(bytes); }
std::string lineFeedsToCrLf(std::string_view bytes) { return withCrLf(bytes); }
std::string crLfToLineFeeds(std::string_view bytes) { return withLineFeeds(bytes); }
bool hasBareLineFeedsOnly(std::u16string_view text) { return bareLineFeedsOnly(text); }
std::u16string lineFeedsToCrLf(std::u16string_view text) { return withCrLf(text); }
std::u16string crLfToLineFeeds(std::u16string_view text) { return withLineFeeds(text); }
