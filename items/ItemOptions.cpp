#include "items/ItemOptions.h"

#include <algorithm>

#include "framework/Gbk.h"

namespace {

const std::string_view kFullWidthComma = "，";
const std::string_view kFullWidthSpace = "　";

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::string_view trimmed(std::string_view text) {
  for (;;) {
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
      text.remove_prefix(1);
    else if (startsWith(text, kFullWidthSpace))
      text.remove_prefix(kFullWidthSpace.size());
    else
      break;
  }
  for (;;) {
    if (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
      text.remove_suffix(1);
    } else if (text.size() >= 2 && text.substr(text.size() - 2) == kFullWidthSpace &&
               gbk::cutLength(text, text.size() - 2) == text.size() - 2) {
      text.remove_suffix(2);  // a whole full-width space, not the trail byte of another character
    } else {
      break;
    }
  }
  return text;
}

// The text with full-width digits (GBK A3 B0..A3 B9) as ASCII ones, walked character by character.
std::string asciiDigits(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const size_t width = gbk::charWidth(text, i);
    const unsigned char lead = text[i];
    const unsigned char trail = width == 2 ? text[i + 1] : 0;
    if (width == 2 && lead == 0xA3 && trail >= 0xB0 && trail <= 0xB9)
      out += static_cast<char>('0' + trail - 0xB0);
    else
      out.append(text.substr(i, width));
    i += width;
  }
  return out;
}

// "<prefix>N<suffix>" with N a decimal number in 1..max; 0 when the text is not of that shape.
int numberBetween(std::string_view text, std::string_view prefix, std::string_view suffix, int max) {
  if (!startsWith(text, prefix) || text.size() < prefix.size() + suffix.size() ||
      text.substr(text.size() - suffix.size()) != suffix)
    return 0;
  const std::string_view digits = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
  if (digits.empty() || digits.size() > 7) return 0;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= max ? value : 0;
}

void addOnce(std::vector<int>& values, int value) {
  if (std::find(values.begin(), values.end(), value) == values.end()) values.push_back(value);
}

// A repeat option: the last one written wins; another one before it is a conflict.
void setRepeat(ItemOptions& options, bool& repeatSeen, Repeat repeat, int everyDays = 0) {
  if (repeatSeen && (options.repeat != repeat || options.everyDays != everyDays)) options.repeatConflict = true;
  repeatSeen = true;
  options.repeat = repeat;
  options.everyDays = everyDays;
}

// Reads one trimmed, non-empty option into options; false when it is not one.
bool readOption(std::string_view written, ItemOptions& options, bool& repeatSeen) {
  const std::string text = asciiDigits(written);
  if (text == "提醒")
    options.remind = true;
  else if (text == "置顶")
    options.pinned = true;
  else if (text == "隐藏")
    options.hidden = true;
  else if (text == "每年")
    setRepeat(options, repeatSeen, Repeat::Yearly);
  else if (text == "每月")
    setRepeat(options, repeatSeen, Repeat::Monthly);
  else if (text == "每周")
    setRepeat(options, repeatSeen, Repeat::Weekly);
  else if (text == "农历每月")
    setRepeat(options, repeatSeen, Repeat::LunarMonthly);
  else if (text == "里程碑")
    options.milestones = true;
  else if (text == "含当天")
    options.countStartDay = true;
  else if (text == "工作日")
    options.workdays = true;
  else if (text == "岁")
    options.years = YearsLabel::Age;
  else if (text == "周年")
    options.years = YearsLabel::Anniversary;
  else if (int lead = numberBetween(text, "提前", "天", kMaxLeadDays))
    addOnce(options.leadDays, lead);
  else if (int every = numberBetween(text, "每", "天", kMaxEveryDays))
    setRepeat(options, repeatSeen, Repeat::EveryNDays, every);
  else if (int own = numberBetween(text, "里程碑", "", kMaxOwnMilestone))
    addOnce(options.ownMilestones, own);
  else
    return false;
  return true;
}

// Where the date field of line ends: the second ASCII comma or the first "，" after the first comma,
// whichever comes first (npos when neither); wide tells which.
size_t dateFieldEnd(std::string_view line, size_t begin, bool* wide) {
  *wide = false;
  for (size_t i = begin; i < line.size(); i += gbk::charWidth(line, i)) {
    if (line[i] == ',') return i;
    if (line.substr(i, kFullWidthComma.size()) == kFullWidthComma && gbk::charWidth(line, i) == 2) {
      *wide = true;
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::vector<int> ItemOptions::leads() const {
  std::vector<int> all = leadDays;
  if (remind) all.push_back(0);
  std::sort(all.begin(), all.end());
  return all;
}

std::string_view trimField(std::string_view field) { return trimmed(field); }

ItemOptions parseItemOptions(std::string_view fields) {
  ItemOptions options;
  bool repeatSeen = false;
  int read = 0;
  size_t begin = 0;
  for (size_t i = 0; i <= fields.size();) {
    const bool comma = i < fields.size() && fields[i] == ',';
    const bool wideComma = i < fields.size() && !comma && gbk::charWidth(fields, i) == 2 &&
                           fields.substr(i, kFullWidthComma.size()) == kFullWidthComma;
    if (i < fields.size() && !comma && !wideComma) {
      i += gbk::charWidth(fields, i);
      continue;
    }
    const std::string_view option = trimmed(fields.substr(begin, i - begin));
    if (!option.empty() && read == kMaxLineOptions) {
      if (!options.unread++) options.unreadFrom = begin;
    } else if (!option.empty()) {
      ++read;
      if (!options.written.empty()) options.written += ',';
      options.written += option;
      if (!readOption(option, options, repeatSeen)) options.unknown.emplace_back(option);
    }
    i += wideComma ? kFullWidthComma.size() : 1;
    begin = i;
  }
  return options;
}

std::string_view dateFieldOfLine(std::string_view line) {
  const size_t first = line.find(',');
  // Empty but pointing into line, as the field copy wants a text to copy from.
  if (first == std::string_view::npos) return line.substr(line.size());
  bool wide;
  const size_t end = dateFieldEnd(line, first + 1, &wide);
  return line.substr(first + 1, end == std::string_view::npos ? std::string_view::npos : end - first - 1);
}

std::string_view optionFieldsOfLine(std::string_view line) {
  const size_t first = line.find(',');
  if (first == std::string_view::npos) return {};
  bool wide;
  const size_t end = dateFieldEnd(line, first + 1, &wide);
  if (end == std::string_view::npos) return {};
  return line.substr(end + (wide ? kFullWidthComma.size() : 1));
}
