#include "platform/win32/folder_walk_win.h"

#include <windows.h>

#include <winternl.h>

#include <optional>
#include <vector>

#include "platform/win32/handle_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

constexpr ULONG kOpenAsItself = 0x00200000;   // FILE_OPEN_REPARSE_POINT
constexpr ULONG kOpenForBackup = 0x00004000;  // FILE_OPEN_FOR_BACKUP_INTENT
constexpr ULONG kSynchronousIo = 0x00000020;  // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG kOpenExisting = 0x00000001;   // FILE_OPEN
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Enough to remove an entry: reading a file's contents is not asked for, so a file another
// program holds open for itself can still be marked for removal.
constexpr DWORD kRemoveAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;

bool SamePath(const std::string& a, const std::string& b) {
  const std::wstring wideA = Wide(a);
  const std::wstring wideB = Wide(b);
  return CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                              static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

// Opens the entry of that name inside the folder the handle holds, as itself: a link is opened
// as the link, and a folder swapped above the entry meanwhile changes nothing, because no path
// is walked again.
UniqueHandle OpenEntry(HANDLE parent, const std::wstring& name, DWORD access) {
  UNICODE_STRING objectName;
  objectName.Buffer = const_cast<PWSTR>(name.c_str());
  objectName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  objectName.MaximumLength = objectName.Length;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, parent, nullptr);
  IO_STATUS_BLOCK status{};
  HANDLE entry = nullptr;
  if (!NT_SUCCESS(NtCreateFile(&entry, access, &attributes, &status, nullptr, 0, kShareAll,
                               kOpenExisting, kOpenAsItself | kOpenForBackup | kSynchronousIo,
                               nullptr, 0)))
    return UniqueHandle();
  return UniqueHandle(entry);
}

struct Entry {
  std::wstring name;
  DWORD attributes = 0;
};

// Every entry of the folder the handle holds, read before anything is removed so that the
// listing does not shift under the removals.
std::vector<Entry> EntriesOf(HANDLE folder) {
  std::vector<Entry> entries;
  alignas(8) BYTE buffer[64 * 1024];
  FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(folder, request, buffer, sizeof buffer)) {
    request = FileIdBothDirectoryInfo;
    for (BYTE* at = buffer;;) {
      const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
      std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") entries.push_back({std::move(name), info->FileAttributes});
      if (info->NextEntryOffset == 0) break;
      at += info->NextEntryOffset;
    }
  }
  return entries;
}

// Marks the opened entry for removal once its last handle closes; a read-only or system mark
// that would refuse it is cleared first.
void RemoveOpened(HANDLE entry) {
  FILE_BASIC_INFO basic{};
  basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic);
  FILE_DISPOSITION_INFO disposition{TRUE};
  SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition);
}

// Folders nested deeper than this are left as they are: opened through their parents, they
// know no path limit, and a tree planted a few thousand folders deep would otherwise run the
// walk out of stack.
constexpr int kDeepestFolder = 64;

void ClearOpened(HANDLE folder, const std::string& folderPath, int depth);

// One entry of a folder being emptied. A link is removed as itself and never entered; a folder
// is entered only where its final path is where the walk stands, which also holds back a link
// that a system opens as its target.
void ClearEntry(HANDLE parent, const std::string& parentPath, const Entry& listed, int depth) {
  const bool isFolder = listed.attributes & FILE_ATTRIBUTE_DIRECTORY;
  if (isFolder && listed.name.front() == L'.') return;
  // Listing is asked for only where the listing showed a folder; an entry swapped for a folder
  // since then cannot be listed, so it is not emptied and, not being empty, stays.
  const bool listable = isFolder && !(listed.attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  UniqueHandle entry =
      OpenEntry(parent, listed.name, kRemoveAccess | (listable ? FILE_LIST_DIRECTORY : 0));
  if (!entry) return;
  FILE_ATTRIBUTE_TAG_INFO opened{};
  if (!GetFileInformationByHandleEx(entry.Get(), FileAttributeTagInfo, &opened, sizeof opened))
    return;
  if (opened.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    RemoveOpened(entry.Get());
    return;
  }
  if (!(opened.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    RemoveOpened(entry.Get());
    return;
  }
  const std::string path = parentPath + "\\" + Utf8(listed.name);
  const std::optional<std::string> reached = FinalPath(entry.Get());
  if (!reached || !SamePath(*reached, path)) return;
  if (depth >= kDeepestFolder) return;
  ClearOpened(entry.Get(), path, depth + 1);
  RemoveOpened(entry.Get());
}

void ClearOpened(HANDLE folder, const std::string& folderPath, int depth) {
  for (const Entry& entry : EntriesOf(folder)) ClearEntry(folder, folderPath, entry, depth);
}

}  // namespace

void ClearFolderContents(const std::string& folder) {
  UniqueHandle root(CreateFileW(
      Wide(folder).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!root) return;
  FILE_ATTRIBUTE_TAG_INFO opened{};
  if (!GetFileInformationByHandleEx(root.Get(), FileAttributeTagInfo, &opened, sizeof opened) ||
      (opened.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      !(opened.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return;
  const std::optional<std::string> reached = FinalPath(root.Get());
  if (!reached || !SamePath(*reached, folder)) return;
  ClearOpened(root.Get(), *reached, 1);
}

}  // namespace halcyra
