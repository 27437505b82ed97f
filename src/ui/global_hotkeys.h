// The six global hotkeys of the main window: an atom-based id per slot, registered from the
// stored texts at creation, changed at OK, released when the window closes.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/settings_file.h"
#include "platform/hotkey_registry.h"
#include "platform/message_box.h"
#include "ui/hotkeys.h"

namespace halcyra {

using HotkeyTexts = std::array<std::string, 6>;

class GlobalHotkeys {
 public:
  GlobalHotkeys(HotkeyRegistry& registry, MessageBoxes& boxes)
      : registry_(registry), boxes_(boxes) {}

  // The ids in slot order: -1 until the slot has its atom.
  std::array<int, 6> Ids{-1, -1, -1, -1, -1, -1};

  // Registers every slot whose stored text names a shortcut; results are not looked at.
  void RegisterStored(const HotkeyTexts& texts);
  // A changed shortcut is written and registered at once under its slot's id; an emptied one
  // is written as "None" and unregistered. A refused registration is reported and stays
  // written.
  void ApplyChanges(SettingsFile& file, const HotkeyTexts& texts);
  void Release();
  // The slot of a pressed hotkey's id: the first slot whose id matches; none for -1 or an id
  // the program did not register.
  std::optional<std::size_t> SlotOf(int id) const;

 private:
  HotkeyRegistry& registry_;
  MessageBoxes& boxes_;
};

}  // namespace halcyra
