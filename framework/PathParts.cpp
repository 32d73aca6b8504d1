#include "framework/PathParts.h"

namespace {

template <typename Char>
size_t lastSeparator(std::basic_string_view<Char> path) {
  const Char separators[] = {Char('\\'), Char('/'), Char(0)};
  return path.find_last_of(separators);
}

template <typename Char>
std::basic_string_view<Char> folderPart(std::basic_string_view<Char> path) {
  const size_t slash = lastSeparator(path);
  return slash == path.npos ? std::basic_string_view<Char>() : path.substr(0, slash);
}

template <typename Char>
std::basic_string_view<Char> namePart(std::basic_string_view<Char> path) {
  const size_t slash = lastSeparator(path);
  return slash == path.npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string_view folderOf(std::string_view path) { return folderPart(path); }
std::wstring_view folderOf(std::wstring_view path) { return folderPart(path); }
std::string_view fileNameOf(std::string_view path) { return namePart(path); }
std::wstring_view fileNameOf(std::wstring_view path) { return namePart(path); }

std::string join(std::string_view folder, std::string_view name) {
  // "C:\" keeps its backslash only as a root; the one added here stands for it.
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.remove_suffix(1);
  std::string path(folder);
  path += '\\';
  path += name;
  return path;
}
