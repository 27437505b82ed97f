// The portable INI layer against the kernel32 profile functions: the same operations on two
// copies of a file, every read compared, and the files compared byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <variant>

#include "core/text.h"
#include "platform/portable/portable_ini_profile.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_ini_profile_win.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

struct Write {
  std::string section, key, value;
};
struct Delete {
  std::string section, key;
};
struct Read {
  std::string section, key;
};
struct Keys {
  std::string section;
};
// A whole section: read line by line, or written in one call.
struct Lines {
  std::string section;
};
struct WriteLines {
  std::string section;
  std::vector<std::string> entries;
};
using Step = std::variant<Write, Delete, Read, Keys, Lines, WriteLines>;

class IniDifferential : public testing::Test {
 protected:
  // Runs the steps on both layers from the same initial content (none: no file) and compares
  // the resulting files unless only the reads are comparable.
  void Run(const std::optional<std::string>& initial, const std::vector<Step>& steps,
           bool compareFiles = true) {
    if (initial) {
      folder_.WriteFile("win32.ini", *initial);
      folder_.WriteFile("portable.ini", *initial);
    }
    const std::string win32Path = folder_.File("win32.ini");
    const std::string portablePath = folder_.File("portable.ini");
    int index = 0;
    for (const Step& step : steps) {
      SCOPED_TRACE("step " + std::to_string(index++));
      if (auto* w = std::get_if<Write>(&step)) {
        EXPECT_EQ(win32_.WriteString(win32Path, w->section, w->key, w->value),
                  portable_.WriteString(portablePath, w->section, w->key, w->value));
      } else if (auto* d = std::get_if<Delete>(&step)) {
        win32_.DeleteKey(win32Path, d->section, d->key);
        portable_.DeleteKey(portablePath, d->section, d->key);
      } else if (auto* r = std::get_if<Read>(&step)) {
        EXPECT_EQ(win32_.ReadString(win32Path, r->section, r->key, "<default>"),
                  portable_.ReadString(portablePath, r->section, r->key, "<default>"))
            << r->section << "/" << r->key;
      } else if (auto* k = std::get_if<Keys>(&step)) {
        EXPECT_EQ(win32_.ReadKeys(win32Path, k->section),
                  portable_.ReadKeys(portablePath, k->section))
            << k->section;
      } else if (auto* l = std::get_if<Lines>(&step)) {
        EXPECT_EQ(win32_.ReadSectionLines(win32Path, l->section),
                  portable_.ReadSectionLines(portablePath, l->section))
            << l->section;
      } else if (auto* wl = std::get_if<WriteLines>(&step)) {
        EXPECT_EQ(win32_.WriteSection(win32Path, wl->section, wl->entries),
                  portable_.WriteSection(portablePath, wl->section, wl->entries));
      }
    }
    if (compareFiles) {
      EXPECT_EQ(folder_.ReadFile("win32.ini"), folder_.ReadFile("portable.ini"));
    }
  }

  test::TempFolder folder_;
  Win32IniProfile win32_;
  PortableIniProfile portable_;
};

TEST_F(IniDifferential, ReadsOfAMissingFileSectionAndKeyGiveTheDefault) {
  Run(std::nullopt, {Read{"general", "Duration"}, Keys{"Timer"}});
  Run("[general]\r\nDuration=5\r\n",
      {Read{"Sound", "Enabled"}, Read{"general", "EnableAbort"}, Keys{"Timer"}, Keys{"general"}});
}

TEST_F(IniDifferential, WritesCreateTheFileAddKeysAndSectionsAndReplaceValues) {
  Run(std::nullopt,
      {Write{"general", "ShowSystemTray", "True"}, Write{"general", "Duration", "5"},
       Write{"Hotkeys", "Powerdown", "Ctrl+Shift+Alt+P"}, Write{"general", "Duration", "30"},
       Write{"GENERAL", "enableabort", "false"}, Read{"General", "DURATION"},
       Read{"general", "EnableAbort"}, Keys{"general"}, Keys{"hotkeys"}});
}

