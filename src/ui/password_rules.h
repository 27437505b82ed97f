// The stored form of the password and the checks of a Password page.
#pragma once

#include <optional>
#include <string>

#include "lang/texts.h"

namespace halcyra {

// Both password fields show it while the stored password is in force; saving reads it as
// "unchanged".
inline constexpr const char* PasswordPlaceholder = "**********";

inline constexpr Text kPasswordBlankMessage =
    "The password and the password confirmation should not be blank.";
inline constexpr Text kPasswordMismatchMessage =
    "The password and the password confirmation is not the same.";

// MD5 of the text's bytes as 32 upper-case hexadecimal digits.
std::string PasswordDigest(const std::string& text);

// The message of the first check that fails for a ticked Password page, or nullopt.
std::optional<std::string> CheckPasswordFields(const std::string& password,
                                               const std::string& confirmation);

}  // namespace halcyra
