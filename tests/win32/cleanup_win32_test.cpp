// The clean-up tasks on real folders, registry keys and processes under Wine.
#include <windows.h>

#include <shlobj.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/win32/handle_win.h"
#include "platform/win32/win32_audio_mixer_win.h"
#include "platform/win32/win32_cleanup_tasks_win.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "x";
  SetFileAttributesW(path.c_str(), attributes);
}

bool Exists(const fs::path& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a program of the host system, as a user would from a shell.
DWORD RunHostCommand(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    return GetLastError();
  WaitForSingleObject(info.hProcess, 10000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return 0;
}

std::string UnixPath(const fs::path& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return "";
  char* unix = toUnix(fs::absolute(path).wstring().c_str());
  std::string result = unix ? unix : "";
  if (unix) HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// Points the process's temporary folder somewhere else for one test, or (without a folder)
// removes TMP and TEMP, so that the system falls back to the profile folder.
class TempPathOverride {
 public:
  explicit TempPathOverride(const std::optional<fs::path>& folder) {
    GetEnvironmentVariableW(L"TMP", oldTmp_, MAX_PATH);
    GetEnvironmentVariableW(L"TEMP", oldTemp_, MAX_PATH);
    const std::wstring value = folder ? folder->wstring() : std::wstring();
    SetEnvironmentVariableW(L"TMP", folder ? value.c_str() : nullptr);
    SetEnvironmentVariableW(L"TEMP", folder ? value.c_str() : nullptr);
  }
  ~TempPathOverride() {
    SetEnvironmentVariableW(L"TMP", oldTmp_);
    SetEnvironmentVariableW(L"TEMP", oldTemp_);
  }

 private:
  wchar_t oldTmp_[MAX_PATH] = {};
  wchar_t oldTemp_[MAX_PATH] = {};
};

TEST(ClearTempFolder, RemovesFilesAndFoldersButNotDotFoldersOrWhatLinksPointTo) {
  test::TempFolder root;
  const fs::path temp = root.Path() / "temp";
  const fs::path outside = root.Path() / "outside";
  Touch(temp / "readonly.txt", FILE_ATTRIBUTE_READONLY);
  Touch(temp / "hidden.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  Touch(temp / ".cache" / "kept.txt");
  Touch(temp / "nested" / "deeper" / "gone.txt", FILE_ATTRIBUTE_READONLY);
  Touch(outside / "precious.txt");
  const std::string command = "/bin/ln -s " + UnixPath(outside) + " " + UnixPath(temp) + "/link";
  ASSERT_EQ(RunHostCommand(command), 0u) << command;
  // A host program runs beside Wine's process handle: wait for its work.
  for (int i = 0; i < 250 && !Exists(temp / "link"); ++i) Sleep(20);
  ASSERT_TRUE(Exists(temp / "link" / "precious.txt")) << "the link leads outside: " << command;

  {
    TempPathOverride override(temp);
    test::FakeMessageBoxes boxes;
    Win32CleanupTasks(boxes).ClearTempFolder();
  }
  EXPECT_FALSE(Exists(temp / "readonly.txt"));
  EXPECT_FALSE(Exists(temp / "hidden.txt"));
  EXPECT_TRUE(Exists(temp / ".cache" / "kept.txt"));
  EXPECT_FALSE(Exists(temp / "nested"));
  EXPECT_TRUE(Exists(outside / "precious.txt")) << "the walk never enters a linked folder";
  // Wine 8 opens a host symbolic link only as the folder it points to, so no Win32 call can
  // remove the link itself there and it stays; Windows removes it. What must hold everywhere
  // is asserted above: the target's files stay.
  EXPECT_TRUE(Exists(temp)) << "the temporary folder itself stays";
}

// A temporary folder reached through a link is not its own final path: the walk, which may run
// with more rights than whoever made the link, leaves it alone rather than follow it.
TEST(ClearTempFolder, ATemporaryFolderReachedThroughALinkIsLeftAlone) {
  test::TempFolder root;
  Touch(root.Path() / "real" / "temp" / "kept.txt");
  const std::string command =
      "/bin/ln -s " + UnixPath(root.Path() / "real") + " " + UnixPath(root.Path()) + "/via";
  ASSERT_EQ(RunHostCommand(command), 0u) << command;
  for (int i = 0; i < 250 && !Exists(root.Path() / "via"); ++i) Sleep(20);
  ASSERT_TRUE(Exists(root.Path() / "via" / "temp" / "kept.txt"));
  {
    TempPathOverride override(root.Path() / "via" / "temp");
    test::FakeMessageBoxes boxes;
    Win32CleanupTasks(boxes).ClearTempFolder();
  }
  EXPECT_TRUE(Exists(root.Path() / "real" / "temp" / "kept.txt"));
  RunHostCommand("/bin/rm " + UnixPath(root.Path()) + "/via");
  for (int i = 0; i < 250 && Exists(root.Path() / "via"); ++i) Sleep(20);
}

// Opened through their parents, folders know no path limit: a tree planted thousands of levels
// deep must not run the walk out of stack. The walk stops 64 levels down and leaves the rest.
TEST(ClearTempFolder, AFolderTreeTooDeepIsClearedOnlyToItsLimit) {
  test::TempFolder root;
  fs::path deep = root.Path() / "temp";
  for (int level = 1; level <= 66; ++level) deep /= "d";
  Touch(deep / "bottom.txt");
  Touch(root.Path() / "temp" / "d" / "top.txt");
  {
    TempPathOverride override(root.Path() / "temp");
    test::FakeMessageBoxes boxes;
    Win32CleanupTasks(boxes).ClearTempFolder();
  }
  EXPECT_FALSE(Exists(root.Path() / "temp" / "d" / "top.txt"));
  EXPECT_TRUE(Exists(deep / "bottom.txt")) << "below the limit, left as it is";
}

// "\u0141" is outside the Western code page, which holds it as "?" (a wildcard) or as the "L"
// it resembles: each of those forms names a neighbour that must stay.
TEST(ClearTempFolder, ANameOutsideTheCodePageIsClearedAndItsLookalikesAreNot) {
  test::TempFolder root;
  const fs::path temp = root.Path() / L"\u0141ukasz";
  Touch(temp / "a.txt");
  Touch(temp / L"\u0141.txt");
  Touch(temp / L"\u0141 folder" / "inner.txt");
  for (const wchar_t* lookalike : {L"Lukasz", L"Xukasz"}) {
    Touch(root.Path() / lookalike / "a.txt");
    Touch(root.Path() / lookalike / "L.txt");
  }
  ASSERT_TRUE(Exists(temp / L"\u0141.txt"));

  {
    TempPathOverride override(temp);
    test::FakeMessageBoxes boxes;
    Win32CleanupTasks(boxes).ClearTempFolder();
  }
  EXPECT_TRUE(Exists(temp)) << "the temporary folder itself stays";
  EXPECT_TRUE(fs::is_empty(temp)) << "every entry of the folder goes, whatever its name";
  for (const wchar_t* lookalike : {L"Lukasz", L"Xukasz"}) {
    EXPECT_TRUE(Exists(root.Path() / lookalike / "a.txt")) << "a lookalike folder stays";
    EXPECT_TRUE(Exists(root.Path() / lookalike / "L.txt"));
  }
}

TEST(ClearTempFolder, WithoutTmpAndTempTheProfileFolderIsLeftAlone) {
  char profile[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, 0, profile)));
  const fs::path keep = fs::path(profile) / "halcyra-profile-file.txt";
  Touch(keep);
  {
    TempPathOverride override(std::nullopt);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    char longTemp[MAX_PATH] = {};
    GetLongPathNameA(temp, longTemp, MAX_PATH);
    ASSERT_EQ(fs::path(longTemp), fs::path(profile) / "")
        << "the system's fallback is the profile folder";
    test::FakeMessageBoxes boxes;
    Win32CleanupTasks(boxes).ClearTempFolder();
  }
  EXPECT_TRUE(Exists(keep)) << "a user's file in the profile folder survives";
  DeleteFileA(keep.string().c_str());
}

TEST(ClearTypedURLs, DeletesTheValuesAndKeepsTheKey) {
  const char* path = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  for (const char* name : {"url1", "url2", "url3"})
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("http://example.org"), 19);
  RegCloseKey(key);

  test::FakeMessageBoxes boxes;
  Win32CleanupTasks(boxes).ClearTypedURLs();

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD values = 99;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(values, 0u);
  EXPECT_TRUE(boxes.shown.empty());
}

// An entry of the Internet cache, as the browser leaves one; true when it was stored.
bool CacheEntry(const std::string& url, DWORD type) {
  char file[MAX_PATH] = {};
  if (!CreateUrlCacheEntryA(url.c_str(), 0, "txt", file, 0)) return false;
  std::ofstream(file) << "x";
  return CommitUrlCacheEntryA(url.c_str(), file, {}, {}, type, nullptr, 0, "txt", nullptr);
}

bool InCache(const std::string& url) {
  DWORD size = 0;
  GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
  return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

TEST(ClearInternetCache, ContentAndCookiesAreClearedEachByItsOwnTask) {
  const std::string page = "http://halcyra.test/page.html";
  const std::string cookie = "Cookie:user@halcyra.test/";
  ASSERT_TRUE(CacheEntry(page, NORMAL_CACHE_ENTRY));
  ASSERT_TRUE(CacheEntry(cookie, COOKIE_CACHE_ENTRY));
  ASSERT_TRUE(InCache(page));
  ASSERT_TRUE(InCache(cookie));

  test::FakeMessageBoxes boxes;
  Win32CleanupTasks(boxes).ClearIECache();
  EXPECT_FALSE(InCache(page));
  EXPECT_TRUE(InCache(cookie)) << "the cache task keeps the cookies";

  ASSERT_TRUE(CacheEntry(page, NORMAL_CACHE_ENTRY));
  Win32CleanupTasks(boxes).ClearIECookies();
  EXPECT_FALSE(InCache(cookie));
  EXPECT_TRUE(InCache(page)) << "the cookie task keeps the content";
  DeleteUrlCacheEntryA(page.c_str());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(TerminateProcessesByName, EndsTheBrowserInAnyLetterCase) {
  test::TempFolder folder;
  const fs::path copy = folder.Path() / "IEXPLORE.EXE";
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_TRUE(
      CopyFileA((std::string(system) + "\\notepad.exe").c_str(), copy.string().c_str(), FALSE));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  std::string line = "\"" + copy.string() + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info));
  UniqueHandle process(info.hProcess);
  CloseHandle(info.hThread);
  WaitForInputIdle(process.Get(), 5000);

  EXPECT_FALSE(TerminateProcessesByName("no-such-program.exe"));
  EXPECT_TRUE(TerminateProcessesByName("iexplore.exe"));
  EXPECT_EQ(WaitForSingleObject(process.Get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(ClearRecentDocuments, RemovesOnlyShortcutsDirectlyInTheFolder) {
  test::TempFolder recent;
  Touch(recent.Path() / "a.lnk");
  Touch(recent.Path() / "B.LNK");
  Touch(recent.Path() / "notes.txt");
  Touch(recent.Path() / "sub" / "c.lnk");
  const char* path = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  char old[MAX_PATH] = {};
  DWORD oldSize = sizeof old;
  const bool hadOld = RegQueryValueExA(key, "Recent", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(old), &oldSize) == ERROR_SUCCESS;
  const std::string folder = recent.Path().string() + "\\";
  RegSetValueExA(key, "Recent", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                 static_cast<DWORD>(folder.size() + 1));

  test::FakeMessageBoxes boxes;
  Win32CleanupTasks(boxes).ClearRecentDocuments();

  if (hadOld) RegSetValueExA(key, "Recent", 0, REG_SZ, reinterpret_cast<BYTE*>(old), oldSize);
  RegCloseKey(key);
  EXPECT_FALSE(Exists(recent.Path() / "a.lnk"));
  EXPECT_TRUE(Exists(recent.Path() / "notes.txt"));
  EXPECT_TRUE(Exists(recent.Path() / "sub" / "c.lnk"));
  EXPECT_FALSE(Exists(recent.Path() / "B.LNK")) << "the pattern matches in any letter case";
}

TEST(Win32AudioMixer, WithoutADeviceReadsZeroAndSetsNothing) {
  Win32AudioMixer mixer;
  EXPECT_EQ(mixer.DeviceCount(), 0u) << "the test prefix has no audio driver";
  EXPECT_EQ(mixer.GetMasterVolume(), 0);
  mixer.SetMasterVolume(40000);
  EXPECT_EQ(mixer.GetMasterVolume(), 0);
}

// Run only where the test run gives Wine an audio driver with an ALSA null device.
TEST(Win32AudioMixerWithDevice, TheMasterVolumeCanBeSetAndReadBack) {
  Win32AudioMixer mixer;
  ASSERT_GT(mixer.DeviceCount(), 0u);
  const std::uint16_t before = mixer.GetMasterVolume();
  mixer.SetMasterVolume(0x4000);
  EXPECT_EQ(mixer.GetMasterVolume(), 0x4000);
  mixer.SetMasterVolume(65280);
  EXPECT_EQ(mixer.GetMasterVolume(), 65280);
  mixer.SetMasterVolume(before);
}

}  // namespace
}  // namespace halcyra
