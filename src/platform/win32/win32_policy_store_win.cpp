#include "platform/win32/win32_policy_store_win.h"

#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

// A value name has at most 16,383 characters; longer data than this is no setting of ours.
constexpr DWORD kLongestName = 16384;
constexpr DWORD kLongestData = 65536;

PolicyValue ValueOf(std::wstring_view name, DWORD type, const std::vector<BYTE>& data, DWORD size) {
  PolicyValue value;
  value.name = Utf8(name);
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    value.type = PolicyValue::Type::Number;
    value.number = *reinterpret_cast<const DWORD*>(data.data());
  } else if (type == REG_SZ) {
    // The data need not end with its terminating zero, or may hold several.
    std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    text = text.substr(0, text.find(L'\0'));
    value.type = PolicyValue::Type::Text;
    value.text = Utf8(text);
  }
  return value;
}

}  // namespace

std::vector<PolicyValue> Win32PolicyStore::Values(PolicyScope scope, const std::string& key) const {
  std::vector<PolicyValue> values;
  HKEY opened = nullptr;
  // Policies are written for the 64-bit view, which every program of ours sees.
  if (RegOpenKeyExW(scope == PolicyScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                    Wide(key).c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                    &opened) != ERROR_SUCCESS)
    return values;
  const UniqueRegistryKey policies(opened);
  std::wstring name(kLongestName, L'\0');
  std::vector<BYTE> data(kLongestData);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = kLongestName;
    DWORD type = REG_NONE;
    DWORD size = kLongestData;
    const LONG result = RegEnumValueW(policies.Get(), index, name.data(), &nameLength, nullptr,
                                      &type, data.data(), &size);
    if (result == ERROR_NO_MORE_ITEMS) break;
    // Too long to be ours: shown as a value of no known type, which is ignored and said.
    if (result == ERROR_MORE_DATA) {
      values.push_back(
          {Utf8(std::wstring_view(name.data(), nameLength)), PolicyValue::Type::Other, 0, {}});
      continue;
    }
    if (result != ERROR_SUCCESS) break;
    values.push_back(ValueOf(std::wstring_view(name.data(), nameLength), type, data, size));
  }
  return values;
}

MachinePolicyChanges::MachinePolicyChanges()
    : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Policies", 0, KEY_NOTIFY | KEY_WOW64_64KEY,
                    &opened) != ERROR_SUCCESS)
    return;
  key_ = UniqueRegistryKey(opened);
  Next();
}

void MachinePolicyChanges::Next() {
  // A notice comes once; the thread that asks must live on until it comes, as the service's
  // loop does.
  watching_ =
      event_ && key_ &&
      RegNotifyChangeKeyValue(key_.Get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                              event_.Get(), TRUE) == ERROR_SUCCESS;
}

}  // namespace halcyra
