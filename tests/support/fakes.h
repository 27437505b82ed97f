// Fakes of the platform interfaces for tests of the logic.
#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "actions/cleanup.h"
#include "actions/countdown.h"
#include "app/app_services.h"
#include "core/date_time.h"
#include "platform/audio_mixer.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/hotkey_registry.h"
#include "platform/ini_profile.h"
#include "platform/machine_control.h"
#include "platform/message_box.h"
#include "platform/os_info.h"
#include "platform/policy_store.h"
#include "platform/portable/portable_ini_profile.h"
#include "platform/portable/portable_text_files.h"
#include "platform/process_waits.h"
#include "platform/regional_settings.h"
#include "platform/service_control.h"
#include "platform/service_host.h"
#include "platform/shell.h"
#include "platform/shutdown_privilege.h"
#include "platform/sleep_support.h"
#include "platform/sound_player.h"
#include "platform/system_load.h"
#include "platform/wake_timers.h"

namespace halcyra::test {

class FakeOsInfo final : public OsInfo {
 public:
  OsVersion version{10, 0};
  std::optional<std::string> commonAppData = std::string("C:\\ProgramData");

  OsVersion Version() const override { return version; }
  std::optional<std::string> CommonAppDataFolder() const override { return commonAppData; }
};

struct ShownBox {
  std::string text;
  std::string caption;
  unsigned style = 0;
};

// A message box runs its own message loop until it is answered: whatever the caller's thread
// has pending (its timers, the messages posted to it) runs inside Show, as `whileOpen`.
class FakeMessageBoxes final : public MessageBoxes {
 public:
  std::vector<ShownBox> shown;
  std::vector<int> answers;  // answered in order; IDOK once they run out
  std::function<void()> whileOpen;

  int Show(const std::string& text, const std::string& caption, unsigned style) override {
    shown.push_back({text, caption, style});
    if (whileOpen) whileOpen();
    if (answers.empty()) return mb::kIdOk;
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
};

class FixedRegionalSettings final : public RegionalSettings {
 public:
  RegionalFormat format;
  RegionalFormat Current() const override { return format; }
};

// The portable INI layer that records every write and delete ("section/key=value",
// "-section/key", a whole section as "section/[key=value][key=value]"), with a switch that makes
// the system refuse them, as a file without modify access does.
class RefusingIniProfile final : public IniProfile {
 public:
  std::vector<std::string> log;
  bool refuseWrites = false;
  // Writes allowed before the refusal starts; negative for none.
  int writesBeforeRefusal = -1;
  // Deletes go through while writes are refused: a file that takes the one and not the other.
  bool takeDeletes = false;
  // Refused writes come from the file's rights (an administrator's read-only lock), not from a
  // program holding the file for a while.
  bool denied = false;
  // A section read gives nothing, as from a file locked for a moment, while writes go through.
  bool blindSectionReads = false;
  // Another program holds the file: reads read it as missing, writes are refused.
  bool held = false;

  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& def) const override {
    return held ? def : inner_.ReadString(path, section, key, def);
  }
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override {
    log.push_back(section + "/" + key + "=" + value);
    if (Refuse()) return false;
    return inner_.WriteString(path, section, key, value);
  }
  bool DeleteKey(const std::string& path, const std::string& section,
                 const std::string& key) override {
    log.push_back("-" + section + "/" + key);
    if (!takeDeletes && Refuse()) return false;
    return inner_.DeleteKey(path, section, key);
  }
  std::vector<std::string> ReadKeys(const std::string& path,
                                    const std::string& section) const override {
    if (held) return {};
    return inner_.ReadKeys(path, section);
  }
  std::optional<std::vector<std::string>> ReadSectionLines(
      const std::string& path, const std::string& section) const override {
    if (held) return std::nullopt;
    if (blindSectionReads) return std::vector<std::string>{};
    return inner_.ReadSectionLines(path, section);
  }
  bool WriteSection(const std::string& path, const std::string& section,
                    const std::vector<std::string>& entries) override {
    std::string line = section + "/";
    for (const std::string& entry : entries) line += "[" + entry + "]";
    log.push_back(line);
    if (Refuse()) return false;
    return inner_.WriteSection(path, section, entries);
  }
  bool WriteDenied(const std::string&) const override { return denied && refuseWrites; }
  bool Held(const std::string&) const override { return held; }
  std::string NameKey(std::string_view name) const override { return inner_.NameKey(name); }

