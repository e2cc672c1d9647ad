// Processes, shell starts, shell links and library exports of the fake platform.
#include "platform/fake/fake_processes.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

TEST(FakeProcessesTest, CommandLinesSplitAsCreateProcessReadsThem) {
  struct Row {
    const char16_t* line;
    const char16_t* file;
    const char16_t* parameters;
  };
  const Row rows[] = {
      {u"C:\\Nolu\\Elevator.exe /REG=U", u"C:\\Nolu\\Elevator.exe", u"/REG=U"},
      {u"\"C:\\Program Files\\Nolu\\Elevator.exe\" /REG=L1 /REG=D1",
       u"C:\\Program Files\\Nolu\\Elevator.exe", u"/REG=L1 /REG=D1"},
      {u"  app.exe", u"app.exe", u""},
      {u"\"unterminated", u"unterminated", u""},
      {u"", u"", u""},
  };
  for (const Row& r : rows) {
    String file, parameters;
    TFakeProcesses::SplitCommandLine(r.line, file, parameters);
    EXPECT_EQ(file, r.file) << StringToUtf8(r.line);
    EXPECT_EQ(parameters, r.parameters) << StringToUtf8(r.line);
  }
}

TEST(FakeProcessesTest, ProgramsRunOnTheirOwnThreadAndEndWithTheirExitCode) {
  TFakePlatform fake;
  TFakeProcesses& processes = fake.Processes();
  std::atomic<bool> ran_elsewhere = false;
  const auto main_thread = std::this_thread::get_id();
  processes.SetProgram(u"Elevator.exe", [&](const TFakeLaunch& launch) {
    ran_elsewhere = std::this_thread::get_id() != main_thread;
    return launch.Parameters == u"/REG=U" ? 7u : 1u;
  });
  TStartResult started =
      processes.StartProcess(u"\"C:\\Program Files\\Nolu\\Elevator.exe\" /REG=U", kSwShow, u"");
  ASSERT_TRUE(started.Process);
  EXPECT_TRUE(started.Process->Wait(kInfinite));
  uint32_t code = 0;
  ASSERT_TRUE(started.Process->ExitCode(code));
  EXPECT_EQ(code, 7u);
  EXPECT_TRUE(ran_elsewhere);

  // Without a program function: an existing file ends at once, a missing one does not start.
  fake.Files().AddFile(u"C:\\Tools\\plain.exe");
  TStartResult plain = processes.StartProcess(u"C:\\Tools\\plain.exe", kSwShow, u"");
  ASSERT_TRUE(plain.Process);
  EXPECT_TRUE(plain.Process->IsSignaled());
  EXPECT_EQ(processes.StartProcess(u"C:\\Tools\\none.exe", kSwShow, u"").Error, kErrorFileNotFound);
  processes.FailStart(u"C:\\Tools\\plain.exe", kErrorAccessDenied);
  EXPECT_EQ(processes.StartProcess(u"C:\\Tools\\plain.exe", kSwShow, u"").Error,
            kErrorAccessDenied);

  const std::vector<TFakeLaunch> launches = processes.Launches();
  ASSERT_EQ(launches.size(), 4u);
  EXPECT_EQ(launches[0].CommandLine, u"\"C:\\Program Files\\Nolu\\Elevator.exe\" /REG=U");
  EXPECT_EQ(launches[0].Show, kSwShow);
  EXPECT_EQ(launches[2].File, u"C:\\Tools\\none.exe");  // failed starts are recorded too
  // Each started process has an identifier of its own, which its handle tells; a failed
  // start has none.
  EXPECT_EQ(launches[0].ProcessId, started.Process->Id());
  EXPECT_EQ(launches[1].ProcessId, plain.Process->Id());
  EXPECT_NE(launches[0].ProcessId, launches[1].ProcessId);
  EXPECT_EQ(launches[2].ProcessId, 0u);
  EXPECT_EQ(launches[3].ProcessId, 0u);
}

