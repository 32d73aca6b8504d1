#include "items/ItemFile.h"

#include <algorithm>
#include <cstring>

#include "core/TextFile.h"
#include "framework/Gbk.h"
#include "framework/StdioFile.h"

namespace {
// Enough to tell UTF-8 from GBK without reading a huge file whole.
constexpr size_t kEncodingProbeBytes = 64 * 1024;
// A file of skipped lines is not read on without end.
constexpr size_t kMaxBytesScanned = 16 * 1024 * 1024;
}  // namespace

bool parseItemLine(CCore& core, const CString& line, ItemRecord& record) {
  if (line.GetLength() == 0 || line.Find(';') >= 0) return false;
  gbk::copyToField(record.name, sizeof record.name, core.getFg(line, ',', 0).view());
  gbk::copyToField(record.dateText, sizeof record.dateText, core.getFg(line, ',', 1).view());
  return true;
}

bool loadItemFile(CCore& core, const FilePath& path, ItemRecord* table, int& itemCount) {
  if (!core.isFileExist(path)) return false;
  CStdioFile file;
  if (!file.Open(path, CStdioFile::modeRead)) return false;

  std::string probe;
  readFileBytes(path, probe, kEncodingProbeBytes, true);
  TextEncoding encoding = detectEncoding(probe);

  std::memset(table, 0, sizeof(ItemRecord) * kTableRecords);
  int n = 0;
  size_t scanned = 0;
  bool firstLine = true;
  CString line;
  while (n < kTableRecords && scanned < kMaxBytesScanned && file.ReadString(line)) {
    scanned += static_cast<size_t>(line.GetLength()) + 1;
    if (encoding != TextEncoding::Gbk) {
      // The byte-order mark belongs to the file, not to the first name.
      TextEncoding lineEncoding = firstLine ? encoding : TextEncoding::Utf8;
      line = CString(decodeToGbk(line.view(), lineEncoding));
    }
    firstLine = false;
    if (parseItemLine(core, line, table[n])) ++n;
  }
  file.Close();
  itemCount = std::min(n, kShownItems);
  return true;
}
