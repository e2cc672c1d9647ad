// Shell, processes and module resources of the Win32 platform under Wine.
#include "platform/win32/shell_win32.h"

#include <gtest/gtest.h>

#include "base/locale.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/message_channel_win32.h"
#include "platform/win32/module_resources_win32.h"
#include "platform/win32/processes_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/win32_test_folder.h"

namespace nolu {
namespace {

TEST(Win32ShellTest, ShellLinksAreWrittenAndReadBack) {
  TWin32TestFolder folder;
  TWin32Shell shell;
  TWin32FileSystem fs;
  const String target = folder.Path() + u"Nolu.exe";
  { auto out = fs.OpenFile(target, FileMode::kCreate); }
  const String link_path = folder.Path() + u"Nolu.lnk";
  const TShellLink written{target, u"/minimized", folder.Path(), u"Nolu player"};
  ASSERT_EQ(shell.CreateShellLink(link_path, written), kErrorSuccess);
  EXPECT_TRUE(fs.FileExists(link_path));
  TShellLink read;
  ASSERT_EQ(shell.ReadShellLink(link_path, read), kErrorSuccess);
  EXPECT_TRUE(EqualsIgnoreCase(read.Target, target)) << StringToUtf8(read.Target);
  EXPECT_EQ(read.Arguments, u"/minimized");
  EXPECT_EQ(read.Description, u"Nolu player");
  EXPECT_NE(shell.ReadShellLink(folder.Path() + u"none.lnk", read), kErrorSuccess);
}

TEST(Win32ShellTest, SpecialFoldersEndWithABackslash) {
  TWin32Shell shell;
  TWin32FileSystem fs;
  for (Csidl csidl : {Csidl::kProgramFilesX86, Csidl::kProgramFiles, Csidl::kCommonPrograms,
                      Csidl::kCommonDesktopDirectory, Csidl::kAppData, Csidl::kPersonal,
                      Csidl::kDownloads, Csidl::kCommonDownloads}) {
    String path;
    ASSERT_TRUE(shell.SpecialFolder(csidl, path)) << static_cast<int>(csidl);
    EXPECT_TRUE(EndsWith(path, u"\\")) << StringToUtf8(path);
    EXPECT_FALSE(IsRelativePath(path)) << StringToUtf8(path);
  }
  String x86, native;
  shell.SpecialFolder(Csidl::kProgramFilesX86, x86);
  shell.SpecialFolder(Csidl::kProgramFiles, native);
  EXPECT_NE(x86, native);  // a 64-bit program sees both folders
}

TEST(Win32ProcessesTest, StartedProgramsAreAwaitedWithTheirExitCodes) {
  TWin32Processes processes;
  TWin32Shell shell;
  TWin32MessageChannel channel;

  TStartResult started = processes.StartProcess(u"cmd.exe /c exit 3", kSwHide, u"");
  ASSERT_TRUE(started.Process) << started.Error;
  EXPECT_TRUE(channel.WaitDispatching(*started.Process, kInfinite));
  uint32_t code = 0;
  ASSERT_TRUE(started.Process->ExitCode(code));
  EXPECT_EQ(code, 3u);

  TStartResult executed = shell.Execute({u"", u"cmd.exe", u"/c exit 4", u"", kSwHide});
  ASSERT_TRUE(executed.Process) << executed.Error;
  EXPECT_TRUE(channel.WaitDispatching(*executed.Process, kInfinite));
  ASSERT_TRUE(executed.Process->ExitCode(code));
  EXPECT_EQ(code, 4u);

  EXPECT_NE(processes.StartProcess(u"C:\\nolu-missing\\none.exe", kSwShow, u"").Error,
            kErrorSuccess);
  EXPECT_NE(shell.ShellOpen(u"", u"C:\\nolu-missing\\none.txt", u"", u"", kSwShow), kErrorSuccess);
}

TEST(Win32ProcessesTest, LibraryExportsAreCalledByFullPath) {
  TWin32Processes processes;
  TWin32Shell shell;
  String system;
  ASSERT_TRUE(shell.SpecialFolder(Csidl::kSystem, system));
  // A parameterless export of a library every system has.
  EXPECT_EQ(processes.CallLibraryExport(system + u"kernel32.dll", "GetCurrentProcessId"),
            kErrorSuccess);
  EXPECT_EQ(processes.CallLibraryExport(system + u"kernel32.dll", "NoluNoSuchExport"),
            kErrorProcNotFound);
  EXPECT_EQ(processes.CallLibraryExport(system + u"nolu_missing.dll", "DllUnregisterServer"),
            kErrorModNotFound);
}

TEST(Win32ModuleResourcesTest, RcDataIsReadInPlace) {
  TWin32ModuleResources resources;
  auto data = resources.RcData(u"nolu_test_data");  // names ignore case
  ASSERT_TRUE(data);
  EXPECT_EQ(std::string(data->begin(), data->end()), "IPK5 test bytes");
  EXPECT_FALSE(resources.RcData(u"PRODUCT"));
}

}  // namespace
}  // namespace nolu
