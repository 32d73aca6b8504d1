#include "framework/PathParts.h"

#include <gtest/gtest.h>

TEST(PathParts, SplitsAtTheLastSeparatorOfEitherKind) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
  } cases[] = {
      {"C:\\Tools\\Tessaly_items.txt", "C:\\Tools", "Tessaly_items.txt"},
      {"C:/Tools/Tessaly.exe", "C:/Tools", "Tessaly.exe"},
      {"C:\\a/b\\c.txt", "C:\\a/b", "c.txt"},  // mixed: the last one counts
      {"D:\\", "D:", ""},                      // a root: no name
      {"\\\\nas\\share\\f", "\\\\nas\\share", "f"},
      {u8"E:\\纪念日\\清单.txt", u8"E:\\纪念日", u8"清单.txt"},
      {"Tessaly.exe", "", "Tessaly.exe"},  // no folder
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(folderOf(std::string(c.path)), c.folder) << c.path;
    EXPECT_EQ(fileNameOf(std::string(c.path)), c.name) << c.path;
    const std::string path(c.path);
    const std::wstring wide(path.begin(), path.end());  // byte for unit: the separators are ASCII
    EXPECT_EQ(folderOf(wide).size(), std::string_view(c.folder).size()) << c.path;
    EXPECT_EQ(fileNameOf(wide).size(), std::string_view(c.name).size()) << c.path;
  }
  EXPECT_EQ(join("C:\\A\\", "b.txt"), "C:\\A\\b.txt");
  EXPECT_EQ(join("D:/", "b.txt"), "D:\\b.txt");
  EXPECT_EQ(join(folderOf("C:\\A\\b.txt"), fileNameOf("C:\\A\\b.txt")), "C:\\A\\b.txt");
}
