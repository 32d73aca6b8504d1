// The item dialog, and where it is opened: the editor's "添加..." and "编辑此行..." (the result goes
// into the editor's box), the menu's "添加纪念日..." and a row's "编辑“名称”..." (the result goes into
// the file). Texts are GBK in the form, UTF-16 in the boxes: the name and date are taken from the
// boxes as typed, so that a UTF-8 list keeps characters GBK does not have, as the editor does.
#include "ui/ItemFormDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/DateText.h"
#include "core/LunarCalendar.h"
#include "core/TextFile.h"
#include "framework/Gbk.h"
#include "items/Festivals.h"
#include "items/ItemCheck.h"
#include "items/ItemRecord.h"
#include "res/Texts.h"
#include "res/resource.h"
#include "ui/ItemsDlg.h"
#include "ui/Messages.h"

namespace {

constexpr size_t kNameBytes = kNameSize - 1;
constexpr int kCalendarId = 1099;  // the month calendar made at the first pick
constexpr wchar_t kFullWidthComma = 0xFF0C;
constexpr wchar_t kFullWidthSpace = 0x3000;

struct RepeatChoice {
  Repeat repeat;
  const char* text;
};
const RepeatChoice kRepeats[] = {{Repeat::None, "不重复"},        {Repeat::Yearly, "每年"},
                                 {Repeat::Monthly, "每月"},       {Repeat::Weekly, "每周"},
                                 {Repeat::EveryNDays, "每 N 天"}, {Repeat::LunarMonthly, "农历每月"}};

std::wstring windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

std::wstring trimmedWide(const std::wstring& text) {
  const wchar_t spaces[] = {L' ', L'\t', L'\r', L'\n', kFullWidthSpace, 0};
  const size_t first = text.find_first_not_of(spaces);
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(spaces) - first + 1);
}

std::wstring wide(const std::string& gbkText) { return gbk::toWide(gbkText); }
// The item file's path for a message, whatever characters it holds.
std::wstring listPath() { return gbk::utf8ToWide(itemFilePath); }

void addChoice(HWND combo, const std::string& text, LPARAM data) {
  const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
  if (index >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
}
LPARAM chosen(HWND combo) {
  const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}
bool choose(HWND combo, LPARAM data) {
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) != data) continue;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    return true;
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  return false;
}

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// The lunar helper's entries, in the words the date box takes: "闰四月", "初八".
std::string lunarMonthName(int month, bool leap) {
  const std::string text = lunarDateText({kFirstLunarYear, month, leap, 1});
  const size_t prefix = std::string("农历").size(), suffix = std::string("初一").size();
  return text.substr(prefix, text.size() - prefix - suffix);
}
std::string lunarDayName(int day) {
  return lunarDateText({kFirstLunarYear, 1, false, day}).substr(std::string("农历正月").size());
}
constexpr LPARAM kLeapMonth = 0x100;

// The date field of a line as typed (UTF-16): after the first ",", up to the next "," or "，".
std::wstring dateFieldOf(const std::wstring& line) {
  const size_t comma = line.find(L',');
  if (comma == std::wstring::npos) return std::wstring();
  const wchar_t ends[] = {L',', kFullWidthComma, 0};
  const size_t end = line.find_first_of(ends, comma + 1);
  return trimmedWide(line.substr(comma + 1, end == std::wstring::npos ? std::wstring::npos : end - comma - 1));
}

// The common controls library with the month calendar's class, loaded at the first pick.
bool loadDateClasses() { return loadCommonControls(ICC_DATE_CLASSES); }

// The item file's bytes; a missing file is an empty list. False, after telling the user, when the
// file cannot be read.
bool readList(HWND owner, std::string* bytes) {
  FileError why = FileError::None;
  const ReadResult read = readFileBytes(itemFilePath, *bytes, kMaxTextFileBytes, &why);
  if (read == ReadResult::Ok || read == ReadResult::Missing) return true;
  warn(owner, fill(kListUnreadable, {wide(fileErrorText(why, 0).str()), listPath()}));
  return false;
}

void tellUnkeepable(HWND owner) { warn(owner, fill(kListUnkeepable, {listPath()})); }

}  // namespace

