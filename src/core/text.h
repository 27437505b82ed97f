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
// UTF-8 text with every letter of the Latin, Greek and Cyrillic alphabets (and the full-width
// Latin ones) in upper case, as Windows' own table folds the names of a settings file. A byte
// that is no UTF-8 stays as it is. No locale.
std::string UpperUnicode(std::string_view text);
// Hash and equality for unordered containers keyed by UTF-8 text in the case rule above, looked
// up by any text without a copy.
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
// UTF-8 and the bytes of UTF-16LE (without a byte-order mark), both ways. A byte that is no
// UTF-8, or a half of a surrogate pair alone, becomes U+FFFD.
std::string Utf16LeFromUtf8(std::string_view text);
std::string Utf8FromUtf16Le(std::string_view bytes);
// How many UTF-16 code units the UTF-8 text takes, as the wide functions count characters; and
// its longest start that takes at most `units` of them.
std::size_t Utf16Length(std::string_view text);
std::string Utf16Prefix(std::string_view text, std::size_t units);
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
