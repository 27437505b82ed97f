#include <cstdio>
#include <string>

#include "core/text.h"
#include "platform/win32/machine_control_win.h"

namespace halcyra {
namespace {

// Appends one line per call to Effects.txt in the data folder and reports success, so that
// end-to-end tests see what the program would have done to the machine.
class EffectsJournal final : public MachineControl {
 public:
  explicit EffectsJournal(std::string dataFolder) : journal_(JoinPath(dataFolder, "Effects.txt")) {}

  bool ExitWindowsEx(unsigned flags) override {
    return Append("ExitWindowsEx " + std::to_string(flags));
  }
  bool SetSystemPowerState(bool suspend, bool force) override {
    return Append(std::string("SetSystemPowerState ") + (suspend ? "1" : "0") + " " +
                  (force ? "1" : "0"));
  }
  bool SetSystemTime(const LocalTime& t) override {
    char text[64];
    std::snprintf(text, sizeof text, "SetSystemTime %04u-%02u-%02u %02u:%02u:%02u.%03u", t.year,
                  t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
    return Append(text);
  }

 private:
  bool Append(const std::string& line) {
    std::FILE* file = std::fopen(journal_.c_str(), "ab");
    if (!file) return true;
    std::fputs((line + "\r\n").c_str(), file);
    std::fclose(file);
    return true;
  }

  std::string journal_;
};

}  // namespace

std::unique_ptr<MachineControl> MakeMachineControl(const std::string& dataFolder) {
  return std::make_unique<EffectsJournal>(dataFolder);
}

}  // namespace halcyra
