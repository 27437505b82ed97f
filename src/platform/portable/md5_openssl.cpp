#include <openssl/evp.h>

#include <stdexcept>

#include "platform/md5.h"

namespace halcyra {

Md5Digest Md5(std::string_view bytes) {
  Md5Digest digest{};
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr) != 1 ||
      length != digest.size())
    throw std::runtime_error("MD5 digest failed");
  return digest;
}

}  // namespace halcyra
