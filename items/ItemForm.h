// One line of the item file as the fields of the item dialog, and back, without any window code.
// The text stays the only truth: a line is read into a form, the form written into a line, and a
// line whose form did not change is given back exactly as it was written. A changed line is written
// in one canonical order: "名称,日期" then 提醒, 提前N天, 置顶, 隐藏, the repeat, 里程碑, 里程碑N, 含当天,
// 工作日, 岁 or 周年, and last the options the parser does not know, as written, all separated by ",";
// the fields past the ones a line keeps (kMaxLineOptions) follow unchanged.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "framework/Time.h"
#include "items/ItemOptions.h"

struct ItemForm {
  std::string name;                  // GBK, as written (up to the first ",")
  std::string date;                  // GBK, as written, spaces around it dropped
  Repeat repeat = Repeat::None;      // as the drop-down shows it: a date without a year repeats yearly
  int everyDays = 0;                 // N of 每N天
  bool remind = false;               // 提醒: on the day itself
  int lead = 0;                      // the first 提前N天, 0 for none
  std::vector<int> moreLeads;        // further 提前N天, which the form does not show
  bool pinned = false;               // 置顶
  bool hidden = false;               // 隐藏
  bool milestones = false;           // 里程碑
  std::vector<int> ownMilestones;    // 里程碑N, which the form does not show
  bool countStartDay = false;        // 含当天
  bool workdays = false;             // 工作日, which the form does not show
  YearsLabel years{};                // 岁 or 周年 (None)
  std::vector<std::string> unknown;  // options not understood, as written
  std::string unread;                // the fields past the options a line keeps, as written

  bool operator==(const ItemForm& other) const;
  bool operator!=(const ItemForm& other) const { return !(*this == other); }
};

// The line (GBK, without its line break) as a form; full-width commas and digits read as the
// widget reads them.
ItemForm itemFormOfLine(std::string_view line);

// The form as a line (GBK): original itself when it reads as the same form (a line opened and
// closed without a change is not rewritten), else the canonical line.
std::string itemLineOfForm(const ItemForm& form, std::string_view original = {});

// The options of the canonical line, without the name and date (empty when there are none).
std::string itemFormOptions(const ItemForm& form);

// The options the form keeps without showing them (more leads, 里程碑N, 工作日, unknown ones), joined by "、",
// then the unread fields as written; empty when there are none.
std::string otherOptionsText(const ItemForm& form);

// The date (GBK) is one of the yearly forms (5月20日, 农历腊月初八): it repeats every year by itself, and
// "不重复" is no choice for it.
bool isYearlyDate(std::string_view date);

// How the widget will read the form's line today, in one line (GBK):
//   还有 23 天 · 2026年5月20日 星期三 · 农历四月初四 · 第 31 个周年
// or, for a date that cannot be read, the reason and the accepted forms.
std::string itemPreviewText(const ItemForm& form, CTime now);

// The lunar date as the date box takes it (GBK): year 0 for a yearly one. "农历1990年八月十五",
// "农历闰四月初八", "农历腊月三十".
std::string lunarDateInput(int year, int month, bool leap, int day);

// Where the stored line number `stored` (0-based, counting the lines the item reader stores: not
// empty, no ";") lies in text, its line break excluded (a CR before the LF included in neither).
// False when text has fewer stored lines.
bool findStoredLine(std::u16string_view text, int stored, size_t* begin, size_t* end);

// The item file's bytes with one line put in: line (UTF-16) replaces the stored line `stored` when that
// still reads original, or is appended when stored is negative (as withLineAppended; an empty file
// becomes GBK with CR LF). Every other byte stays, in the file's encoding. Done or Lossy (GBK cannot
// hold some character of line, written as "?") fill out; Moved: the stored line is no longer original;
// Unkeepable: the file holds bytes its own encoding would not write back as they are.
enum class LineSplice { Done, Lossy, Moved, Unkeepable };
LineSplice spliceItemLine(std::string_view bytes, int stored, std::u16string_view original, std::u16string_view line,
                          std::string* out);

// text with line appended as a new last line, the line break the text already uses (CR LF when it
// has none) put between; a text that ends with a line break gets one after the new line too.
std::u16string withLineAppended(std::u16string_view text, std::u16string_view line);
