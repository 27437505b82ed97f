#include "service/service_sid_win.h"

#include <windows.h>

#include <sddl.h>

#include <wincrypt.h>

#include <array>
#include <cstdio>
#include <vector>

#include "core/text.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/sid_text_win.h"

namespace halcyra {
namespace {

// CryptoAPI lives in advapi32, which every Windows loads anyway.
std::optional<std::array<BYTE, 20>> Sha1(const std::vector<BYTE>& bytes) {
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
    return std::nullopt;
  std::optional<std::array<BYTE, 20>> digest;
  HCRYPTHASH hash = 0;
  if (CryptCreateHash(provider, CALG_SHA1, 0, 0, &hash)) {
    std::array<BYTE, 20> value{};
    DWORD length = static_cast<DWORD>(value.size());
    if (CryptHashData(hash, bytes.data(), static_cast<DWORD>(bytes.size()), 0) &&
        CryptGetHashParam(hash, HP_HASHVAL, value.data(), &length, 0) && length == value.size())
      digest = value;
    CryptDestroyHash(hash);
  }
  CryptReleaseContext(provider, 0);
  return digest;
}

}  // namespace

std::optional<std::string> ServiceSid(const std::string& serviceName) {
  std::vector<BYTE> name;
  for (const char c : UpperAscii(serviceName)) {
    name.push_back(static_cast<BYTE>(c));
    name.push_back(0);
  }
  const auto digest = Sha1(name);
  if (!digest) return std::nullopt;
  std::string sid = "S-1-5-80";
  for (size_t i = 0; i < digest->size(); i += 4) {
    const DWORD part = (*digest)[i] | ((*digest)[i + 1] << 8) | ((*digest)[i + 2] << 16) |
                       (static_cast<DWORD>((*digest)[i + 3]) << 24);
    sid += "-" + std::to_string(part);
  }
  return sid;
}

std::optional<std::string> ProcessAccountSid() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return std::nullopt;
  UniqueHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size))
    return std::nullopt;
  const std::string sid = SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
  if (sid.empty()) return std::nullopt;
  return sid;
}

}  // namespace halcyra
