// The small parsers of outside text: the hotkey text and its capture, the time of day, the
// date-time text under several regional formats, the countdown's Duration, and the service's
// command line. The first byte chooses the parser.
#include <cstdint>
#include <string>

#include "actions/countdown.h"
#include "core/command_line_words.h"
#include "core/date_time.h"
#include "fuzz_input.h"
#include "schedule/timer_record.h"
#include "service/service_command_line.h"
#include "ui/hotkeys.h"

using namespace halcyra;

namespace {

void Hotkey(const std::string& text, const std::uint8_t* data, std::size_t size) {
  ParseHotkeyText(text);
  if (size < 3) return;
  // What the capture makes of a key and the held modifiers parses back to the same key.
  const HeldModifiers held{(data[1] & 1) != 0, (data[1] & 2) != 0, (data[1] & 4) != 0};
  const std::uint16_t key = data[2];
  const std::string captured = HotkeyTextOnKeyDown(key, held);
  if (captured.empty() || captured.back() == '+') return;
  const ParsedHotkey parsed = ParseHotkeyText(captured);
  fuzz::Require(parsed.key == key, "captured text parses back to its key");
  const unsigned modifiers = (held.shift ? modifier_flags::kShift : 0) |
                             (held.ctrl ? modifier_flags::kControl : 0) |
                             (held.alt ? modifier_flags::kAlt : 0);
  fuzz::Require(parsed.modifiers == modifiers, "and to its modifiers");
}

void DateTimeText(const std::string& text, std::uint8_t choice) {
  const RegionalFormat format = fuzz::Regional(choice);
  const auto value = TextToDateTime(text, format);
  if (!value) return;
  // A date-time read back is written and read again to the same value.
  const auto again = TextToDateTime(DateTimeToText(*value, format), format);
  fuzz::Require(again.has_value(), "a written date-time reads back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(fuzz::Text(data + 1, size - 1));
  switch (data[0] % 5) {
    case 0:
      Hotkey(text, data, size);
      break;
    case 1:
      if (const auto hm = ParseTimeOfDay(text))
        fuzz::Require(hm->first >= -100000 && hm->first <= 100000, "a sensible hour");
      break;
    case 2:
      DateTimeText(text, size > 1 ? data[1] : 0);
      break;
    case 3: {
      const auto seconds = CountdownSeconds(text);
      fuzz::Require(seconds >= 0 && seconds <= kLongestCountdown, "Duration 0 to 86400");
      break;
    }
    default: {
      const ServiceRequest request = ParseServiceArguments(SplitCommandLine(text));
      fuzz::Require(request.settingsSource.empty() || request.command == ServiceCommand::Install,
                    "a settings file only with /INSTALL");
      break;
    }
  }
  return 0;
}
