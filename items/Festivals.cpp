#include "items/Festivals.h"

#include <iterator>

#include "items/ItemOptions.h"

namespace {

const FestivalPreset kPresets[] = {
    {"春节", "农历正月初一"},   {"元宵节", "农历正月十五"},  {"清明", "清明"},           {"端午节", "农历五月初五"},
    {"七夕", "农历七月初七"},   {"中元节", "农历七月十五"},  {"中秋节", "农历八月十五"}, {"重阳节", "农历九月初九"},
    {"腊八", "农历腊月初八"},   {"小年", "农历腊月廿三"},    {"除夕", "除夕"},           {"冬至", "冬至"},
    {"元旦", "1月1日"},         {"情人节", "2月14日"},       {"妇女节", "3月8日"},       {"植树节", "3月12日"},
    {"劳动节", "5月1日"},       {"青年节", "5月4日"},        {"母亲节", "5月第2个周日"}, {"儿童节", "6月1日"},
    {"父亲节", "6月第3个周日"}, {"建党节", "7月1日"},        {"建军节", "8月1日"},       {"教师节", "9月10日"},
    {"国庆节", "10月1日"},      {"感恩节", "11月第4个周四"}, {"圣诞节", "12月25日"},
};

}  // namespace

const FestivalPreset* festivalPresets(size_t* count) {
  *count = sizeof kPresets / sizeof kPresets[0];
  return kPresets;
}

std::string festivalLine(const FestivalPreset& preset) { return std::string(preset.name) + "," + preset.date; }

int festivalOfLine(std::string_view name, std::string_view date) {
  for (const FestivalPreset& preset : kPresets)
    if (name == preset.name && date == preset.date) return static_cast<int>(&preset - kPresets);
  return -1;
}

bool festivalTakesName(std::string_view name, int previous) {
  if (trimField(name).empty()) return true;
  return previous >= 0 && static_cast<size_t>(previous) < std::size(kPresets) && name == kPresets[previous].name;
}
