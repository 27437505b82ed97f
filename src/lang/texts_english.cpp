// Where the program has no string tables (native builds): the English.
#include "lang/texts.h"

namespace halcyra {

std::string Tr(Text text) { return std::string(text.English()); }

}  // namespace halcyra
