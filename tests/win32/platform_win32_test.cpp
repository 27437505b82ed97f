// The Win32 implementations of the small platform interfaces, against Wine.
#include <windows.h>

#include <winsock2.h>
#include <ws2ipdef.h>

#include <gtest/gtest.h>
#include <iphlpapi.h>
#include <winver.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/paths.h"
#include "app/settings_file.h"
#include "core/text.h"
#include "platform/win32/bounded_reads_win.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/loaded_library_win.h"
#include "platform/win32/machine_control_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_ini_profile_win.h"
#include "platform/win32/win32_os_info_win.h"
#include "platform/win32/win32_process_waits_win.h"
#include "platform/win32/win32_regional_settings_win.h"
#include "platform/win32/win32_service_control_win.h"
#include "platform/win32/win32_system_load_win.h"
#include "support/temp_folder.h"
#include "version.h"

namespace halcyra {
namespace {

// The libraries loaded for one task come from the system folder alone: a library of the same
// name beside the program (or in the current folder) is never taken.
TEST(LoadedLibrary, TakesSystemLibrariesOnlyAndGivesNullForWhatIsMissing) {
  const LoadedLibrary version(L"version.dll");
  EXPECT_NE(version.Function<decltype(GetFileVersionInfoSizeA)>("GetFileVersionInfoSizeA"),
            nullptr);
  EXPECT_EQ(version.Function<void()>("NoSuchFunction"), nullptr);

  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  const test::TempFolder folder;
  const std::wstring plantedPath = (folder.Path() / "planted.dll").wstring();
  ASSERT_TRUE(
      CopyFileW((std::wstring(system) + L"\\version.dll").c_str(), plantedPath.c_str(), FALSE));
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  SetCurrentDirectoryW(folder.Path().wstring().c_str());
  HMODULE byName = LoadLibraryW(L"planted.dll");
  const LoadedLibrary planted(L"planted.dll");
  const bool plantedTaken = planted.Function<void()>("GetFileVersionInfoSizeA") != nullptr;
  SetCurrentDirectoryW(current);
  ASSERT_NE(byName, nullptr) << "a plain load takes the library of the current folder";
  FreeLibrary(byName);
  EXPECT_FALSE(plantedTaken);
}

// Each program names itself: application-control rules and Programs and Features read these.
TEST(VersionResources, EachProgramCarriesItsOwnNamesAndTheProjectsVersion) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string build = FolderOf(FolderOf(self));
  const LoadedLibrary library(L"version.dll");
  const auto size = library.Function<decltype(GetFileVersionInfoSizeA)>("GetFileVersionInfoSizeA");
  const auto info = library.Function<decltype(GetFileVersionInfoA)>("GetFileVersionInfoA");
  const auto query = library.Function<decltype(VerQueryValueA)>("VerQueryValueA");
  ASSERT_TRUE(size && info && query);
  for (const auto& [file, description] :
       {std::pair{"Halcyra.exe", "Halcyra - scheduled shutdown"},
        std::pair{"ShutdownService.exe",
                  "Halcyra Service - scheduled shutdown while nobody is logged on"}}) {
    const std::string path = build + "\\" + file;
    std::vector<char> data(size(path.c_str(), nullptr));
    ASSERT_FALSE(data.empty()) << path;
    ASSERT_TRUE(info(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    const auto value = [&](const char* name) {
      char* text = nullptr;
      UINT length = 0;
      const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
      return query(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) && text
                 ? std::string(text)
                 : std::string();
    };
    EXPECT_EQ(value("OriginalFilename"), file);
    EXPECT_EQ(value("FileDescription"), description);
    EXPECT_EQ(value("ProductName"), "Halcyra");
    EXPECT_EQ(value("LegalCopyright"), "Copyright (C) 2026 Halcyra");
    EXPECT_EQ(value("FileVersion"), HALCYRA_VERSION_TEXT);
    EXPECT_EQ(value("ProductVersion"), HALCYRA_VERSION_TEXT);
  }
}

TEST(Win32OsInfo, ModernWindowsIsVistaWithItsDataFolderUnderProgramData) {
  Win32OsInfo os;
  EXPECT_GE(os.Version().major, 6u);
  EXPECT_EQ(GetOSEdition(os), "Vista");
  EXPECT_EQ(UpperAscii(GetDataFolder(os)), "C:\\PROGRAMDATA\\HALCYRA");
  EXPECT_EQ(UpperAscii(GetSettingsPath(os)), "C:\\PROGRAMDATA\\HALCYRA\\HALCYRA.INI");
}

TEST(Win32RegionalSettings, DateTimesRoundTripThroughTheProfileFunctions) {
  Win32RegionalSettings regional;
  const RegionalFormat format = regional.Current();
  EXPECT_FALSE(format.shortDate.empty());
  EXPECT_FALSE(format.timeSeparator.empty());

  test::TempFolder folder;
  Win32IniProfile ini;
  SettingsFile file(ini, folder.File("Halcyra.ini"), format);
  const DateTime value = EncodeDateTime({2026, 3, 0, 3, 9, 5, 7, 0});
  file.WriteDateTime("Log", "LastRebootTime", value);
  EXPECT_DOUBLE_EQ(file.ReadDateTime("Log", "LastRebootTime"), value);
  // The text is what the system's own formatting gives for the user's locale.
  SYSTEMTIME st{2026, 3, 2, 3, 9, 5, 7, 0};
  char date[80], time[80];
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
  EXPECT_EQ(file.ReadString("Log", "LastRebootTime"), std::string(date) + " " + time);
}

// Any reader of the shared file can hold it up: share it with nobody, lock it, hold an oplock.
// Wine keeps no oplocks and its profile functions never wait, so a read of a pipe that never
// answers stands in for such a file. The read gives up after its wait; while it stays held,
// reads of that file give up at once, and it ends once the holder lets go.
TEST(BoundedReads, AReadHeldByAnotherProgramGivesUpAfterOneWait) {
  const std::wstring name = L"\\\\.\\pipe\\halcyra-held-" + std::to_wstring(GetCurrentProcessId());
  UniqueHandle holder(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                       1, 4096, 4096, 0, nullptr));
  ASSERT_TRUE(holder);
  const BoundedReads reads;
  const auto readPipe = [name] {
    const UniqueHandle pipe(
        CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    char byte = 0;
    DWORD count = 0;
    ReadFile(pipe.Get(), &byte, 1, &count, nullptr);
  };
  EXPECT_FALSE(reads.Run("Halcyra.ini", readPipe));
  EXPECT_TRUE(reads.Held("Halcyra.ini"));
  EXPECT_FALSE(reads.Held("Other.ini"));
  const ULONGLONG held = GetTickCount64();
  bool ran = false;
  EXPECT_FALSE(reads.Run("Halcyra.ini", [&ran] { ran = true; }));
  EXPECT_LT(GetTickCount64() - held, kSharedFileWaitMs) << "one wait, not one per value";
  EXPECT_FALSE(ran);
  EXPECT_TRUE(reads.Run("Other.ini", [] {}));

  holder.Close();
  for (int i = 0; i < 250 && reads.Held("Halcyra.ini"); ++i) Sleep(20);
  EXPECT_FALSE(reads.Held("Halcyra.ini")) << "the read ends once the holder lets go";
  EXPECT_TRUE(reads.Run("Halcyra.ini", [] {}));

  // Let go before anyone asked: what the read gave back was not the file all the same.
  holder.Reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                4096, 4096, 0, nullptr));
  EXPECT_FALSE(reads.Run("Halcyra.ini", readPipe));
  holder.Close();
  for (int i = 0; i < 250 && reads.Blocked("Halcyra.ini"); ++i) Sleep(20);
  EXPECT_TRUE(reads.Held("Halcyra.ini"));
  EXPECT_FALSE(reads.Held("Halcyra.ini")) << "told once";
}

TEST(EffectsJournal, RecordsEachMachineCallInTheDataFolder) {
  Win32OsInfo os;
  const std::string journal = GetDataFolder(os) + "\\Effects.txt";
  CreateDirectoryA(GetDataFolder(os).c_str(), nullptr);
  DeleteFileA(journal.c_str());
  const auto machine = MakeMachineControl(GetDataFolder(os));
  EXPECT_TRUE(machine->ExitWindowsEx(13));
  EXPECT_TRUE(machine->SetSystemPowerState(true, true));
  EXPECT_TRUE(machine->SetSystemPowerState(false, true));
  EXPECT_TRUE(machine->SetSystemTime({2026, 3, 2, 3, 9, 5, 7, 250}));
  std::ifstream in(journal, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content,
            "ExitWindowsEx 13\r\nSetSystemPowerState 1 1\r\nSetSystemPowerState 0 1\r\n"
            "SetSystemTime 2026-03-03 09:05:07.250\r\n");
  in.close();
  DeleteFileA(journal.c_str());
}

// The list of programs a one-off request can wait for names them as the process list does when
// it waits: an image name outside ASCII is offered as itself and found again.
TEST(Win32ProcessWaits, AProgramWithAnAccentedNameIsListedAndWaitedForByThatName) {
  const test::TempFolder folder;
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  namespace fs = std::filesystem;
  const fs::path image = folder.Path() / L"m\u00fcller.exe";
  fs::copy_file(fs::path(self).parent_path() / "sleeper_probe.exe", image);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring line = L"\"" + image.wstring() + L"\" window";
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info));
  const UniqueHandle process(info.hProcess), thread(info.hThread);
  Win32ProcessWaits waits;
  bool listed = false;
  for (int i = 0; i < 250 && !listed; ++i, Sleep(20))
    for (const RunningProgram& program : waits.WindowedPrograms())
      listed = listed || program == RunningProgram{"Sleeper probe", "m\xc3\xbcller.exe"};
  EXPECT_TRUE(listed);
  EXPECT_EQ(waits.Watch("M\xc3\xbcLLER.EXE", 0, 0)->Count(), 1u);
  TerminateProcess(process.Get(), 0);
  WaitForSingleObject(process.Get(), 5000);
}

}  // namespace
}  // namespace halcyra

