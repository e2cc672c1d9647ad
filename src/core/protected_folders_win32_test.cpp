// The protected folders as the real shell and registry name them (under Wine in our runs).
#include <gtest/gtest.h>

#include "base/path.h"
#include "core/protected_folders.h"
#include "platform/error_codes.h"
#include "platform/win32/win32_platform.h"

namespace nolu {
namespace {

TEST(ProtectedFoldersWin32Test, TheSystemsFoldersAreProtectedAndAFolderOfItsOwnIsNot) {
  TWin32Platform platform;
  PlatformScope scope(platform);
  for (Csidl csidl :
       {Csidl::kWindows, Csidl::kProgramFiles, Csidl::kProgramFilesX86, Csidl::kProfile,
        Csidl::kDesktopDirectory, Csidl::kPersonal, Csidl::kAppData}) {
    String folder;
    ASSERT_TRUE(platform.Shell().SpecialFolder(csidl, folder)) << static_cast<int>(csidl);
    EXPECT_TRUE(IsProtectedFolder(folder)) << StringToUtf8(folder);
    EXPECT_TRUE(IsProtectedFolder(ExcludeTrailingBackslash(folder))) << StringToUtf8(folder);
    EXPECT_FALSE(IsProtectedFolder(folder + u"Nolu\\")) << StringToUtf8(folder);
  }
  EXPECT_TRUE(IsProtectedFolder(u"C:\\"));
  EXPECT_TRUE(IsProtectedFolder(u"\\\\?\\C:\\"));
  // A folder of its own, existing or not.
  IFileSystem& files = platform.Files();
  String unique;
  ASSERT_EQ(files.TempFileName(files.TempFolder(), u"npf", unique), kErrorSuccess);
  EXPECT_FALSE(IsProtectedFolder(ExtractFilePath(unique) + u"Nolu\\"));
  files.Delete(unique);
}

}  // namespace
}  // namespace nolu
