#include "items/ItemForm.h"

#include "core/DateText.h"
#include "core/LunarCalendar.h"
#include "core/TextFile.h"
#include "items/ItemDetails.h"
#include "items/Occurrence.h"

namespace {

void appendField(std::string& line, const std::string& field) {
  if (!line.empty()) line += ',';
  line += field;
}

std::string leadOption(int days) { return "提前" + std::to_string(days) + "天"; }
std::string milestoneOption(int number) { return "里程碑" + std::to_string(number); }

const char* repeatOption(Repeat repeat) {
  switch (repeat) {
    case Repeat::Yearly:
      return "每年";
    case Repeat::Monthly:
      return "每月";
    case Repeat::Weekly:
      return "每周";
    case Repeat::LunarMonthly:
      return "农历每月";
    default:
      return "";
  }
}

// The options the widget reads from the form, for the preview.
ItemOptions optionsOf(const ItemForm& form) { return parseItemOptions(itemFormOptions(form)); }

}  // namespace

bool ItemForm::operator==(const ItemForm& o) const {
  return name == o.name && date == o.date && repeat == o.repeat &&
         (repeat != Repeat::EveryNDays || everyDays == o.everyDays) && remind == o.remind && lead == o.lead &&
         moreLeads == o.moreLeads && pinned == o.pinned && hidden == o.hidden && milestones == o.milestones &&
         ownMilestones == o.ownMilestones && countStartDay == o.countStartDay && workdays == o.workdays &&
         years == o.years && unknown == o.unknown && unread == o.unread;
}

bool isYearlyDate(std::string_view date) {
  const CivilDate anyDay{2000, 1, 1};
  CivilDate day;
  WrittenDate written;
  return readDateText(date, anyDay, &day, &written) != DateProblem::NotADate &&
         (written.form == DateForm::Yearly || written.form == DateForm::LunarYearly);
}

ItemForm itemFormOfLine(std::string_view line) {
  ItemForm form;
  const size_t comma = line.find(',');
  form.name = std::string(line.substr(0, comma));
  form.date = std::string(trimField(dateFieldOfLine(line)));
  const std::string_view fields = optionFieldsOfLine(line);
  const ItemOptions options = parseItemOptions(fields);
  form.remind = options.remind;
  if (!options.leadDays.empty()) {
    form.lead = options.leadDays.front();
    form.moreLeads.assign(options.leadDays.begin() + 1, options.leadDays.end());
  }
  form.pinned = options.pinned;
  form.hidden = options.hidden;
  form.repeat = options.repeat;
  form.everyDays = options.everyDays;
  if (form.repeat == Repeat::None && isYearlyDate(form.date)) form.repeat = Repeat::Yearly;
  form.milestones = options.milestones;
  form.ownMilestones = options.ownMilestones;
  form.countStartDay = options.countStartDay;
  form.workdays = options.workdays;
  form.years = options.years;
  form.unknown = options.unknown;
  if (options.unread) form.unread = std::string(trimField(fields.substr(options.unreadFrom)));
  return form;
}

std::string itemFormOptions(const ItemForm& form) {
  std::string options;
  if (form.remind) appendField(options, "提醒");
  if (form.lead > 0) appendField(options, leadOption(form.lead));
  for (int lead : form.moreLeads)
    if (lead != form.lead) appendField(options, leadOption(lead));
  if (form.pinned) appendField(options, "置顶");
  if (form.hidden) appendField(options, "隐藏");
  // A yearly date repeats every year by itself: 每年 would say it twice.
  if (form.repeat == Repeat::EveryNDays)
    appendField(options, "每" + std::to_string(form.everyDays) + "天");
  else if (form.repeat != Repeat::None && !(form.repeat == Repeat::Yearly && isYearlyDate(form.date)))
    appendField(options, repeatOption(form.repeat));
  if (form.milestones) appendField(options, "里程碑");
  for (int number : form.ownMilestones) appendField(options, milestoneOption(number));
  if (form.countStartDay) appendField(options, "含当天");
  if (form.workdays) appendField(options, "工作日");
  if (form.years != YearsLabel::None) appendField(options, form.years == YearsLabel::Age ? "岁" : "周年");
  for (const std::string& option : form.unknown) appendField(options, option);
  if (!form.unread.empty()) appendField(options, form.unread);
  return options;
}

