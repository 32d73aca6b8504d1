// The anniversaries editor: the whole item file as free text in one box. OK saves it (full-width
// commas made ASCII) and the widget reloads; Cancel, Esc and the close box change nothing.
#pragma once
#include "core/Core.h"
#include "framework/AfxWin.h"

class CItemsDlg : public CDialog {
 public:
  CItemsDlg();

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  // Reads the item file into the box; false (after telling the user) when it must not be edited,
  // because saving would overwrite content that the box could not show.
  bool LoadText();

  // The file is written back as it came: GBK, UTF-8 (with or without its byte-order mark) or UTF-16
  // (LE or BE, with the mark), with CR LF or bare line feeds. A new file is GBK with CR LF.
  TextEncoding m_encoding = TextEncoding::Gbk;
  bool m_bareLineFeeds = false;
};