 private:
  bool Refuse() {
    if (writesBeforeRefusal > 0) {
      --writesBeforeRefusal;
      return false;
    }
    return refuseWrites || writesBeforeRefusal == 0;
  }
  PortableIniProfile inner_;
};

class RecordingMachineControl final : public MachineControl {
 public:
  std::vector<std::string> calls;
  std::vector<LocalTime> clockSettings;
  bool accept = true;
  std::function<void()> onCall;
  bool ExitWindowsEx(unsigned flags) override {
    Record("ExitWindowsEx " + std::to_string(flags));
    return accept;
  }
  bool SetSystemPowerState(bool suspend, bool force) override {
    Record(std::string("SetSystemPowerState ") + (suspend ? "1 " : "0 ") + (force ? "1" : "0"));
    return accept;
  }
  bool SetSystemTime(const LocalTime& time) override {
    clockSettings.push_back(time);
    Record("SetSystemTime");
    return accept;
  }
  bool TurnDisplayOff() override {
    Record("SC_MONITORPOWER 2");
    return accept;
  }

 private:
  void Record(const std::string& call) {
    calls.push_back(call);
    if (onCall) onCall();
  }
};

class FakeClock final : public Clock {
 public:
  LocalTime now{2026, 3, 2, 3, 9, 5, 7, 0};
  std::uint32_t tick = 1000;
  // The tick count without the wrap, kept apart so that each test moves the count it means.
  std::uint64_t tick64 = 1000;
  // Minutes the local clock is ahead of UTC.
  int utcOffsetMinutes = 0;
  LocalTime Now() const override { return now; }
  LocalTime UtcNow() const override {
    return DecodeDateTime(EncodeDateTime(now) - utcOffsetMinutes / (24.0 * 60));
  }
  std::uint32_t TickCount() const override { return tick; }
  std::uint64_t TickCount64() const override { return tick64; }
};

class FakeMixer final : public AudioMixer {
 public:
  unsigned devices = 1;
  std::uint16_t volume = 0;
  std::vector<std::uint16_t> setCalls;
  unsigned DeviceCount() const override { return devices; }
  std::uint16_t GetMasterVolume() const override { return devices ? volume : 0; }
  void SetMasterVolume(std::uint16_t v) override {
    setCalls.push_back(v);
    if (devices) volume = v;
  }
};

// Every sound call as "play <name> <flags>" or "stop <flags>".
// Plays what it "loads": the bytes it hands out are the path's own text, so that a play call
// reads as the file it came from.
class FakeSoundPlayer final : public SoundPlayer {
 public:
  std::vector<std::string> calls;
  std::vector<std::string> remoteFiles;  // there, but not to be played
  bool Playable(const std::string& path) const override {
    return std::find(remoteFiles.begin(), remoteFiles.end(), path) == remoteFiles.end() &&
           std::filesystem::is_regular_file(std::filesystem::path(path));
  }
  std::optional<SoundBytes> Load(const std::string& path) const override {
    if (!Playable(path)) return std::nullopt;
    return SoundBytes(path.begin(), path.end());
  }
  void Play(SoundBytes sound, unsigned flags) override {
    calls.push_back("play " + std::string(sound.begin(), sound.end()) + " " +
                    std::to_string(flags));
  }
  void Stop(unsigned flags) override { calls.push_back("stop " + std::to_string(flags)); }
};

class FakeFileDialogs final : public FileDialogs {
 public:
  std::optional<std::string> answer;
  std::vector<std::string> asked;  // "title|filter"
  std::optional<std::string> OpenFile(const std::string& title,
                                      const std::string& filter) override {
    asked.push_back(title + "|" + filter);
    return answer;
  }
};

class FakeShell final : public Shell {
 public:
  std::vector<std::string> calls;  // "verb|file|directory|show", "help|file|page"
  void Execute(const std::string& verb, const std::string& file, const std::string& directory,
               int show) override {
    calls.push_back(verb + "|" + file + "|" + directory + "|" + std::to_string(show));
  }
  void OpenHelpPage(const std::string& helpFile, const std::string& page) override {
    calls.push_back("help|" + helpFile + "|" + page);
  }
};

// Counters that a test moves by hand; each sample is counted.
class FakeSystemLoad final : public SystemLoad {
 public:
  LoadSample next{ProcessorTimes{}, std::vector<InterfaceOctets>{}};
  int samples = 0;
  LoadSample Sample() override {
    ++samples;
    return next;
  }
};

class FakePrivilege final : public ShutdownPrivilege {
 public:
  std::vector<std::string>* journal = nullptr;  // shared with the machine's calls
  int requests = 0;
  void EnableShutdownPrivilege() override {
    ++requests;
    if (journal) journal->push_back("privilege");
  }
};

class FakeSleepSupport final : public SleepSupport {
 public:
  // Unknown, as when the system cannot say: every sleep state counts as allowed.
  std::optional<PowerCapabilities> capabilities;
  // Every change of the keep-awake request, in order: its reason, or "let sleep".
  std::vector<std::string> keepAwake;
  std::optional<PowerCapabilities> Capabilities() const override { return capabilities; }
  void KeepAwake(const std::string& reason) override { keepAwake.push_back(reason); }
  void LetSleep() override { keepAwake.push_back("let sleep"); }
};

// A session list: nullopt entries stand for what cannot be read. Nobody is there by default.
class FakeSessionList final : public SessionList {
 public:
  std::optional<std::vector<unsigned>> sessions = std::vector<unsigned>{0};
  std::map<unsigned, std::optional<std::string>> users{{0, ""}};
  std::optional<std::vector<unsigned>> Sessions() const override { return sessions; }
  std::optional<std::string> UserOf(unsigned session) const override {
    const auto user = users.find(session);
    return user == users.end() ? std::nullopt : user->second;
  }
  void LogOn(const std::string& name) { users[0] = name; }
};

// Every path is a plain file that resolves to itself, unless told otherwise.
class FakeFileInspector final : public FileInspector {
 public:
  std::map<std::string, FileFacts> facts;
  // Facts given once each, in order, before `facts`: a file that changes between two looks.
  mutable std::map<std::string, std::deque<FileFacts>> next;
  FileFacts Inspect(const std::string& path) const override {
    if (auto& queued = next[path]; !queued.empty()) {
      const FileFacts first = queued.front();
      queued.pop_front();
      return first;
    }
    const auto known = facts.find(path);
    if (known != facts.end()) return known->second;
    return {FileFacts::Found::Yes, false, false, 1, path};
  }
};

// Processes by image name, each running until it is ended; a watch sees the ones running then.
// A process asked for by number is one of `started`, running while it is there.
class FakeProcessWaits final : public ProcessWaits {
 public:
  std::map<std::string, int> running;         // image name -> how many run
  std::map<unsigned, std::uint64_t> started;  // process id -> its creation time
  std::vector<RunningProgram> windowed;
  std::vector<RunningProgram> WindowedPrograms() const override { return windowed; }
  std::unique_ptr<ProcessWait> Watch(const std::string& imageName, unsigned processId,
                                     std::uint64_t createdAt) override {
    class Wait final : public ProcessWait {
     public:
      Wait(unsigned count, std::function<bool()> ended) : count_(count), ended_(std::move(ended)) {}
      unsigned Count() const override { return count_; }
      bool Ended() const override { return ended_(); }

     private:
      unsigned count_;
      std::function<bool()> ended_;
    };
    if (processId) {
      const auto found = started.find(processId);
      const bool same = found != started.end() && (!createdAt || found->second == createdAt);
      return std::make_unique<Wait>(same ? 1u : 0u,
                                    [this, processId] { return !started.count(processId); });
    }
    const auto found = running.find(imageName);
    return std::make_unique<Wait>(
        found == running.end() ? 0u : static_cast<unsigned>(found->second), [this, imageName] {
          const auto now = running.find(imageName);
          return now == running.end() || now->second == 0;
        });
  }
};

class FakeInputIdle final : public InputIdle {
 public:
  std::uint64_t idleMs = 0;
  std::uint64_t IdleMilliseconds() const override { return idleMs; }
};

// Every power call of the service, as the end-to-end journal writes it.
class FakeServicePower final : public ServicePower {
 public:
  std::vector<std::string> calls;
  bool accept = true;
  bool Shutdown(unsigned grace, unsigned flags, unsigned reason) override {
    char line[64];
    std::snprintf(line, sizeof line, "InitiateShutdown %u 0x%X 0x%X", grace, flags, reason);
    calls.push_back(line);
    return accept;
  }
  bool SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled) override {
    calls.push_back(std::string("SetSuspendState ") + (hibernate ? "1 " : "0 ") +
                    (force ? "1 " : "0 ") + (wakeEventsDisabled ? "1" : "0"));
    return accept;
  }
};

