#include "service/data_folder_win.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <ntsecapi.h>

#include <cstdio>
#include <optional>

#include "app/paths.h"
#include "core/text.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/sid_text_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_service_host_win.h"
#include "service/aside_name.h"
#include "service/data_folder_security.h"
#include "service/file_trust.h"
#include "service/prepared_settings.h"
#include "service/trusted_accounts.h"

namespace halcyra {
namespace {

constexpr const char* kLogFileName = "Log.txt";
// Neither follows a link nor lets anyone rename or delete the object while it is held.
constexpr DWORD kNoFollow = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
constexpr DWORD kShareNoDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;

std::string Failure(const std::string& what, DWORD error) {
  return what + " (error " + std::to_string(error) + ").";
}

class Descriptor {
 public:
  explicit Descriptor(const SecurityModel& model) {
    PSECURITY_DESCRIPTOR made = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(model.Sddl()).c_str(),
                                                             SDDL_REVISION_1, &made, nullptr))
      descriptor_.Reset(made);
  }
  PSECURITY_DESCRIPTOR Get() const { return descriptor_.Get(); }

 private:
  UniqueLocal descriptor_;
};

UniqueHandle OpenNoFollow(const std::string& path, DWORD access) {
  return UniqueHandle(CreateFileW(Wide(path).c_str(), access, kShareNoDelete, nullptr,
                                  OPEN_EXISTING, kNoFollow, nullptr));
}

bool Absent(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

std::string OwnerOf(HANDLE handle) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                      nullptr, &descriptor) != ERROR_SUCCESS)
    return "";
  const UniqueLocal owned(descriptor);
  return SidText(owner);
}

// Why the folder behind the handle may not be taken over, or empty.
std::string DistrustOfFolder(HANDLE folder, const FileFacts& facts, const std::string& path,
                             const std::string& installingAccount) {
  if (std::string why = WhyNotPlain(facts, path, true); !why.empty()) return why;
  const std::string owner = OwnerOf(folder);
  if (!IsTrustedAccount(owner, installingAccount))
    return "\"" + path + "\" belongs to " + (owner.empty() ? "an unknown account" : owner);
  return "";
}

std::string Stamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  return text;
}

// A handle that leads elsewhere without showing a link was opened through one that the system
// followed although told not to (Wine does): renaming it would rename what the link leads to.
bool FollowedALink(const FileFacts& facts, const std::string& path) {
  return facts.found == FileFacts::Found::Yes && !facts.reparsePoint &&
         !EqualsIgnoreCase(facts.finalPath, path);
}

std::uint64_t RandomPart() {
  std::uint64_t value = 0;
  RtlGenRandom(&value, sizeof value);
  return value;
}

// Renames what is at `path`: Windows renames a link itself, never what it leads to.
std::string MoveAside(const std::string& path, const FileFacts& facts, const std::string& why,
                      FolderOutcome& outcome) {
  if (FollowedALink(facts, path))
    return why +
           "; this system follows the link even when told not to, so it is left alone: "
           "remove it and run the installation again.";
  DWORD error = ERROR_SUCCESS;
  const auto rename = [&](const std::string& aside) {
    if (MoveFileExW(Wide(path).c_str(), Wide(aside).c_str(), 0)) return RenameResult::Done;
    error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? RenameResult::NameTaken
                                                                       : RenameResult::Failed;
  };
  const std::optional<std::string> aside = RenameAside(path, Stamp(), RandomPart, rename);
  if (!aside) return Failure(why + "; it could not be moved aside", error);
  outcome.notes.push_back(why + ": it was moved aside to \"" + *aside + "\".");
  return "";
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return bytes.empty() ||
         (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
          written == bytes.size());
}

std::optional<std::string> ReadAll(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart > LONGLONG{kMaxPreparedSettingsBytes})
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size()))
    return std::nullopt;
  return bytes;
}

// A new file of the folder's own rights (no users' entry), in place of whatever had its name:
// deleting a name never follows it.
std::string WriteNewFile(const std::string& path, const std::string& bytes) {
  DeleteFileW(Wide(path).c_str());
  UniqueHandle file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | kNoFollow, nullptr));
  if (!file || !WriteAll(file.Get(), bytes))
    return Failure("\"" + path + "\" could not be written", GetLastError());
  return "";
}

