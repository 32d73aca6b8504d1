// A Windows path's parts, either separator ("\" or "/") counting alike: the one way the program
// splits a path into its folder and its file name, and joins them again.
#pragma once
#include <string>
#include <string_view>

// Everything before the last separator ("C:\A\b.txt" gives "C:\A"); empty when there is none.
std::string_view folderOf(std::string_view path);
std::wstring_view folderOf(std::wstring_view path);
// Everything after the last separator ("C:\A\b.txt" gives "b.txt"); the whole path when there is none.
std::string_view fileNameOf(std::string_view path);
std::wstring_view fileNameOf(std::wstring_view path);
// folder and name with one backslash between, whatever separators folder ended with.
std::string join(std::string_view folder, std::string_view name);
