#include "platform/win32/win32_system_services_win.h"

#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "core/drive_path.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/shutdown_privilege_win.h"
#include "platform/win32/wide_path_win.h"

namespace halcyra {

void Win32ShutdownPrivilege::EnableShutdownPrivilege() { EnableShutdownPrivilegeOfProcess(); }

void Win32SoundPlayer::Play(const std::string& name, unsigned flags) {
  // A file and nothing else: no sound alias of that name, no default sound in its place.
  PlaySoundW(WideText(name, CP_ACP).c_str(), nullptr, flags | SND_FILENAME | SND_NODEFAULT);
}

void Win32SoundPlayer::Stop(unsigned flags) { PlaySoundW(nullptr, nullptr, flags); }

bool Win32SoundPlayer::IsLocalFile(const std::string& path) const {
  // A drive whose kind is not known (no root) counts as remote: it cannot hold a local file.
  return IsLocalDrivePath(path, [](char drive) {
    const char root[] = {drive, ':', '\\', '\0'};
    const UINT kind = GetDriveTypeA(root);
    return kind == DRIVE_REMOTE || kind == DRIVE_UNKNOWN || kind == DRIVE_NO_ROOT_DIR;
  });
}

std::string Win32SoundPlayer::FilePath(const std::string& name) const {
  return PathFromCodePage(name);
}

std::optional<std::string> Win32FileDialogs::OpenFile(const std::string& title,
                                                      const std::string& filter) {
  // "description|pattern" becomes "description\0pattern\0\0".
  std::wstring filters = WideText(filter, CP_ACP);
  for (wchar_t& c : filters)
    if (c == L'|') c = L'\0';
  filters.push_back(L'\0');
  filters.push_back(L'\0');
  const std::wstring caption = WideText(title, CP_ACP);
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
  return NarrowText(file, CP_ACP);
}

void Win32Shell::Execute(const std::string& verb, const std::string& file,
                         const std::string& directory, int show) {
  const std::wstring wideVerb = WidePath(verb);
  ShellExecuteW(owner_, verb.empty() ? nullptr : wideVerb.c_str(), WidePath(file).c_str(), nullptr,
                WidePath(directory).c_str(), show);
}

bool Win32TextFiles::Exists(const std::string& path) const {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32TextFiles::CreateEmpty(const std::string& path) {
  UniqueHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  return static_cast<bool>(file);
}

bool Win32TextFiles::Append(const std::string& path, const std::string& text) {
  // Appending alone, which is all a read-only lock leaves users on the log; every write of such
  // a handle goes to the end.
  UniqueHandle file(CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

int Win32TextFiles::Rewrite(const std::string& path) {
  UniqueHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file ? 0 : static_cast<int>(GetLastError());
}

std::uint16_t Win32HotkeyRegistry::AddAtom(const std::string& name) {
  return GlobalAddAtomA(name.c_str());
}

void Win32HotkeyRegistry::DeleteAtom(std::uint16_t atom) { GlobalDeleteAtom(atom); }

bool Win32HotkeyRegistry::Register(int id, unsigned modifiers, unsigned virtualKey) {
  return RegisterHotKey(window_, id, modifiers, virtualKey) != FALSE;
}

void Win32HotkeyRegistry::Unregister(int id) { UnregisterHotKey(window_, id); }

}  // namespace halcyra