// One shared file: kept with its bytes and given its rights, or made with them. `content`:
// what to write into it; an existing file's bytes change only when `overwrite` is set, after
// they were kept in `backup` when that names a file.
std::string PrepareSharedFile(const std::string& path, const Descriptor& rights,
                              const std::optional<std::string>& content, bool overwrite,
                              const std::string& backup, FolderOutcome& outcome) {
  const DWORD access = READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES |
                       (content && overwrite ? GENERIC_READ | GENERIC_WRITE : 0);
  UniqueHandle file = OpenNoFollow(path, access);
  if (file) {
    const FileFacts facts = FactsOf(file.Get());
    if (const std::string why = WhyNotPlain(facts, path, false); !why.empty()) {
      file.Close();
      if (std::string problem = MoveAside(path, facts, why, outcome); !problem.empty())
        return problem;
    }
  } else if (!Absent(GetLastError())) {
    return Failure("\"" + path + "\" could not be opened", GetLastError());
  }
  if (!file) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, rights.Get(), FALSE};
    file = UniqueHandle(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &attributes,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL | kNoFollow, nullptr));
    if (!file) return Failure("\"" + path + "\" could not be created", GetLastError());
    if (content && !WriteAll(file.Get(), *content))
      return Failure("\"" + path + "\" could not be written", GetLastError());
    return "";
  }
  PSID owner = nullptr;
  PACL dacl = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  GetSecurityDescriptorOwner(rights.Get(), &owner, &defaulted);
  GetSecurityDescriptorDacl(rights.Get(), &present, &dacl, &defaulted);
  const DWORD error = SetSecurityInfo(
      file.Get(), SE_FILE_OBJECT,
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
      owner, nullptr, dacl, nullptr);
  if (error != ERROR_SUCCESS)
    return Failure("\"" + path + "\" could not be given its rights", error);
  if (content && overwrite) {
    if (!backup.empty()) {
      const std::optional<std::string> before = ReadAll(file.Get());
      if (!before) return Failure("\"" + path + "\" could not be read", GetLastError());
      if (std::string problem = WriteNewFile(backup, *before); !problem.empty()) return problem;
    }
    if (SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !SetEndOfFile(file.Get()) || !WriteAll(file.Get(), *content))
      return Failure("\"" + path + "\" could not be written", GetLastError());
  }
  return "";
}

// The folder itself, trusted or made anew, and held so that nobody renames it meanwhile.
UniqueHandle TrustedFolder(const std::string& folder, const Descriptor& rights,
                           const std::string& installingAccount, FolderOutcome& outcome) {
  // Attribute and control rights only: share modes lock none of them, so no handle another
  // user holds on the folder can make this open fail.
  const DWORD access = READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES;
  // Each round either takes the folder or removes one obstacle: made, or moved aside.
  for (int round = 0; round < 3; ++round) {
    UniqueHandle handle = OpenNoFollow(folder, access);
    if (!handle) {
      const DWORD error = GetLastError();
      // A folder that shuts administrators out was not made by an installation.
      if (error == ERROR_ACCESS_DENIED) {
        outcome.failure = MoveAside(folder, FileFacts{},
                                    "\"" + folder + "\" does not let administrators in", outcome);
        if (!outcome.failure.empty()) return {};
        continue;
      }
      if (!Absent(error)) {
        outcome.failure = Failure("The data folder \"" + folder + "\" could not be opened", error);
        return {};
      }
      SECURITY_ATTRIBUTES attributes{sizeof attributes, rights.Get(), FALSE};
      if (!CreateDirectoryW(Wide(folder).c_str(), &attributes) &&
          GetLastError() != ERROR_ALREADY_EXISTS) {
        outcome.failure =
            Failure("The data folder \"" + folder + "\" could not be created", GetLastError());
        return {};
      }
      continue;
    }
    const FileFacts facts = FactsOf(handle.Get());
    const std::string why = DistrustOfFolder(handle.Get(), facts, folder, installingAccount);
    if (why.empty()) return handle;
    handle.Close();
    outcome.failure = MoveAside(folder, facts, why, outcome);
    if (!outcome.failure.empty()) return {};
  }
  outcome.failure = "The data folder \"" + folder + "\" kept changing while it was prepared.";
  return {};
}

}  // namespace

