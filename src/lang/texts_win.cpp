// The texts from the program's string tables, one table per language. A program without tables
// (the command-line tool, the service) and a language without a table give the English.
#include "lang/texts_win.h"

#include <optional>
#include <string_view>
#include <utility>

#include "lang/texts.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

thread_local std::optional<LANGID> chosenLanguage;

LANGID InterfaceLanguage() { return chosenLanguage ? *chosenLanguage : GetThreadUILanguage(); }

// Asked of the tables' own tags: the loader would answer for "de-AT" from the German table, and
// for a block a language lacks from whichever table it falls back to.
bool HasBlock(WORD block, LANGID language) {
  bool found = false;
  std::pair<LANGID, bool*> match{language, &found};
  EnumResourceLanguagesW(
      GetModuleHandleW(nullptr), RT_STRING, MAKEINTRESOURCEW(block),
      [](HMODULE, LPCWSTR, LPCWSTR, WORD tag, LONG_PTR wanted) -> BOOL {
        auto* sought = reinterpret_cast<std::pair<LANGID, bool*>*>(wanted);
        if (tag != sought->first) return TRUE;
        *sought->second = true;
        return FALSE;
      },
      reinterpret_cast<LONG_PTR>(&match));
  return found;
}

// A string table holds sixteen strings, each its length in UTF-16 units and then its units;
// an empty one is not in the table.
std::optional<std::wstring_view> TableEntry(int id, LANGID language) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const auto block = static_cast<WORD>(id / 16 + 1);
  if (!HasBlock(block, language)) return std::nullopt;
  const HRSRC found = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(block), language);
  if (!found) return std::nullopt;
  const auto* units = static_cast<const wchar_t*>(LockResource(LoadResource(module, found)));
  if (!units) return std::nullopt;
  const wchar_t* const end = units + SizeofResource(module, found) / sizeof(wchar_t);
  for (int i = 0; i < id % 16; ++i) {
    if (units >= end) return std::nullopt;
    units += 1 + *units;
  }
  if (units >= end || *units == 0 || units + 1 + *units > end) return std::nullopt;
  return std::wstring_view(units + 1, *units);
}

}  // namespace

void UseInterfaceLanguage(LANGID language) {
  SetThreadUILanguage(language);
  chosenLanguage = language;
}

LANGID TextLanguage() {
  const LANGID language = InterfaceLanguage();
  for (const LANGID candidate :
       {language, static_cast<LANGID>(MAKELANGID(PRIMARYLANGID(language), SUBLANG_NEUTRAL))})
    if (HasBlock(kFirstTextId / 16 + 1, candidate)) return candidate;
  return MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL);
}

std::optional<std::string> TableText(Text text, LANGID language) {
  if (const auto entry = TableEntry(text.Id(), language)) return Utf8(*entry);
  return std::nullopt;
}

std::string Tr(Text text) {
  return TableText(text, TextLanguage()).value_or(std::string(text.English()));
}

void ApplyInterfaceLayout() {
  const LANGID language = TextLanguage();
  wchar_t layout[4] = {};
  const bool rightToLeft =
      language == kMirroredPseudoLocale ||
      (GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_IREADINGLAYOUT, layout, 4) > 0 &&
       layout[0] == L'1');
  SetProcessDefaultLayout(rightToLeft ? LAYOUT_RTL : 0);
}

}  // namespace halcyra