TEST_F(IniDifferential, NamesWithoutCaseKeepTheirFirstSpelling) {
  Run("[Timer]\r\nNight=enabled,Reboot,23:00,Daily\r\n",
      {Write{"timer", "NIGHT", "disabled,Reboot,23:30,Daily"}, Read{"Timer", "night"},
       Keys{"TIMER"}});
}

TEST_F(IniDifferential, DeletesRemoveTheLineAndIgnoreWhatIsMissing) {
  Run("[Timer]\r\na=1\r\nb=2\r\nc=3\r\n[Password]\r\nEnabled=True\r\nPassword=ABC\r\n",
      {Delete{"Timer", "B"}, Delete{"Timer", "zz"}, Delete{"Nothing", "a"},
       Delete{"password", "password"}, Keys{"Timer"}, Keys{"Password"}, Read{"Timer", "b"}});
}

TEST_F(IniDifferential, ValuesAreTrimmedAndLongOnesCut) {
  Run("[Sound]\r\nSoundPath=C:\\a b.wav\r\n",
      {Write{"Sound", "Long", std::string(3000, 'x')}, Read{"Sound", "Long"},
       Write{"Sound", "Exact", std::string(2047, 'y')}, Read{"Sound", "Exact"},
       Read{"Sound", "SoundPath"}, Write{"Sound", "Empty", ""}, Read{"Sound", "Empty"}});
  // A character of two UTF-16 units across the cut is left out whole.
  Run(std::nullopt, {Write{"Sound", "Emoji", std::string(2046, 'a') + "\xF0\x9F\x8E\x89"},
                     Read{"Sound", "Emoji"}});
}

TEST_F(IniDifferential, ManyTimersAndTheKeyListLimit) {
  std::vector<Step> steps;
  for (int i = 0; i < 200; ++i) {
    char title[8];
    std::snprintf(title, sizeof title, "%03d", i);
    steps.push_back(Write{"Timer", title + std::string(96, 't'), "enabled,Shutdown,10:00,Daily"});
  }
  steps.push_back(Keys{"Timer"});
  steps.push_back(Read{"Timer", "199" + std::string(96, 't')});
  Run(std::nullopt, steps);
}

TEST_F(IniDifferential, ANameThatDoesNotFitTheKeyListWholeIsNotListed) {
  Run("[Timer]\r\n" + std::string(16380, 'A') + "=enabled,Shutdown,10:00,Daily\r\n" +
          "Bxyz=enabled,Reboot,11:00,Daily\r\n",
      {Keys{"Timer"}, Read{"Timer", "Bxyz"}});
}

// The names with their zero bytes and the final one take 16,382 to 16,385 bytes: the last name
// is listed exactly when it fits whole.
TEST_F(IniDifferential, ALastNameIsListedExactlyWhenItFitsTheKeyList) {
  for (const std::size_t total : {16382u, 16383u, 16384u, 16385u}) {
    SCOPED_TRACE(total);
    // Its own zero byte, then "Last" with its zero byte and the final one: 7 bytes more.
    const std::string first(total - 7, 'A');
    Run("[Timer]\r\n" + first +
            "=enabled,Shutdown,10:00,Daily\r\nLast=enabled,Reboot,11:00,Daily\r\n",
        {Keys{"Timer"}});
    const auto listed = portable_.ReadKeys(folder_.File("portable.ini"), "Timer");
    EXPECT_EQ(listed.size(), total <= 16384 ? 2u : 1u);
  }
}

// The case rule of names in the test prefix's code page, Windows-1252: the portable layer's
// table against the system's upper-case table, for every pair of the code page's characters
// (UTF-8 in the program). (Wine's profile functions themselves fold only a to z; see the README.)
TEST_F(IniDifferential, NamesFoldByTheSystemsCaseRule) {
  ASSERT_EQ(GetACP(), 1252u);
  for (int a = 1; a < 256; ++a) {
    for (int b = a + 1; b < 256; ++b) {
      const std::string x = Utf8FromWindows1252(std::string(1, static_cast<char>(a))),
                        y = Utf8FromWindows1252(std::string(1, static_cast<char>(b)));
      EXPECT_EQ(win32_.NameKey(x) == win32_.NameKey(y),
                portable_.NameKey(x) == portable_.NameKey(y))
          << a << " " << b;
    }
  }
  EXPECT_EQ(win32_.NameKey("\xC3\xA9t\xC3\xA9"), win32_.NameKey("\xC3\x89T\xC3\x89"));
}

