// The tray icon's tip: the platform keeps 64 characters of it, terminating zero included, and the
// program's own limit is the classic 64 bytes of GBK text. Also the balloon note's limit.
#pragma once
#include <string>
#include <string_view>

#include "framework/Gbk.h"

constexpr size_t kTrayTipBytes = 64;

// The tip cut to at most 63 bytes, never inside a double-byte character.
inline std::string trayTipText(std::string_view tip) {
  return std::string(tip.substr(0, gbk::cutLength(tip, kTrayTipBytes - 1)));
}

// A balloon note holds kBalloonChars characters (UTF-16 units, terminating zero left out). A longer
// note keeps its first line (the sentence) and its end (a path's end names the file), with "…" where
// the middle was; a character is never cut in half.
constexpr size_t kBalloonChars = 255;

inline std::u16string noteForBalloon(std::u16string_view text, size_t room = kBalloonChars) {
  if (text.size() <= room) return std::u16string(text);
  auto isLowSurrogate = [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
  size_t head = text.find(u'\n');
  head = head == std::u16string_view::npos || head + 1 > room / 2 ? room / 2 : head + 1;
  if (head > 0 && head < text.size() && isLowSurrogate(text[head])) --head;
  size_t tail = text.size() - (room - head - 1);
  if (tail < text.size() && isLowSurrogate(text[tail])) ++tail;
  return std::u16string(text.substr(0, head)) + u"\u2026" + std::u16string(text.substr(tail));
}
