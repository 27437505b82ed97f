#include "ui/global_hotkeys.h"

#include "app/app_services.h"
#include "app/settings.h"
#include "app/settings_keys.h"

namespace halcyra {

void GlobalHotkeys::RegisterStored(const HotkeyTexts& texts) {
  // Registered again (a policy lifted), the earlier registrations go first.
  Release();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].empty() || texts[i] == kNoHotkeyText) {
      Ids[i] = -1;
      continue;
    }
    const ParsedHotkey parsed = ParseHotkeyText(texts[i]);
    Ids[i] = registry_.AddAtom(kHotkeySlots[i].atomName);
    // A text that names no key (an edited file) registers nothing; the field still shows it.
    if (parsed.key != 0)
      registry_.Register(Ids[i], parsed.modifiers | modifier_flags::kNoRepeat, parsed.key);
  }
}

void GlobalHotkeys::ApplyChanges(SettingsFile& file, const HotkeyTexts& texts) {
  const HotkeySettings stored = LoadHotkeySettings(file);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const HotkeySlot& slot = kHotkeySlots[i];
    const std::string& text = texts[i];
    if (!text.empty()) {
      if (stored[i] == text) continue;
      SaveHotkeySetting(file, i, text);
      const ParsedHotkey parsed = ParseHotkeyText(text);
      // Registering an id again keeps its old combination alive beside the new one.
      if (Ids[i] == -1)
        Ids[i] = registry_.AddAtom(slot.atomName);
      else
        registry_.Unregister(Ids[i]);
      if (!registry_.Register(Ids[i], parsed.modifiers | modifier_flags::kNoRepeat, parsed.key))
        boxes_.Show(Tr(slot.inUseMessage, {text}), kAppTitle, mb::kOk | mb::kIconError);
    } else {
      if (stored[i] != kNoHotkeyText) registry_.Unregister(Ids[i]);
      SaveHotkeySetting(file, i, "");
    }
  }
}

void GlobalHotkeys::Release() {
  for (int& id : Ids) {
    if (id == -1) continue;
    registry_.Unregister(id);
    registry_.DeleteAtom(static_cast<std::uint16_t>(id));
    // Released for a policy, they may be registered again later.
    id = -1;
  }
}

std::optional<std::size_t> GlobalHotkeys::SlotOf(int id) const {
  // -1 marks a slot without a hotkey, and is also the id Windows gives its own snap hotkey.
  if (id == -1) return std::nullopt;
  for (std::size_t i = 0; i < Ids.size(); ++i)
    if (Ids[i] == id) return i;
  return std::nullopt;
}

}  // namespace halcyra
