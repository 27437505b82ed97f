#include "platform/win32/win32_system_services_win.h"

#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "core/drive_path.h"
#include "core/sound_path.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/shutdown_privilege_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {

void Win32ShutdownPrivilege::EnableShutdownPrivilege() { EnableShutdownPrivilegeOfProcess(); }

namespace {

// A drive whose kind is not known (no root) counts as remote: it cannot hold a local file.
bool IsNetworkDrive(char drive) {
  const wchar_t root[] = {static_cast<wchar_t>(drive), L':', L'\\', L'\0'};
  const UINT kind = GetDriveTypeW(root);
  return kind == DRIVE_REMOTE || kind == DRIVE_UNKNOWN || kind == DRIVE_NO_ROOT_DIR;
}

// One component's reparse tag, 0 for a plain object: from its folder's entry, which is read
// without following anything, and from the object opened as itself. A reparse point whose tag
// is not given (Wine shows a host's link so) cannot be told apart from a link: unknown.
std::optional<std::uint32_t> ReparseTagOfComponent(const std::string& component) {
  const std::wstring path = Wide(component);
  // A search pattern would find other entries than this one.
  if (path.find_first_of(L"*?") != std::wstring::npos) return std::nullopt;
  WIN32_FIND_DATAW entry{};
  const UniqueFind found(FindFirstFileW(path.c_str(), &entry));
  if (!found) return std::nullopt;
  if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return entry.dwReserved0 ? std::optional<std::uint32_t>(entry.dwReserved0) : std::nullopt;
  const UniqueHandle handle(CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!handle ||
      !GetFileInformationByHandleEx(handle.Get(), FileAttributeTagInfo, &info, sizeof info))
    return std::nullopt;
  if (!(info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return 0;
  return info.ReparseTag ? std::optional<std::uint32_t>(info.ReparseTag) : std::nullopt;
}

// The sound file opened once for reading, with its size, when it may be played. The walk may be
// raced: the last component is opened as itself, so that a link put there after the walk is not
// followed, and read through that very handle; the final path of the folders before it must
// still be local.
UniqueHandle OpenSoundFile(const std::string& path, std::uint64_t& size) {
  if (!IsLocalDrivePath(path, &IsNetworkDrive) ||
      !ReachedWithoutLinks(path, &ReparseTagOfComponent))
    return UniqueHandle();
  const UniqueHandle itself(CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!itself ||
      !GetFileInformationByHandleEx(itself.Get(), FileAttributeTagInfo, &tag, sizeof tag) ||
      ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
       (tag.ReparseTag == 0 || IsNameSurrogate(tag.ReparseTag))))
    return UniqueHandle();
  UniqueHandle file(
      ReOpenFile(itself.Get(), GENERIC_READ, FILE_SHARE_READ, FILE_FLAG_SEQUENTIAL_SCAN));
  BY_HANDLE_FILE_INFORMATION info{};
  const std::optional<std::string> final = file ? FinalPath(file.Get()) : std::nullopt;
  if (!final || !GetFileInformationByHandle(file.Get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !IsLocalDrivePath(*final, &IsNetworkDrive))
    return UniqueHandle();
  size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (size > kSoundFileLimit) return UniqueHandle();
  return file;
}

}  // namespace

bool Win32SoundPlayer::Playable(const std::string& path) const {
  std::uint64_t size = 0;
  return static_cast<bool>(OpenSoundFile(path, size));
}

std::optional<SoundBytes> Win32SoundPlayer::Load(const std::string& path) const {
  std::uint64_t size = 0;
  const UniqueHandle file = OpenSoundFile(path, size);
  if (!file) return std::nullopt;
  SoundBytes sound(static_cast<std::size_t>(size));
  DWORD read = 0;
  if (size != 0 && (!ReadFile(file.Get(), sound.data(), static_cast<DWORD>(size), &read, nullptr) ||
                    read != size))
    return std::nullopt;
  return sound;
}

void Win32SoundPlayer::Play(SoundBytes sound, unsigned flags) {
  // The bytes being played go only once nothing plays them any more.
  PlaySoundW(nullptr, nullptr, 0);
  playing_ = std::move(sound);
  // Memory and nothing else: no sound alias, no file by name, no default sound in its place.
  PlaySoundW(reinterpret_cast<const wchar_t*>(playing_.data()), nullptr,
             flags | SND_MEMORY | SND_NODEFAULT);
}

void Win32SoundPlayer::Stop(unsigned flags) {
  PlaySoundW(nullptr, nullptr, flags);
  playing_.clear();
}

std::optional<std::string> Win32FileDialogs::OpenFile(const std::string& title,
                                                      const std::string& filter) {
  // "description|pattern" becomes "description\0pattern\0\0".
  std::wstring filters = Wide(filter);
  for (wchar_t& c : filters)
    if (c == L'|') c = L'\0';
  filters.push_back(L'\0');
  filters.push_back(L'\0');
  const std::wstring caption = Wide(title);
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filters.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = caption.c_str();
  // The dialog leaves the process's current folder where it was.
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!library_) library_.emplace(L"comdlg32.dll");
  const auto open = library_->Function<decltype(GetOpenFileNameW)>("GetOpenFileNameW");
  if (!open || !open(&dialog)) return std::nullopt;
  return Utf8(file);
}

void Win32Shell::Execute(const std::string& verb, const std::string& file,
                         const std::string& directory, int show) {
  const std::wstring wideVerb = Wide(verb);
  ShellExecuteW(owner_, verb.empty() ? nullptr : wideVerb.c_str(), Wide(file).c_str(), nullptr,
                Wide(directory).c_str(), show);
}

void Win32Shell::OpenHelpPage(const std::string& helpFile, const std::string& page) {
  // The viewer of the Windows folder by its full path, never one found on the search path.
  wchar_t windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring viewer = std::wstring(windows, length) + L"\\hh.exe";
  const std::wstring topic = L"\"" + Wide(helpFile + "::/" + page) + L"\"";
  ShellExecuteW(owner_, L"open", viewer.c_str(), topic.c_str(), nullptr, kShowNormal);
}

bool Win32TextFiles::Exists(const std::string& path) const {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32TextFiles::CreateEmpty(const std::string& path) {
  UniqueHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

bool Win32TextFiles::Append(const std::string& path, const std::string& text) {
  // Appending alone, which is all a read-only lock leaves users on the log; every write of such
  // a handle goes to the end.
  UniqueHandle file(CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

int Win32TextFiles::Rewrite(const std::string& path) {
  UniqueHandle file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file ? 0 : static_cast<int>(GetLastError());
}

std::uint16_t Win32HotkeyRegistry::AddAtom(const std::string& name) {
  return GlobalAddAtomW(Wide(name).c_str());
}

void Win32HotkeyRegistry::DeleteAtom(std::uint16_t atom) { GlobalDeleteAtom(atom); }

bool Win32HotkeyRegistry::Register(int id, unsigned modifiers, unsigned virtualKey) {
  return RegisterHotKey(window_, id, modifiers, virtualKey) != FALSE;
}

void Win32HotkeyRegistry::Unregister(int id) { UnregisterHotKey(window_, id); }

}  // namespace halcyra
