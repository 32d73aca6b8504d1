// The festivals the item form offers in one click ("节日"): each fills the name and the date with an
// ordinary line of the list ("中秋节,农历八月十五"), so that nothing about a festival is stored
// anywhere but in that line. No window code.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

struct FestivalPreset {
  const char* name;  // GBK
  const char* date;  // GBK, a yearly date text the list reads
};

// The presets in the order the list offers them: the traditional festivals, then the others by date.
const FestivalPreset* festivalPresets(size_t* count);

// The preset as a line of the list (GBK, no line break): "中秋节,农历八月十五".
std::string festivalLine(const FestivalPreset& preset);

// The preset whose line the name and date (GBK, as in the form's boxes) are, the one the list shows
// chosen; -1 for none.
int festivalOfLine(std::string_view name, std::string_view date);

// Choosing a preset fills the date with its date, and the name (GBK, as in the name box) only when
// that is empty or still the name of the preset chosen before (previous, -1 for none): a name the
// user typed stays.
bool festivalTakesName(std::string_view name, int previous);