bool readStoredLine(HWND owner, int stored, std::wstring* line) {
  std::string bytes;
  if (!readList(owner, &bytes)) return false;
  const TextEncoding encoding = detectEncoding(bytes);
  const std::u16string text = decodeToUtf16(bytes, encoding);
  if (encodeFromUtf16(text, encoding) != bytes) {
    tellUnkeepable(owner);
    return false;
  }
  size_t begin = 0, end = 0;
  if (!findStoredLine(text, stored, &begin, &end)) return false;
  line->assign(text.begin() + static_cast<std::ptrdiff_t>(begin), text.begin() + static_cast<std::ptrdiff_t>(end));
  return true;
}

// The one place the form's line meets the file, to be rewired to the editor's save chain: read,
// the line spliced in (every other byte kept), the GBK question, atomic replacement.
bool storeItemLine(HWND owner, int stored, const std::wstring& original, const std::wstring& line) {
  std::string bytes, changed;
  if (!readList(owner, &bytes)) return false;
  switch (spliceItemLine(bytes, stored, std::u16string(original.begin(), original.end()),
                         std::u16string(line.begin(), line.end()), &changed)) {
    case LineSplice::Unkeepable:
      tellUnkeepable(owner);
      return false;
    case LineSplice::Moved:
      warn(owner, fill(kLineMoved, {listPath()}));
      return false;
    case LineSplice::Lossy:
      if (!ask(owner, fill(kAskSaveLineNotInGbk, {}))) return false;
      break;
    case LineSplice::Done:
      break;
  }
  FileError why = FileError::None;
  int code = 0;
  if (changed.size() > kMaxTextFileBytes) {
    why = FileError::TooLarge;
  } else if (replaceFileBytes(itemFilePath, changed, &why, &code)) {
    return true;
  }
  warn(owner, fill(kLineNotSaved, {wide(saveErrorText(why, code).str()), listPath()}));
  return false;
}

CItemFormDlg::CItemFormDlg(const std::wstring& original, Store store, CWnd* parent)
    : CDialog(IDD_ITEM, parent),
      m_original(original),
      m_originalForm(itemFormOfLine(gbk::fromWide(original))),
      m_store(std::move(store)) {}

BOOL CItemFormDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_original.empty()) SetWindowText("编辑纪念日");
  m_filling = true;
  HWND year = GetDlgItem(IDC_ITEM_LUNAR_YEAR);
  addChoice(year, "不记年份", 0);
  for (int y = kFirstLunarYear; y <= kLastLunarYear; ++y) addChoice(year, std::to_string(y) + "年", y);
  for (int d = 1; d <= 30; ++d) addChoice(GetDlgItem(IDC_ITEM_LUNAR_DAY), lunarDayName(d), d);
  FillLunarMonths();
  size_t presets = 0;
  const FestivalPreset* festivals = festivalPresets(&presets);
  for (size_t i = 0; i < presets; ++i)
    addChoice(GetDlgItem(IDC_ITEM_FESTIVAL), festivals[i].name, static_cast<LPARAM>(i));
  SendDlgItemMessageW(m_hWnd, IDC_ITEM_LEAD, EM_SETLIMITTEXT, 3, 0);
  SendDlgItemMessageW(m_hWnd, IDC_ITEM_EVERY, EM_SETLIMITTEXT, 5, 0);
  ShowForm(m_original.empty() ? ItemForm() : m_originalForm);
  m_filling = false;
  UpdatePreview();
  CenterWindow();
  ::SetFocus(GetDlgItem(IDC_ITEM_NAME));
  return FALSE;  // the focus is set
}

