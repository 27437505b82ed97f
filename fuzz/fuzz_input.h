// Helpers of the fuzz targets: a checked property that aborts (so libFuzzer keeps the input),
// and a scratch settings file per process.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "core/regional_format.h"

namespace halcyra::fuzz {

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

inline std::string_view Text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A scratch folder of this process, standing for the common application-data folder.
inline const std::filesystem::path& Root() {
  static const std::filesystem::path root = [] {
    // In memory where the system offers it: the targets write a file for every input.
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    auto r = base / ("halcyra-fuzz-" + std::to_string(static_cast<long>(getpid())));
    std::filesystem::create_directories(r);
    return r;
  }();
  return root;
}
// The settings path as the program builds it from that folder (a Windows path: on this
// system one file name with backslashes in it).
inline std::string SettingsPath() { return Root().string() + "\\Halcyra\\Halcyra.ini"; }

inline void WriteSettings(std::string_view content) {
  std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc)
      .write(content.data(), static_cast<std::streamsize>(content.size()));
}

// Regional conventions of a few countries, chosen by a byte of the input.
inline RegionalFormat Regional(std::uint8_t choice) {
  switch (choice % 4) {
    case 0:
      return {};
    case 1:
      return {"dd.MM.yyyy", "HH:mm:ss", ":", "", ""};
    case 2:
      return {"yyyy-MM-dd", "H.mm.ss", ".", "", ""};
    default:
      return {"d/M/yy", "h:mm:ss tt", ":", "a.m.", "p.m."};
  }
}

}  // namespace halcyra::fuzz
