// One line of the item file as the item dialog's fields and back. Chinese literals compile to GBK.
#include <gtest/gtest.h>

#include <string>

#include "core/DateText.h"
#include "core/TextFile.h"
#include "framework/Gbk.h"
#include "items/ItemForm.h"

namespace {

std::string describe(const ItemForm& f) {
  static const char* const kRepeats[] = {"once", "yearly", "monthly", "weekly", "every", "lunarMonthly"};
  std::string text = f.name + "|" + f.date + "|" + kRepeats[static_cast<int>(f.repeat)];
  if (f.repeat == Repeat::EveryNDays) text += std::to_string(f.everyDays);
  if (f.remind) text += " remind";
  if (f.lead) text += " lead" + std::to_string(f.lead);
  for (int lead : f.moreLeads) text += " +lead" + std::to_string(lead);
  if (f.pinned) text += " pinned";
  if (f.hidden) text += " hidden";
  if (f.milestones) text += " milestones";
  for (int n : f.ownMilestones) text += " m" + std::to_string(n);
  if (f.countStartDay) text += " day1";
  if (f.workdays) text += " workdays";
  if (f.years != YearsLabel::None) text += f.years == YearsLabel::Age ? " age" : " anniversary";
  for (const std::string& u : f.unknown) text += " ?" + u;
  if (!f.unread.empty()) text += " >" + f.unread;
  return text;
}

TEST(ItemFormTest, LineToFormAndBackInTheCanonicalOrder) {
  std::string manyMilestones, manyForm;  // with 置顶, as many options as a line keeps
  for (int n = 1; n < kMaxLineOptions; ++n) {
    manyMilestones += ",里程碑" + std::to_string(n);
    manyForm += " m" + std::to_string(n);
  }
  const struct {
    std::string line, form, canonical;
  } cases[] = {
      // Every option the parser knows, written in any order, comes back in the one order.
      {"全部,2020-01-01,含当天,里程碑,每周,隐藏,置顶,提前3天,提醒",
       "全部|2020-01-01|weekly remind lead3 pinned hidden milestones day1",
       "全部,2020-01-01,提醒,提前3天,置顶,隐藏,每周,里程碑,含当天"},
      {"妈妈生日,5月20日,提前7天,提醒", "妈妈生日|5月20日|yearly remind lead7", "妈妈生日,5月20日,提醒,提前7天"},
      {"工资,2025-01-10,每月", "工资|2025-01-10|monthly", "工资,2025-01-10,每月"},
      {"初一,农历2025年正月初一,农历每月", "初一|农历2025年正月初一|lunarMonthly", "初一,农历2025年正月初一,农历每月"},
      {"结婚,2015-10-01,每年", "结婚|2015-10-01|yearly", "结婚,2015-10-01,每年"},
      // A yearly date repeats by itself: its 每年 is shown, and left out of a rewritten line.
      {"生日,5月20日,每年", "生日|5月20日|yearly", "生日,5月20日"},
      {"考试,2026-06-07", "考试|2026-06-07|once", "考试,2026-06-07"},
      // Numbers at their limits, and one past them (kept as unknown options).
      {"药,2025-01-01,每36500天,提前366天", "药|2025-01-01|every36500 lead366", "药,2025-01-01,提前366天,每36500天"},
      {"药,2025-01-01,每36501天,提前367天,提前0天", "药|2025-01-01|once ?每36501天 ?提前367天 ?提前0天",
       "药,2025-01-01,每36501天,提前367天,提前0天"},
      // What the form does not show is kept, in its place in the order, or last as written.
      {"x,2020-01-01,提前7天,提前1天,提前7天", "x|2020-01-01|once lead7 +lead1", "x,2020-01-01,提前7天,提前1天"},
      {"相识,2020-01-01,里程碑520,里程碑", "相识|2020-01-01|once milestones m520", "相识,2020-01-01,里程碑,里程碑520"},
      {"报告,2026-06-30,工作日,置顶", "报告|2026-06-30|once pinned workdays", "报告,2026-06-30,置顶,工作日"},
      // 岁 and 周年 after 工作日; of both, the last written is the one kept.
      {"妈妈,1966-05-20,岁,未知,每年,工作日", "妈妈|1966-05-20|yearly workdays age ?未知",
       "妈妈,1966-05-20,每年,工作日,岁,未知"},
      {"结婚,2015-10-01,岁,周年", "结婚|2015-10-01|once anniversary", "结婚,2015-10-01,周年"},
      {"x,2020-01-01,提醒我, 未来选项 ,提醒", "x|2020-01-01|once remind ?提醒我 ?未来选项",
       "x,2020-01-01,提醒,提醒我,未来选项"},
      // The fields past the ones a line keeps are not read, and follow the rest unchanged.
      {"x,2020-01-01" + manyMilestones + ",置顶，提醒, 未来 ,，隐藏,",
       "x|2020-01-01|once pinned" + manyForm + " >提醒, 未来 ,，隐藏,",
       "x,2020-01-01,置顶" + manyMilestones + ",提醒, 未来 ,，隐藏,"},
      // Full-width commas, digits and spaces as the widget reads them; the date stays as written.
      {"妈妈,　５月２０日　，提前３天，提醒", "妈妈|５月２０日|yearly remind lead3", "妈妈,５月２０日,提醒,提前3天"},
      {"x, 2020-01-01 ,置顶", "x|2020-01-01|once pinned", "x,2020-01-01,置顶"},
      // Lunar dates: 闰月, 三十, yearly and one-off; 2月29日.
      {"闰,农历2023年闰二月初一", "闰|农历2023年闰二月初一|once", "闰,农历2023年闰二月初一"},
      {"浴佛,农历闰四月初八,提醒", "浴佛|农历闰四月初八|yearly remind", "浴佛,农历闰四月初八,提醒"},
      {"除夕,农历腊月三十", "除夕|农历腊月三十|yearly", "除夕,农历腊月三十"},
      {"闰日,2月29日", "闰日|2月29日|yearly", "闰日,2月29日"},
      {"闰日,2024-02-29,每年", "闰日|2024-02-29|yearly", "闰日,2024-02-29,每年"},
      // Two repeats: the one that counts (the last) is the one kept.
      {"x,2020-01-01,每周,每年", "x|2020-01-01|yearly", "x,2020-01-01,每年"},
      // A date that cannot be read is kept as written; a line without a comma has none.
      {"x,明天,提醒", "x|明天|once remind", "x,明天,提醒"},
      {"只有名字", "只有名字||once", "只有名字,"},
  };
  for (const auto& c : cases) {
    const ItemForm form = itemFormOfLine(c.line);
    EXPECT_EQ(describe(form), c.form) << c.line;
    // Opened and closed without a change: the line as it was, byte for byte.
    EXPECT_EQ(itemLineOfForm(form, c.line), c.line);
    EXPECT_EQ(itemLineOfForm(form), c.canonical) << c.line;
    // The canonical line reads as the same form.
    EXPECT_EQ(describe(itemFormOfLine(c.canonical)), c.form) << c.canonical;
  }
}

TEST(ItemFormTest, AChangedFieldRewritesTheLine) {
  ItemForm form = itemFormOfLine("妈妈生日，x,５月２０日，提醒,未知");
  EXPECT_EQ(form.name, "妈妈生日，x");  // a "，" before the first "," belongs to the name
  form.pinned = true;
  EXPECT_EQ(itemLineOfForm(form, "妈妈生日，x,５月２０日，提醒,未知"), "妈妈生日，x,５月２０日,提醒,置顶,未知");
  form = itemFormOfLine("x,2020-01-01,每7天");
  form.everyDays = 10;
  EXPECT_EQ(itemLineOfForm(form, "x,2020-01-01,每7天"), "x,2020-01-01,每10天");
  form.repeat = Repeat::None;
  EXPECT_EQ(itemLineOfForm(form, "x,2020-01-01,每7天"), "x,2020-01-01");
  form.years = YearsLabel::Age;  // the form's check box
  EXPECT_EQ(itemLineOfForm(form, "x,2020-01-01,每7天"), "x,2020-01-01,岁");
  form.years = YearsLabel::Anniversary;
  EXPECT_EQ(itemLineOfForm(form, "x,2020-01-01,岁"), "x,2020-01-01,周年");
  form.years = YearsLabel::None;
  form.date = "5-20";  // a yearly date: the drop-down's 每年 is its own rule
  form.repeat = Repeat::Yearly;
  EXPECT_EQ(itemLineOfForm(form, "x,2020-01-01,每7天"), "x,5-20");
}

TEST(ItemFormTest, EveryDateFormAndItsPreview) {
  const CTime may = CTime(2026, 4, 27, 9, 0, 0);     // Monday, lunar 三月十一
  const CTime june = CTime(2025, 6, 15, 10, 30, 0);  // Sunday, lunar 五月二十
  const std::string forms = acceptedDateForms();
  const struct {
    std::string line;
    CTime now;
    bool yearly;
    std::string preview;
  } cases[] = {
      {"x,1995-05-20,每年", may, false, "还有 23 天 · 2026年5月20日 星期三 · 农历四月初四 · 第 31 个周年"},
      {"x,1995/5/20", may, false, "过去 11300 天 · 1995年5月20日 星期六 · 农历四月廿一 · 第 31 个周年还有 23 天"},
      {"x,2026.05.20", may, false, "还有 23 天 · 2026年5月20日 星期三 · 农历四月初四"},
      {"x,2026年5月20日", may, false, "还有 23 天 · 2026年5月20日 星期三 · 农历四月初四"},
      {"x,5-20", may, true, "还有 23 天 · 2026年5月20日 星期三 · 农历四月初四"},
      {"x,05/20", may, true, "还有 23 天 · 2026年5月20日 星期三 · 农历四月初四"},
      {"x,5.20", may, true, "还有 23 天 · 2026年5月20日 星期三 · 农历四月初四"},
      {"x,5月20日", may, true, "还有 23 天 · 2026年5月20日 星期三 · 农历四月初四"},
      {"x,农历八月十五", june, true, "还有 113 天 · 2025年10月6日 星期一 · 农历八月十五"},
      {"x,农历8月15", june, true, "还有 113 天 · 2025年10月6日 星期一 · 农历八月十五"},
      {"x,农历8-15", june, true, "还有 113 天 · 2025年10月6日 星期一 · 农历八月十五"},
      {"x,农历1990年八月十五", june, false,
       "过去 12674 天 · 1990年10月3日 星期三 · 农历八月十五 · 第 35 个周年还有 113 天"},
      {"x,农历1990-8-15", june, false, "过去 12674 天 · 1990年10月3日 星期三 · 农历八月十五 · 第 35 个周年还有 113 天"},
      {"x,2025-06-15", june, false, "就是今天 · 2025年6月15日 星期日 · 农历五月二十"},
      {"x,2025-05-26,里程碑20", june, false, "今天是第 20 天 · 2025年6月15日 星期日 · 农历五月二十"},
      // 2025 has a leap 六月; 2026 has none, so 闰六月 falls in the ordinary month.
      {"x,农历闰六月初一", june, true, "还有 40 天 · 2025年7月25日 星期五 · 农历闰六月初一"},
      // 腊月 of lunar 2025 is short: its 三十 falls on the 29th, the day before the new year.
      {"x,农历腊月三十", june, true, "还有 246 天 · 2026年2月16日 星期一 · 农历腊月廿九"},
      {"x,2月29日", june, true, "还有 989 天 · 2028年2月29日 星期二 · 农历二月初五"},
      {"x,2026-04-01,每7天", may, false, "还有 2 天 · 2026年4月29日 星期三 · 农历三月十三"},
      // Dates that cannot be read: the reason, then the accepted forms.
      {"x,2025-02-30", june, false, "日历上没有这一天。" + forms},
      {"x,农历2025年闰四月初一", june, false, "那一年没有这个闰月。" + forms},
      {"x,明天", june, false, forms},
      {"x,", june, false, forms},
  };
  for (const auto& c : cases) {
    const ItemForm form = itemFormOfLine(c.line);
    EXPECT_EQ(isYearlyDate(form.date), c.yearly) << c.line;
    EXPECT_EQ(itemPreviewText(form, c.now), c.preview) << c.line;
  }
}

TEST(ItemFormTest, LunarHelperWritesADateTheReaderTakesBack) {
  const struct {
    int year, month;
    bool leap;
    int day;
    std::string text;
  } cases[] = {
      {1990, 8, false, 15, "农历1990年八月十五"}, {2023, 2, true, 1, "农历2023年闰二月初一"},
      {0, 4, true, 8, "农历闰四月初八"},          {0, 12, false, 30, "农历腊月三十"},
      {0, 1, false, 10, "农历正月初十"},          {2100, 11, false, 20, "农历2100年冬月二十"},
  };
  for (const auto& c : cases) {
    const std::string text = lunarDateInput(c.year, c.month, c.leap, c.day);
    EXPECT_EQ(text, c.text);
    CivilDate date;
    WrittenDate written;
    EXPECT_NE(readDateText(text, {2025, 6, 15}, &date, &written), DateProblem::NotADate) << text;
    EXPECT_EQ(written.year, c.year) << text;
    EXPECT_EQ(written.month, c.month) << text;
    EXPECT_EQ(written.leap, c.leap) << text;
    EXPECT_EQ(written.day, c.day) << text;
  }
}

TEST(ItemFormTest, StoredLinesAndAppending) {
  const std::u16string text = u"; 注释，逗号\r\n\r\n妈妈,5-20\r\n\r\n爸爸,6-1";
  const struct {
    int stored;
    bool found;
    std::u16string line;
  } finds[] = {{0, true, u"妈妈,5-20"}, {1, true, u"爸爸,6-1"}, {2, false, u""}};
  for (const auto& f : finds) {
    size_t begin = 0, end = 0;
    EXPECT_EQ(findStoredLine(text, f.stored, &begin, &end), f.found) << f.stored;
    if (f.found) {
      EXPECT_EQ(text.substr(begin, end - begin), f.line);
    }
  }
  const struct {
    std::u16string text, appended;
  } appends[] = {
      {u"", u"新\r\n"},           {u"a\r\n", u"a\r\n新\r\n"}, {u"a\r\nb", u"a\r\nb\r\n新"},
      {u"a\nb\n", u"a\nb\n新\n"}, {u"a", u"a\r\n新"},
  };
  for (const auto& a : appends) EXPECT_EQ(withLineAppended(a.text, u"新"), a.appended);
}

// UTF-16 text as bytes, written out here rather than by the code under test.
std::string utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(ItemFormTest, SplicesOneLineAndKeepsEveryOtherByte) {
  // A comment with a full-width comma, a blank line, two lines; the second line is stored line 1.
  const std::u16string text = u"; 纪念日，一行一个\r\n\r\n结婚,2020-05-20\r\n生日，x,2030-01-01\r\n";
  const std::u16string changed = u"; 纪念日，一行一个\r\n\r\n结婚,2020-05-20\r\n生日,2030-01-01,置顶\r\n";
  const std::u16string added = text + u"外婆,农历腊月初八,提醒\r\n";
  const std::string gbkText = "; 纪念日，一行一个\r\n\r\n结婚,2020-05-20\r\n生日，x,2030-01-01\r\n";
  const struct {
    const char* what;
    std::string bytes;
    std::string (*encode)(std::u16string_view);
  } lists[] = {
      {"GBK", gbkText, [](std::u16string_view t) { return gbk::utf8ToGbk(gbk::utf16ToUtf8(t)); }},
      {"UTF-8", gbk::utf16ToUtf8(text), [](std::u16string_view t) { return gbk::utf16ToUtf8(t); }},
      {"UTF-8 BOM", "\xEF\xBB\xBF" + gbk::utf16ToUtf8(text),
       [](std::u16string_view t) { return "\xEF\xBB\xBF" + gbk::utf16ToUtf8(t); }},
      {"UTF-16 LE", utf16Bytes(text, false), [](std::u16string_view t) { return utf16Bytes(t, false); }},
      {"UTF-16 BE", utf16Bytes(text, true), [](std::u16string_view t) { return utf16Bytes(t, true); }},
  };
  for (const auto& list : lists) {
    ASSERT_EQ(list.bytes, list.encode(text)) << list.what;
    std::string out;
    EXPECT_EQ(spliceItemLine(list.bytes, 1, u"生日，x,2030-01-01", u"生日,2030-01-01,置顶", &out), LineSplice::Done);
    EXPECT_EQ(out, list.encode(changed)) << list.what;
    EXPECT_EQ(spliceItemLine(list.bytes, -1, u"", u"外婆,农历腊月初八,提醒", &out), LineSplice::Done);
    EXPECT_EQ(out, list.encode(added)) << list.what;
    // Changed meanwhile: the line is not where it was, or no longer there.
    EXPECT_EQ(spliceItemLine(list.bytes, 0, u"生日，x,2030-01-01", u"x,1-1", &out), LineSplice::Moved) << list.what;
    EXPECT_EQ(spliceItemLine(list.bytes, 2, u"生日，x,2030-01-01", u"x,1-1", &out), LineSplice::Moved) << list.what;
  }
  std::string out;
  // Bare line feeds and no last line break stay so; an empty file becomes GBK with CR LF.
  EXPECT_EQ(spliceItemLine("a,1-1\nb,2-2", -1, u"", u"c,3-3", &out), LineSplice::Done);
  EXPECT_EQ(out, "a,1-1\nb,2-2\nc,3-3");
  EXPECT_EQ(spliceItemLine("", -1, u"", u"新年,1月1日", &out), LineSplice::Done);
  EXPECT_EQ(out, "新年,1月1日\r\n");
  // A character GBK lacks becomes "?" in a GBK list (the caller asks); a UTF-8 one keeps it.
  EXPECT_EQ(spliceItemLine(gbkText, -1, u"", u"Zo\u00EB\xD83D\xDE00,1-1", &out), LineSplice::Lossy);
  EXPECT_EQ(spliceItemLine("\xEF\xBB\xBF"
                           "a,1-1\r\n",
                           -1, u"", u"Zo\u00EB\xD83D\xDE00,1-1", &out),
            LineSplice::Done);
  EXPECT_EQ(out,
            "\xEF\xBB\xBF"
            "a,1-1\r\n" +
                gbk::utf16ToUtf8(u"Zo\u00EB\xD83D\xDE00,1-1") + "\r\n");
  // A broken character elsewhere would not be written back as it is: nothing is spliced.
  EXPECT_EQ(spliceItemLine("a,1-1\r\n\xC4\r\n", -1, u"", u"c,3-3", &out), LineSplice::Unkeepable);
}

}  // namespace
