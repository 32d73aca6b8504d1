// ItemFolderWatch: tells the widget when something in its list's folder changed, without polling: a
// directory read with an event the program's message loops wait on (AfxAddWaitHandle). Which change
// concerns the list, and whether the file then differs from the one loaded, is decided window-free
// (items/ItemReload.h).
#pragma once
#include <windows.h>

#include <string>

#include "framework/StdioFile.h"
#include "items/ItemReload.h"

class ItemFolderWatch {
 public:
  ItemFolderWatch() = default;
  ~ItemFolderWatch() { Stop(); }
  ItemFolderWatch(const ItemFolderWatch&) = delete;
  ItemFolderWatch& operator=(const ItemFolderWatch&) = delete;

  // Watches the folder that holds file; when something there changes, message is sent to target.
  // False when the folder cannot be watched (it is gone, or its file system tells nothing): the
  // minute tick is then the only look.
  bool Start(const FilePath& file, HWND target, UINT message);
  void Stop();
  // After the event: what changed is read and the watch armed again. True when the change may
  // concern the list file.
  bool Collect();

  // The file as it is now; its bytes read and hashed when withBytes.
  static FileStamp Stamp(const FilePath& file, bool withBytes);

  ReloadDebounce debounce;

 private:
  bool Arm();

  HANDLE m_folder = INVALID_HANDLE_VALUE;
  HANDLE m_event = nullptr;
  OVERLAPPED m_overlapped = {};
  bool m_reading = false;  // a read is in flight: it must end before its buffer goes
  std::u16string m_name;   // the list file's name within the folder
  // The records the system writes are DWORD-aligned.
  alignas(DWORD) unsigned char m_buffer[8192] = {};
};