std::string itemLineOfForm(const ItemForm& form, std::string_view original) {
  if (!original.empty() && itemFormOfLine(original) == form) return std::string(original);
  std::string line = form.name + "," + form.date;
  const std::string options = itemFormOptions(form);
  if (!options.empty()) line += "," + options;
  return line;
}

std::string otherOptionsText(const ItemForm& form) {
  std::string text;
  const auto add = [&text](const std::string& option) { text += (text.empty() ? "" : "、") + option; };
  for (int lead : form.moreLeads) add(leadOption(lead));
  for (int number : form.ownMilestones) add(milestoneOption(number));
  if (form.workdays) add("工作日");
  for (const std::string& option : form.unknown) add(option);
  if (!form.unread.empty()) add(form.unread);
  return text;
}

std::string itemPreviewText(const ItemForm& form, CTime now) {
  const ItemDetails d = itemDetails(form.date, optionsOf(form), now);
  if (d.kind == Unreadable) {
    if (d.problem == DateProblem::NotADate) return acceptedDateForms();
    return std::string(dateProblemText(d.problem, form.date)) + "。" + acceptedDateForms();
  }
  const std::string days = std::to_string(d.days);
  std::string text = d.milestoneToday  ? "今天是第 " + days + " 天"
                     : d.kind == Today ? "就是今天"
                     : d.kind == Past  ? "过去 " + days + " 天"
                                       : "还有 " + days + " 天";
  const std::string dot = " · ";
  text += dot + dayText(d.date);
  if (d.hasLunar) text += dot + lunarDateText(d.lunar);
  // A yearly repeat counts down to the anniversary itself; a past one-off date to its next one.
  const std::string nth = "第 " + std::to_string(d.anniversary) + " 个周年";
  if (d.hasAnniversary && d.countsDown && d.anniversary > 0)
    text += dot + nth;
  else if (d.hasAnniversary && d.kind == Past)
    text += dot + nth + "还有 " + std::to_string(d.anniversaryDays) + " 天";
  return text;
}

std::string lunarDateInput(int year, int month, bool leap, int day) {
  const std::string monthAndDay = lunarDateText({kFirstLunarYear, month, leap, day}).substr(std::string("农历").size());
  return year ? "农历" + std::to_string(year) + "年" + monthAndDay : "农历" + monthAndDay;
}

bool findStoredLine(std::u16string_view text, int stored, size_t* begin, size_t* end) {
  int seen = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t feed = text.find(u'\n', at);
    size_t stop = feed == std::u16string_view::npos ? text.size() : feed;
    if (feed != std::u16string_view::npos && stop > at && text[stop - 1] == u'\r') --stop;
    const std::u16string_view line = text.substr(at, stop - at);
    if (!line.empty() && line.find(u';') == std::u16string_view::npos && seen++ == stored) {
      *begin = at;
      *end = stop;
      return true;
    }
    if (feed == std::u16string_view::npos) break;
    at = feed + 1;
  }
  return false;
}

std::u16string withLineAppended(std::u16string_view text, std::u16string_view line) {
  const size_t feed = text.find(u'\n');
  const std::u16string_view lineBreak = feed != std::u16string_view::npos && (feed == 0 || text[feed - 1] != u'\r')
                                            ? std::u16string_view(u"\n")
                                            : std::u16string_view(u"\r\n");
  std::u16string out(text);
  const bool endsWithBreak = !out.empty() && out.back() == u'\n';
  if (!out.empty() && !endsWithBreak) out += lineBreak;
  out += line;
  if (out.size() == line.size() || endsWithBreak) out += lineBreak;
  return out;
}

LineSplice spliceItemLine(std::string_view bytes, int stored, std::u16string_view original, std::u16string_view line,
                          std::string* out) {
  const TextEncoding encoding = detectEncoding(bytes);
  std::u16string text = decodeToUtf16(bytes, encoding);
  if (encodeFromUtf16(text, encoding) != bytes) return LineSplice::Unkeepable;
  size_t begin = 0, end = 0;
  if (stored < 0) {
    text = withLineAppended(text, line);
  } else if (findStoredLine(text, stored, &begin, &end) && text.compare(begin, end - begin, original) == 0) {
    text.replace(begin, end - begin, line);
  } else {
    return LineSplice::Moved;
  }
  *out = encodeFromUtf16(text, encoding);
  return decodeToUtf16(*out, detectEncoding(*out)) == text ? LineSplice::Done : LineSplice::Lossy;
}
