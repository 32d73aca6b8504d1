// The anniversaries editor: the whole item file as free text in one box that scrolls both ways. OK
// saves it (full-width commas made ASCII) and the widget reloads; Cancel, Esc and the close box
// change nothing. A file changed on disk by another program since it was opened is not overwritten
// without the user's yes.
#pragma once
#include <windows.h>

#include <string>

#include "core/Core.h"
#include "core/TextFile.h"
#include "framework/AfxWin.h"

class CItemsDlg : public CDialog {
 public:
  CItemsDlg();

  BOOL OnInitDialog() override;
  void OnOK() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // The box holds text that differs from what was loaded.
  bool HasChanges() const;
  // The program is about to quit: asks whether to save the changes (Yes, No, Cancel). True when the
  // quit may go on (saved, or the user chose not to save); false to stay.
  bool SaveBeforeQuit();
  // The session is ending and nothing may be asked: the box's text goes to path, in the list's
  // encoding when that holds it whole (else UTF-8 with its byte-order mark). False when not written.
  bool WriteRecovery(const FilePath& path);
  // The item dialog over the line with the caret (caretLine; a comment, blank or empty line adds
  // instead) or over a new line; its result goes into the box as one undoable change (ItemFormDlg.cpp).
  void EditLineInForm(bool caretLine);

 private:
  // Reads the item file into the box; false (after telling the user) when it must not be edited,
  // because saving would overwrite content that the box could not show.
  bool LoadText();
  // What OK does short of closing: the questions, then the write; false (the dialog stays open, the
  // text as it is) when the user said no or the file could not be written.
  bool SaveText();
  // The file on disk is no longer what the box was loaded from.
  bool ChangedOnDisk() const;

  // The file is written back as it came: GBK, UTF-8 (with or without its byte-order mark) or UTF-16
  // (LE or BE, with the mark), with CR LF or bare line feeds. A new file is GBK with CR LF.
  TextFileForm m_form;
  // The box refused part of what was typed or pasted (its limit was reached): what it holds is not
  // what the user meant, and OK asks before saving it.
  bool m_textCut = false;

  // What was loaded, to tell the user's changes and another program's apart.
  std::wstring m_loadedText;
  std::string m_loadedBytes;
  bool m_loadedExists = false;
  WIN32_FILE_ATTRIBUTE_DATA m_loadedStamp = {};
};
