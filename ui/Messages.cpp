#include "ui/Messages.h"

#include <commctrl.h>

#include "framework/Gbk.h"

namespace {

int box(HWND owner, const std::wstring& text, UINT type) { return MessageBoxW(owner, text.c_str(), L"Tessaly", type); }

}  // namespace

void warn(HWND owner, const std::wstring& text) { box(owner, text, MB_OK | MB_ICONWARNING); }

void warn(HWND owner, const CString& text) { warn(owner, gbk::toWide(text.view())); }

void fail(HWND owner, const CString& text) { box(owner, gbk::toWide(text.view()), MB_OK | MB_ICONERROR); }

bool ask(HWND owner, const std::wstring& question, DefaultAnswer byDefault) {
  const UINT button = byDefault == DefaultAnswer::No ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
  return box(owner, question, MB_YESNO | MB_ICONQUESTION | button) == IDYES;
}

bool ask(HWND owner, const CString& question, DefaultAnswer byDefault) {
  return ask(owner, gbk::toWide(question.view()), byDefault);
}

Answer askOrCancel(HWND owner, const std::wstring& question) {
  const int answer = box(owner, question, MB_YESNOCANCEL | MB_ICONQUESTION);
  return answer == IDYES ? Answer::Yes : answer == IDNO ? Answer::No : Answer::Cancel;
}

bool loadCommonControls(DWORD classes) {
  using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE library = LoadLibraryW(L"comctl32.dll");
  const auto initCommonControlsEx = library ? reinterpret_cast<InitCommonControlsExFn>(reinterpret_cast<void*>(
                                                  GetProcAddress(library, "InitCommonControlsEx")))
                                            : nullptr;
  INITCOMMONCONTROLSEX wanted = {sizeof wanted, classes};
  return initCommonControlsEx && initCommonControlsEx(&wanted);
}
