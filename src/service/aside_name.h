// The name under which the installation keeps what it does not trust in the data folder. Users
// may create names in the folder above (ProgramData), so a name they could foresee would let
// them block the installation by making it first: the name carries a random part, and a name
// that exists is tried again with another.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace halcyra {

enum class RenameResult { Done, NameTaken, Failed };

inline constexpr int kAsideAttempts = 8;

// Renames `path` to "<path>.untrusted-<stamp>-<16 hex digits of random>" through `rename`, with
// a new random part while the name is taken, up to kAsideAttempts names. The name it got, or
// nullopt when the rename failed otherwise or every name tried was taken.
std::optional<std::string> RenameAside(
    const std::string& path, const std::string& stamp, const std::function<std::uint64_t()>& random,
    const std::function<RenameResult(const std::string&)>& rename);

}  // namespace halcyra