// Names and values are UTF-8 in the program and Windows-1252 in the file, both ways, on both
// layers: the accented letters and the code page's own 0x80 to 0x9F (the euro sign, a free 0x81).
// The first text the code page cannot hold turns the whole file into UTF-16LE with its mark,
// every line kept, and from then on every character is kept, beyond the 16-bit plane too. A
// file with a second name is not rewritten: the write would reach the other name's file.
TEST_F(IniDifferential, TextOutsideTheCodePageTurnsTheFileUnicode) {
  const std::string ete = "\xC3\xA9t\xC3\xA9", value = "\xE2\x82\xAC \xC5\xB8\xC2\x81";
  const std::string title =
      "Zo\xC3\xAB \xE2\x80\x93 \xE6\x9D\xB1\xE4\xBA\xAC \xE2\x9C\x93 \xF0\x9F\x8E\x89";
  Run("[Timer]\r\n\xE9t\xE9=\x80 \x9F\x81\r\n",
      {Read{"Timer", ete}, Keys{"Timer"}, Lines{"Timer"}, WriteLines{"Log", {ete + "=" + value}},
       Lines{"Log"}});
  EXPECT_EQ(folder_.ReadFile("portable.ini"),
            "[Timer]\r\n\xE9t\xE9=\x80 \x9F\x81\r\n[Log]\r\n\xE9t\xE9=\x80 \x9F\x81\r\n");
  Run(std::nullopt,
      {Write{"Timer", "\xC5\x81", title}, Read{"Timer", "\xC5\x81"}, Read{"Timer", "?"},
       Keys{"Timer"}, Lines{"Timer"}, Write{"Log", "Enabled", "True"},
       WriteLines{"Sound", {"SoundPath=C:\\\xE6\x9D\xB1.wav"}}, Lines{"Sound"}});
  EXPECT_EQ(portable_.ReadString(folder_.File("portable.ini"), "Timer", "\xC5\x81", ""), title);
  EXPECT_EQ(folder_.ReadFile("portable.ini"),
            "\xFF\xFE" + Utf16LeFromUtf8(
                             "[Timer]\r\n" + ete + "=" + value + "\r\n\xC5\x81=" + title +
                             "\r\n[Log]\r\n" + ete + "=" + value +
                             "\r\nEnabled=True\r\n[Sound]\r\nSoundPath=C:\\\xE6\x9D\xB1.wav\r\n"));
  EXPECT_EQ(win32_.NameKey("\xC5\x82"), win32_.NameKey("\xC5\x81"));
  EXPECT_NE(win32_.NameKey("\xE6\x9D\xB1"), win32_.NameKey("?"));
  EXPECT_EQ(portable_.NameKey("\xC5\x82"), portable_.NameKey("\xC5\x81"));

  folder_.WriteFile("linked.ini", "[Timer]\r\na=1\r\n");
  ASSERT_TRUE(CreateHardLinkW(Wide(folder_.File("second.ini")).c_str(),
                              Wide(folder_.File("linked.ini")).c_str(), nullptr));
  EXPECT_FALSE(win32_.WriteString(folder_.File("linked.ini"), "Timer", "b", title));
  EXPECT_EQ(folder_.ReadFile("second.ini"), "[Timer]\r\na=1\r\n");
}

// Hand-edited files: comments, blank lines, blanks around "=", quotes, lines without "=".
TEST_F(IniDifferential, HandEditedFilesReadAlike) {
  const std::string edited =
      "; Halcyra settings\r\n\r\n[ general ]\r\n  Duration = 30  \r\nShowSystemTray=True\r\n"
      "\r\n[Sound]\r\nSoundPath=\"C:\\My Sounds\\a.wav\"\r\nquoted='x'\r\nhalf=\"y\r\n"
      "[Timer]\r\n;Old=enabled,Shutdown,10:00,Daily\r\nNoValue\r\nNight=enabled,Reboot,23:00,"
      "Daily\r\n"
      "a=b=c\r\n\tTabbed\t=\tv\t\r\n";
  Run(edited,
      {Read{"general", "Duration"}, Read{"General", "showsystemtray"}, Read{"Sound", "SoundPath"},
       Read{"Sound", "quoted"}, Read{"Sound", "half"}, Keys{"Timer"}, Read{"Timer", "Night"},
       Read{"Timer", "a"}, Read{"Timer", "NoValue"}, Read{"Timer", ";Old"}, Read{"Timer", "Tabbed"},
       Keys{"general"}, Keys{"Sound"}},
      false);
}

