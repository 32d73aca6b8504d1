#include "ui/ItemsDlg.h"

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/TextFile.h"
#include "core/UserInput.h"
#include "framework/Gbk.h"
#include "res/resource.h"

namespace {

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
  FileError why = FileError::None;
  ReadResult read = readFileBytes(gbk::gbkToUtf8(itemFilePath.view()), bytes, kMaxTextFileBytes, &why);
  if (read == ReadResult::TooLarge) {
    core->msgboxWarning(owner, "纪念日文件太大（超过 " + core->getStrInt(static_cast<int>(kMaxTextFileBytes >> 20)) +
                                   " MB），编辑器没有打开，以免覆盖其中的内容：\r\n" + itemFilePath);
    return false;
  }
  if (read == ReadResult::Unreadable || (read == ReadResult::Missing && pathExists(itemFilePath))) {
    core->msgboxWarning(owner, "无法读取纪念日文件（" + fileErrorText(why, 0) + "）：\r\n" + itemFilePath +
                                   "\r\n\r\n编辑器没有打开，以免覆盖其中的内容。请检查文件是否被其他程序占用，"
                                   "或是否有读取它的权限。");
    return false;
  }

  // The reader's rule decides, from the same bytes; UTF-8 and UTF-16 go straight to the box's UTF-16.
  m_encoding = detectEncoding(bytes);
  std::u16string text = decodeToUtf16(bytes, m_encoding);
  size_t zero = text.find(u'\0');
  if (zero != std::u16string::npos) {
    // A zero ends the box's text: say plainly that what follows it would be lost.
    CString question = "纪念日文件中有空字符，编辑框只能显示第一个空字符之前的内容：\r\n" + itemFilePath +
                       "\r\n\r\n保存时，第一个空字符及其后的所有内容都会丢失。仍要编辑吗？";
    if (askYesNo(owner, question) != IDYES) return false;
    text.resize(zero);
  } else if (encodeFromUtf16(text, m_encoding) != bytes) {
    // A byte sequence the conversion cannot map comes back changed.
    CString question = "纪念日文件中有编辑框无法原样显示的内容（例如损坏的字符），保存时它们会被改变：\r\n" +
                       itemFilePath + "\r\n\r\n仍要编辑吗？";
    if (askYesNo(owner, question) != IDYES) return false;
  }
  m_bareLineFeeds = hasBareLineFeedsOnly(text);
  if (m_bareLineFeeds) text = lineFeedsToCrLf(text);  // the edit box breaks lines only at CR LF
  SetDlgItemTextW(m_hWnd, IDC_ITEMS_TEXT, std::wstring(text.begin(), text.end()).c_str());
  return true;
}

void CItemsDlg::OnOK() {
  std::wstring boxed = boxText(GetDlgItem(IDC_ITEMS_TEXT));
  std::u16string text(boxed.begin(), boxed.end());
  if (m_bareLineFeeds) text = crLfToLineFeeds(text);
  // The item reader splits at the ASCII comma only.
  replaceFullWidthCommas(text);
  std::string bytes = encodeFromUtf16(text, m_encoding);
  TextEncoding readAs = detectEncoding(bytes);
  if (m_encoding == TextEncoding::Gbk && decodeToUtf16(bytes, readAs) != text &&
      askYesNo(m_hWnd, "编辑框中有些字符无法用 GBK 编码保存，保存后会变成“?”。\r\n\r\n仍要保存吗？") != IDYES)
    return;
  const CString gbkText(decodeToGbk(bytes, readAs));  // the text as the item reader will see it
  if (bytes.size() > kMaxTextFileBytes) {
    // The editor could not open such a file again.
    core->msgboxWarning(m_hWnd, "文本太大（超过 " + core->getStrInt(static_cast<int>(kMaxTextFileBytes >> 20)) +
                                    " MB），无法保存。");
    return;
  }

  std::vector<CString> unreadable = unreadableShownLines(gbkText, core->getTimeNow());
  if (!unreadable.empty() && askYesNo(m_hWnd, unreadableDatesQuestion(unreadable)) != IDYES) return;

  FilePath path = gbk::gbkToUtf8(itemFilePath.view());
  bool saved = m_encoding == TextEncoding::Gbk ? core->outTxtFile(CString(std::move(bytes)), path)
                                               : replaceFileBytes(path, bytes);
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
