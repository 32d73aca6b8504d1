// The options a line of the item file may carry after its date: "妈妈生日,5月20日,提前7天,提醒".
// Older versions read only the name and the date, so a line with options still shows there as before.
// One parser reads them all; an option it does not know is kept as written, never an error.
#pragma once
#include <string>
#include <string_view>
#include <vector>

enum class Repeat { None, Yearly, Monthly, Weekly, EveryNDays, LunarMonthly };
// 岁 or 周年: the row's name gains the years its date reaches next ("·60岁", "·10周年").
enum class YearsLabel { None, Age, Anniversary };

constexpr int kMaxLeadDays = 366;         // 提前N天: N 1..366
constexpr int kMaxEveryDays = 36500;      // 每N天: N 1..36500
constexpr int kMaxOwnMilestone = 100000;  // 里程碑N: N 1..100000
// The options one line keeps: fields past it are not read (the editor says so). A bound keeps one
// line of 350,000 里程碑N from costing what the rest of a list does, and what it makes bounded.
constexpr int kMaxLineOptions = 100;

struct ItemOptions {
  std::string written;               // the option fields as written (GBK), each trimmed, joined by ","
  bool remind = false;               // 提醒: on the day itself
  std::vector<int> leadDays;         // 提前N天, in the order written, duplicates dropped
  bool pinned = false;               // 置顶
  bool hidden = false;               // 隐藏
  Repeat repeat = Repeat::None;      // 每年 每月 每周 每N天 农历每月; the last one written wins
  int everyDays = 0;                 // N of 每N天
  bool milestones = false;           // 里程碑: the standard day counts
  std::vector<int> ownMilestones;    // 里程碑N
  bool countStartDay = false;        // 含当天: the first date is day 1 (by default it is day 0)
  bool workdays = false;             // 工作日: the row counts working days (core/Holidays.h)
  YearsLabel years{};                // 岁 周年; the last one written wins (None)
  std::vector<std::string> unknown;  // options not understood, as written (trimmed)
  bool repeatConflict = false;       // two different repeat options (每周,每年): only the last counts
  int unread = 0;                    // fields past kMaxLineOptions, not read
  size_t unreadFrom = 0;             // where in the fields the first of them begins

  // True when the line asks for any reminder.
  bool reminded() const { return remind || !leadDays.empty(); }
  bool hasMilestones() const { return milestones || !ownMilestones.empty(); }
  // The reminder leads in days, 0 for 提醒, ascending.
  std::vector<int> leads() const;
};

// Reads the fields after the date (GBK text, see optionFieldsOfLine): fields are split at "," and
// "，", trimmed of ASCII and full-width spaces, empty ones dropped; full-width digits count as
// digits. An option whose number is out of range (提前0天, 提前400天) is unknown. The first
// kMaxLineOptions non-empty fields are read, the rest counted in unread (from unreadFrom on).
ItemOptions parseItemOptions(std::string_view fields);

// The field without the ASCII and full-width spaces around it, as the parser trims each option.
std::string_view trimField(std::string_view field);

// A line's date field (GBK): after the first ASCII comma, up to the next ASCII comma or the first
// "，" (a full-width comma ends the date as "," does; no date holds one). Empty without a comma.
std::string_view dateFieldOfLine(std::string_view line);

// The text after the date field's end (see dateFieldOfLine): where the options start. Empty when the
// line has nothing after its date. A "，" in the name stays part of the name.
std::string_view optionFieldsOfLine(std::string_view line);
