#include "ui/password_rules.h"

#include "platform/code_page.h"
#include "platform/md5.h"

namespace halcyra {

std::string PasswordDigest(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  // The digest is of the text's bytes in the code page, as the stored digests were made.
  for (unsigned char byte : Md5(CodePageFromUtf8(text))) {
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  return out;
}

std::optional<std::string> CheckPasswordFields(const std::string& password,
                                               const std::string& confirmation) {
  if (password.empty() || confirmation.empty()) return Tr(kPasswordBlankMessage);
  if (password != confirmation) return Tr(kPasswordMismatchMessage);
  return std::nullopt;
}

}  // namespace halcyra