// A section read whole, however long, and written back in one call in a new order: the layout
// the program writes, and a hand-edited one, whose reads must agree.
TEST_F(IniDifferential, SectionsAreReadWholeAndWrittenInOneCall) {
  const std::string file =
      "[general]\r\nDuration=5\r\n[Timer]\r\na=enabled,Shutdown,10:00,Daily\r\n"
      "b=enabled,Reboot,11:00,Daily\r\n[Log]\r\nEnabled=True\r\n";
  Run(file,
      {Lines{"timer"},
       WriteLines{"Timer", {"b=enabled,Reboot,11:00,Daily", "A=disabled,Shutdown,10:00,Daily"}},
       Lines{"Timer"}, Keys{"Timer"}, Read{"Log", "Enabled"}, WriteLines{"Sound", {"Enabled=True"}},
       Lines{"Missing"}});
  Run(std::nullopt, {WriteLines{"Timer", {"a=1", "b=2"}}, Lines{"Timer"}});

  std::string many = "[Timer]\r\n";
  for (int i = 0; i < 2000; ++i)
    many += "timer" + std::to_string(i) + "=enabled,Shutdown,10:00,Daily\r\n";
  Run(many, {Lines{"Timer"}});
  const auto lines = win32_.ReadSectionLines(folder_.File("win32.ini"), "Timer");
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(lines->size(), 2000u) << "past the first buffer's 16,384 characters";

  Run("[Timer]\r\n;Old=enabled,Shutdown,10:00,Daily\r\n  Night = \"enabled,Reboot,23:00,Daily\"\r\n"
      "\r\nNoValue\r\n[Log]\r\n",
      {Lines{"Timer"}, WriteLines{"Timer", {"x=1", "Night=enabled,Reboot,23:00,Daily"}},
       Lines{"Timer"}, Keys{"Timer"}, Read{"Timer", "Night"}},
      false);
}

// A data folder whose name the ANSI code page cannot hold ("\u0141\u00f3d\u017a") is reached
// through the wide path; names and values, UTF-8 in the program, are text of the code page in
// the file.
TEST_F(IniDifferential, AFolderOutsideTheCodePageIsReached) {
  const std::filesystem::path folder =
      folder_.Path() / std::filesystem::path(L"\u0141\u00f3d\u017a");
  std::filesystem::create_directories(folder);
  const std::u8string utf8 = (folder / "Halcyra.ini").u8string();
  const std::string path(utf8.begin(), utf8.end());
  const std::string ete = "\xC3\xA9t\xC3\xA9", eteUpper = "\xC3\xA9T\xC3\xA9";
  ASSERT_TRUE(win32_.WriteString(path, "Timer", ete, "enabled,Shutdown,10:00,Daily"));
  EXPECT_EQ(win32_.ReadString(path, "Timer", eteUpper, ""), "enabled,Shutdown,10:00,Daily");
  EXPECT_EQ(win32_.ReadKeys(path, "Timer"), std::vector<std::string>{ete});
  ASSERT_TRUE(win32_.WriteSection(path, "Timer", {"b=2", ete + "=3", "\xC3\xBF=4"}));
  EXPECT_EQ(win32_.ReadSectionLines(path, "Timer"),
            (std::vector<std::string>{"b=2", ete + "=3", "\xC3\xBF=4"}));
  EXPECT_TRUE(win32_.DeleteKey(path, "Timer", "b"));
  std::ifstream in(folder / "Halcyra.ini", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, "[Timer]\r\n\xE9t\xE9=3\r\n\xFF=4\r\n") << "the file's text in the code page";
}

}  // namespace
}  // namespace halcyra
