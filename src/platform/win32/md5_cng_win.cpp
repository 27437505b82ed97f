#include <windows.h>

#include <bcrypt.h>

#include <stdexcept>

#include "platform/md5.h"
#include "platform/win32/loaded_library_win.h"

namespace halcyra {
namespace {

// The provider's library is loaded for each digest: a digest is asked for when a password is
// set or typed, and the library is large to keep (under Wine it brings a TLS library along).
class Cng {
 public:
  Cng()
      : open_(library_.Function<decltype(BCryptOpenAlgorithmProvider)>(
            "BCryptOpenAlgorithmProvider")),
        close_(library_.Function<decltype(BCryptCloseAlgorithmProvider)>(
            "BCryptCloseAlgorithmProvider")),
        create_(library_.Function<decltype(BCryptCreateHash)>("BCryptCreateHash")),
        destroy_(library_.Function<decltype(BCryptDestroyHash)>("BCryptDestroyHash")),
        data_(library_.Function<decltype(BCryptHashData)>("BCryptHashData")),
        finish_(library_.Function<decltype(BCryptFinishHash)>("BCryptFinishHash")) {
    if (!open_ || !close_ || !create_ || !destroy_ || !data_ || !finish_)
      throw std::runtime_error("MD5 provider unavailable");
  }

  Md5Digest Digest(std::string_view bytes) const {
    BCRYPT_ALG_HANDLE provider = nullptr;
    if (!BCRYPT_SUCCESS(open_(&provider, BCRYPT_MD5_ALGORITHM, nullptr, 0)))
      throw std::runtime_error("MD5 provider unavailable");
    BCRYPT_HASH_HANDLE hash = nullptr;
    NTSTATUS status = create_(provider, &hash, nullptr, 0, nullptr, 0, 0);
    Md5Digest digest{};
    if (BCRYPT_SUCCESS(status)) {
      // BCryptHashData takes a non-const buffer but does not write to it.
      auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
      status = data_(hash, data, static_cast<ULONG>(bytes.size()), 0);
      if (BCRYPT_SUCCESS(status)) status = finish_(hash, digest.data(), digest.size(), 0);
      destroy_(hash);
    }
    close_(provider, 0);
    if (!BCRYPT_SUCCESS(status)) throw std::runtime_error("MD5 digest failed");
    return digest;
  }

 private:
  LoadedLibrary library_{L"bcrypt.dll"};
  decltype(BCryptOpenAlgorithmProvider)* open_;
  decltype(BCryptCloseAlgorithmProvider)* close_;
  decltype(BCryptCreateHash)* create_;
  decltype(BCryptDestroyHash)* destroy_;
  decltype(BCryptHashData)* data_;
  decltype(BCryptFinishHash)* finish_;
};

}  // namespace

Md5Digest Md5(std::string_view bytes) { return Cng().Digest(bytes); }

}  // namespace halcyra
