#include <windows.h>

#include "platform/code_page.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {

std::string CodePageFromUtf8(std::string_view text) { return NarrowText(Wide(text), CP_ACP); }
std::string Utf8FromCodePage(std::string_view text) { return Utf8(WideText(text, CP_ACP)); }

}  // namespace halcyra