class FakeSystemLog final : public SystemLog {
 public:
  std::vector<std::string> lines;
  // "<event id> <text>"
  void Write(ServiceEvent event, const std::string& text) override {
    lines.push_back(std::to_string(static_cast<unsigned>(event)) + " " + text);
  }
};

// The policy keys: values by root and key path, as a test sets them.
class FakePolicyStore final : public PolicyStore {
 public:
  std::map<std::pair<PolicyScope, std::string>, std::vector<PolicyValue>> keys;
  std::vector<PolicyValue> Values(PolicyScope scope, const std::string& key) const override {
    const auto found = keys.find({scope, key});
    return found == keys.end() ? std::vector<PolicyValue>() : found->second;
  }
  void SetNumber(PolicyScope scope, const std::string& name, std::uint32_t number,
                 const std::string& key = "Software\\Policies\\Halcyra") {
    keys[{scope, key}].push_back({name, PolicyValue::Type::Number, number, {}});
  }
  void SetText(PolicyScope scope, const std::string& name, const std::string& text,
               const std::string& key = "Software\\Policies\\Halcyra") {
    keys[{scope, key}].push_back({name, PolicyValue::Type::Text, 0, text});
  }
};

// Atoms count up from 0xC000; every call is recorded, and chosen shortcuts are refused.
class FakeHotkeyRegistry final : public HotkeyRegistry {
 public:
  std::vector<std::string> calls;
  std::vector<std::string> refused;  // "modifiers/key" texts that the system refuses
  std::uint16_t nextAtom = 0xC000;
  std::uint16_t AddAtom(const std::string& name) override {
    calls.push_back("atom " + name);
    return nextAtom++;
  }
  void DeleteAtom(std::uint16_t atom) override {
    calls.push_back("delete " + std::to_string(atom));
  }
  bool Register(int id, unsigned modifiers, unsigned key) override {
    const std::string combination = std::to_string(modifiers) + "/" + std::to_string(key);
    calls.push_back("register " + std::to_string(id) + " " + combination);
    for (const std::string& r : refused)
      if (r == combination) return false;
    return true;
  }
  void Unregister(int id) override { calls.push_back("unregister " + std::to_string(id)); }
};

