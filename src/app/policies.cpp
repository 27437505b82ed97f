#include "app/policies.h"

#include <algorithm>

#include "app/policy_names.h"
#include "app/settings_keys.h"
#include "core/text.h"

namespace halcyra {
namespace {

// The longest countdown there is: a day.
constexpr std::uint32_t kLongestMinimumCountdown = 86400;

// What one root says; the machine's is laid over the user's.
struct Found {
  std::optional<bool> disableUserTimers, enableAbort, disableExit, disableHotkeys, disableOneOffs,
      logEnabled;
  std::optional<std::int64_t> minimumCountdown;
};

std::string Root(PolicyScope scope) {
  return std::string(scope == PolicyScope::Machine ? "HKEY_LOCAL_MACHINE\\"
                                                   : "HKEY_CURRENT_USER\\") +
         kPolicyKey;
}

bool SameName(const std::string& a, const char* b) { return UpperAscii(a) == UpperAscii(b); }

class Reader {
 public:
  Reader(const PolicyStore& store, std::vector<std::string>& ignored)
      : store_(store), ignored_(ignored) {}

  Found Values(PolicyScope scope) {
    Found found;
    for (const PolicyValue& value : store_.Values(scope, kPolicyKey)) {
      const auto flag = [&](const char* name, std::optional<bool>& into) {
        if (!SameName(value.name, name)) return false;
        if (value.type != PolicyValue::Type::Number)
          Ignore(scope, value.name, "it is not a REG_DWORD");
        else if (value.number > 1)
          Ignore(scope, value.name, "it must be 0 or 1");
        else
          into = value.number == 1;
        return true;
      };
      if (flag(kPolicyDisableUserTimers, found.disableUserTimers) ||
          flag(kPolicyEnableAbort, found.enableAbort) ||
          flag(kPolicyDisableExit, found.disableExit) ||
          flag(kPolicyDisableHotkeys, found.disableHotkeys) ||
          flag(kPolicyDisableOneOffs, found.disableOneOffs) ||
          flag(kPolicyLogEnabled, found.logEnabled))
        continue;
      if (!SameName(value.name, kPolicyMinimumCountdown)) continue;
      if (value.type != PolicyValue::Type::Number)
        Ignore(scope, value.name, "it is not a REG_DWORD");
      else if (value.number > kLongestMinimumCountdown)
        Ignore(scope, value.name, "it must be from 0 to 86400 seconds");
      else
        found.minimumCountdown = value.number;
    }
    return found;
  }

  // Adds the scope's timers whose titles are not taken yet.
  void Timers(PolicyScope scope, std::vector<std::string>& timers) {
    const std::string key = std::string(kPolicyKey) + "\\" + kPolicyTimersKey;
    for (const PolicyValue& value : store_.Values(scope, key)) {
      const std::string why = TimerFault(value);
      if (!why.empty()) {
        Ignore(scope, std::string(kPolicyTimersKey) + "\\" + value.name, why);
        continue;
      }
      const std::string title = UpperUnicode(value.name);
      const bool taken = std::any_of(timers.begin(), timers.end(), [&](const std::string& line) {
        return UpperUnicode(line.substr(0, line.find('='))) == title;
      });
      if (!taken) timers.push_back(value.name + "=" + value.text);
    }
  }

 private:
  static std::string TimerFault(const PolicyValue& value) {
    if (value.type != PolicyValue::Type::Text) return "it is not a REG_SZ";
    // The settings file could not hold such a title either.
    if (value.name.empty() || value.name.find('=') != std::string::npos)
      return "a timer's name must not be empty or hold \"=\"";
    if (std::count(value.text.begin(), value.text.end(), ',') != 3)
      return "it is not a timer such as \"enabled,Power off,22:00,Daily\"";
    if (value.text.substr(value.text.rfind(',') + 1) == kOnce)
      return "a policy's timer cannot be taken out once it has fired, so it cannot be a "
             "once-only timer";
    return "";
  }

  void Ignore(PolicyScope scope, const std::string& name, const std::string& why) {
    ignored_.push_back("The policy \"" + name + "\" in " + Root(scope) + " is ignored: " + why +
                       ".");
  }

  const PolicyStore& store_;
  std::vector<std::string>& ignored_;
};

template <typename T>
T Either(const std::optional<T>& machine, const std::optional<T>& user, T otherwise) {
  return machine ? *machine : user ? *user : otherwise;
}

template <typename T>
std::optional<T> Either(const std::optional<T>& machine, const std::optional<T>& user) {
  return machine ? machine : user;
}

}  // namespace

PolicyReading ReadPolicies(const PolicyStore& store, PolicyReach reach) {
  PolicyReading reading;
  Reader reader(store, reading.ignored);
  const bool user = reach == PolicyReach::MachineAndUser;
  const Found m = reader.Values(PolicyScope::Machine);
  const Found u = user ? reader.Values(PolicyScope::User) : Found{};
  Policies& p = reading.policies;
  reader.Timers(PolicyScope::Machine, p.timers);
  if (user) reader.Timers(PolicyScope::User, p.timers);
  p.disableUserTimers = Either(m.disableUserTimers, u.disableUserTimers, false);
  p.minimumCountdown = Either(m.minimumCountdown, u.minimumCountdown, std::int64_t{0});
  p.enableAbort = Either(m.enableAbort, u.enableAbort);
  p.disableExit = Either(m.disableExit, u.disableExit, false);
  p.disableHotkeys = Either(m.disableHotkeys, u.disableHotkeys, false);
  p.disableOneOffs = Either(m.disableOneOffs, u.disableOneOffs, false);
  p.logEnabled = Either(m.logEnabled, u.logEnabled);
  return reading;
}

PolicyWatch::PolicyWatch(const PolicyStore& store, SystemLog& log, PolicyReach reach)
    : store_(store), log_(log), reach_(reach) {
  Refresh();
}

bool PolicyWatch::Refresh() {
  PolicyReading reading = ReadPolicies(store_, reach_);
  for (const std::string& text : reading.ignored)
    if (std::find(said_.begin(), said_.end(), text) == said_.end())
      log_.Write(ServiceEvent::PolicyIgnored, text);
  said_ = std::move(reading.ignored);
  if (reading.policies == current_) return false;
  current_ = std::move(reading.policies);
  return true;
}

bool AbortEnabled(const GeneralSettings& general, const Policies& policies) {
  return policies.enableAbort.value_or(general.enableAbort);
}

bool LogEnabled(const LogSettings& log, const Policies& policies) {
  return policies.logEnabled.value_or(log.enabled);
}

}  // namespace halcyra
