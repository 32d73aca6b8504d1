#include "ui/ItemsDlg.h"

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/WidgetDlg.h"
#include "core/TextFile.h"
#include "items/ItemCheck.h"
#include "framework/Gbk.h"
#include "res/Texts.h"
#include "res/resource.h"
#include "ui/Messages.h"

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

// The list's path for a message: it keeps every character.
std::wstring listPath() { return gbk::utf8ToWide(itemFilePath); }

// A size in MB as a message shows it.
std::wstring megabytes(size_t bytes) { return digits(static_cast<int>(bytes >> 20)); }

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
    warn(owner, fill(kListTooLargeToEdit, {megabytes(kMaxTextFileBytes), listPath()}));
    return false;
  }
  if (read == ReadResult::Unreadable || (read == ReadResult::Missing && pathExists(itemFilePath))) {
    warn(owner, fill(kListUnreadableToEdit, {gbk::toWide(fileErrorText(why, 0).view()), listPath()}));
    return false;
  }
  m_loadedBytes = bytes;

  // The reader's rule decides, from the same bytes; UTF-8 and UTF-16 go straight to the box's UTF-16.
  EditableText edit = textForEditing(bytes);
  m_form = edit.form;
  // A zero ends the box's text: say plainly that what follows it would be lost.
  if (edit.cutAtZero && !ask(owner, fill(kAskEditCutAtZero, {listPath()}))) return false;
  // A byte sequence the conversion cannot map comes back changed.
  if (edit.changesOnSave && !ask(owner, fill(kAskEditChangesOnSave, {listPath()}))) return false;
  const std::u16string& text = edit.text;
  // Without a limit of its own the box takes some 30,000 characters, fewer than a list can hold.
  SendDlgItemMessageW(m_hWnd, IDC_ITEMS_TEXT, EM_SETLIMITTEXT, editorCharLimit(m_form.encoding, text.size()), 0);
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
  const Answer answer = askOrCancel(m_hWnd, gbk::toWide(kAskSaveBeforeQuit));
  if (answer == Answer::No) return true;
  return answer == Answer::Yes && SaveText();
}

bool CItemsDlg::WriteRecovery(const FilePath& path) {
  std::wstring boxed = boxText(GetDlgItem(IDC_ITEMS_TEXT));
  return replaceFileBytes(path,
                          bytesForSaving(std::u16string(boxed.begin(), boxed.end()), m_form, TextUse::Recovery).bytes);
}

bool CItemsDlg::SaveText() {
  if (m_textCut) {
    const size_t limit = static_cast<size_t>(SendDlgItemMessageW(m_hWnd, IDC_ITEMS_TEXT, EM_GETLIMITTEXT, 0, 0));
    if (!ask(m_hWnd, fill(kAskSaveCutText, {digits(static_cast<int>(limit))}))) return false;
    m_textCut = false;
  }
  std::wstring boxed = boxText(GetDlgItem(IDC_ITEMS_TEXT));
  const SavedBytes saved = bytesForSaving(std::u16string(boxed.begin(), boxed.end()), m_form, TextUse::List);
  if (saved.notInGbk && !ask(m_hWnd, kAskSaveNotInGbk)) return false;
  const std::string& bytes = saved.bytes;
  const CString gbkText(decodeToGbk(bytes, detectEncoding(bytes)));  // the text as the item reader will see it
  if (saved.tooLarge) {
    // The editor could not open such a file again.
    warn(m_hWnd, fill(kTextTooLargeToSave, {megabytes(kMaxTextFileBytes)}));
    return false;
  }

  // In file order the first rows are the ones shown; nearest first, any line may be.
  const int shown = settings.order == RowOrder::File ? settings.rows : kTableRecords;
  // One question for every line the widget will not read as written: its date, or an option.
  const CString question = itemCheckQuestion(unreadableShownLines(gbkText, core->getTimeNow(), shown),
                                             unknownOptionLines(gbkText), conflictingRepeatLines(gbkText));
  if (!question.IsEmpty() && !ask(m_hWnd, question)) return false;

  if (ChangedOnDisk() && !ask(m_hWnd, fill(kAskOverwriteChangedList, {listPath()}))) return false;

  FileError why = FileError::None;
  int code = 0;
  if (!replaceFileBytes(itemFilePath, bytes, &why, &code)) {
    warn(m_hWnd, fill(kListNotSaved, {gbk::toWide(saveErrorText(why, code).view()), listPath()}));
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
