// Builds without Windows keep their files in Windows-1252, the code page the settings files
// of Western systems are written in.
#include "core/text.h"
#include "platform/code_page.h"

namespace halcyra {

std::string CodePageFromUtf8(std::string_view text) { return Windows1252FromUtf8(text); }
std::string Utf8FromCodePage(std::string_view text) { return Utf8FromWindows1252(text); }

}  // namespace halcyra
