#include <gtest/gtest.h>

#include "core/SettingsPlace.h"
#include "core/SettingsSection.h"

namespace {

const char kTemp[] = "C:\\Users\\Li\\AppData\\Local\\Temp";
const char kAppData[] = "C:\\Users\\Li\\AppData\\Roaming";

struct PlaceCase {
  const char* what;
  const char* exeFolder;
  bool writable, marker, homeExists, list, ini;
  PlaceKind kind;
  const char* folder;  // "" for the program's folder
  bool copyList, copyIni, portableNotWritable, probed;
  const char* temp = kTemp;
};

TEST(SettingsPlace, FollowsTheProgramFolder) {
  const std::string home = std::string(kAppData) + "\\Tessaly\\" + appDataHomeName("C:\\Program Files\\Tessaly");
  const PlaceCase cases[] = {
      {"writable", "D:\\Tools\\Tessaly", true, false, false, true, true, PlaceKind::BesideProgram, "", false, false,
       false, true},
      {"not writable, first start", "C:\\Program Files\\Tessaly", false, false, false, true, true, PlaceKind::AppData,
       home.c_str(), true, true, false, true},
      {"not writable, nothing beside", "C:\\Program Files\\Tessaly", false, false, false, false, false,
       PlaceKind::AppData, home.c_str(), false, false, false, true},
      {"not writable, home made before: nothing copied again", "C:\\Program Files\\Tessaly", false, false, true, true,
       true, PlaceKind::AppData, home.c_str(), false, false, false, true},
      {"portable marker, writable", "E:\\Tessaly", true, true, false, true, true, PlaceKind::BesideProgram, "", false,
       false, false, true},
      {"portable marker, read-only stick", "E:\\Tessaly", false, true, false, true, true, PlaceKind::BesideProgram, "",
       false, false, true, true},
      {"zip viewer's temporary folder: nothing probed",
       "C:\\Users\\Li\\AppData\\Local\\Temp\\Rar$EXa1.234\\Tessaly-1.1.0", true, false, false, false, false,
       PlaceKind::TempFolder, "", false, false, false, false},
      {"temporary folder, other case and slashes", "c:/users/li/appdata/local/TEMP/7zO1/Tessaly", false, true, false,
       false, false, PlaceKind::TempFolder, "", false, false, false, false},
      {"a temporary folder set to a drive's root", "D:\\Tools\\Tessaly", true, false, false, false, false,
       PlaceKind::BesideProgram, "", false, false, false, true, "D:\\"},
      {"a sibling named like the temporary folder", "C:\\Users\\Li\\AppData\\Local\\Temp2\\Tessaly", true, false, false,
       false, false, PlaceKind::BesideProgram, "", false, false, false, true},
  };
  for (const PlaceCase& c : cases) {
    PlaceFacts facts;
    facts.exeFolder = c.exeFolder;
    facts.exeName = "Tessaly";
    facts.tempFolder = c.temp;
    facts.appDataFolder = kAppData;
    facts.portableMarker = c.marker;
    facts.homeExists = c.homeExists;
    facts.listBesideExe = c.list;
    facts.iniBesideExe = c.ini;
    bool probed = false;
    const SettingsPlace place = decideSettingsPlace(facts, [&] {
      probed = true;
      return c.writable;
    });
    EXPECT_EQ(place.kind, c.kind) << c.what;
    EXPECT_EQ(place.folder, *c.folder ? std::string(c.folder) : std::string(c.exeFolder)) << c.what;
    EXPECT_EQ(place.makeFolder, c.kind == PlaceKind::AppData && !c.homeExists) << c.what;
    EXPECT_EQ(place.copyList, c.copyList) << c.what;
    EXPECT_EQ(place.copyIni, c.copyIni) << c.what;
    EXPECT_EQ(place.portableNotWritable, c.portableNotWritable) << c.what;
    EXPECT_EQ(probed, c.probed) << c.what;
  }
}

TEST(SettingsPlace, HomeNameIsTheFolderNameAndAStableHash) {
  // The hashes are fixed (FNV-1a of the folded UTF-8, worked out apart): a changed one would lose
  // every user's settings.
  const struct {
    const char* folder;
    const char* name;
  } cases[] = {
      {"C:\\Program Files\\Tessaly", "Tessaly-c28e32a8"},
      {"c:\\program files\\tessaly\\", "tessaly-c28e32a8"},  // the same folder, spelt otherwise
      {"C:/Program Files/Tessaly", "Tessaly-c28e32a8"},
      {"C:\\Program Files (x86)\\Tessaly", "Tessaly-73d66191"},
      {"E:\\", "E-0ccbf4ce"},  // a drive's root
      {u8"\\\\nas\\share\\工具", u8"工具-e3d38218"},
  };
  for (const auto& c : cases) EXPECT_EQ(appDataHomeName(c.folder), c.name) << c.folder;
  // The one home for everything kept there, the settings and the recovery files alike.
  EXPECT_EQ(appDataHome("C:\\Users\\A\\AppData\\Roaming\\", "C:\\Program Files\\Tessaly"),
            "C:\\Users\\A\\AppData\\Roaming\\Tessaly\\Tessaly-c28e32a8");
}

TEST(SettingsPlace, ListFollowsTheItemFolderOption) {
  const struct {
    const char* stored;  // as read from the settings file, UTF-8
    const char* dir;     // what it names
    const char* list;
  } cases[] = {
      {"", "", "C:\\S\\Tessaly_items.txt"},
      {u8"D:\\OneDrive\\纪念日", u8"D:\\OneDrive\\纪念日", u8"D:\\OneDrive\\纪念日\\Tessaly_items.txt"},
      {"D:\\Sync\\", "D:\\Sync", "D:\\Sync\\Tessaly_items.txt"},
      {"D:\\", "D:\\", "D:\\Tessaly_items.txt"},
      {"\\\\nas\\home\\list", "\\\\nas\\home\\list", "\\\\nas\\home\\list\\Tessaly_items.txt"},
      {"u8:D:\\%ED%95%9C%20%25", u8"D:\\한 %", u8"D:\\한 %\\Tessaly_items.txt"},
      {"u8:D:\\a%2", "", "C:\\S\\Tessaly_items.txt"},         // a cut escape
      {"u8:D:\\a%zz", "", "C:\\S\\Tessaly_items.txt"},        // not hex
      {"Sync", "", "C:\\S\\Tessaly_items.txt"},               // not a full path
      {"\\\\nas", "", "C:\\S\\Tessaly_items.txt"},            // a server without a share
      {"u8:D:\\Sync%00\\x", "", "C:\\S\\Tessaly_items.txt"},  // a NUL would cut the path
      {"u8:D:\\a%0Ab", "", "C:\\S\\Tessaly_items.txt"},       // no name holds a line break
      {"u8:D:\\%E5%90", "", "C:\\S\\Tessaly_items.txt"},      // cut UTF-8
      {"\\\\nas\\\\", "", "C:\\S\\Tessaly_items.txt"},        // a share named by separators only
      {"\\\\//\\x\\y", "", "C:\\S\\Tessaly_items.txt"},       // a server named by separators
  };
  for (const auto& c : cases) {
    const std::string dir = itemDirFromSetting(c.stored);
    EXPECT_EQ(dir, c.dir) << c.stored;
    EXPECT_EQ(listPathFor("C:\\S", dir, "Tessaly"), c.list) << c.stored;
  }
}

TEST(SettingsPlace, EscapedItemFolderRoundTrips) {
  for (const char* path : {u8"D:\\OneDrive\\纪念日", u8"D:\\한국어 폴더 ßö", "E:\\100%", u8"\\\\nas\\共享\\😀"}) {
    const std::string stored = escapeItemDir(path);
    EXPECT_EQ(stored.substr(0, 3), "u8:") << path;
    for (char c : stored) EXPECT_TRUE(c > 0x20 && c < 0x7F) << path;  // any code page holds it
    EXPECT_EQ(itemDirFromSetting(stored), path) << path;
  }
}

TEST(SettingsPlace, ItemFolderTroubleSaysWhatIsTrue) {
  using T = ItemDirTrouble;
  EXPECT_EQ(itemDirSettingTrouble(""), T::None);
  EXPECT_EQ(itemDirSettingTrouble("D:\\Sync"), T::None);
  EXPECT_EQ(itemDirSettingTrouble("u8:D:\\Sync%00\\x"), T::Unreadable);
  EXPECT_EQ(itemDirSettingTrouble("u8:D:\\a%2"), T::Unreadable);
  EXPECT_EQ(itemDirSettingTrouble("Sync"), T::NotFullPath);
  EXPECT_EQ(itemDirSettingTrouble("u8:Sync"), T::Unreadable);
  const std::string longName = "D:\\" + std::string(256, 'x');
  std::string longHanzi = "D:\\";
  for (int i = 0; i < 255; ++i) longHanzi += u8"纪";  // 255 units, 765 bytes: a name that can exist
  const std::string longPath = "D:\\" + [] {
    std::string parts;
    for (int i = 0; i < 30; ++i) parts += "folder" + std::to_string(i) + "\\";
    return parts;
  }();
  const struct {
    const char* what;
    std::string folder;
    FolderLook look;  // folder, file, denied, rootThere
    T trouble;
  } cases[] = {
      {"there", "D:\\Sync", {true, false, false, true}, T::None},
      {"a file of that name", "D:\\Sync", {false, true, false, true}, T::FileInTheWay},
      {"the drive unplugged", "E:\\Sync", {false, false, false, false}, T::DriveMissing},
      {"the folder moved", "D:\\Sync", {false, false, false, true}, T::FolderMissing},
      {"a long path of short names", longPath, {false, false, false, true}, T::FolderMissing},
      {"a name of 256 characters", longName, {false, false, false, true}, T::NameTooLong},
      {"255 hanzi", longHanzi, {false, false, false, true}, T::FolderMissing},
      {"a share that does not answer", "\\\\nas\\home\\list", {false, false, false, false}, T::NetworkUnreachable},
      {"a share that answers", "\\\\nas\\home\\list", {false, false, false, true}, T::FolderMissing},
      {"refused", "D:\\Sync", {false, false, true, true}, T::NoAccess},
  };
  for (const auto& c : cases) EXPECT_EQ(itemDirFolderTrouble(c.folder, c.look), c.trouble) << c.what;
  for (const auto& [path, root] :
       std::vector<std::pair<std::string, std::string>>{{"D:\\Sync\\a", "D:\\"},
                                                        {"d:/x", "d:\\"},
                                                        {"\\\\nas\\home\\list", "\\\\nas\\home\\"},
                                                        {"\\\\nas\\home", "\\\\nas\\home\\"},
                                                        {"Sync", ""},
                                                        {"\\\\nas", ""}})
    EXPECT_EQ(pathRoot(path), root) << path;
}

// One read of a section answers each key as a read of that key would.
TEST(SettingsSection, AnswersKeysAsTheProfileFunctionsDo) {
  using namespace std::string_literals;
  const std::wstring block =
      L"posleft=-1200\0PosTop = 30 \0;fsize=40\0fsize=24\0fsize=99\0"
      L"remindat=\"09:30\"\0quoted='x \0itemdir=D:\\同步=备份\0empty=\0bare\0 =orphan\0\0tail=1\0"s;
  const SettingsSection section(block);
  const struct {
    const char* key;
    const wchar_t* value;  // nullptr: not there
  } cases[] = {
      {"posleft", L"-1200"},
      {"postop", L"30"},              // any case, spaces around dropped
      {"fsize", L"24"},               // the first line counts, not a comment's
      {"remindat", L"09:30"},         // one pair of matching quotes off
      {"quoted", L"'x"},              // unmatched: kept
      {"itemdir", L"D:\\同步=备份"},  // the first "=" ends the key, later ones are the value's
      {"empty", L""},
      {"bare", L""},      // there, empty
      {"tail", nullptr},  // after the block's end
      {"", nullptr},
      {"posleft2", nullptr},
  };
  for (const auto& c : cases) {
    const std::wstring* found = section.find(c.key);
    ASSERT_EQ(found != nullptr, c.value != nullptr) << c.key;
    if (found) {
      EXPECT_EQ(*found, c.value) << c.key;
    }
  }
  const SettingsSection unended(L"a=1");  // no final NUL
  ASSERT_NE(unended.find("a"), nullptr);
  EXPECT_EQ(*unended.find("a"), L"1");
  EXPECT_EQ(SettingsSection(std::wstring_view()).find("a"), nullptr);
}

}  // namespace
