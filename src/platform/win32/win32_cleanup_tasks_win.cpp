#include "platform/win32/win32_cleanup_tasks_win.h"

#include <knownfolders.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <urlhist.h>
#include <wininet.h>

#include <memory>
#include <vector>

#include "core/text.h"
#include "platform/temp_folder_guard.h"
#include "platform/win32/folder_walk_win.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/loaded_library_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

constexpr DWORD kCookieEntry = 0x00100000;  // COOKIE_CACHE_ENTRY

class RegistryKey {
 public:
  // Opens an existing key of the current user; never creates one.
  RegistryKey(const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, access, &key) == ERROR_SUCCESS) key_.Reset(key);
  }
  HKEY Get() const { return key_.Get(); }

 private:
  UniqueRegistryKey key_;
};

// The folders that a temporary-folder clean-up must never be, nor be above: the Windows and
// system folders, the profile and the shell's folders of the user's files and programs.
std::vector<std::string> ProtectedFolders() {
  std::vector<std::string> folders;
  wchar_t path[MAX_PATH];
  if (GetWindowsDirectoryW(path, MAX_PATH)) folders.push_back(Utf8(path));
  if (GetSystemDirectoryW(path, MAX_PATH)) folders.push_back(Utf8(path));
  for (const int csidl :
       {CSIDL_PROFILE, CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY, CSIDL_MYPICTURES, CSIDL_MYMUSIC,
        CSIDL_MYVIDEO, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA,
        CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS, CSIDL_PROGRAM_FILES,
        CSIDL_PROGRAM_FILESX86, CSIDL_WINDOWS, CSIDL_SYSTEM}) {
    if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
      folders.push_back(Utf8(path));
  }
  PWSTR known = nullptr;
  const HRESULT found = SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &known);
  // Given back also when the call fails, as the shell asks.
  const UniqueCoTaskMem<PWSTR> downloads(known);
  if (SUCCEEDED(found)) folders.push_back(Utf8(downloads.Get()));
  return folders;
}

// The URL cache walk: deletes the cookie entries, or every entry but the cookies. Windows lists
// the cookies only for the search pattern "cookie:"; without a pattern it lists the content
// entries alone. The pattern is spelled as the cookie entries' names begin: Windows compares it
// without regard to case (its documented "cookie:" finds entries named "Cookie:..."), Wine
// with it.
void ClearUrlCache(bool cookies) {
  const LoadedLibrary wininet(L"wininet.dll");
  const auto findFirst =
      wininet.Function<decltype(FindFirstUrlCacheEntryW)>("FindFirstUrlCacheEntryW");
  const auto findNext =
      wininet.Function<decltype(FindNextUrlCacheEntryW)>("FindNextUrlCacheEntryW");
  const auto findClose = wininet.Function<decltype(FindCloseUrlCache)>("FindCloseUrlCache");
  const auto remove = wininet.Function<decltype(DeleteUrlCacheEntryW)>("DeleteUrlCacheEntryW");
  if (!findFirst || !findNext || !findClose || !remove) return;
  const wchar_t* pattern = cookies ? L"Cookie:" : nullptr;
  const auto passes = [cookies](const INTERNET_CACHE_ENTRY_INFOW* entry) {
    return ((entry->CacheEntryType & kCookieEntry) != 0) == cookies;
  };
  DWORD size = 0;
  findFirst(pattern, nullptr, &size);
  if (size == 0) return;
  std::vector<char> buffer(size);
  auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
  HANDLE search = findFirst(pattern, entry, &size);
  if (!search) return;
  if (passes(entry)) remove(entry->lpszSourceUrlName);
  for (;;) {
    size = 0;
    findNext(search, nullptr, &size);
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) break;  // no more items, or a failure
    std::vector<char> next(size);
    auto* nextEntry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(next.data());
    if (findNext(search, nextEntry, &size) && passes(nextEntry))
      remove(nextEntry->lpszSourceUrlName);
  }
  findClose(search);
}

// The browser's history object.
const CLSID kUrlHistory = {
    0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};

}  // namespace

bool TerminateProcessesByName(const std::string& exeName) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  const std::string wanted = UpperAscii(exeName);
  bool result = false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    const std::string exe = UpperAscii(Utf8(entry.szExeFile));
    const std::size_t cut = exe.find_last_of("\\:");
    const std::string fileName = cut == std::string::npos ? exe : exe.substr(cut + 1);
    if (fileName != wanted && exe != wanted) continue;
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
    result = process && TerminateProcess(process.Get(), 0);
  }
  return result;
}

void Win32CleanupTasks::EmptyRecycleBin() {
  // From the system folder only, released when the task is done.
  const LoadedLibrary shell(L"Shell32.dll");
  if (!shell) {
    boxes_.Show("Failed to load Shell32.dll.", "Error", mb::kOk | mb::kIconError);
    return;
  }
  using EmptyBin = HRESULT WINAPI(HWND, LPCWSTR, DWORD);
  if (auto* const empty = shell.Function<EmptyBin>("SHEmptyRecycleBinW"))
    empty(owner_, L"", SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

void Win32CleanupTasks::ClearTempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  if (!GetTempPathW(MAX_PATH + 1, buffer)) return;
  // Compared in its full, long form: "C:\Users\ADMINI~1" is the profile all the same.
  wchar_t full[MAX_PATH] = {};
  if (!GetFullPathNameW(buffer, MAX_PATH, full, nullptr)) return;
  wchar_t longForm[MAX_PATH] = {};
  const std::string folder =
      WithoutTrailingBackslash(Utf8(GetLongPathNameW(full, longForm, MAX_PATH) ? longForm : full));
  if (!IsClearableTempFolder(folder, ProtectedFolders())) return;
  ClearFolderContents(folder);
}

void Win32CleanupTasks::ClearIECache() { ClearUrlCache(false); }

void Win32CleanupTasks::ClearIECookies() { ClearUrlCache(true); }

void Win32CleanupTasks::ClearIEHistory() {
  ComPtr<IUrlHistoryStg2> history;
  if (FAILED(CoCreateInstance(kUrlHistory, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IUrlHistoryStg2, history.Out())) ||
      !history)
    return;
  history->ClearHistory();
}

void Win32CleanupTasks::ClearTypedURLs() {
  TerminateProcessesByName("iexplore.exe");
  RegistryKey key(L"Software\\Microsoft\\Internet Explorer\\TypedURLs", KEY_READ | KEY_SET_VALUE);
  if (!key.Get()) return;
  std::vector<std::wstring> names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumValueW(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    names.emplace_back(name, length);
  }
  for (const std::wstring& name : names) RegDeleteValueW(key.Get(), name.c_str());
}

void Win32CleanupTasks::ClearRecentDocuments() {
  RegistryKey key(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                  KEY_READ);
  if (!key.Get()) return;
  wchar_t value[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH * sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.Get(), L"Recent", nullptr, &type, reinterpret_cast<BYTE*>(value),
                       &size) != ERROR_SUCCESS)
    return;
  const std::string folder = WithoutTrailingBackslash(Utf8(value));
  if (folder.empty()) return;
  WIN32_FIND_DATAW entry;
  UniqueFind search(FindFirstFileW(Wide(JoinPath(folder, "*.lnk")).c_str(), &entry));
  if (!search) return;
  do {
    DeleteFileW(Wide(JoinPath(folder, Utf8(entry.cFileName))).c_str());
  } while (FindNextFileW(search.Get(), &entry));
}

}  // namespace halcyra
