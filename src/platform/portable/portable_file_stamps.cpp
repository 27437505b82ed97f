#include "platform/portable/portable_file_stamps.h"

#ifdef _WIN32
#include <filesystem>
#else
#include <sys/stat.h>
#endif

namespace halcyra {

std::optional<FileStamp> PortableFileStamps::Stamp(const std::string& path) const {
#ifdef _WIN32
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  const auto written = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  return FileStamp{size, static_cast<std::uint64_t>(written.time_since_epoch().count())};
#else
  // One system call for both figures: the settings layer asks before every read, and the
  // standard library's view takes one call per figure.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  const auto written = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1'000'000'000u +
                       static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
  return FileStamp{static_cast<std::uint64_t>(info.st_size), written};
#endif
}

}  // namespace halcyra
