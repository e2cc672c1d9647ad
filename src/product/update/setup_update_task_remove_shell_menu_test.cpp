#include "product/update/setup_update_task_remove_shell_menu.h"

#include <gtest/gtest.h>

#include "core/setup.h"
#include "core/testing/fake_setup_run.h"
#include "platform/error_codes.h"

namespace nolu {
namespace {

TEST(RemoveShellMenuTest, UnregistersThenDeletesEachLibraryThatExists) {
  TFakeSetupRun run;
  run.Create(u"/AUTO=C:\\Nolu /SILENT");
  TFakePlatform& platform = run.Platform();
  const String menu32 = u"C:\\Nolu\\System\\nolu_menu32.dll";
  const String menu64 = u"C:\\Nolu\\System\\nolu_menu64.dll";
  platform.Files().AddFile(menu32, "MZ 32");
  platform.Files().AddFile(menu64, "MZ 64");
  // The 32-bit library cannot be loaded into a 64-bit process; it is deleted all the same. The
  // 64-bit one must still exist when its export runs.
  platform.Processes().SetLibrary(menu32, [](std::string_view) { return kErrorBadExeFormat; });
  bool existed_when_called = false;
  platform.Processes().SetLibrary(menu64, [&](std::string_view) {
    existed_when_called = platform.Files().FileExists(menu64);
    return kErrorSuccess;
  });

  TSetupUpdateTaskRemoveShellMenu().Execute(nullptr);

  const auto calls = platform.Processes().ExportCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].Library, menu32);
  EXPECT_EQ(calls[0].Export, "DllUnregisterServer");
  EXPECT_EQ(calls[1].Library, menu64);
  EXPECT_TRUE(existed_when_called);
  EXPECT_FALSE(platform.Files().FileExists(menu32));
  EXPECT_FALSE(platform.Files().FileExists(menu64));
}

TEST(RemoveShellMenuTest, MissingLibraries_NothingIsCalled) {
  TFakeSetupRun run;
  run.Create(u"/AUTO=C:\\Nolu /SILENT");
  TSetupUpdateTaskRemoveShellMenu().Execute(nullptr);
  EXPECT_TRUE(run.Platform().Processes().ExportCalls().empty());
}

TEST(RemoveShellMenuTest, LoadedLibrary_IsDeletedAtTheNextRestart) {
  TFakeSetupRun run;
  run.Create(u"/AUTO=C:\\Nolu /SILENT");
  TFakeFileSystem& files = run.Platform().Files();
  const String menu64 = u"C:\\Nolu\\System\\nolu_menu64.dll";
  files.AddFile(menu64, "MZ 64");
  // The shell holds the library loaded: it can be renamed, not deleted.
  files.SetInUse(menu64, {.Renamable = true});
  TSetupUpdateTaskRemoveShellMenu().Execute(nullptr);
  EXPECT_FALSE(files.FileExists(menu64));
  ASSERT_EQ(files.RebootOperations().size(), 1u);
  EXPECT_TRUE(files.RebootOperations()[0].Target.empty());
}

}  // namespace
}  // namespace nolu
