// The program's string tables as the built program holds them: every text in every language,
// with the inserts its English has, and the language chosen as Windows' user interface asks.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "lang/texts.h"
#include "lang/texts_win.h"
#include "support/layout_check_win.h"

namespace halcyra {
namespace {

struct Language {
  const char* name;
  LANGID id;
  bool pseudo;
};

constexpr Language kLanguages[] = {
    {"English", MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL), false},
    {"German", MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL), false},
    {"French", MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL), false},
    {"Spanish", MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL), false},
    {"Japanese", MAKELANGID(LANG_JAPANESE, SUBLANG_NEUTRAL), false},
    {"qps-ploc", kPseudoLocale, true},
    {"qps-plocm", kMirroredPseudoLocale, true},
};

std::vector<std::string> Inserts(const std::string& text) {
  static const std::regex insert("%[1-9]");
  std::vector<std::string> found(std::sregex_token_iterator(text.begin(), text.end(), insert),
                                 std::sregex_token_iterator());
  std::sort(found.begin(), found.end());
  return found;
}

TEST(StringTables, EveryTextIsInEveryLanguageWithTheInsertsOfItsEnglish) {
  for (const Language& language : kLanguages) {
    SCOPED_TRACE(language.name);
    int translated = 0;
    for (std::size_t i = 0; i < kTextCount; ++i) {
      const Text text = Text::At(i);
      const std::string english(text.English());
      const auto shown = TableText(text, language.id);
      ASSERT_TRUE(shown.has_value()) << english;
      EXPECT_FALSE(shown->empty()) << english;
      EXPECT_EQ(Inserts(*shown), Inserts(english)) << english << " -> " << *shown;
      if (*shown != english) ++translated;
      if (language.pseudo) {
        // A file dialog's pattern after the bar stays as it is.
        EXPECT_FALSE(test::HasPlainWord(shown->substr(0, shown->find('|')))) << *shown;
        EXPECT_GE(shown->size(), english.size() * 13 / 10) << *shown << ": not longer";
      }
    }
    // Words such as "OK" and "KB/s" may stay as they are; whole tables may not.
    if (language.id != MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL)) {
      EXPECT_GE(translated, static_cast<int>(kTextCount) * 4 / 5);
    }
  }
}

// Windows names a language with a country ("de-AT"); the table of its language serves it, and
// a language without a table gets the English.
TEST(StringTables, TheInterfaceLanguagePicksItsTableAndFallsBackToEnglish) {
  const LANGID before = GetThreadUILanguage();
  UseInterfaceLanguage(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN));
  EXPECT_EQ(TextLanguage(), MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL));
  EXPECT_EQ(Tr("Cancel"), *TableText("Cancel", MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL)));
  EXPECT_NE(Tr("Cancel"), "Cancel");
  UseInterfaceLanguage(MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN));
  EXPECT_EQ(TextLanguage(), MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL));
  EXPECT_EQ(Tr("Cancel"), "Cancel");
  UseInterfaceLanguage(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN));
  EXPECT_NE(Tr("This computer will reboot in %1 seconds!", {"7"}).find('7'), std::string::npos);
  UseInterfaceLanguage(before);
}

}  // namespace
}  // namespace halcyra
