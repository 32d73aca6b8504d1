#include "ui/ItemsDlg.h"

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/TextFile.h"
#include "core/UserInput.h"
#include "items/ItemCheck.h"
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
bool pathExists(const FilePath& path) {
  if (GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

int askYesNo(HWND owner, const std::wstring& question) {
  return MessageBoxW(owner, question.c_str(), L"Tessaly", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
}

int askYesNo(HWND owner, const CString& question) { return askYesNo(owner, gbk::toWide(question.view())); }

// A message that names the item file: the texts around it are GBK, the path keeps every character.
std::wstring naming(const CString& before, const CString& after = CString()) {
  return gbk::toWide(before.view()) + gbk::utf8ToWide(itemFilePath) + gbk::toWide(after.view());
}

// Existence, size and last write time of path; false when it is not there.
bool fileStamp(const FilePath& path, WIN32_FILE_ATTRIBUTE_DATA& stamp) {
  stamp = {};
  return GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &stamp) != FALSE;
}

bool sameStamp(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b) {
  return a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow &&
         CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
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
  // The stamp before the bytes: a change in between is then taken as a change after loading.
  m_loadedExists = fileStamp(itemFilePath, m_loadedStamp);
  std::string bytes;
  FileError why = FileError::None;
  ReadResult read = readFileBytes(itemFilePath, bytes, kMaxTextFileBytes, &why);
  if (read == ReadResult::TooLarge) {
    core->msgboxWarning(owner,
                        naming("纪念日文件太大（超过 " + core->getStrInt(static_cast<int>(kMaxTextFileBytes >> 20)) +
                               " MB），编辑器没有打开，以免覆盖其中的内容：\r\n"));
    return false;
  }
  if (read == ReadResult::Unreadable || (read == ReadResult::Missing && pathExists(itemFilePath))) {
    core->msgboxWarning(owner, naming("无法读取纪念日文件（" + fileErrorText(why, 0) + "）：\r\n",
                                      "\r\n\r\n编辑器没有打开，以免覆盖其中的内容。请检查文件是否被其他程序占用，"
                                      "或是否有读取它的权限。"));
    return false;
  }
  m_loadedBytes = bytes;

  // The reader's rule decides, from the same bytes; UTF-8 and UTF-16 go straight to the box's UTF-16.
  m_encoding = detectEncoding(bytes);
  std::u16string text = decodeToUtf16(bytes, m_encoding);
  size_t zero = text.find(u'\0');
  if (zero != std::u16string::npos) {
    // A zero ends the box's text: say plainly that what follows it would be lost.
    std::wstring question = naming("纪念日文件中有空字符，编辑框只能显示第一个空字符之前的内容：\r\n",
                                   "\r\n\r\n保存时，第一个空字符及其后的所有内容都会丢失。仍要编辑吗？");
    if (askYesNo(owner, question) != IDYES) return false;
    text.resize(zero);
  } else if (encodeFromUtf16(text, m_encoding) != bytes) {
    // A byte sequence the conversion cannot map comes back changed.
    std::wstring question = naming("纪念日文件中有编辑框无法原样显示的内容（例如损坏的字符），保存时它们会被改变：\r\n",
                                   "\r\n\r\n仍要编辑吗？");
    if (askYesNo(owner, question) != IDYES) return false;
  }
  m_bareLineFeeds = hasBareLineFeedsOnly(text);
  if (m_bareLineFeeds) text = lineFeedsToCrLf(text);  // the edit box breaks lines only at CR LF
  // Without a limit of its own the box takes some 30,000 characters, fewer than a list can hold.
  SendDlgItemMessageW(m_hWnd, IDC_ITEMS_TEXT, EM_SETLIMITTEXT, editorCharLimit(m_encoding, text.size()), 0);
  SetDlgItemTextW(m_hWnd, IDC_ITEMS_TEXT, std::wstring(text.begin(), text.end()).c_str());
  m_loadedText = boxText(GetDlgItem(IDC_ITEMS_TEXT));  // as the box holds it
  return true;
}

bool CItemsDlg::HasChanges() const { return m_hWnd && boxText(GetDlgItem(IDC_ITEMS_TEXT)) != m_loadedText; }

bool CItemsDlg::ChangedOnDisk() const {
  WIN32_FILE_ATTRIBUTE_DATA now;
  bool exists = fileStamp(itemFilePath, now);
  if (exists != m_loadedExists) return true;
  if (!exists) return false;
  if (!sameStamp(now, m_loadedStamp)) return true;
  // The same size and time can still hide a change made within the file system's time resolution.
  std::string bytes;
  return readFileBytes(itemFilePath, bytes) != ReadResult::Ok || bytes != m_loadedBytes;
}

void CItemsDlg::OnOK() {
  if (SaveText()) CDialog::OnOK();
}

LRESULT CItemsDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDC_ITEMS_TEXT && HIWORD(wParam) == EN_MAXTEXT) m_textCut = true;
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
      (LOWORD(wParam) == IDC_ITEMS_ADD || LOWORD(wParam) == IDC_ITEMS_EDIT)) {
    EditLineInForm(LOWORD(wParam) == IDC_ITEMS_EDIT);
    return 0;
  }
  return CDialog::WindowProc(message, wParam, lParam);
}