class FakeServiceControl final : public ServiceControl {
 public:
  std::vector<std::string> calls;
  void StopCompanionService() override { calls.push_back("stop"); }
  void StartCompanionService() override { calls.push_back("start"); }
  void Pause(int milliseconds) override {
    calls.push_back("pause " + std::to_string(milliseconds));
  }
};

class RecordingCleanupTasks final : public CleanupTasks {
 public:
  std::vector<std::string> ran;
  void EmptyRecycleBin() override { ran.push_back("RecycleBin"); }
  void ClearTempFolder() override { ran.push_back("TempFolder"); }
  void ClearIECache() override { ran.push_back("IEcache"); }
  void ClearIECookies() override { ran.push_back("IEcookie"); }
  void ClearIEHistory() override { ran.push_back("IEhistory"); }
  void ClearTypedURLs() override { ran.push_back("IEAutoComplete"); }
  void ClearRecentDocuments() override { ran.push_back("RecentDocument"); }
};

// Records the due time of every armed timer and which of them are still armed.
class FakeWakeTimers final : public WakeTimers {
 public:
  struct Armed {
    LocalTime due;
    std::string reason;
    bool live = true;
  };
  std::vector<Armed> armed;
  bool refuse = false;

  std::unique_ptr<WakeTimerHandle> Arm(const LocalTime& due, const std::string& reason) override {
    if (refuse) return nullptr;
    armed.push_back({due, reason, true});
    return std::make_unique<Handle>(*this, armed.size() - 1);
  }
  std::size_t Live() const {
    std::size_t n = 0;
    for (const Armed& a : armed) n += a.live ? 1 : 0;
    return n;
  }

 private:
  class Handle final : public WakeTimerHandle {
   public:
    Handle(FakeWakeTimers& owner, std::size_t index) : owner_(owner), index_(index) {}
    ~Handle() override { owner_.armed[index_].live = false; }

   private:
    FakeWakeTimers& owner_;
    std::size_t index_;
  };
};

// The program-wide services of the windows' logic, every one a fake.
struct FakeApp {
  FakeOsInfo os;
  RefusingIniProfile ini;
  FixedRegionalSettings regional;
  FakeMessageBoxes boxes;
  RecordingMachineControl machine;
  FakePolicyStore policyStore;
  FakeSystemLog policyLog;
  PolicyWatch policies{policyStore, policyLog, PolicyReach::MachineAndUser};
  AppServices app{os, ini, regional, boxes, machine, policies};
};

// A countdown window's logic for a shutdown, on a FakeApp.
struct FakeCountdownServices {
  explicit FakeCountdownServices(FakeApp& fake) : fake_(fake) {}
  FakeApp& fake_;
  FakeClock clock;
  FakeMixer mixer;
  FakeSoundPlayer player;
  CountdownServices services{fake_.app, clock, {mixer, player}};
  TFrmNotify form{services, EventWord::Of("Shutdown")};
};

}  // namespace halcyra::test
