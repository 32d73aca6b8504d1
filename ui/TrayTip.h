// The tray icon's tip: the platform keeps 64 characters of it, terminating zero included, and the
// program's own limit is the classic 64 bytes of GBK text.
#pragma once
#include <string>
#include <string_view>

#include "framework/Gbk.h"

constexpr size_t kTrayTipBytes = 64;

// The tip cut to at most 63 bytes, never inside a double-byte character.
inline std::string trayTipText(std::string_view tip) {
  return std::string(tip.substr(0, gbk::cutLength(tip, kTrayTipBytes - 1)));
}
