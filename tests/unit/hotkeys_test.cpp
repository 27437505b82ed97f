// Hotkey texts, their capture and parsing, and the main window's six slots.
#include "ui/hotkeys.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "unit/main_form_fixture.h"

namespace halcyra {
namespace {

constexpr HeldModifiers kNone{};
constexpr HeldModifiers kCtrl{false, true, false};
constexpr HeldModifiers kAll{true, true, true};

TEST(HotkeyCapture, ModifiersInFixedOrderThenTheKey) {
  EXPECT_EQ(HotkeyTextOnKeyDown('P', kAll), "Ctrl+Shift+Alt+P");
  EXPECT_EQ(HotkeyTextOnKeyDown('P', {false, true, true}), "Ctrl+Alt+P");
  EXPECT_EQ(HotkeyTextOnKeyDown('7', {false, false, true}), "Alt+7");
  EXPECT_EQ(HotkeyTextOnKeyDown(0x74, kNone), "F5");
  EXPECT_EQ(HotkeyTextOnKeyDown(0x7B, {true, false, false}), "Shift+F12") << "code 123 is F12";
  EXPECT_EQ(HotkeyTextOnKeyDown('P', kNone), "") << "a letter alone is no shortcut";
  EXPECT_EQ(HotkeyTextOnKeyDown(0x11, kCtrl), "Ctrl+") << "Ctrl held alone";
  EXPECT_EQ(HotkeyTextOnKeyDown(0x20, kCtrl), "Ctrl+") << "space is not accepted";
  EXPECT_EQ(HotkeyTextOnKeyDown(0x7C, kNone), "") << "F13 is not accepted";
}

TEST(HotkeyCapture, ReleaseKeepsOnlyFinishedShortcuts) {
  EXPECT_EQ(HotkeyTextOnKeyUp("F5", 0x74), "F5");
  EXPECT_EQ(HotkeyTextOnKeyUp("Ctrl+", 0x11), "");
  EXPECT_EQ(HotkeyTextOnKeyUp("Ctrl+Shift+P", 0x11), "Ctrl+Shift+P") << "modifiers released first";
  EXPECT_EQ(HotkeyTextOnKeyUp("Ctrl+Shift+P", 'P'), "Ctrl+Shift+P");
  EXPECT_EQ(HotkeyTextOnKeyUp("", 'P'), "");
  EXPECT_EQ(HotkeyTextOnKeyUp("F5", 'A'), "") << "a plain text is kept only for a function key";
}

TEST(HotkeyParsing, PrefixesInAnyOrderAndCase) {
  const ParsedHotkey all = ParseHotkeyText("Ctrl+Shift+Alt+P");
  EXPECT_EQ(all.key, 'P');
  EXPECT_EQ(all.modifiers, 7u);
  const ParsedHotkey lower = ParseHotkeyText("ctrl+alt+x");
  EXPECT_EQ(lower.key, 'X');
  EXPECT_EQ(lower.modifiers, modifier_flags::kControl | modifier_flags::kAlt);
  EXPECT_EQ(ParseHotkeyText("^F5").key, 0x74);
  EXPECT_EQ(ParseHotkeyText("^F5").modifiers, modifier_flags::kControl);
  EXPECT_EQ(ParseHotkeyText("Alt+Shift+Alt+9").modifiers,
            modifier_flags::kAlt | modifier_flags::kShift);
  EXPECT_EQ(ParseHotkeyText("F12").key, 0x7B);
  // Every text the capture makes parses back to its key and modifiers.
  for (std::uint16_t key : {std::uint16_t{'0'}, std::uint16_t{'9'}, std::uint16_t{'A'},
                            std::uint16_t{'Z'}, std::uint16_t{0x70}, std::uint16_t{0x7B}})
    for (unsigned held = 0; held < 8; ++held) {
      const std::string text =
          HotkeyTextOnKeyDown(key, {(held & 4) != 0, (held & 2) != 0, (held & 1) != 0});
      if (HotkeyTextOnKeyUp(text, key).empty()) continue;
      const ParsedHotkey p = ParseHotkeyText(text);
      EXPECT_EQ(p.key, key) << text;
      EXPECT_EQ(p.modifiers, held) << text;
    }
  // A bare letter or digit would act on every such key typed in the session.
  for (const char* bad :
       {"", "Ctrl+", "Ctrl+Home", "F13", "F0", "F01", "Ctrl+PP", "None", "E", "e", "7", "+E"}) {
    const ParsedHotkey p = ParseHotkeyText(bad);
    EXPECT_EQ(p.key, 0) << bad;
    EXPECT_EQ(p.modifiers, 0u) << bad << ": the modifiers are dropped";
  }
}

class HotkeySlotsTest : public test::MainFormTest {};

TEST_F(HotkeySlotsTest, StoredShortcutsAreRegisteredAtCreation) {
  Prepare(
      "[Hotkeys]\r\nPowerdown=Ctrl+Shift+Alt+P\r\nShutdown=None\r\nReboot=Alt+R\r\n"
      "Logoff=E\r\n");
  TFrmMain& f = Create();
  EXPECT_EQ(hotkeys_.calls, (std::vector<std::string>{"atom PowerdownKey",
                                                      "register 49152 16391/80", "atom RebootKey",
                                                      "register 49153 16385/82", "atom LogoffKey"}))
      << "a text that names no key registers nothing";
  EXPECT_EQ(program_->Hotkeys.Ids, (std::array<int, 6>{0xC000, -1, 0xC001, -1, -1, 0xC002}));
  EXPECT_EQ(f.EdtLogoff.text, "E") << "the field keeps showing it";
  hotkeys_.calls.clear();
  f.FormClose();
  EXPECT_EQ(hotkeys_.calls,
            (std::vector<std::string>{"unregister 49152", "delete 49152", "unregister 49153",
                                      "delete 49153", "unregister 49154", "delete 49154"}));
}

TEST_F(HotkeySlotsTest, OkRegistersChangesReportsConflictsAndUnregistersEmptiedSlots) {
  Prepare("[Hotkeys]\r\nPowerdown=Ctrl+Alt+P\r\nShutdown=Ctrl+Alt+S\r\n");
  TFrmMain& f = Create();
  hotkeys_.calls.clear();
  hotkeys_.refused = {"16387/82"};  // Ctrl+Alt+R (without repeats) is held by another program
  f.EdtShutdown.text = "";
  f.EdtReboot.text = "Ctrl+Alt+R";
  f.EdtHibernate.text = "Ctrl+Alt+H";
  f.BtnOKClick();
  // Suspend and Logoff were never stored: not "None", so their ids are unregistered too,
  // which for -1 fails harmlessly.
  EXPECT_EQ(hotkeys_.calls,
            (std::vector<std::string>{
                "unregister 49153", "atom RebootKey", "register 49154 16387/82",
                "atom HibernateKey", "register 49155 16387/72", "unregister -1", "unregister -1"}));
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text,
            "Reboot hotkey \"Ctrl+Alt+R\" is already used, please change it to another hotkey");
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 16u);
  EXPECT_EQ(Read("Hotkeys", "Reboot"), "Ctrl+Alt+R") << "stays written";
  EXPECT_EQ(Read("Hotkeys", "Shutdown"), "None");
  EXPECT_EQ(program_->Hotkeys.Ids[1], 0xC001) << "an id never goes back to -1";

