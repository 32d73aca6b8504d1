// The program's message boxes: every box the user sees is one of these verbs, captioned "Tessaly".
// Texts are GBK (CString; most come from res/Texts.h) or UTF-16 (std::wstring, for a text that names
// a file: the path keeps every character). Beside them, the common controls library the dialogs'
// calendars, arrows and tips come from.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Gbk.h"
#include "framework/String.h"

// Something went wrong or was refused; the program goes on. OK, with a warning sign.
void warn(HWND owner, const std::wstring& text);
void warn(HWND owner, const CString& text);
// The program cannot go on and ends. OK, with an error sign.
void fail(HWND owner, const CString& text);

// A question with Yes and No; true for Yes. No is the default button (Enter changes nothing) unless
// the asker makes Yes the default.
enum class DefaultAnswer { No, Yes };
bool ask(HWND owner, const std::wstring& question, DefaultAnswer byDefault = DefaultAnswer::No);
bool ask(HWND owner, const CString& question, DefaultAnswer byDefault = DefaultAnswer::No);
// A question with Yes, No and Cancel, Yes the default.
enum class Answer { Yes, No, Cancel };
Answer askOrCancel(HWND owner, const std::wstring& question);

using gbk::fill;
// A number for a blank: its digits through the narrow conversion, as the wide one would bring the C
// library's formatted output into the program.
inline std::wstring digits(long long value) { return gbk::toWide(std::to_string(value)); }

// The common controls library (version 6, as the manifest asks) with the window classes of classes
// (ICC_*) registered; loaded when first needed, and it stays loaded: its controls need their classes.
bool loadCommonControls(DWORD classes);
