// Small text helpers with the ASCII rules the program's comparisons use.
#pragma once

#include <string>
#include <string_view>

namespace halcyra {

// Letters a to z fold to upper case; no locale.
std::string UpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Removes every character of code 32 or less from both ends.
std::string_view TrimControl(std::string_view text);

}  // namespace halcyra