  hotkeys_.calls.clear();
  f.BtnOKClick();
  EXPECT_EQ(hotkeys_.calls, std::vector<std::string>{}) << "unchanged fields do nothing";
}

TEST_F(HotkeySlotsTest, AChangedShortcutReplacesTheOldOneUnderItsId) {
  Prepare("[Hotkeys]\r\nPowerdown=Ctrl+Alt+P\r\n");
  TFrmMain& f = Create();
  hotkeys_.calls.clear();
  f.EdtPowerdown.text = "Ctrl+Alt+O";
  f.BtnOKClick();
  EXPECT_EQ(hotkeys_.calls,
            (std::vector<std::string>{"unregister 49152", "register 49152 16387/79",
                                      "unregister -1", "unregister -1", "unregister -1",
                                      "unregister -1", "unregister -1"}))
      << "the old combination goes before the new one comes under the same id";
}

TEST_F(HotkeySlotsTest, OnlyTheProgramsOwnIdsAct) {
  Prepare("[Hotkeys]\r\nSuspend=Ctrl+Alt+U\r\n");
  Create();
  program_->HandleHotkey(
      -1);  // the slots without a hotkey keep -1; Windows' snap hotkey has it too
  program_->HandleHotkey(0xC001);
  EXPECT_TRUE(machine_.calls.empty());
  EXPECT_TRUE(cleanup_.ran.empty());
}

TEST_F(HotkeySlotsTest, CaptureFillsTheField) {
  TFrmMain& f = Create();
  f.EdtRebootKeyDown(0x11, kCtrl);
  EXPECT_EQ(f.EdtReboot.text, "Ctrl+");
  f.EdtRebootKeyDown('R', kCtrl);
  f.EdtRebootKeyUp('R');
  f.EdtRebootKeyUp(0x11);
  EXPECT_EQ(f.EdtReboot.text, "Ctrl+R");
  f.EdtLogoffKeyDown('L', kNone);
  f.EdtLogoffKeyUp('L');
  EXPECT_EQ(f.EdtLogoff.text, "");
}

