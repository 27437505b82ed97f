// A program's command line cut into its arguments, for the two programs that read one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

// The arguments after the program's name, split as Windows splits a command line: at blanks
// and tabs outside double quotes, the quotes themselves dropped.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace halcyra
