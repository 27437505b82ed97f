// The registry keys where an organisation's policies stand, read-only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

// HKEY_LOCAL_MACHINE, whose policies win, and HKEY_CURRENT_USER.
enum class PolicyScope { Machine, User };

struct PolicyValue {
  // A REG_DWORD, a REG_SZ, or anything else.
  enum class Type { Number, Text, Other };
  std::string name;
  Type type = Type::Other;
  std::uint32_t number = 0;
  std::string text;
};

class PolicyStore {
 public:
  virtual ~PolicyStore() = default;
  // The values of a key (its path below the scope's root) in the registry's order; none when
  // the key does not exist or cannot be read.
  virtual std::vector<PolicyValue> Values(PolicyScope scope, const std::string& key) const = 0;
};

}  // namespace halcyra
