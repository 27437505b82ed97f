// The MD5 message digest (RFC 1321) from the platform's crypto library: CNG on Windows,
// OpenSSL's libcrypto elsewhere.
#pragma once

#include <array>
#include <string_view>

namespace halcyra {

using Md5Digest = std::array<unsigned char, 16>;

Md5Digest Md5(std::string_view bytes);

}  // namespace halcyra
