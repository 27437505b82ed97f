#include "lang/texts.h"

namespace halcyra {

std::string FillInserts(std::string_view pattern, std::initializer_list<std::string_view> inserts) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (c == '%' && next >= '1' && next <= '9') {
      const auto slot = static_cast<std::size_t>(next - '1');
      if (slot < inserts.size()) out += inserts.begin()[slot];
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Tr(Text text, std::initializer_list<std::string_view> inserts) {
  return FillInserts(Tr(text), inserts);
}

}  // namespace halcyra
