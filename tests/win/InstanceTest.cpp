// The single-instance name: one per program folder, whatever the letter case, always a valid kernel
// object name.
#include <gtest/gtest.h>

#include "app/SingleInstance.h"

namespace {

TEST(InstanceName, SameFolderAnyCaseIsOneInstance) {
  const wchar_t* same[][2] = {
      {L"C:\\Tools\\Tessaly.exe", L"c:\\tools\\TESSALY.EXE"},
      {L"D:\\한국어 폴더\\Tessaly.exe", L"d:\\한국어 폴더\\tessaly.exe"},
      {L"C:\\Überall\\Tessaly.exe", L"C:\\überall\\Tessaly.exe"},
  };
  for (auto& pair : same) EXPECT_EQ(instanceNameFor(pair[0]), instanceNameFor(pair[1])) << pair[0];
}

TEST(InstanceName, OtherFoldersAreOtherInstances) {
  const wchar_t* paths[] = {
      L"C:\\Tools\\Tessaly.exe",  L"C:\\Tools2\\Tessaly.exe", L"D:\\Tools\\Tessaly.exe",
      L"C:\\Tools\\Tessaly2.exe", L"C:\\한국어\\Tessaly.exe",  L"C:\\한국아\\Tessaly.exe",
  };
  for (size_t i = 0; i < std::size(paths); ++i)
    for (size_t j = i + 1; j < std::size(paths); ++j)
      EXPECT_NE(instanceNameFor(paths[i]), instanceNameFor(paths[j])) << i << " " << j;
}

TEST(InstanceName, IsShortAndFreeOfBackslashesForAnyPath) {
  std::wstring deep = L"\\\\?\\C:";
  for (int i = 0; i < 200; ++i) deep += L"\\folder";
  for (const std::wstring& path : {std::wstring(), std::wstring(L"C:\\Tessaly.exe"), deep}) {
    std::wstring name = instanceNameFor(path);
    EXPECT_EQ(name.size(), 24u);
    EXPECT_EQ(name.find(L'\\'), std::wstring::npos);
    // A mutex of that name can be made.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, (L"Local\\" + name + L".test").c_str());
    EXPECT_NE(mutex, nullptr);
    if (mutex) CloseHandle(mutex);
  }
}

}  // namespace