void CItemFormDlg::ShowForm(const ItemForm& form) {
  // The boxes get the line's own characters; the other fields come from the form.
  SetDlgItemTextW(m_hWnd, IDC_ITEM_NAME, m_original.substr(0, m_original.find(L',')).c_str());
  SetDlgItemTextW(m_hWnd, IDC_ITEM_DATE, dateFieldOf(m_original).c_str());
  m_yearly = isYearlyDate(form.date);
  FillRepeat(form.repeat);
  if (form.everyDays > 0) SetDlgItemInt(m_hWnd, IDC_ITEM_EVERY, static_cast<UINT>(form.everyDays), FALSE);
  check(m_hWnd, IDC_ITEM_REMIND, form.remind);
  SetDlgItemInt(m_hWnd, IDC_ITEM_LEAD, static_cast<UINT>(form.lead), FALSE);
  check(m_hWnd, IDC_ITEM_MILESTONE, form.milestones);
  check(m_hWnd, IDC_ITEM_COUNT_TODAY, form.countStartDay);
  check(m_hWnd, IDC_ITEM_PIN, form.pinned);
  check(m_hWnd, IDC_ITEM_HIDE, form.hidden);
  check(m_hWnd, IDC_ITEM_AGE, form.years == YearsLabel::Age);
  check(m_hWnd, IDC_ITEM_ANNIVERSARY, form.years == YearsLabel::Anniversary);
  m_festival = festivalOfLine(form.name, form.date);
  choose(GetDlgItem(IDC_ITEM_FESTIVAL), m_festival);
  const std::string others = otherOptionsText(form);
  SetDlgItemText(IDC_ITEM_OTHER, others.empty() ? CString() : CString("其他选项：" + others));
  // A lunar date shows in the helper too.
  CivilDate day;
  WrittenDate written;
  if (readDateText(form.date, {2000, 1, 1}, &day, &written) != DateProblem::NotADate &&
      (written.form == DateForm::LunarDated || written.form == DateForm::LunarYearly)) {
    choose(GetDlgItem(IDC_ITEM_LUNAR_YEAR), written.year);
    FillLunarMonths();
    choose(GetDlgItem(IDC_ITEM_LUNAR_MONTH), written.month | (written.leap ? kLeapMonth : 0));
    choose(GetDlgItem(IDC_ITEM_LUNAR_DAY), written.day);
  }
}

void CItemFormDlg::FillRepeat(Repeat selected) {
  HWND combo = GetDlgItem(IDC_ITEM_REPEAT);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const RepeatChoice& choice : kRepeats)
    if (!(m_yearly && choice.repeat == Repeat::None)) addChoice(combo, choice.text, static_cast<LPARAM>(choice.repeat));
  if (m_yearly && selected == Repeat::None) selected = Repeat::Yearly;
  choose(combo, static_cast<LPARAM>(selected));
  EnableWindow(GetDlgItem(IDC_ITEM_EVERY), selected == Repeat::EveryNDays);
}

void CItemFormDlg::FillLunarMonths() {
  const int year = static_cast<int>(chosen(GetDlgItem(IDC_ITEM_LUNAR_YEAR)));
  HWND months = GetDlgItem(IDC_ITEM_LUNAR_MONTH);
  const LPARAM before = chosen(months);
  SendMessageW(months, CB_RESETCONTENT, 0, 0);
  const int leap = year > 0 ? lunarLeapMonth(year) : 0;
  for (int m = 1; m <= 12; ++m) {
    addChoice(months, lunarMonthName(m, false), m);
    if (m == leap) addChoice(months, lunarMonthName(m, true), m | kLeapMonth);
  }
  if (before > 0 && !choose(months, before)) choose(months, before & ~kLeapMonth);
}

void CItemFormDlg::WriteLunarDate() {
  const LPARAM month = chosen(GetDlgItem(IDC_ITEM_LUNAR_MONTH));
  const LPARAM day = chosen(GetDlgItem(IDC_ITEM_LUNAR_DAY));
  if (month <= 0 || day <= 0) return;
  const int year = static_cast<int>(chosen(GetDlgItem(IDC_ITEM_LUNAR_YEAR)));
  SetDlgItemText(IDC_ITEM_DATE, CString(lunarDateInput(year > 0 ? year : 0, static_cast<int>(month & 0xFF),
                                                       (month & kLeapMonth) != 0, static_cast<int>(day))));
}

// The preset fills the date, and the name unless the user typed one (items/Festivals.h).
void CItemFormDlg::ChooseFestival() {
  const LPARAM preset = chosen(GetDlgItem(IDC_ITEM_FESTIVAL));
  if (preset < 0) return;
  size_t count = 0;
  const FestivalPreset& festival = festivalPresets(&count)[preset];
  if (festivalTakesName(gbk::fromWide(windowText(GetDlgItem(IDC_ITEM_NAME))), m_festival))
    SetDlgItemText(IDC_ITEM_NAME, festival.name);
  m_festival = static_cast<int>(preset);
  SetDlgItemText(IDC_ITEM_DATE, festival.date);
}

