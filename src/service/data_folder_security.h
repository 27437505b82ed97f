// Who may do what in the shared data folder. The folder is read by a service and written by every
// user's tray program, so users may change the data of the two shared files but never create,
// delete, rename or link anything there: a user who could would replace a file, or the folder,
// with a link that the service's writes then follow.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

// Who may change the shared files: every user (the default), or administrators only, for a
// machine whose users must not change each other's timers, clean-up tasks or password; users
// then read the settings and append to the log.
enum class SharedSettings { Writable, ReadOnly };

// Rights of files and folders as Windows defines them.
namespace file_rights {
inline constexpr std::uint32_t kReadData = 0x1;    // a folder: list it
inline constexpr std::uint32_t kWriteData = 0x2;   // a folder: create files in it
inline constexpr std::uint32_t kAppendData = 0x4;  // a folder: create folders in it
inline constexpr std::uint32_t kReadEa = 0x8;
inline constexpr std::uint32_t kWriteEa = 0x10;
inline constexpr std::uint32_t kExecute = 0x20;  // a folder: pass through it
inline constexpr std::uint32_t kDeleteChild = 0x40;
inline constexpr std::uint32_t kReadAttributes = 0x80;
inline constexpr std::uint32_t kWriteAttributes = 0x100;
inline constexpr std::uint32_t kDelete = 0x10000;
inline constexpr std::uint32_t kReadControl = 0x20000;
inline constexpr std::uint32_t kWriteDac = 0x40000;
inline constexpr std::uint32_t kWriteOwner = 0x80000;
inline constexpr std::uint32_t kSynchronize = 0x100000;
inline constexpr std::uint32_t kGenericAll = 0x10000000;
inline constexpr std::uint32_t kGenericWrite = 0x40000000;
inline constexpr std::uint32_t kAll = 0x1F01FF;
inline constexpr std::uint32_t kRead =
    kReadControl | kReadData | kReadAttributes | kReadEa | kSynchronize;
inline constexpr std::uint32_t kWrite =
    kReadControl | kWriteData | kWriteAttributes | kWriteEa | kAppendData | kSynchronize;
inline constexpr std::uint32_t kTraverse = kReadControl | kReadAttributes | kExecute | kSynchronize;
inline constexpr std::uint32_t kModify = kRead | kWrite | kTraverse | kDelete;
}  // namespace file_rights

// Well-known accounts by their SID strings.
namespace accounts {
inline constexpr const char* kSystem = "S-1-5-18";
inline constexpr const char* kAdministrators = "S-1-5-32-544";
inline constexpr const char* kUsers = "S-1-5-32-545";
inline constexpr const char* kTrustedInstaller =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
}  // namespace accounts

struct AccessEntry {
  std::string trustee;  // a SID string
  std::uint32_t rights = 0;
  // Passed on to the files and folders created inside (object and container inherit).
  bool inheritable = false;
  bool operator==(const AccessEntry&) const = default;
};

struct SecurityModel {
  std::string owner;  // a SID string
  // Takes nothing from the folder above: ProgramData lets users create files in its folders.
  bool protectedDacl = true;
  std::vector<AccessEntry> entries;

  // The descriptor in the security descriptor definition language, as Windows converts it.
  std::string Sddl() const;
};

// The data folder: the system, administrators and the service's own SID may change it; users
// may only list it and pass through.
SecurityModel DataFolderSecurity(const std::string& serviceSid);
enum class SharedFile { Settings, Log };
// The settings file and the log: the folder's entries plus users reading and writing the data
// (read only: reading, and appending to the log), never deleting, renaming or changing the
// rights of the file.
SecurityModel SharedFileSecurity(const std::string& serviceSid, SharedFile file,
                                 SharedSettings mode);

}  // namespace halcyra
