#include "items/ItemCheck.h"

#include "core/Core.h"
#include "core/DateText.h"
#include "framework/Gbk.h"
#include "items/ItemFile.h"

namespace {

// How much of a line the question box shows; the rest is cut.
constexpr size_t kQuestionLineBytes = 60;

}  // namespace

namespace {

// Calls take(line, record, options) for each line of text (GBK) that the item reader stores, in
// order, as the reader cuts it (up to the line feed, a carriage return before the line feed
// dropped), until take returns false or the table is full.
template <typename Take>
void forEachStoredLine(const CString& text, Take take) {
  const std::string_view all = text.view();
  CCore splitter;  // holds no state: only its field splitting is used
  int stored = 0;
  size_t begin = 0;
  while (begin < all.size() && stored < kTableRecords) {
    size_t end = all.find('\n', begin);
    const bool endsWithLineFeed = end != std::string_view::npos;
    if (!endsWithLineFeed) end = all.size();
    std::string_view line = all.substr(begin, end - begin);
    begin = endsWithLineFeed ? end + 1 : end;
    if (endsWithLineFeed && !line.empty() && line.back() == '\r') line.remove_suffix(1);

    const CString lineText{std::string(line)};
    ItemRecord record = {};
    ItemOptions options;
    if (!parseItemLine(splitter, lineText, record, &options)) continue;
    ++stored;
    if (!take(lineText, record, options)) return;
  }
}

}  // namespace

std::vector<CString> unreadableShownLines(const CString& text, CTime now, int shown) {
  std::vector<CString> unreadable;
  int counted = 0;
  forEachStoredLine(text, [&](const CString& line, const ItemRecord& record, const ItemOptions&) {
    if (timeFromDateText(record.dateText, now).GetTime() == kUnreadableTime) unreadable.push_back(line);
    return ++counted < shown;
  });
  return unreadable;
}

namespace {

void appendLines(CString& message, const std::vector<CString>& lines) {
  for (const CString& line : lines) {
    size_t cut = gbk::cutLength(line.view(), kQuestionLineBytes);
    message += CString(std::string(line.view().substr(0, cut)));
    if (cut < line.view().size()) message += "…";
    message += "\r\n";
  }
}

CString unreadableDatesPart(const std::vector<CString>& lines) {
  CString message = "以下纪念日的日期无法识别，小窗口上不会显示它们的天数：\r\n\r\n";
  appendLines(message, lines);
  message += "\r\n";
  message += acceptedDateForms();
  message += "。\r\n\r\n";
  return message;
}

}  // namespace

CString unreadableDatesQuestion(const std::vector<CString>& lines) {
  CString message = unreadableDatesPart(lines);
  message += "仍要保存吗？";
  return message;
}

std::vector<CString> unknownOptionLines(const CString& text) {
  std::vector<CString> lines;
  forEachStoredLine(text, [&](const CString& line, const ItemRecord&, const ItemOptions& options) {
    if (!options.unknown.empty() || options.unread > 0) lines.push_back(line);
    return true;
  });
  return lines;
}

std::vector<CString> conflictingRepeatLines(const CString& text) {
  std::vector<CString> lines;
  forEachStoredLine(text, [&](const CString& line, const ItemRecord&, const ItemOptions& options) {
    if (options.repeatConflict) lines.push_back(line);
    return true;
  });
  return lines;
}

CString itemCheckQuestion(const std::vector<CString>& unreadableDates, const std::vector<CString>& unknownOptions,
                          const std::vector<CString>& conflictingRepeats) {
  if (unknownOptions.empty() && conflictingRepeats.empty())
    return unreadableDates.empty() ? CString() : unreadableDatesQuestion(unreadableDates);
  CString message = unreadableDates.empty() ? CString() : unreadableDatesPart(unreadableDates);
  if (!unknownOptions.empty()) {
    message += "以下纪念日日期后面的选项无法识别，会被忽略（仍留在文件里）：\r\n\r\n";
    appendLines(message, unknownOptions);
    message +=
        "\r\n选项有：提醒、提前N天、置顶、隐藏、每年、每月、每周、每N天、农历每月、里程碑、里程碑N、含当天，"
        "用逗号隔开，每行最多读取前 " +
        CString(std::to_string(kMaxLineOptions)) + " 个。\r\n\r\n";
  }
  if (!conflictingRepeats.empty()) {
    message += "以下纪念日写了不止一种重复方式（每年、每月、每周、每N天、农历每月），只有最后写的那一种有效：\r\n\r\n";
    appendLines(message, conflictingRepeats);
    message += "\r\n";
  }
  message += "仍要保存吗？";
  return message;
}