ItemForm CItemFormDlg::ReadFields() const {
  ItemForm form = m_original.empty() ? ItemForm() : m_originalForm;  // keeps what the form does not show
  form.name = gbk::fromWide(windowText(GetDlgItem(IDC_ITEM_NAME)));
  form.date = gbk::fromWide(trimmedWide(windowText(GetDlgItem(IDC_ITEM_DATE))));
  const LPARAM repeat = chosen(GetDlgItem(IDC_ITEM_REPEAT));
  form.repeat = repeat < 0 ? Repeat::None : static_cast<Repeat>(repeat);
  if (form.repeat == Repeat::EveryNDays)
    form.everyDays = static_cast<int>(GetDlgItemInt(m_hWnd, IDC_ITEM_EVERY, nullptr, FALSE));
  form.remind = checked(m_hWnd, IDC_ITEM_REMIND);
  form.lead = static_cast<int>(GetDlgItemInt(m_hWnd, IDC_ITEM_LEAD, nullptr, FALSE));
  form.milestones = checked(m_hWnd, IDC_ITEM_MILESTONE);
  form.countStartDay = checked(m_hWnd, IDC_ITEM_COUNT_TODAY);
  form.pinned = checked(m_hWnd, IDC_ITEM_PIN);
  form.hidden = checked(m_hWnd, IDC_ITEM_HIDE);
  form.years = checked(m_hWnd, IDC_ITEM_AGE)           ? YearsLabel::Age
               : checked(m_hWnd, IDC_ITEM_ANNIVERSARY) ? YearsLabel::Anniversary
                                                       : YearsLabel::None;
  return form;
}

void CItemFormDlg::UpdatePreview() {
  if (m_filling) return;
  SetDlgItemText(IDC_ITEM_PREVIEW,
                 m_nameCut ? CString("名称最多 " + std::to_string(kNameBytes) + " 个字节（" +
                                     std::to_string(kNameBytes / 2) + " 个汉字），多出的部分没有写进名称框。")
                           : CString(itemPreviewText(ReadFields(), core->getTimeNow())));
}

// The name's limit is told, not met by a silent cut when the line is saved.
void CItemFormDlg::KeepNameShort() {
  HWND box = GetDlgItem(IDC_ITEM_NAME);
  std::wstring name = windowText(box);
  m_nameCut = gbk::fromWide(name).size() > kNameBytes;
  if (!m_nameCut) return;
  while (!name.empty() && gbk::fromWide(name).size() > kNameBytes) name.pop_back();
  m_filling = true;
  SetWindowTextW(box, name.c_str());
  m_filling = false;
  SendMessageW(box, EM_SETSEL, name.size(), name.size());
  MessageBeep(MB_ICONWARNING);
}

BOOL CItemFormDlg::PreTranslateMessage(MSG* msg) {
  if (m_calendar && msg->hwnd == m_calendar && (msg->message == WM_KEYDOWN || msg->message == WM_LBUTTONDOWN))
    m_calendarKeyed = msg->message == WM_KEYDOWN;
  return CDialog::PreTranslateMessage(msg);
}

void CItemFormDlg::ShowCalendar() {
  if (!m_calendar && loadDateClasses()) {
    m_calendar =
        CreateWindowExW(0, MONTHCAL_CLASSW, L"", WS_CHILD | WS_BORDER | WS_TABSTOP, 0, 0, 0, 0, m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCalendarId)), AfxGetResourceHandle(), nullptr);
  }
  if (!m_calendar) return;
  RECT size = {}, date = {};
  SendMessageW(m_calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&size));
  GetWindowRect(GetDlgItem(IDC_ITEM_DATE), &date);
  MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&date), 2);
  CivilDate day;
  const CTime now = core->getTimeNow();
  if (!parseDateText(ReadFields().date, {now.GetYear(), now.GetMonth(), now.GetDay()}, &day))
    day = {now.GetYear(), now.GetMonth(), now.GetDay()};
  SYSTEMTIME shown = {};
  shown.wYear = static_cast<WORD>(day.year);
  shown.wMonth = static_cast<WORD>(day.month);
  shown.wDay = static_cast<WORD>(day.day);
  SendMessageW(m_calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
  m_calendarKeyed = false;
  SetWindowPos(m_calendar, HWND_TOP, date.left, date.bottom + 2, size.right - size.left, size.bottom - size.top,
               SWP_SHOWWINDOW);
  ::SetFocus(m_calendar);
}

void CItemFormDlg::HideCalendar(bool take) {
  SYSTEMTIME picked = {};
  if (take && SendMessageW(m_calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&picked)))
    SetDlgItemText(IDC_ITEM_DATE, CString(std::to_string(picked.wYear) + "年" + std::to_string(picked.wMonth) + "月" +
                                          std::to_string(picked.wDay) + "日"));
  ::ShowWindow(m_calendar, SW_HIDE);
  ::SetFocus(GetDlgItem(IDC_ITEM_DATE));
  InvalidateRect(m_hWnd, nullptr, TRUE);  // the controls it covered
}