std::optional<std::string> ReadPreparedSettings(const std::string& source, std::string& failure) {
  if (failure = PreparedPathRefusal(source); !failure.empty()) return std::nullopt;
  const std::string named = "The prepared settings file \"" + source + "\"";
  // Its own name is not followed: a link there would read what it leads to.
  UniqueHandle file(CreateFileW(Wide(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!file || !GetFileInformationByHandleEx(file.Get(), FileAttributeTagInfo, &tag, sizeof tag)) {
    failure = Failure(named + " could not be read", GetLastError());
    return std::nullopt;
  }
  // A system that follows the link although told not to (Wine does) shows no reparse point,
  // but the handle then ends in another name.
  const std::string finalPath = FinalPath(file.Get()).value_or("");
  const std::string_view name = std::string_view(source).substr(source.find_last_of("\\/") + 1);
  const bool otherName =
      !EqualsIgnoreCase(std::string_view(finalPath).substr(finalPath.find_last_of('\\') + 1), name);
  if (tag.FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY) || otherName) {
    failure = named + " is a link or a folder, not a file.";
    return std::nullopt;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) {
    failure = Failure(named + " could not be read", GetLastError());
    return std::nullopt;
  }
  if (size.QuadPart > LONGLONG{kMaxPreparedSettingsBytes}) {
    failure = named + " is larger than 1 MB, too large to be a settings file.";
    return std::nullopt;
  }
  std::optional<std::string> bytes = ReadAll(file.Get());
  if (!bytes) failure = Failure(named + " could not be read", GetLastError());
  return bytes;
}

FolderOutcome PrepareDataFolder(const std::string& folder, const PreparedSettings& prepared,
                                SharedSettings mode, const std::string& serviceSid,
                                const std::string& installingAccount) {
  FolderOutcome outcome;
  if (folder.empty()) {
    outcome.failure = "The shared data folder of this Windows version is not known.";
    return outcome;
  }
  const std::optional<std::string>& content = prepared.content;
  const Descriptor folderRights(DataFolderSecurity(serviceSid));
  const Descriptor settingsRights(SharedFileSecurity(serviceSid, SharedFile::Settings, mode));
  const Descriptor logRights(SharedFileSecurity(serviceSid, SharedFile::Log, mode));
  if (!folderRights.Get() || !settingsRights.Get() || !logRights.Get()) {
    outcome.failure = Failure("The rights of the data folder could not be built", GetLastError());
    return outcome;
  }
  const UniqueHandle handle = TrustedFolder(folder, folderRights, installingAccount, outcome);
  if (!handle) return outcome;
  // On the folder's own handle, and on it alone: SetSecurityInfo would also walk the files
  // already inside by name, and a folder that users could write may hold links among them.
  if (!SetKernelObjectSecurity(handle.Get(),
                               OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                   PROTECTED_DACL_SECURITY_INFORMATION,
                               folderRights.Get())) {
    outcome.failure =
        Failure("The data folder \"" + folder + "\" could not be given its rights", GetLastError());
    return outcome;
  }
  const std::string backup =
      prepared.backupName.empty() ? "" : JoinPath(folder, prepared.backupName);
  outcome.failure = PrepareSharedFile(JoinPath(folder, kSettingsFileName), settingsRights, content,
                                      prepared.overwrite, backup, outcome);
  if (outcome.failure.empty())
    outcome.failure = PrepareSharedFile(JoinPath(folder, kLogFileName), logRights, std::nullopt,
                                        false, "", outcome);
  return outcome;
}

std::string RestoreSettingsBackup(const std::string& folder, const std::string& backupName) {
  const std::string backupPath = JoinPath(folder, backupName);
  UniqueHandle backup = OpenNoFollow(backupPath, GENERIC_READ);
  if (!backup) return "";
  const std::string settingsPath = JoinPath(folder, kSettingsFileName);
  UniqueHandle settings = OpenNoFollow(settingsPath, GENERIC_READ | GENERIC_WRITE);
  for (const auto& [handle, path] :
       {std::pair{backup.Get(), backupPath}, std::pair{settings.Get(), settingsPath}}) {
    const std::string why =
        handle ? WhyNotPlain(FactsOf(handle), path, false) : "\"" + path + "\" could not be opened";
    if (!why.empty()) return why + "; the settings were not put back.";
  }
  const std::optional<std::string> bytes = ReadAll(backup.Get());
  if (!bytes ||
      SetFilePointer(settings.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !SetEndOfFile(settings.Get()) || !WriteAll(settings.Get(), *bytes))
    return Failure("The settings could not be put back from \"" + backupPath + "\"",
                   GetLastError());
  backup.Close();
  DeleteFileW(Wide(backupPath).c_str());
  return "";
}

void DropSettingsBackup(const std::string& folder, const std::string& backupName) {
  DeleteFileW(Wide(JoinPath(folder, backupName)).c_str());
}

}  // namespace halcyra
