// Start-up's view of Windows: the named mutex, the hand-over to a running instance, the
// files, and the main window with its message loop.
#pragma once

#include <windows.h>

#include "app/paths.h"
#include "app/startup.h"
#include "platform/win32/machine_control_win.h"
#include "platform/win32/win32_audio_mixer_win.h"
#include "platform/win32/win32_cleanup_tasks_win.h"
#include "platform/win32/win32_service_control_win.h"
#include "platform/win32/win32_sleep_support_win.h"
#include "platform/win32/win32_system_services_win.h"
#include "platform/win32/win32_wake_timers_win.h"
#include "schedule/clock_guard.h"
#include "toolkit/message_boxes_win.h"

namespace halcyra {

inline constexpr const char* kInstanceMutexName = "QMV_Halcyra";
// How long a second start waits for the answer of a running instance that reads no messages.
inline constexpr UINT kShowRequestTimeoutMs = 120000;

class Win32StartupHost final : public StartupHost {
 public:
  Win32StartupHost(const AppServices& services, Win32MessageBoxes& boxes)
      : services_(services), boxes_(boxes) {}

  bool InstanceAlreadyRunning() override;
  void AskRunningInstanceToShow() override;
  bool FileExists(const std::string& path) const override;
  std::string ExecutablePath() const override;
  void RunWizard() override;
  int RunMainWindow(const MainWindowStart& start) override;

 private:
  const AppServices& services_;
  Win32MessageBoxes& boxes_;
  const std::unique_ptr<Clock> clock_ = MakeClock(GetDataFolder(services_.os));
  Win32AudioMixer mixer_;
  // Where the wake-up timers say, once per start, that they cannot wake this machine.
  std::unique_ptr<SystemLog> systemLog_ = MakeSystemLog(GetDataFolder(services_.os));
  Win32WakeTimers wakeTimers_{*systemLog_};
  Win32SoundPlayer player_;
  Win32FileDialogs dialogs_;
  Win32TextFiles files_;
  Win32Shell shell_;
  Win32ShutdownPrivilege privilege_;
  Win32SleepSupport sleep_{GetDataFolder(services_.os)};
  Win32HotkeyRegistry hotkeys_;
  ClockGuard clockGuard_;
};

}  // namespace halcyra
