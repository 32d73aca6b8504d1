// Replacing a file as Windows sees it: the reason a save fails, attributes kept, and the temporary
// file of a killed save removed. (Wine makes no symbolic links of its own: the end-to-end test saves
// through a Unix one.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/TextFile.h"
#include "framework/Gbk.h"

namespace {

class FileWriteTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = gbk::wideToUtf8(temp) + "tessaly_write_" + testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryW(widePath(folder).c_str(), nullptr);
    path = folder + "\\Tessaly_items.txt";
  }
  void TearDown() override {
    for (const FilePath& p : {path, path + kTemporarySuffix}) {
      SetFileAttributesW(widePath(p).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(widePath(p).c_str());
      RemoveDirectoryW(widePath(p).c_str());
    }
    RemoveDirectoryW(widePath(folder).c_str());
  }
  static std::string contents(const FilePath& p) {
    std::string bytes;
    readFileBytes(p, bytes);
    return bytes;
  }
  static DWORD attributes(const FilePath& p) { return GetFileAttributesW(widePath(p).c_str()); }

  FilePath folder;
  FilePath path;
};

// Each failure names its reason and leaves the old file as it was.
TEST_F(FileWriteTest, AFailedSaveSaysWhy) {
  const struct {
    const char* what;
    void (*prepare)(const FilePath& path);
    FileError error;
    const char* text;
  } cases[] = {
      {"a folder where the list is",
       [](const FilePath& p) {
         DeleteFileW(widePath(p).c_str());
         CreateDirectoryW(widePath(p).c_str(), nullptr);
       },
       FileError::IsFolder, "已有同名的文件夹"},
      {"a folder where the temporary file goes",
       [](const FilePath& p) { CreateDirectoryW(widePath(p + kTemporarySuffix).c_str(), nullptr); },
       FileError::IsFolder, "已有同名的文件夹"},
      {"a read-only list", [](const FilePath& p) { SetFileAttributesW(widePath(p).c_str(), FILE_ATTRIBUTE_READONLY); },
       FileError::ReadOnly, "文件是只读的"},
      {"no folder for the list", [](const FilePath& p) { DeleteFileW(widePath(p).c_str()); }, FileError::Missing,
       "文件所在的文件夹不存在"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    const bool noFolder = c.error == FileError::Missing;
    ASSERT_TRUE(replaceFileBytes(path, "old"));
    c.prepare(path);
    const FilePath target = noFolder ? folder + "\\gone\\Tessaly_items.txt" : path;
    FileError why = FileError::None;
    int code = 0;
    EXPECT_FALSE(replaceFileBytes(target, "new", &why, &code));
    EXPECT_EQ(why, c.error) << code;
    EXPECT_EQ(saveErrorText(why, code), CString(c.text));
    EXPECT_NE(contents(target), "new");
  }
  EXPECT_EQ(saveErrorText(FileError::DiskFull, 112), CString("磁盘已满"));
  EXPECT_EQ(saveErrorText(FileError::Other, 1117), CString("写入时出错（错误代码 1117）"));
}

TEST_F(FileWriteTest, AttributesAreKept) {
  ASSERT_TRUE(replaceFileBytes(path, "old"));
  ASSERT_TRUE(SetFileAttributesW(widePath(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(attributes(path) & FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(replaceFileBytes(path, "new"));
  EXPECT_EQ(contents(path), "new");
  EXPECT_TRUE(attributes(path) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(attributes(path + kTemporarySuffix), INVALID_FILE_ATTRIBUTES);
}

// Only the file of our own name goes; a folder of that name, or another file, stays.
TEST_F(FileWriteTest, TheTemporaryFileOfAKilledSaveIsRemoved) {
  const FilePath stale = path + kTemporarySuffix;
  ASSERT_TRUE(replaceFileBytes(stale, "half"));
  ASSERT_TRUE(replaceFileBytes(path + ".tmp", "someone else's"));
  removeStaleTemporary(path);
  EXPECT_EQ(attributes(stale), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(contents(path + ".tmp"), "someone else's");
  DeleteFileW(widePath(path + ".tmp").c_str());
  ASSERT_TRUE(CreateDirectoryW(widePath(stale).c_str(), nullptr));
  removeStaleTemporary(path);
  EXPECT_TRUE(attributes(stale) & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