LRESULT CItemFormDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    // A day clicked; the keyboard picks with Enter (OnOK), as its arrows move the selection too.
    if (header->idFrom == kCalendarId && header->code == MCN_SELECT && !m_calendarKeyed) HideCalendar(true);
    return 0;
  }
  if (message != WM_COMMAND || m_filling) return CDialog::WindowProc(message, wParam, lParam);
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (id == IDC_ITEM_PICK && code == BN_CLICKED) {
    if (m_calendar && IsWindowVisible(m_calendar))
      HideCalendar(false);
    else
      ShowCalendar();
    return 0;
  }
  if (id == IDC_ITEM_NAME && code == EN_CHANGE) {
    KeepNameShort();
  } else if (id == IDC_ITEM_DATE && code == EN_CHANGE) {
    m_nameCut = false;
    const std::string date = ReadFields().date;
    // The list shows a preset only while the date is its date.
    size_t count = 0;
    if (m_festival >= 0 && date != festivalPresets(&count)[m_festival].date) choose(GetDlgItem(IDC_ITEM_FESTIVAL), -1);
    const bool yearly = isYearlyDate(date);
    if (yearly != m_yearly) {
      // Until the user chose a repeat, the date decides it: 每年 for one without a year.
      const LPARAM before = chosen(GetDlgItem(IDC_ITEM_REPEAT));
      m_yearly = yearly;
      m_filling = true;
      FillRepeat(m_repeatTouched && before >= 0 ? static_cast<Repeat>(before) : yearly ? Repeat::Yearly : Repeat::None);
      m_filling = false;
    }
  } else if (id == IDC_ITEM_REPEAT && code == CBN_SELCHANGE) {
    m_repeatTouched = true;
    EnableWindow(GetDlgItem(IDC_ITEM_EVERY),
                 chosen(GetDlgItem(IDC_ITEM_REPEAT)) == static_cast<LPARAM>(Repeat::EveryNDays));
  } else if ((id == IDC_ITEM_AGE || id == IDC_ITEM_ANNIVERSARY) && code == BN_CLICKED && checked(m_hWnd, id)) {
    // One label at a time: the other box goes off.
    check(m_hWnd, IDC_ITEM_AGE + IDC_ITEM_ANNIVERSARY - id, false);
  } else if (id == IDC_ITEM_FESTIVAL && code == CBN_SELCHANGE) {
    ChooseFestival();
  } else if (id == IDC_ITEM_LUNAR_YEAR && code == CBN_SELCHANGE) {
    FillLunarMonths();
    WriteLunarDate();
    return 0;
  } else if ((id == IDC_ITEM_LUNAR_MONTH || id == IDC_ITEM_LUNAR_DAY) && code == CBN_SELCHANGE) {
    WriteLunarDate();
    return 0;
  } else if (id != IDOK && id != IDCANCEL) {
    m_nameCut = false;
  }
  if (code == EN_CHANGE || code == CBN_SELCHANGE || code == BN_CLICKED) UpdatePreview();
  if (code == CBN_SELCHANGE) return 0;  // not a command (it shares the accelerator's code)
  return CDialog::WindowProc(message, wParam, lParam);
}

void CItemFormDlg::OnOK() {
  if (m_calendar && IsWindowVisible(m_calendar)) {
    HideCalendar(true);
    return;
  }
  const ItemForm form = ReadFields();
  const std::wstring name = windowText(GetDlgItem(IDC_ITEM_NAME));
  const std::wstring date = trimmedWide(windowText(GetDlgItem(IDC_ITEM_DATE)));
  // Nothing changed: the line is not written at all, whatever it holds.
  if (!m_original.empty() && form == m_originalForm && name == m_original.substr(0, m_original.find(L',')) &&
      date == dateFieldOf(m_original))
    return EndDialog(IDOK);
  // The range texts' blank takes the limit.
  const auto refuse = [this](int id, const char* text, int limit = 0) {
    warn(m_hWnd, fill(text, {digits(limit)}));
    ::SetFocus(GetDlgItem(id));
  };
  if (trimmedWide(name).empty()) return refuse(IDC_ITEM_NAME, kNameMissing);
  if (name.find_first_of(L",;") != std::wstring::npos) return refuse(IDC_ITEM_NAME, kNameStops);
  const wchar_t dateStops[] = {L',', L';', kFullWidthComma, 0};
  if (date.find_first_of(dateStops) != std::wstring::npos) return refuse(IDC_ITEM_DATE, kDateStops);
  if (form.repeat == Repeat::EveryNDays && (form.everyDays < 1 || form.everyDays > kMaxEveryDays))
    return refuse(IDC_ITEM_EVERY, kEveryDaysRange, kMaxEveryDays);
  if (form.lead > kMaxLeadDays) return refuse(IDC_ITEM_LEAD, kLeadRange, kMaxLeadDays);

  const std::string options = itemFormOptions(form);
  const std::wstring line = name + L"," + date + (options.empty() ? std::wstring() : L"," + wide(options));
  if (timeFromDateText(form.date, core->getTimeNow()).GetTime() == kUnreadableTime &&
      !ask(m_hWnd, wide(unreadableDatesQuestion({CString(gbk::fromWide(line))}).str())))
    return;
  if (m_store(m_hWnd, line)) EndDialog(IDOK);
}