TEST_F(HotkeySlotsTest, AKeyUpCountsOnlyAfterItsKeyDownAndUnfinishedCombinationsRevert) {
  constexpr std::uint16_t kTab = 0x09, kShift = 0x10, kF5 = 0x74;
  constexpr HeldModifiers kShiftHeld{true, false, false};
  Prepare("[Hotkeys]\r\nShutdown=Ctrl+Alt+S\r\n");
  TFrmMain& f = Create();
  f.HotkeyFieldEnter(2);
  f.EdtRebootKeyDown(kF5, kNone);
  f.EdtRebootKeyUp(kF5);
  f.HotkeyFieldExit(2);
  // Tab went down in the field before; its release lands here.
  f.HotkeyFieldEnter(3);
  f.EdtHibernateKeyDown(kF5, kNone);
  f.EdtHibernateKeyUp(kF5);
  f.EdtHibernateKeyUp(kTab);
  EXPECT_EQ(f.EdtHibernate.text, "F5") << "a key-up without its key-down";
  // Shift+Tab: Shift goes down here, the focus moves on and Shift comes up in the next field.
  f.EdtHibernateKeyDown(kShift, kShiftHeld);
  f.EdtHibernateKeyDown(kShift, kShiftHeld);  // held, it repeats; it comes up once
  EXPECT_EQ(f.EdtHibernate.text, "Shift+");
  f.HotkeyFieldExit(3);
  EXPECT_EQ(f.EdtHibernate.text, "F5") << "an unfinished combination reverts";
  f.HotkeyFieldEnter(2);
  f.EdtRebootKeyUp(kShift);
  EXPECT_EQ(f.EdtReboot.text, "F5");
  // Modifiers pressed and released in one field still mean "no shortcut".
  f.EdtRebootKeyDown(kShift, kShiftHeld);
  f.EdtRebootKeyDown(kShift, kShiftHeld);
  f.EdtRebootKeyUp(kShift);
  EXPECT_EQ(f.EdtReboot.text, "");
  f.EdtRebootKeyDown(kShift, kShiftHeld);
  f.HotkeyFieldExit(2);
  EXPECT_EQ(f.EdtReboot.text, "") << "what it held before was nothing";
  // OK while Shift is still held in a field saves what the field held before.
  f.EdtShutdownKeyDown(kShift, kShiftHeld);
  f.EdtSuspendKeyDown(kShift, kShiftHeld);
  f.EdtSuspendKeyDown('Q', kShiftHeld);
  f.BtnOKClick();
  EXPECT_EQ(f.EdtShutdown.text, "Ctrl+Alt+S");
  EXPECT_EQ(Read("Hotkeys", "Shutdown"), "Ctrl+Alt+S");
  EXPECT_EQ(Read("Hotkeys", "Hibernate"), "F5");
  EXPECT_EQ(Read("Hotkeys", "Suspend"), "Shift+Q") << "a finished one, its keys still down";
}

TEST_F(HotkeySlotsTest, APressedHotkeyCleansLogsAndActsAtOnce) {
  Prepare(
      "[Hotkeys]\r\nSuspend=Ctrl+Alt+U\r\n[CleanUp]\r\nTempFolder=True\r\n[Log]\r\nEnabled=True\r\n"
      "[general]\r\nDuration=30\r\n");
  Create();
  program_->HandleHotkey(12345);
  EXPECT_TRUE(machine_.calls.empty()) << "an unknown id does nothing";
  program_->HandleHotkey(0xC000);
  EXPECT_EQ(cleanup_.ran, std::vector<std::string>{"TempFolder"});
  EXPECT_EQ(machine_.calls, std::vector<std::string>{"SetSystemPowerState 1 1"});
  EXPECT_TRUE(host_.countdowns.empty()) << "no countdown";
  std::ifstream log(*os_.commonAppData + "\\Halcyra\\Log.txt", std::ios::binary);
  std::string line((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_EQ(line, "2026-03-03 09:05:07    Suspend\r\n");
  EXPECT_TRUE(program_->Schedule.Running()) << "the schedule keeps running";
  EXPECT_EQ(Read("Log", "LastRebootTime"), "");
  EXPECT_TRUE(boxes_.shown.empty());

  sleep_.capabilities = PowerCapabilities{};  // no sleep state at all
  program_->HandleHotkey(0xC000);
  EXPECT_EQ(machine_.calls.size(), 1u) << "no call for a state the machine lacks";
  ASSERT_EQ(boxes_.shown.size(), 1u) << "a refused action is said";
  EXPECT_EQ(boxes_.shown[0].text, Tr(kActionRefusedMessage));
}

TEST_F(HotkeySlotsTest, AFailedLogLineIsReportedThenTheActionFollows) {
  Prepare("[Hotkeys]\r\nReboot=Ctrl+Alt+R\r\n[Log]\r\nEnabled=True\r\n");
  Create();
  // A folder where the log should be: the line cannot be written.
  std::filesystem::create_directory(*os_.commonAppData + "\\Halcyra\\Log.txt");
  program_->HandleHotkey(0xC000);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text,
            "Can not log shutdown event. You must be given \"modify\" access to "
            "the folder: \"" +
                *os_.commonAppData + "\\Halcyra\".");
  EXPECT_EQ(boxes_.shown[0].style, 16u);
  EXPECT_EQ(machine_.calls, std::vector<std::string>{"ExitWindowsEx 6"});
}

}  // namespace
}  // namespace halcyra
