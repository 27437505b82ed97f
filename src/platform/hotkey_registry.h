// Global atoms and the system's hotkey registrations for the main window.
#pragma once

#include <cstdint>
#include <string>

namespace halcyra {

class HotkeyRegistry {
 public:
  virtual ~HotkeyRegistry() = default;
  virtual std::uint16_t AddAtom(const std::string& name) = 0;
  virtual void DeleteAtom(std::uint16_t atom) = 0;
  // False when the system refuses the shortcut (another program holds it).
  virtual bool Register(int id, unsigned modifiers, unsigned virtualKey) = 0;
  virtual void Unregister(int id) = 0;
};

}  // namespace halcyra
