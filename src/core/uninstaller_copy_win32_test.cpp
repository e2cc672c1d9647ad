// The uninstaller's copy on the real file system under Wine: a folder of a random name below
// the temporary folder, its access list as the security API reads it back, the copies held
// until the copy runs, and the copy started in its folder.
#include <gtest/gtest.h>

#include <regex>

#include "base/path.h"
#include "core/private_temp_folder.h"
#include "core/uninstaller_copy.h"
#include "platform/error_codes.h"
#include "platform/win32/win32_pending_renames.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_test_folder.h"

namespace nolu {
namespace {

TEST(UninstallerCopyWin32Test, RunsFromAHeldCopyInAPrivateFolder) {
  TWin32Platform platform;
  PlatformScope scope(platform);
  TWin32PendingRenames pending;
  TWin32TestFolder product;
  IFileSystem& files = platform.Files();
  // A small program plays the uninstaller; it ends with 1 for the parameters it gets.
  const String probe =
      ExtractFilePath(platform.System().ModuleFileName()) + u"nolu_spawn_probe.exe";
  const String program = product.Path() + u"Uninstall.exe";
  ASSERT_EQ(files.Copy(probe, program, true), kErrorSuccess);
  {
    auto dat = files.OpenFile(product.Path() + u"Uninstall.dat", FileMode::kCreate);
    ASSERT_TRUE(dat.Stream);
    dat.Stream->WriteBuffer("IPK5 record", 11);
  }

  TUninstallerCopy copy = TUninstallerCopy::Create(program);
  const String folder = copy.Folder();
  EXPECT_TRUE(std::regex_match(StringToUtf8(ExtractFileName(ExcludeTrailingBackslash(folder))),
                               std::regex("Setup-[0-9a-f]{32}")))
      << StringToUtf8(folder);
  EXPECT_TRUE(PathStartsWith(folder, LongTempFolder())) << StringToUtf8(folder);
  EXPECT_EQ(copy.Program(), folder + u"Uninstall.exe");
  // Held: nobody changes the copies before they run.
  EXPECT_EQ(files.OpenFile(copy.Program(), FileMode::kOpenReadWrite).Error, kErrorSharingViolation);
  EXPECT_EQ(files.Delete(folder + u"Uninstall.dat"), kErrorSharingViolation);
  // Only SYSTEM and Administrators (under Wine: the owner, who is an administrator there) may
  // use the folder: nobody else has any right to it.
  TAccessList list;
  ASSERT_EQ(files.ReadAccessList(folder, list), kErrorSuccess);
  for (const TAccessEntry& e : list.Entries) {
    if (!e.Allowed) continue;
    EXPECT_TRUE(e.Sid == kSidSystem || e.Sid == kSidAdministrators ||
                (platform.System().IsWine() && StartsWith(e.Sid, u"S-1-5-21-")))
        << StringToUtf8(e.Sid);
  }

  TStartResult started = copy.Start(product.Path(), u"");
  ASSERT_TRUE(started.Process) << started.Error;
  ASSERT_TRUE(started.Process->Wait(60000));
  uint32_t exit_code = 99;
  ASSERT_TRUE(started.Process->ExitCode(exit_code));
  EXPECT_EQ(exit_code, 1u);  // it ran, and found its "PATH" where the probe wants a window

  // The copies and the folder go at the next restart, in that order.
  std::wstring after;
  ASSERT_TRUE(TWin32PendingRenames::Read(after));
  const String recorded = FromW(after.data(), after.size());
  const size_t exe = recorded.find(u"\\Uninstall.exe");
  const size_t dat = recorded.find(u"\\Uninstall.dat");
  const size_t own = recorded.rfind(ExtractFileName(ExcludeTrailingBackslash(folder)));
  EXPECT_NE(exe, String::npos);
  EXPECT_LT(exe, dat);
  EXPECT_LT(dat, own);

  // Let go once it ran; the test cleans up what the restart would.
  EXPECT_EQ(files.Delete(copy.Program()), kErrorSuccess);
  EXPECT_EQ(files.Delete(folder + u"Uninstall.dat"), kErrorSuccess);
  EXPECT_EQ(files.RemoveFolder(folder), kErrorSuccess);
}

}  // namespace
}  // namespace nolu
