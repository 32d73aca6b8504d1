#include "ui/ItemsDlg.h"

#include <string>
#include <string_view>
#include <vector>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/TextFile.h"
#include "core/UserInput.h"
#include "framework/Gbk.h"
#include "res/resource.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The box's text as UTF-16, so that a UTF-8 file keeps characters GBK does not have.
std::wstring boxText(HWND box) {
  int length = GetWindowTextLengthW(box);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(box, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

// A path the file system knows, also one that cannot be opened (locked, no permission, a folder).
bool pathExists(const CString& path) {
  if (GetFileAttributesW(gbk::toWide(path.view()).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

int askYesNo(HWND owner, const CString& question) {
  return MessageBoxW(owner, gbk::toWide(question.view()).c_str(), L"Tessaly",
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
}

}  // namespace

CItemsDlg::CItemsDlg() : CDialog(IDD_ITEMS) {}

BOOL CItemsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!LoadText()) {
    EndDialog(IDCANCEL);  // before the dialog is ever shown
    return TRUE;
  }
  CenterWindow();
  return TRUE;
}

bool CItemsDlg::LoadText() {
  // The dialog is not shown yet: boxes from here are owned by the widget.
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  std::string bytes;
  ReadResult read = readFileBytes(gbk::gbkToUtf8(itemFilePath.view()), bytes);
  if (read == ReadResult::TooLarge) {
    core->msgboxWarning(owner, "纪念日文件太大（超过 " + core->getStrInt(static_cast<int>(kMaxTextFileBytes >> 20)) +
                                   " MB），编辑器没有打开，以免覆盖其中的内容：\r\n" + itemFilePath);
    return false;
  }
  if (read == ReadResult::Missing && pathExists(itemFilePath)) {
    core->msgboxWarning(owner, "无法读取纪念日文件：\r\n" + itemFilePath +
                                   "\r\n\r\n编辑器没有打开，以免覆盖其中的内容。请检查文件是否被其他程序占用，"
                                   "或是否有读取它的权限。");
    return false;
  }

  m_encoding = detectEncoding(bytes);
  m_bareLineFeeds = hasBareLineFeedsOnly(bytes);
  if (m_bareLineFeeds) bytes = lineFeedsToCrLf(bytes);  // the edit box breaks lines only at CR LF
  std::string_view body = bytes;
  if (m_encoding == TextEncoding::Utf8Bom) body.remove_prefix(kUtf8Bom.size());

  // UTF-8 goes straight to UTF-16: a detour through GBK would lose what GBK does not have.
  std::wstring text = m_encoding == TextEncoding::Gbk ? gbk::toWide(body) : gbk::utf8ToWide(body);
  std::string back = m_encoding == TextEncoding::Gbk ? gbk::fromWide(text) : gbk::wideToUtf8(text);
  // A zero byte ends the box's text; a byte sequence the conversion cannot map comes back changed.
  if (back != body || text.find(L'\0') != std::wstring::npos) {
    CString question = "纪念日文件中有编辑框无法原样显示的内容（例如损坏的字符或空字符），保存时它们会被改变：\r\n" +
                       itemFilePath + "\r\n\r\n仍要编辑吗？";
    if (askYesNo(owner, question) != IDYES) return false;
  }
  SetDlgItemTextW(m_hWnd, IDC_ITEMS_TEXT, text.c_str());
  return true;
}

void CItemsDlg::OnOK() {
  std::wstring text = boxText(GetDlgItem(IDC_ITEMS_TEXT));
  CString gbkText;  // the text as the item reader will see it
  std::string bytes;
  if (m_encoding == TextEncoding::Gbk) {
    gbkText = CString(gbk::fromWide(text));
    if (gbk::toWide(gbkText.view()) != text &&
        askYesNo(m_hWnd, "编辑框中有些字符无法用 GBK 编码保存，保存后会变成“?”。\r\n\r\n仍要保存吗？") != IDYES)
      return;
    // The item reader splits at the ASCII comma only.
    replaceFullWidthCommas(gbkText);
    bytes = gbkText.str();
  } else {
    replaceFullWidthCommas(text);
    gbkText = CString(gbk::fromWide(text));
    bytes = (m_encoding == TextEncoding::Utf8Bom ? std::string(kUtf8Bom) : std::string()) + gbk::wideToUtf8(text);
  }
  if (m_bareLineFeeds) bytes = crLfToLineFeeds(bytes);
  if (bytes.size() > kMaxTextFileBytes) {
    // The editor could not open such a file again.
    core->msgboxWarning(m_hWnd, "文本太大（超过 " + core->getStrInt(static_cast<int>(kMaxTextFileBytes >> 20)) +
                                    " MB），无法保存。");
    return;
  }

  std::vector<CString> unreadable = unreadableShownLines(gbkText, core->getTimeNow());
  if (!unreadable.empty() && askYesNo(m_hWnd, unreadableDatesQuestion(unreadable)) != IDYES) return;

  bool saved = m_encoding == TextEncoding::Gbk ? core->outTxtFile(CString(std::move(bytes)), gbk::gbkToUtf8(itemFilePath.view()))
                                               : replaceFileBytes(gbk::gbkToUtf8(itemFilePath.view()), bytes);
  if (!saved) {
    core->msgboxWarning(m_hWnd, "无法保存纪念日文件：\r\n" + itemFilePath +
                                    "\r\n\r\n文件可能是只读的，或者磁盘已满。您的修改仍在编辑框中。");
    return;
  }
  CDialog::OnOK();
}

void CWidgetDlg::OnAppItems() {
  CItemsDlg dialog;
  if (dialog.DoModal() != IDOK) return;
  LoadItems();
  UpdateLayout();
}
