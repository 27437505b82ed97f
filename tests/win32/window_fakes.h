// The logic behind the program's windows, on fakes, for the tests that build the real windows.
#pragma once

#include <optional>
#include <string>

#include "one_off/once_form.h"
#include "platform/portable/portable_text_files.h"
#include "schedule/timer_editor.h"
#include "schedule/timer_page.h"
#include "support/fakes.h"
#include "ui/settings_pages.h"

namespace halcyra::test {

// What the settings pages take, every service a fake.
struct FakePageServices {
  FakeApp fake;
  FakeMixer mixer;
  FakeSoundPlayer player;
  FakeFileDialogs dialogs;
  PortableTextFiles files;
  FakeShell shell;
  PageServices services{fake.app, mixer, player, dialogs, files, shell};
};

// The pages the main window and the wizard share, and the Timer page, with their captions.
struct PageForm final : SettingsPages, TimerPage, TimerPageHost {
  explicit PageForm(const PageServices& services)
      : SettingsPages(services), TimerPage(services.app, *this, DeleteCheck::Verified) {}
  void ShowTimerEditor(TFrmTimer&) override {}
  void TimerWritten(const std::string&, const std::string&) override {}
  std::optional<TTimerRecord> TimerOfRow(const std::string&) const override { return std::nullopt; }
};

struct NoTimerList final : TimerEditorHost {
  const ListView& TimerList() const override { return list; }
  void RemoveSelectedTimerRow() override {}
  void TimerWritten(const std::string&, const std::string&) override {}
  ListView list;
};

// The one-off action window with nothing pending and one program to choose.
struct NoOneOff final : OnceFormHost {
  std::string OneOffCommand(std::string_view) override { return "ok\n"; }
  std::string PendingLine() const override { return Tr(kNothingPending); }
  void OpenHelpPage(const std::string&) override {}
};
struct OnceFormOnFakes {
  explicit OnceFormOnFakes(const AppServices& app) : form(app, processes, host) {
    processes.windowed = {{"Encoding - HandBrake", "HandBrake.exe"}};
  }
  FakeProcessWaits processes;
  NoOneOff host;
  TFrmOnce form;
};

}  // namespace halcyra::test
