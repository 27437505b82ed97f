// The portable INI layer against the kernel32 profile functions: the same operations on two
// copies of a file, every read compared, and the files compared byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <variant>

#include "platform/portable/portable_ini_profile.h"
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
using Step = std::variant<Write, Delete, Read, Keys>;

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
// table against the system's upper-case table, for every pair of characters. (Wine's profile
// functions themselves fold only a to z; see the README.)
TEST_F(IniDifferential, NamesFoldByTheSystemsCaseRule) {
  ASSERT_EQ(GetACP(), 1252u);
  for (int a = 1; a < 256; ++a) {
    for (int b = a + 1; b < 256; ++b) {
      const std::string x(1, static_cast<char>(a)), y(1, static_cast<char>(b));
      EXPECT_EQ(win32_.NameKey(x) == win32_.NameKey(y),
                portable_.NameKey(x) == portable_.NameKey(y))
          << a << " " << b;
    }
  }
  EXPECT_EQ(win32_.NameKey("\xE9t\xE9"), win32_.NameKey("\xC9T\xC9"));
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

}  // namespace
}  // namespace halcyra
