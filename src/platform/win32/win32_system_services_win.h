// Small Win32 services: the shutdown privilege, wave playback, the open-file dialog, the
// event log's file operations and the shell's open action.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/file_dialogs.h"
#include "platform/hotkey_registry.h"
#include "platform/shell.h"
#include "platform/shutdown_privilege.h"
#include "platform/sound_player.h"
#include "platform/text_files.h"
#include "platform/win32/loaded_library_win.h"

namespace halcyra {

class Win32ShutdownPrivilege final : public ShutdownPrivilege {
 public:
  void EnableShutdownPrivilege() override;
};

class Win32SoundPlayer final : public SoundPlayer {
 public:
  bool Playable(const std::string& path) const override;
  std::optional<SoundBytes> Load(const std::string& path) const override;
  void Play(SoundBytes sound, unsigned flags) override;
  void Stop(unsigned flags) override;

 private:
  SoundBytes playing_;
};

// Dialogs and shell actions are owned by a window of the program, once it exists.
class Win32FileDialogs final : public FileDialogs {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;

 private:
  HWND owner_ = nullptr;
  // Loaded at the first dialog and kept: the dialog may leave shell objects behind that still
  // run its code.
  std::optional<LoadedLibrary> library_;
};

class Win32Shell final : public Shell {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  void Execute(const std::string& verb, const std::string& file, const std::string& directory,
               int show) override;
  void OpenHelpPage(const std::string& helpFile, const std::string& page) override;

 private:
  HWND owner_ = nullptr;
};

class Win32TextFiles final : public TextFiles {
 public:
  bool Exists(const std::string& path) const override;
  bool CreateEmpty(const std::string& path) override;
  bool Append(const std::string& path, const std::string& text) override;
  int Rewrite(const std::string& path) override;
};

// Hotkeys of one window, the main window, once it exists.
class Win32HotkeyRegistry final : public HotkeyRegistry {
 public:
  void SetWindow(HWND window) { window_ = window; }
  std::uint16_t AddAtom(const std::string& name) override;
  void DeleteAtom(std::uint16_t atom) override;
  bool Register(int id, unsigned modifiers, unsigned virtualKey) override;
  void Unregister(int id) override;

 private:
  HWND window_ = nullptr;
};

}  // namespace halcyra
