// The system's ANSI code page, which the program meets only where a file holds its text: the
// settings file, the log and the password's digest. Everywhere else text is UTF-8. A character
// that the code page cannot hold becomes "?", never a lookalike ("\u0141" as "L"), which would
// name another key or file.
#pragma once

#include <string>
#include <string_view>

namespace halcyra {

std::string CodePageFromUtf8(std::string_view text);
std::string Utf8FromCodePage(std::string_view text);

}  // namespace halcyra
