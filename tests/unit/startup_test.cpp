#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/fakes.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

class FakeStartupHost final : public StartupHost {
 public:
  bool alreadyRunning = false;
  bool askedToShow = false;
  bool throwFromMainWindow = false;
  std::vector<bool> mainWindowRuns;  // the show flag of each run
  int wizards = 0;
  mutable std::vector<std::string> existenceChecks;
  std::string exePath = "C:\\Program Files\\Halcyra\\Halcyra.exe";

  bool InstanceAlreadyRunning() override { return alreadyRunning; }
  void AskRunningInstanceToShow() override { askedToShow = true; }
  bool FileExists(const std::string& path) const override {
    existenceChecks.push_back(path);
    return std::filesystem::exists(path);
  }
  std::string ExecutablePath() const override { return exePath; }
  void RunWizard() override {
    ++wizards;
    EXPECT_TRUE(mainWindowRuns.empty()) << "the wizard comes before the main window";
  }
  // What the last run was told: the process wrote the first-start record on "Vista".
  bool firstRunOnVista = false;
  int RunMainWindow(const MainWindowStart& start) override {
    mainWindowRuns.push_back(start.show);
    firstRunOnVista = start.firstRunOnVista;
    if (throwFromMainWindow) throw std::runtime_error("window class refused");
    return 0;
  }
};

// The shell's folder is a test folder. The program joins paths with "\": on Windows that
// is the folder below; elsewhere it is part of a file name, which stays in the test folder.
class StartupTest : public testing::Test {
 protected:
  StartupTest() {
    std::filesystem::create_directories(folder_.Path() / "root" / "Halcyra");
    os_.commonAppData = (folder_.Path() / "root").string();
  }
  std::string DataFolder() const { return *os_.commonAppData + "\\Halcyra"; }
  std::string SettingsPath() const { return DataFolder() + "\\Halcyra.ini"; }
  void PrepareSettings(const std::string& content) {
    std::ofstream(SettingsPath(), std::ios::binary) << content;
  }
  SettingsFile Settings() { return SettingsFile(ini_, SettingsPath(), {}); }
  int Start() { return RunStartup(host_, services_); }

  test::TempFolder folder_;
  test::FakeOsInfo os_;
  test::RefusingIniProfile ini_;
  test::FixedRegionalSettings regional_;
  test::FakeMessageBoxes boxes_;
  test::RecordingMachineControl machine_;
  test::FakePolicyStore policyStore_;
  test::FakeSystemLog policyLog_;
  PolicyWatch policies_{policyStore_, policyLog_, PolicyReach::MachineAndUser};
  AppServices services_{os_, ini_, regional_, boxes_, machine_, policies_};
  FakeStartupHost host_;
};

TEST_F(StartupTest, SecondStartHandsOverAndReadsNothing) {
  host_.alreadyRunning = true;
  EXPECT_EQ(Start(), 0);
  EXPECT_TRUE(host_.askedToShow);
  EXPECT_TRUE(host_.existenceChecks.empty());
  EXPECT_TRUE(host_.mainWindowRuns.empty());
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST(InstanceMutex, AnElevatedInstancesMutexStillMeansAnotherInstance) {
  EXPECT_TRUE(AnotherInstanceRuns(InstanceMutex::AlreadyExists));
  EXPECT_TRUE(AnotherInstanceRuns(InstanceMutex::AccessDenied))
      << "a normal start next to an elevated one must not run a second instance";
  EXPECT_FALSE(AnotherInstanceRuns(InstanceMutex::Created));
  EXPECT_FALSE(AnotherInstanceRuns(InstanceMutex::Failed)) << "no mutex: better one than none";
}

TEST_F(StartupTest, MissingSettingsFileIsReportedAndEndsTheProcess) {
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text,
            "The setting file of Halcyra is missing, please uninstall Halcyra and re-install it.");
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 16u);
  EXPECT_EQ(host_.existenceChecks, std::vector<std::string>{SettingsPath()});
  EXPECT_TRUE(host_.mainWindowRuns.empty());
  EXPECT_FALSE(host_.firstRunOnVista);
}

TEST_F(StartupTest, EmptyDataFolderCountsAsAMissingSettingsFile) {
  os_.commonAppData = std::nullopt;
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, Tr(kMissingSettingsMessage));
  EXPECT_TRUE(host_.existenceChecks.empty()) << "never looks at the drive's root";
  EXPECT_TRUE(host_.mainWindowRuns.empty());
}

TEST_F(StartupTest, FirstStartWritesTheRecordAndAppPathThenShowsTheWindow) {
  PrepareSettings("");
  EXPECT_EQ(Start(), 0);
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_EQ(Settings().ReadString(kGeneralSection, kFirstStartKey), kFirstStartValue);
  EXPECT_EQ(Settings().ReadString("general", "AppPath"), host_.exePath);
  EXPECT_EQ(host_.wizards, 1);
  EXPECT_EQ(host_.mainWindowRuns, std::vector<bool>{true});
  EXPECT_TRUE(host_.firstRunOnVista);
}