TEST(FakeProcessesTest, ShellStartsAreRecordedAndRunasCanBeDeclined) {
  TFakePlatform fake;
  fake.Processes().SetProgram(u"C:\\Users\\User\\Downloads\\Setup.exe",
                              [](const TFakeLaunch&) { return 0u; });
  TShellExecuteInfo info{u"runas", u"C:\\Users\\User\\Downloads\\Setup.exe",
                         u"/SKIPUAC=65552 /AUTO", u"C:\\Users\\User\\Downloads\\", kSwShowNormal};
  TStartResult elevated = fake.Shell().Execute(info);
  ASSERT_TRUE(elevated.Process);
  EXPECT_TRUE(elevated.Process->Wait(kInfinite));

  fake.Shell().FailVerb(u"RUNAS", kErrorCancelled);
  TStartResult declined = fake.Shell().Execute(info);
  EXPECT_EQ(declined.Error, kErrorCancelled);
  EXPECT_FALSE(declined.Process);

  fake.Files().AddFile(u"C:\\Temp\\Uninstall.exe");
  EXPECT_EQ(fake.Shell().ShellOpen(u"", u"C:\\Temp\\Uninstall.exe", u"/PATH=\"C:\\Nolu\\\" /AUTO",
                                   u"", kSwShow),
            kErrorSuccess);
  EXPECT_EQ(fake.Shell().ShellOpen(u"", u"C:\\none.txt", u"", u"", kSwShow), kErrorFileNotFound);

  const std::vector<TFakeLaunch> launches = fake.Processes().Launches();
  ASSERT_EQ(launches.size(), 4u);
  EXPECT_EQ(launches[0].How, TFakeLaunch::Via::kShellExecute);
  EXPECT_EQ(launches[0].Verb, u"runas");
  EXPECT_EQ(launches[0].Parameters, u"/SKIPUAC=65552 /AUTO");
  EXPECT_EQ(launches[0].Folder, u"C:\\Users\\User\\Downloads\\");
  EXPECT_EQ(launches[0].Show, kSwShowNormal);
  EXPECT_EQ(launches[2].How, TFakeLaunch::Via::kShellOpen);
  EXPECT_EQ(launches[2].Parameters, u"/PATH=\"C:\\Nolu\\\" /AUTO");
}

TEST(FakeProcessesTest, ShellLinksAreFilesThatReadBack) {
  TFakePlatform fake;
  const String link = u"C:\\Users\\Public\\Desktop\\Nolu.lnk";
  const TShellLink written{u"C:\\Program Files (x86)\\Nolu\\Nolu.exe", u"", u"", u""};
  ASSERT_EQ(fake.Shell().CreateShellLink(link, written), kErrorSuccess);
  EXPECT_TRUE(fake.Files().FileExists(link));
  TShellLink read;
  ASSERT_EQ(fake.Shell().ReadShellLink(link, read), kErrorSuccess);
  EXPECT_EQ(read.Target, written.Target);

  fake.Files().AddFile(u"C:\\Users\\Public\\Desktop\\Broken.lnk", "not a link");
  EXPECT_EQ(fake.Shell().ReadShellLink(u"C:\\Users\\Public\\Desktop\\Broken.lnk", read),
            kErrorBadFormat);
  EXPECT_EQ(fake.Shell().ReadShellLink(u"C:\\Users\\Public\\Desktop\\None.lnk", read),
            kErrorFileNotFound);
  EXPECT_EQ(fake.Shell().CreateShellLink(u"C:\\No\\Folder\\x.lnk", written), kErrorPathNotFound);
}

TEST(FakeProcessesTest, SpecialFoldersExistAndCanBeTakenAway) {
  TFakePlatform fake;
  String path;
  ASSERT_TRUE(fake.Shell().SpecialFolder(Csidl::kProgramFilesX86, path));
  EXPECT_EQ(path, u"C:\\Program Files (x86)\\");
  EXPECT_TRUE(fake.Files().FolderExists(path));
  ASSERT_TRUE(fake.Shell().SpecialFolder(Csidl::kCommonPrograms, path));
  EXPECT_TRUE(fake.Files().FolderExists(path));
  fake.Shell().SetSpecialFolder(Csidl::kCommonDesktopDirectory, u"");
  EXPECT_FALSE(fake.Shell().SpecialFolder(Csidl::kCommonDesktopDirectory, path));

  fake.Shell().ChangeNotify(kShcneAssocChanged, kShcnfFlush);
  ASSERT_EQ(fake.Shell().ChangeNotifications().size(), 1u);
  EXPECT_EQ(fake.Shell().ChangeNotifications()[0].Event, kShcneAssocChanged);
}

TEST(FakeProcessesTest, LibraryExportsAreRecordedWithTheirOutcome) {
  TFakePlatform fake;
  fake.Files().AddFile(u"C:\\Nolu\\System\\nolu_menu64.dll");
  fake.Files().AddFile(u"C:\\Nolu\\System\\nolu_menu32.dll");
  fake.Processes().SetLibrary(u"nolu_menu32.dll",
                              [](std::string_view) { return kErrorBadExeFormat; });
  EXPECT_EQ(fake.Processes().CallLibraryExport(u"C:\\Nolu\\System\\nolu_menu32.dll",
                                               "DllUnregisterServer"),
            kErrorBadExeFormat);
  EXPECT_EQ(fake.Processes().CallLibraryExport(u"C:\\Nolu\\System\\nolu_menu64.dll",
                                               "DllUnregisterServer"),
            kErrorSuccess);
  EXPECT_EQ(fake.Processes().CallLibraryExport(u"C:\\Nolu\\System\\none.dll", "X"),
            kErrorModNotFound);
  const auto calls = fake.Processes().ExportCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].Library, u"C:\\Nolu\\System\\nolu_menu64.dll");
  EXPECT_EQ(calls[1].Export, "DllUnregisterServer");
  EXPECT_EQ(calls[2].Result, kErrorModNotFound);
}

}  // namespace
}  // namespace nolu
