#include "core/RecoveryFiles.h"

#include <algorithm>
#include <cctype>

#include "framework/Gbk.h"

namespace {

constexpr std::string_view kRecovered = ".recovered";
constexpr std::string_view kTxt = ".txt";

bool startsWithFolded(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

}  // namespace

FilePath recoveryFileName(const FilePath& stem, int number) {
  if (number <= 1) return stem + std::string(kRecovered) + std::string(kTxt);
  return stem + std::string(kRecovered) + "." + std::to_string(number) + std::string(kTxt);
}

int recoveryFileNumber(std::string_view stemName, std::string_view fileName) {
  if (!startsWithFolded(fileName, stemName)) return 0;
  fileName.remove_prefix(stemName.size());
  if (!startsWithFolded(fileName, kRecovered)) return 0;
  fileName.remove_prefix(kRecovered.size());
  if (fileName.size() < kTxt.size() || !startsWithFolded(fileName.substr(fileName.size() - kTxt.size()), kTxt))
    return 0;
  fileName.remove_suffix(kTxt.size());
  if (fileName.empty()) return 1;
  // ".2" to ".999", written as recoveryFileName writes them: no sign, no leading zero.
  if (fileName[0] != '.' || fileName.size() < 2 || fileName.size() > 4 || fileName[1] == '0') return 0;
  int number = 0;
  for (char c : fileName.substr(1)) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return number >= 2 && number <= kMaxRecoveryFiles ? number : 0;
}

std::vector<RecoveryFile> unannouncedRecoveryFiles(std::vector<RecoveryFile> found, uint64_t seen) {
  found.erase(std::remove_if(found.begin(), found.end(), [seen](const RecoveryFile& f) { return f.written <= seen; }),
              found.end());
  std::stable_sort(found.begin(), found.end(),
                   [](const RecoveryFile& a, const RecoveryFile& b) { return a.written < b.written; });
  return found;
}

std::string recoveryNoteUtf8(const std::vector<RecoveryFile>& files) {
  if (files.empty()) return std::string();
  // The texts are GBK literals; the paths keep every character in UTF-8.
  std::string note;
  for (const RecoveryFile& file : files) {
    if (!note.empty()) note += "\r\n";
    note +=
        gbk::gbkToUtf8(file.besideList
                           ? "上次注销或关机时，纪念日编辑器中未保存的文本已保存到：\r\n"
                           : "上次注销或关机时，纪念日编辑器中未保存的文本无法保存在纪念日文件旁边，已保存到：\r\n") +
        file.path;
  }
  return note + gbk::gbkToUtf8("\r\n（点击此通知打开它所在的文件夹）");
}

std::string seenMarkText(uint64_t seen) { return std::to_string(seen); }

uint64_t parseSeenMark(std::string_view text) {
  uint64_t value = 0;
  if (text.empty() || text.size() > 20) return 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return 0;
    value = value * 10 + digit;
  }
  return value;
}
