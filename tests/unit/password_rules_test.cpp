#include "ui/password_rules.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

TEST(PasswordDigest, IsTheMd5OfTheBytesInUpperCaseHex) {
  // The test suite of RFC 1321, appendix A.5.
  EXPECT_EQ(PasswordDigest(""), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(PasswordDigest("a"), "0CC175B9C0F1B6A831C399E269772661");
  EXPECT_EQ(PasswordDigest("abc"), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(PasswordDigest("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
  EXPECT_EQ(PasswordDigest("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
  EXPECT_EQ(PasswordDigest("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "D174AB98D277D9F5A5611C2C9F419D9F");
  EXPECT_EQ(PasswordDigest("1234567890123456789012345678901234567890123456789012345678901234567"
                           "8901234567890"),
            "57EDF4A22BE3C955AC49DA2E2107B67A");
}

TEST(PasswordDigest, TakesEveryByteAsItIs) {
  EXPECT_NE(PasswordDigest("Secret"), PasswordDigest("secret"));
  // A zero byte is part of the text, not its end.
  const std::string digest = PasswordDigest(std::string("a\0b", 3));
  EXPECT_NE(digest, PasswordDigest("a"));
  EXPECT_EQ(digest.size(), 32u);
  // The bytes are the text's in the code page, as the stored digests were made: été is
  // "\xE9t\xE9" there, whatever the program holds it in.
  EXPECT_EQ(PasswordDigest("\xC3\xA9t\xC3\xA9"), "70B06E3087350C8C4FC3F13E741879F3");
}

TEST(PasswordChecks, BlankFirstThenMismatch) {
  EXPECT_EQ(CheckPasswordFields("", ""), Tr(kPasswordBlankMessage));
  EXPECT_EQ(CheckPasswordFields("x", ""), Tr(kPasswordBlankMessage));
  EXPECT_EQ(CheckPasswordFields("", "x"), Tr(kPasswordBlankMessage));
  EXPECT_EQ(CheckPasswordFields("a", "A"), Tr(kPasswordMismatchMessage));
  EXPECT_EQ(CheckPasswordFields("secret", "secret"), std::nullopt);
}

}  // namespace
}  // namespace halcyra
