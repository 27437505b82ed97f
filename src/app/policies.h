// An organisation's policies (Group Policy, Intune), which win over the settings file: the
// machine's over the user's. Only this folder knows where they stand and what they may hold;
// everything else reads the struct.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "lang/texts.h"
#include "platform/policy_store.h"
#include "platform/service_host.h"

namespace halcyra {

struct Policies {
  // "title=entry" lines in the settings file's form: the machine's, then the user's whose
  // titles the machine's do not have.
  std::vector<std::string> timers;
  bool disableUserTimers = false;
  // Seconds; 0 for none.
  std::int64_t minimumCountdown = 0;
  std::optional<bool> enableAbort;
  bool disableExit = false;
  bool disableHotkeys = false;
  bool disableOneOffs = false;
  std::optional<bool> logEnabled;

  bool operator==(const Policies&) const = default;
};

// A user's program obeys both roots; the companion service, which acts when no one is logged
// on, the machine's only.
enum class PolicyReach { MachineAndUser, MachineOnly };

struct PolicyReading {
  Policies policies;
  // For each value ignored for its type or its range: which, where and why.
  std::vector<std::string> ignored;
};

PolicyReading ReadPolicies(const PolicyStore& store, PolicyReach reach);

// The policies as last read. A value ignored is said once in the event log, and again only
// after it was put right and went wrong anew.
class PolicyWatch {
 public:
  PolicyWatch(const PolicyStore& store, SystemLog& log, PolicyReach reach);
  const Policies& Current() const { return current_; }
  // Reads them again; says whether they changed.
  bool Refresh();

 private:
  const PolicyStore& store_;
  SystemLog& log_;
  PolicyReach reach_;
  Policies current_;
  std::vector<std::string> said_;
};

// The settings' values as the policies leave them.
bool AbortEnabled(const GeneralSettings& general, const Policies& policies);
bool LogEnabled(const LogSettings& log, const Policies& policies);

// HalcyraCmd's answer to a one-off while a policy turns them off.
inline constexpr const char* kOneOffsTurnedOff =
    "One-off actions are turned off by your organization's policy.";

// What a page with a managed control says.
inline constexpr Text kManagedSettingsLine = "Some settings are managed by your organization.";

}  // namespace halcyra