namespace halcyra {
namespace {

// The load as the quiet rule reads it: processor times that grow with work, and the network
// interfaces without the loopback (which Wine lists, as Windows does).
TEST(Win32SystemLoad, ProcessorTimesGrowAndTheLoopbackIsNotCounted) {
  Win32SystemLoad load;
  const LoadSample first = load.Sample();
  ASSERT_TRUE(first.processors);
  ASSERT_TRUE(first.interfaces);
  EXPECT_GE(first.processors->kernel, first.processors->idle) << "the kernel time holds the idle";
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 100;) {
  }
  const LoadSample second = load.Sample();
  ASSERT_TRUE(second.processors);
  EXPECT_GT(second.processors->kernel + second.processors->user,
            first.processors->kernel + first.processors->user);

  MIB_IF_TABLE2* table = nullptr;
  ASSERT_EQ(GetIfTable2(&table), static_cast<DWORD>(NO_ERROR));
  int loopbacks = 0;
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    if (table->Table[i].Type != IF_TYPE_SOFTWARE_LOOPBACK) continue;
    ++loopbacks;
    for (const InterfaceOctets& counted : *second.interfaces)
      EXPECT_NE(counted.id, table->Table[i].InterfaceLuid.Value) << "the loopback";
  }
  FreeMibTable(table);
  EXPECT_GE(loopbacks, 1) << "a loopback to leave out";
  EXPECT_EQ(load.MinuteMilliseconds(), 60000u);
}

TEST(Win32ServiceControl, InstallCommandQuotesTheExecutableOnce) {
  EXPECT_EQ(ServiceInstallCommand("C:\\Tools"),
            "\"C:\\Tools\\ShutdownService.exe\" /INSTALL /SILENT");
  EXPECT_EQ(ServiceInstallCommand("C:\\Tools\\"),
            "\"C:\\Tools\\ShutdownService.exe\" /INSTALL /SILENT");
}

TEST(Win32ServiceControl, AMissingServiceIsLeftAloneQuickly) {
  Win32ServiceControl service("C:\\no-such-folder\\");
  const DWORD start = GetTickCount();
  service.StopCompanionService();
  service.StartCompanionService();
  EXPECT_LT(GetTickCount() - start, 3000u) << "no waits for a service that is not installed";
}

}  // namespace
}  // namespace halcyra
