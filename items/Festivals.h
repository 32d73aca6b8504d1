// The festivals the item form offers in one click ("节日"): each fills the name and the date with an
// ordinary line of the list ("中秋节,农历八月十五"), so that nothing about a festival is stored
// anywhere but in that line. No window code.
#pragma once
#include <cstddef>
#include <string>

struct FestivalPreset {
  const char* name;  // GBK
  const char* date;  // GBK, a yearly date text the list reads
};

// The presets in the order the list offers them: the traditional festivals, then the others by date.
const FestivalPreset* festivalPresets(size_t* count);

// The preset as a line of the list (GBK, no line break): "中秋节,农历八月十五".
std::string festivalLine(const FestivalPreset& preset);
