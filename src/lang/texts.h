// The texts users see, named in the code by their English. The English is checked against the
// catalog when the program is compiled, so a text cannot be shown without its translations
// being asked for; a translation is looked up when the text is shown, in the user's interface
// language.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace halcyra {

inline constexpr std::string_view kEnglishTexts[] = {
#include "lang/english_texts.inc"
};
inline constexpr std::size_t kTextCount = std::size(kEnglishTexts);
// The id of the first text in the program's string tables.
inline constexpr int kFirstTextId = 1000;

class Text {
 public:
  // Not in the catalog: the program does not compile, which is the point.
  consteval Text(const char* english) : index_(IndexOf(english)) {}  // NOLINT: a literal reads best
  static constexpr Text At(std::size_t index) { return Text(index); }

  std::size_t Index() const { return index_; }
  int Id() const { return kFirstTextId + static_cast<int>(index_); }
  // Without its context: a text that one language says in two ways and English in one is
  // written "context\x04English", as gettext does.
  std::string_view English() const {
    const std::string_view text = kEnglishTexts[index_];
    return text.substr(text.find('\x04') + 1);
  }

 private:
  constexpr explicit Text(std::size_t index) : index_(index) {}
  static consteval std::size_t IndexOf(std::string_view english) {
    for (std::size_t i = 0; i < kTextCount; ++i)
      if (kEnglishTexts[i] == english) return i;
    throw "this text is not in src/lang/english_texts.inc";
  }

  std::size_t index_;
};

// The text in the interface language; the English where it has no translation.
std::string Tr(Text text);
// The same with %1, %2, ... replaced by the inserts in order, wherever the language puts them.
std::string Tr(Text text, std::initializer_list<std::string_view> inserts);

// %1..%9 replaced by the inserts; any other percent sign is kept as written.
std::string FillInserts(std::string_view pattern, std::initializer_list<std::string_view> inserts);

}  // namespace halcyra
