// A prepared settings file that an installation puts into the data folder: the companion
// service's /SETTINGS and the package's SETTINGS property name one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "service/data_folder_security.h"

namespace halcyra {

// A settings file larger than this is no settings file.
inline constexpr std::size_t kMaxPreparedSettingsBytes = 1024 * 1024;

// The package property's words, "Writable" and "ReadOnly" in any case; empty means Writable.
std::optional<SharedSettings> SharedSettingsOf(const std::string& word);

// Why a SETTINGS path may not be read, or empty: it must be a drive path or a share, and never a
// device or object-manager path ("\\?\", "\\.\", "\??\", with either slash), through which a
// path reaches shadow copies, devices or other sessions' drive letters.
std::string PreparedPathRefusal(const std::string& path);

}  // namespace halcyra