void CItemFormDlg::OnCancel() {
  if (m_calendar && IsWindowVisible(m_calendar))
    HideCalendar(false);
  else
    CDialog::OnCancel();
}

// --- Where the dialog is opened ------------------------------------------------------------------

void CItemsDlg::EditLineInForm(bool caretLine) {
  HWND box = GetDlgItem(IDC_ITEMS_TEXT);
  const std::wstring text = windowText(box);
  size_t start = 0, length = 0;
  std::wstring original;
  if (caretLine) {
    const LRESULT line = SendMessageW(box, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0);
    start = static_cast<size_t>(SendMessageW(box, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    length = static_cast<size_t>(SendMessageW(box, EM_LINELENGTH, start, 0));
    original = text.substr(std::min(start, text.size()), length);
    // A comment, blank or empty line is no anniversary to change: a new one is added instead.
    if (trimmedWide(original).empty() || original.find(L';') != std::wstring::npos) original.clear();
  }
  CItemFormDlg form(
      original,
      [box, start, length, adding = original.empty()](HWND, const std::wstring& line) {
        // One EM_REPLACESEL each: one step for the box's undo.
        if (adding) {
          const std::wstring now = windowText(box);
          const std::u16string before(now.begin(), now.end());
          const std::u16string after = withLineAppended(before, std::u16string(line.begin(), line.end()));
          const std::wstring added(after.begin() + static_cast<std::ptrdiff_t>(before.size()), after.end());
          SendMessageW(box, EM_SETSEL, before.size(), before.size());
          SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(added.c_str()));
        } else {
          SendMessageW(box, EM_SETSEL, start, start + length);
          SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
        }
        SendMessageW(box, EM_SCROLLCARET, 0, 0);
        return true;
      },
      this);
  form.DoModal();
  ::SetFocus(box);
}

namespace {

// The item dialog over the file's stored line `stored` (or a new line): true when a line was stored.
bool editFileLine(int stored, const std::wstring& original) {
  bool written = false;
  CItemFormDlg form(original, [&](HWND owner, const std::wstring& line) {
    written = storeItemLine(owner, stored, original, line);
    return written;
  });
  return form.DoModal() == IDOK && written;
}

}  // namespace

void CWidgetDlg::OnAppAdd() {
  if (openEditor) {
    // The editor holds the list while it is open: the new line goes there.
    SetForegroundWindow(openEditor->m_hWnd);
    openEditor->EditLineInForm(false);
    return;
  }
  if (BringModalToFront()) return;
  if (editFileLine(-1, std::wstring())) {
    LoadItems();
    UpdateLayout();
  }
}

void CWidgetDlg::OnAppEditRow() {
  if (BringModalToFront()) return;
  std::wstring original;
  if (menuRecord < 0 || !readStoredLine(m_hWnd, menuRecord, &original)) return;
  if (editFileLine(menuRecord, original)) {
    LoadItems();
    UpdateLayout();
  }
}

std::wstring rowEditEntry(const ItemList& items, int line) {
  if (line < 0 || line >= items.stored()) return std::wstring();
  const ItemRecord& item = items.line(line);
  std::wstring name = wide(std::string(item.name, strnlen(item.name, sizeof item.name)));
  for (size_t at = name.find(L'&'); at != std::wstring::npos; at = name.find(L'&', at + 2))
    name.insert(at, 1, L'&');  // a single & would underline the next character
  return wide("编辑“") + name + wide("”...");
}
