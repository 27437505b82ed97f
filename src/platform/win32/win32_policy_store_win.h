// The policy keys in the registry. Users may read them and only administrators (Group Policy,
// Intune) write them.
#pragma once

#include <windows.h>

#include "platform/policy_store.h"
#include "platform/win32/handle_win.h"

namespace halcyra {

class Win32PolicyStore final : public PolicyStore {
 public:
  std::vector<PolicyValue> Values(PolicyScope scope, const std::string& key) const override;
};

// Notices of changes anywhere under HKEY_LOCAL_MACHINE\Software\Policies, which exists on
// every Windows, so that a key of ours made later is seen too.
class MachinePolicyChanges {
 public:
  MachinePolicyChanges();
  // Signalled once per notice; null when nothing can be watched.
  HANDLE Event() const { return watching_ ? event_.Get() : nullptr; }
  // After the event: asks for the next notice.
  void Next();

 private:
  UniqueRegistryKey key_;
  UniqueHandle event_;
  bool watching_ = false;
};

}  // namespace halcyra
