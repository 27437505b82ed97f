#include <windows.h>

#include <bcrypt.h>

#include <stdexcept>

#include "platform/md5.h"

namespace halcyra {
namespace {

class AlgorithmProvider {
 public:
  AlgorithmProvider() {
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, BCRYPT_MD5_ALGORITHM, nullptr, 0)))
      throw std::runtime_error("MD5 provider unavailable");
  }
  ~AlgorithmProvider() { BCryptCloseAlgorithmProvider(handle_, 0); }
  AlgorithmProvider(const AlgorithmProvider&) = delete;
  AlgorithmProvider& operator=(const AlgorithmProvider&) = delete;
  BCRYPT_ALG_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Hash {
 public:
  explicit Hash(const AlgorithmProvider& provider) {
    if (!BCRYPT_SUCCESS(BCryptCreateHash(provider.Get(), &handle_, nullptr, 0, nullptr, 0, 0)))
      throw std::runtime_error("MD5 hash unavailable");
  }
  ~Hash() { BCryptDestroyHash(handle_); }
  Hash(const Hash&) = delete;
  Hash& operator=(const Hash&) = delete;
  BCRYPT_HASH_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_HASH_HANDLE handle_ = nullptr;
};

}  // namespace

Md5Digest Md5(std::string_view bytes) {
  AlgorithmProvider provider;
  Hash hash(provider);
  Md5Digest digest{};
  // BCryptHashData takes a non-const buffer but does not write to it.
  auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
  if (!BCRYPT_SUCCESS(BCryptHashData(hash.Get(), data, static_cast<ULONG>(bytes.size()), 0)) ||
      !BCRYPT_SUCCESS(BCryptFinishHash(hash.Get(), digest.data(), digest.size(), 0)))
    throw std::runtime_error("MD5 digest failed");
  return digest;
}

}  // namespace halcyra