bool CItemsDlg::SaveBeforeQuit() {
  if (!HasChanges()) return true;
  SetForegroundWindow(m_hWnd);
  int answer = MessageBoxW(m_hWnd, gbk::toWide("纪念日列表中有尚未保存的修改。\r\n\r\n退出前要保存吗？").c_str(),
                           L"Tessaly", MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDNO) return true;
  return answer == IDYES && SaveText();
}

bool CItemsDlg::WriteRecovery(const FilePath& path) {
  std::wstring boxed = boxText(GetDlgItem(IDC_ITEMS_TEXT));
  std::u16string text(boxed.begin(), boxed.end());
  if (m_bareLineFeeds) text = crLfToLineFeeds(text);
  std::string bytes = encodeFromUtf16(text, m_encoding);
  // A GBK list whose box holds more than GBK has: UTF-8 with its mark holds everything.
  if (decodeToUtf16(bytes, detectEncoding(bytes)) != text) bytes = encodeFromUtf16(text, TextEncoding::Utf8Bom);
  return replaceFileBytes(path, bytes);
}

bool CItemsDlg::SaveText() {
  if (m_textCut) {
    const size_t limit = static_cast<size_t>(SendDlgItemMessageW(m_hWnd, IDC_ITEMS_TEXT, EM_GETLIMITTEXT, 0, 0));
    const CString question = "编辑框已达到长度上限（" + core->getStrInt(static_cast<int>(limit)) +
                             " 个字符），刚才输入或粘贴的内容有一部分没有进入编辑框。\r\n\r\n"
                             "请先检查文本是否完整。仍要保存编辑框中现在的内容吗？";
    if (askYesNo(m_hWnd, question) != IDYES) return false;
    m_textCut = false;
  }
  std::wstring boxed = boxText(GetDlgItem(IDC_ITEMS_TEXT));
  std::u16string text(boxed.begin(), boxed.end());
  if (m_bareLineFeeds) text = crLfToLineFeeds(text);
  // The item reader splits at the ASCII comma only.
  replaceFullWidthCommas(text);
  std::string bytes = encodeFromUtf16(text, m_encoding);
  TextEncoding readAs = detectEncoding(bytes);
  if (m_encoding == TextEncoding::Gbk && decodeToUtf16(bytes, readAs) != text &&
      askYesNo(m_hWnd, "编辑框中有些字符无法用 GBK 编码保存，保存后会变成“?”。\r\n\r\n仍要保存吗？") != IDYES)
    return false;
  const CString gbkText(decodeToGbk(bytes, readAs));  // the text as the item reader will see it
  if (bytes.size() > kMaxTextFileBytes) {
    // The editor could not open such a file again.
    core->msgboxWarning(
        m_hWnd, "文本太大（超过 " + core->getStrInt(static_cast<int>(kMaxTextFileBytes >> 20)) + " MB），无法保存。");
    return false;
  }

  // In file order the first rows are the ones shown; nearest first, any line may be.
  const int shown = rowOrder == RowOrder::File ? rowsSetting : kTableRecords;
  // One question for every line the widget will not read as written: its date, or an option.
  const CString question = itemCheckQuestion(unreadableShownLines(gbkText, core->getTimeNow(), shown),
                                             unknownOptionLines(gbkText), conflictingRepeatLines(gbkText));
  if (!question.IsEmpty() && askYesNo(m_hWnd, question) != IDYES) return false;

  if (ChangedOnDisk()) {
    std::wstring question = naming("纪念日文件在编辑期间被其他程序修改过：\r\n",
                                   "\r\n\r\n要用编辑框中的内容覆盖它吗？选“否”则不保存，您的文本仍在编辑框中。");
    if (askYesNo(m_hWnd, question) != IDYES) return false;
  }

  FileError why = FileError::None;
  int code = 0;
  if (!replaceFileBytes(itemFilePath, bytes, &why, &code)) {
    core->msgboxWarning(m_hWnd, naming("无法保存纪念日文件（" + saveErrorText(why, code) + "）：\r\n",
                                       "\r\n\r\n您的修改仍在编辑框中。"));
    return false;
  }
  return true;
}

void CWidgetDlg::OnAppItems() {
  if (BringModalToFront()) return;
  CItemsDlg dialog;
  openEditor = &dialog;
  INT_PTR result = dialog.DoModal();
  openEditor = nullptr;
  // Nothing unsaved is left to hold the end of the session up for.
  ShutdownBlockReasonDestroy(m_hWnd);
  if (result != IDOK) {
    CheckItemFile();  // changed by another program while the editor was open
    return;
  }
  LoadItems();
  UpdateLayout();
}
