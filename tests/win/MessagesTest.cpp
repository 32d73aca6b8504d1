// The message texts' blanks: filled in order, a path keeping every character, and a value that looks
// like a blank left as it is.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/Messages.h"

TEST(MessagesTest, BlanksAreFilledOnceEachInTheirOrder) {
  const struct {
    const char* text;
    std::wstring first, second;
    std::wstring expected;
  } cases[] = {
      {"a{1}b{2}c", L"X", L"Y", L"aXbYc"},
      {"{2} then {1}", L"X", L"Y", L"Y then X"},
      {"{1}{1}", L"\u00E9\U0001F600", L"", L"\u00E9\U0001F600\u00E9\U0001F600"},
      {"{1}:{2}", L"C:\\{2}\\", L"Y", L"C:\\{2}\\:Y"},  // a path that holds a blank's name
      {"{3} {0} {} {1", L"X", L"Y", L"{3} {0} {} {1"},
      {"文本太大（超过 {1} MB）", L"4", L"", L"\u6587\u672C\u592A\u5927\uFF08\u8D85\u8FC7 4 MB\uFF09"},
  };
  for (const auto& c : cases) EXPECT_EQ(fill(c.text, {c.first, c.second}), c.expected) << c.text;
}
