#include "core/drive_path.h"

namespace halcyra {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool IsLocalDrivePath(std::string_view path, const std::function<bool(char)>& isNetworkDrive) {
  if (path.substr(0, 4) == "\\\\?\\") path.remove_prefix(4);
  if (path.size() < 4 || !IsLetter(path[0]) || path[1] != ':' || !IsSeparator(path[2]))
    return false;
  return !isNetworkDrive(path[0]);
}

}  // namespace halcyra
