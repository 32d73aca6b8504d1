// The list folder's option: whatever the settings file holds, a path read is a full path a folder can
// have (UTF-8, no control character); its escaped form is printable ASCII and reads back the same,
// and a plain value and its escaped form read alike. The trouble named agrees with the reading.
#include "core/SettingsPlace.h"
#include "framework/Gbk.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view stored = asBytes(data, size);
  const std::string folder = itemDirFromSetting(stored);
  if (!folder.empty()) {
    FUZZ_CHECK(isFullPath(folder));
    FUZZ_CHECK(gbk::isValidUtf8(folder));
    for (char c : folder) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
    const std::string root = pathRoot(folder);
    FUZZ_CHECK(!root.empty() && isInFolder(folder, root));
  }
  const std::string escaped = escapeItemDir(stored);
  for (char c : escaped) FUZZ_CHECK(c > 0x20 && c < 0x7F);
  if (stored.substr(0, 3) != "u8:") FUZZ_CHECK(itemDirFromSetting(escaped) == folder);
  if (!folder.empty()) FUZZ_CHECK(itemDirFromSetting(escapeItemDir(folder)) == folder);

  const ItemDirTrouble trouble = itemDirSettingTrouble(stored);
  FUZZ_CHECK((trouble == ItemDirTrouble::None) == (stored.empty() || !folder.empty()));
  FolderLook look;
  if (size > 0) {
    look.folder = data[0] & 1;
    look.file = data[0] & 2;
    look.denied = data[0] & 4;
    look.rootThere = data[0] & 8;
  }
  const ItemDirTrouble there = itemDirFolderTrouble(folder, look);
  FUZZ_CHECK((there == ItemDirTrouble::None) == look.folder);
  return 0;
}
