#include "platform/temp_folder_guard.h"

#include "core/text.h"

namespace halcyra {
namespace {

// Upper case, "/" as "\", no trailing backslash: paths compare as the file system does.
std::string Comparable(std::string_view path) {
  std::string out = UpperAscii(path);
  for (char& c : out)
    if (c == '/') c = '\\';
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

// "C:\..." or "\\server\share\..."; device paths ("\\?\", "\\.\") are no temporary folder.
bool IsFullPath(const std::string& path) {
  const bool drive = path.size() >= 2 && path[0] >= 'A' && path[0] <= 'Z' && path[1] == ':' &&
                     (path.size() == 2 || path[2] == '\\');
  const bool device = path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0;
  return drive || (path.rfind("\\\\", 0) == 0 && !device);
}

// "C:", "\\server" or "\\server\share".
bool IsRoot(const std::string& path) {
  if (path.size() == 2) return true;
  if (path.rfind("\\\\", 0) != 0) return false;
  std::size_t parts = 0;
  bool inPart = false;
  for (std::size_t i = 2; i < path.size(); ++i) {
    if (path[i] != '\\' && !inPart) ++parts;
    inPart = path[i] != '\\';
  }
  return parts <= 2;
}

// Whether `folder` is `other` or one of the folders above it.
bool IsSameOrAbove(const std::string& folder, const std::string& other) {
  return other == folder || other.rfind(folder + "\\", 0) == 0;
}

}  // namespace

bool IsClearableTempFolder(std::string_view folder,
                           const std::vector<std::string>& protectedFolders) {
  const std::string candidate = Comparable(TrimControl(folder));
  if (!IsFullPath(candidate) || IsRoot(candidate)) return false;
  for (const std::string& kept : protectedFolders) {
    const std::string other = Comparable(kept);
    if (!other.empty() && IsSameOrAbove(candidate, other)) return false;
  }
  return true;
}

}  // namespace halcyra