TEST_F(StartupTest, FirstRunOnVistaOnlyOnVista) {
  PrepareSettings("");
  os_.version = {5, 1};
  Start();
  EXPECT_FALSE(host_.firstRunOnVista);
}

TEST_F(StartupTest, OrdinaryStartCreatesTheWindowHiddenAndWritesNothing) {
  PrepareSettings("[general]\r\nFirstStartDone=True\r\n");
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(host_.mainWindowRuns, std::vector<bool>{false});
  EXPECT_EQ(host_.wizards, 0);
  EXPECT_FALSE(host_.firstRunOnVista) << "only the process that wrote the record";
  EXPECT_EQ(Settings().ReadString("general", "AppPath"), "");
}

TEST_F(StartupTest, ErrorOfTheMainWindowAtAnOrdinaryStartAsksForModifyAccess) {
  PrepareSettings("[general]\r\nFirstStartDone=True\r\n");
  host_.throwFromMainWindow = true;
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text,
            "You must be given \"modify\" access to the folder: \"" + DataFolder() + "\".");
  EXPECT_EQ(boxes_.shown[0].style, 16u);
}

TEST_F(StartupTest, ErrorOfTheMainWindowAtAFirstStartEndsTheSameWay) {
  PrepareSettings("");
  host_.throwFromMainWindow = true;
  EXPECT_NE(Start(), 0) << "never an end through std::terminate";
  EXPECT_EQ(host_.wizards, 1);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text,
            "You must be given \"modify\" access to the folder: \"" + DataFolder() + "\".");
}

TEST_F(StartupTest, RefusedRecordAsksForModifyAccessAndGoesOn) {
  PrepareSettings("");
  ini_.writesBeforeRefusal = 0;  // the record is refused ...
  ini_.refuseWrites = false;
  // ... and AppPath after it too, which ends the process with the settings layer's text.
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[0].text, FolderAccessMessage(DataFolder()));
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 16u);
  EXPECT_EQ(boxes_.shown[1].text, "Unable to write to " + SettingsPath());
  EXPECT_EQ(boxes_.shown[1].caption, "Halcyra");
  EXPECT_TRUE(host_.mainWindowRuns.empty());
  EXPECT_FALSE(host_.firstRunOnVista);
}

TEST_F(StartupTest, RefusedRecordAloneStillStartsWithTheWindowShown) {
  PrepareSettings("");
  ini_.writesBeforeRefusal = 0;
  // Only the first write fails: a refusal for one write.
  class OnceRefusing final : public IniProfile {
   public:
    explicit OnceRefusing(IniProfile& inner) : inner_(inner) {}
    std::string ReadString(const std::string& p, const std::string& s, const std::string& k,
                           const std::string& d) const override {
      return inner_.ReadString(p, s, k, d);
    }
    bool WriteString(const std::string& p, const std::string& s, const std::string& k,
                     const std::string& v) override {
      if (!refused_) return !(refused_ = true);
      return inner_.WriteString(p, s, k, v);
    }
    bool DeleteKey(const std::string& p, const std::string& s, const std::string& k) override {
      return inner_.DeleteKey(p, s, k);
    }
    std::vector<std::string> ReadKeys(const std::string& p, const std::string& s) const override {
      return inner_.ReadKeys(p, s);
    }
    std::optional<std::vector<std::string>> ReadSectionLines(const std::string& p,
                                                             const std::string& s) const override {
      return inner_.ReadSectionLines(p, s);
    }
    bool WriteDenied(const std::string& p) const override { return inner_.WriteDenied(p); }
    bool WriteSection(const std::string& p, const std::string& s,
                      const std::vector<std::string>& e) override {
      return inner_.WriteSection(p, s, e);
    }
    std::string NameKey(std::string_view name) const override { return inner_.NameKey(name); }

   private:
    IniProfile& inner_;
    bool refused_ = false;
  };
  PortableIniProfile portable;
  OnceRefusing once(portable);
  AppServices services{os_, once, regional_, boxes_, machine_, policies_};
  EXPECT_EQ(RunStartup(host_, services), 0);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, FolderAccessMessage(DataFolder()));
  EXPECT_EQ(Settings().ReadString("general", "AppPath"), host_.exePath);
  EXPECT_EQ(Settings().ReadString(kGeneralSection, kFirstStartKey), "");
  EXPECT_EQ(host_.mainWindowRuns, std::vector<bool>{true});
  EXPECT_FALSE(host_.firstRunOnVista);
}

}  // namespace
}  // namespace halcyra
