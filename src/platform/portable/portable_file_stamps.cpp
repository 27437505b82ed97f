#include "platform/portable/portable_file_stamps.h"

#include <filesystem>

namespace halcyra {

std::optional<FileStamp> PortableFileStamps::Stamp(const std::string& path) const {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  const auto written = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  return FileStamp{size, static_cast<std::uint64_t>(written.time_since_epoch().count())};
}

}  // namespace halcyra
