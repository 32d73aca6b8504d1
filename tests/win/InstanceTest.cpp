// The single-instance name: one per program folder, whatever the letter case or the road to the
// folder, always a valid kernel object name; and the hand-over a widget that is quitting refuses.
#include <gtest/gtest.h>

#include "app/SingleInstance.h"

#include <string>

namespace {

std::wstring tempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

TEST(InstanceName, FolderThroughALinkIsTheFolderItself) {
  const std::wstring real = tempFolder(L"tessaly-real-");
  const std::wstring link = real + L"-link";
  RemoveDirectoryW(link.c_str());
  // Some systems say yes and make a link that leads nowhere (Wine 8): the end-to-end test covers
  // links made outside there.
  if (!CreateSymbolicLinkW(link.c_str(), real.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
      GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
    RemoveDirectoryW(link.c_str());
    RemoveDirectoryW(real.c_str());
    GTEST_SKIP() << "no symbolic links here";
  }
  EXPECT_EQ(instanceNameFor(finalModulePath(link + L"\\Tessaly.exe")),
            instanceNameFor(finalModulePath(real + L"\\Tessaly.exe")));
  EXPECT_NE(instanceNameFor(finalModulePath(link + L"\\Tessaly.exe")),
            instanceNameFor(finalModulePath(real + L"\\Tessaly2.exe")));
  RemoveDirectoryW(link.c_str());
  RemoveDirectoryW(real.c_str());
}

TEST(InstanceName, FinalPathOfAnOrdinaryOrMissingFolderIsThePathItself) {
  const std::wstring real = tempFolder(L"tessaly-plain-");
  const std::wstring path = finalModulePath(real + L"\\Tessaly.exe");
  // The same folder, spelled as the file system spells it: the same instance as before links counted.
  EXPECT_EQ(instanceNameFor(path), instanceNameFor(real + L"\\Tessaly.exe")) << path.c_str();
  EXPECT_EQ(path.substr(0, 4), real.substr(0, 4));
  // A program reached by its short (8.3) name is the program of the long one.
  const std::wstring longName = real + L"\\Tessaly portable copy.exe";
  CloseHandle(CreateFileW(longName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  wchar_t shortName[MAX_PATH] = {};
  GetShortPathNameW(longName.c_str(), shortName, MAX_PATH);
  EXPECT_EQ(finalModulePath(shortName), finalModulePath(longName)) << shortName;
  EXPECT_EQ(finalModulePath(longName).substr(path.size() - 11), L"Tessaly portable copy.exe");
  DeleteFileW(longName.c_str());
  const std::wstring missing = L"C:\\no such folder\\at all\\Tessaly.exe";
  EXPECT_EQ(finalModulePath(missing), missing);
  EXPECT_EQ(finalModulePath(L"Tessaly.exe"), L"Tessaly.exe");
  RemoveDirectoryW(real.c_str());
}

// A running instance on another thread, whose widget answers the hand-over with `answer` and lets
// the instance end after two requests.
struct RunningInstance {
  HANDLE claimed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE end = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  static DWORD WINAPI run(void* self) {
    auto* me = static_cast<RunningInstance*>(self);
    CSingleInstance instance;
    instance.Claim();
    SetEvent(me->claimed);
    WaitForSingleObject(me->end, 30000);
    return 0;
  }
};

LRESULT answer = 0;
int requests = 0;
RunningInstance* running = nullptr;

LRESULT CALLBACK widgetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != activateMessage()) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (++requests == 2) SetEvent(running->end);
  return answer;
}

TEST(InstanceHandOver, AWidgetThatIsQuittingIsWaitedForNotHandedOver) {
  WNDCLASSW cls = {};
  cls.lpfnWndProc = widgetProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"TessalyInstanceTest";
  RegisterClassW(&cls);
  struct Case {
    LRESULT answer;
    bool secondRuns;
    const char* what;
  };
  const Case cases[] = {
      {kActivateAccepted, false, "a running widget takes the hand-over: the second start ends"},
      {0, true, "a quitting widget refuses: the second start waits for its end and runs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunningInstance instance;
    running = &instance;
    answer = c.answer;
    requests = 0;
    HANDLE thread = CreateThread(nullptr, 0, RunningInstance::run, &instance, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(instance.claimed, 10000);
    HWND widget = CreateWindowW(cls.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, cls.hInstance, nullptr);
    ASSERT_NE(widget, nullptr);
    publishInstanceWindow(widget);
    EXPECT_TRUE(isInstanceWindow(widget));
    {
      CSingleInstance second;
      EXPECT_EQ(second.Claim(), c.secondRuns);
    }
    EXPECT_GE(requests, 1);
    withdrawInstanceWindow(widget);
    EXPECT_FALSE(isInstanceWindow(widget));
    DestroyWindow(widget);
    SetEvent(instance.end);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(instance.claimed);
    CloseHandle(instance.end);
  }
}

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
      L"C:\\Tools\\Tessaly2.exe", L"C:\\한국어\\Tessaly.exe", L"C:\\한국아\\Tessaly.exe",
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
