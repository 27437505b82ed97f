#include "ui/hotkeys.h"

#include "core/text.h"

namespace halcyra {
namespace {

constexpr std::uint16_t kF1 = 0x70;
constexpr std::uint16_t kF12 = 0x7B;

bool IsFunctionKey(std::uint16_t key) { return key >= kF1 && key <= kF12; }

}  // namespace

std::string HotkeyTextOnKeyDown(std::uint16_t key, HeldModifiers held) {
  std::string text;
  if (held.ctrl) text = "Ctrl+";
  if (held.shift) text += "Shift+";
  if (held.alt) text += "Alt+";
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    if (!text.empty()) text += static_cast<char>(key);
  } else if (IsFunctionKey(key)) {
    text += "F" + std::to_string(key - 111);
  }
  return text;
}

std::string HotkeyTextOnKeyUp(const std::string& text, std::uint16_t key) {
  if (!text.empty() && text.back() == '+') return "";
  if (text.find('+') == std::string::npos && !IsFunctionKey(key)) return "";
  return text;
}

ParsedHotkey ParseHotkeyText(const std::string& text) {
  std::string rest = UpperAscii(text);
  unsigned modifiers = 0;
  for (bool found = true; found;) {
    found = false;
    for (const auto& [prefix, flag] :
         {std::pair{"SHIFT+", modifier_flags::kShift}, std::pair{"CTRL+", modifier_flags::kControl},
          std::pair{"^", modifier_flags::kControl}, std::pair{"ALT+", modifier_flags::kAlt}}) {
      const std::string p(prefix);
      if (rest.compare(0, p.size(), p) == 0) {
        rest.erase(0, p.size());
        modifiers |= flag;
        found = true;
      }
    }
  }
  // A letter or digit needs a modifier: the capture never makes one alone, and registered bare
  // it would act on every such key typed anywhere in the session.
  if (rest.size() == 1 && modifiers != 0 &&
      ((rest[0] >= '0' && rest[0] <= '9') || (rest[0] >= 'A' && rest[0] <= 'Z')))
    return {static_cast<std::uint16_t>(rest[0]), modifiers};
  if (rest.size() >= 2 && rest.size() <= 3 && rest[0] == 'F') {
    int number = 0;
    for (std::size_t i = 1; i < rest.size(); ++i) {
      if (rest[i] < '0' || rest[i] > '9') return {};
      number = number * 10 + (rest[i] - '0');
    }
    if (rest[1] != '0' && number >= 1 && number <= 12)
      return {static_cast<std::uint16_t>(kF1 + number - 1), modifiers};
  }
  return {};
}

}  // namespace halcyra
