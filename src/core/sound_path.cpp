#include "core/sound_path.h"

namespace halcyra {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::vector<std::string> PathComponents(const std::string& drivePath) {
  // After "X:\" or "\\?\X:\": the callers have checked that it is one of these.
  const std::size_t root = drivePath.rfind("\\\\?\\", 0) == 0 ? 7 : 3;
  std::vector<std::string> components;
  for (std::size_t i = root; i <= drivePath.size(); ++i) {
    const bool end = i == drivePath.size() || IsSeparator(drivePath[i]);
    if (end && i > root && !IsSeparator(drivePath[i - 1]))
      components.push_back(drivePath.substr(0, i));
  }
  return components;
}

bool ReachedWithoutLinks(const std::string& drivePath, const ReparseTagOf& tagOf) {
  const std::vector<std::string> components = PathComponents(drivePath);
  if (components.empty()) return false;
  for (const std::string& component : components) {
    const std::optional<std::uint32_t> tag = tagOf(component);
    if (!tag || IsNameSurrogate(*tag)) return false;
  }
  return true;
}

}  // namespace halcyra
