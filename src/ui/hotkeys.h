// Global hotkeys: the text form of a shortcut, its capture from key presses, its parsing
// into a key and modifier flags, and the six slots of the main window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "actions/event_words.h"
#include "app/settings_keys.h"
#include "lang/texts.h"

namespace halcyra {

namespace modifier_flags {
inline constexpr unsigned kAlt = 1;      // MOD_ALT
inline constexpr unsigned kControl = 2;  // MOD_CONTROL
inline constexpr unsigned kShift = 4;    // MOD_SHIFT
// A held key sends one press, not a stream: a repeat queued behind a suspend would suspend the
// machine again the moment it resumes.
inline constexpr unsigned kNoRepeat = 0x4000;  // MOD_NOREPEAT
}  // namespace modifier_flags

struct HeldModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The field's text after a key went down with these modifiers held.
std::string HotkeyTextOnKeyDown(std::uint16_t key, HeldModifiers held);
// The field's text after a key was released.
std::string HotkeyTextOnKeyUp(const std::string& text, std::uint16_t key);

struct ParsedHotkey {
  std::uint16_t key = 0;
  unsigned modifiers = 0;
};
// Leading "Shift+", "Ctrl+" or "^", "Alt+" in any order and letter case, then a digit or a
// letter (after at least one of them) or F1 to F12; anything else gives key 0 without modifiers.
ParsedHotkey ParseHotkeyText(const std::string& text);

struct HotkeySlot {
  const char* key;  // in the section Hotkeys
  const char* atomName;
  Text inUseMessage;
  PowerEvent event;
};

inline constexpr std::array<HotkeySlot, kHotkeyKeys.size()> kHotkeySlots = {{
    {kHotkeyKeys[0], "PowerdownKey",
     "Power down hotkey \"%1\" is already used, please change it to another hotkey",
     PowerEvent::PowerOff},
    {kHotkeyKeys[1], "ShutdownKey",
     "Shutdown hotkey \"%1\" is already used, please change it to another hotkey",
     PowerEvent::Shutdown},
    {kHotkeyKeys[2], "RebootKey",
     "Reboot hotkey \"%1\" is already used, please change it to another hotkey",
     PowerEvent::Reboot},
    {kHotkeyKeys[3], "HibernateKey",
     "Hibernate hotkey \"%1\" is already used, please change it to another hotkey",
     PowerEvent::Hibernate},
    {kHotkeyKeys[4], "SuspendKey",
     "Suspend hotkey \"%1\" is already used, please change it to another hotkey",
     PowerEvent::Suspend},
    {kHotkeyKeys[5], "LogoffKey",
     "Logoff hotkey \"%1\" is already used, please change it to another hotkey",
     PowerEvent::LogOff},
}};

}  // namespace halcyra
