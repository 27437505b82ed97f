// The language of the program's texts on Windows: the thread's user interface language, which
// is the user's unless the thread chose another, and the layout that language reads in.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "lang/texts.h"

namespace halcyra {

// The pseudo-locales that test a build for clipped and mirrored texts.
inline constexpr LANGID kPseudoLocale = 0x0501;          // qps-ploc
inline constexpr LANGID kMirroredPseudoLocale = 0x09FF;  // qps-plocm

// The thread's texts from now on in that language. Windows takes SetThreadUILanguage's word for
// it; Wine ignores the call, so the choice is kept here too.
void UseInterfaceLanguage(LANGID language);
// The language whose table gives the texts: the interface language's own, its primary
// language's, or English.
LANGID TextLanguage();
// The text as that language's table has it; nothing where the table lacks it.
std::optional<std::string> TableText(Text text, LANGID language);
// Windows made after this lay out right to left when the text language reads so.
void ApplyInterfaceLayout();

}  // namespace halcyra
