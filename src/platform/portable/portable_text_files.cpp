#include "platform/portable/portable_text_files.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace halcyra {

bool PortableTextFiles::Exists(const std::string& path) const {
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

bool PortableTextFiles::CreateEmpty(const std::string& path) {
  return static_cast<bool>(
      std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc));
}

bool PortableTextFiles::Append(const std::string& path, const std::string& text) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::app);
  if (!out) return false;
  out << text;
  out.flush();
  return static_cast<bool>(out);
}

int PortableTextFiles::Rewrite(const std::string& path) {
  errno = 0;
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  return out ? 0 : (errno != 0 ? errno : 5);
}

}  // namespace halcyra
