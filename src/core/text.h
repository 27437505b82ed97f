// Small text helpers with the ASCII rules the program's comparisons use, the one decimal
// parser behind every number the program reads from text, and Windows path joining.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halcyra {

// Letters a to z fold to upper case; no locale.
std::string UpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Every letter of the Windows-1252 code page folds to upper case: a to z, the accented letters,
// and the pairs that code page adds (\x9A \x8A, \x9C \x8C, \x9E \x8E, \xFF \x9F), as Windows
// folds the names of a settings file in that code page. No locale.
std::string UpperWindows1252(std::string_view text);
// Hash and equality for unordered containers keyed by text in the Windows-1252 case rule above,
// looked up by any text without a copy.
struct IgnoreCaseHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const;
};
struct IgnoreCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};
// Text between UTF-8, the program's own, and the Windows-1252 code page. A character that code
// page cannot hold, or a byte that is no UTF-8, becomes "?", never a lookalike.
std::string Windows1252FromUtf8(std::string_view text);
std::string Utf8FromWindows1252(std::string_view text);
// Removes every character of code 32 or less from both ends.
std::string_view TrimControl(std::string_view text);

enum class LeadingBlanks { Skipped, Refused };
// A decimal integer: an optional sign, then one or more digits and nothing else. Blanks before
// the sign are skipped or make the text no number, as the caller says. A magnitude beyond
// `cap` comes back as `cap` with its sign, so no text can overflow.
std::optional<std::int64_t> ParseDecimal(std::string_view text, std::int64_t cap,
                                         LeadingBlanks blanks = LeadingBlanks::Skipped);

// A folder and a name with exactly one backslash between them.
std::string JoinPath(std::string_view folder, std::string_view name);
// A folder without the one trailing backslash it may end with.
std::string WithoutTrailingBackslash(std::string_view folder);
// The folder part of a full file path, without a trailing backslash.
std::string FolderOf(std::string_view path);

}  // namespace halcyra
