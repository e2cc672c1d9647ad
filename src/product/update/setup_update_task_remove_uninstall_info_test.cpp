#include "product/update/setup_update_task_remove_uninstall_info.h"

#include <gtest/gtest.h>

#include "base/format.h"
#include "core/setup.h"
#include "core/testing/fake_setup_run.h"

namespace nolu {
namespace {

TRegKey UninstallKey(StringView name, RegView view = RegView::k32) {
  return TRegKey(RegRoot::kLocalMachine, view,
                 u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall")
      .Child(name);
}

// An uninstall entry of an earlier version whose files lie in `folder`.
void AddEntry(TFakePlatform& platform, StringView name, StringView folder,
              RegView view = RegView::k32) {
  const String uninstaller = String(folder) + u"Uninstall.exe";
  platform.Files().AddFile(uninstaller, "MZ");
  platform.Registry().CreateKey(UninstallKey(name, view));
  platform.Registry().WriteValue(UninstallKey(name, view), u"UninstallString",
                                 TRegValue::Text(Format(u"\"%s\"", {uninstaller})));
}

TEST(RemoveUninstallInfoTest, DeletesOnlyEntriesThatPointIntoTheDestination) {
  struct Case {
    const char* what;
    String nolu3_folder;
    String nolu_folder;
    bool nolu3_removed;
    bool nolu_removed;
  };
  const Case cases[] = {
      {"both in the destination", u"C:\\Nolu\\", u"C:\\Nolu\\", true, true},
      {"written in another case", u"c:\\NOLU\\", u"C:\\nolu\\", true, true},
      {"an older copy elsewhere stays", u"D:\\Old Nolu\\", u"C:\\Nolu\\", false, true},
      {"a folder that only starts like the destination", u"C:\\Nolu\\", u"C:\\Nolu 2\\", true,
       false},
      {"a parent of the destination", u"C:\\", u"C:\\Nolu\\", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Platform().Files().AddDrive(u"D:");
    run.Create(u"/AUTO=C:\\Nolu /SILENT");
    AddEntry(run.Platform(), u"Nolu3", c.nolu3_folder);
    AddEntry(run.Platform(), u"Nolu", c.nolu_folder);

    TSetupUpdateTaskRemoveUninstallInfo().Execute(nullptr);

    EXPECT_EQ(run.Platform().Registry().KeyExists(UninstallKey(u"Nolu3")), !c.nolu3_removed);
    EXPECT_EQ(run.Platform().Registry().KeyExists(UninstallKey(u"Nolu")), !c.nolu_removed);
  }
}

TEST(RemoveUninstallInfoTest, EntryOfTheOtherRegistryView_IsFoundToo) {
  TFakeSetupRun run;
  run.Create(u"/AUTO=C:\\Nolu /SILENT");
  AddEntry(run.Platform(), u"Nolu", u"C:\\Nolu\\", RegView::k64);
  TSetupUpdateTaskRemoveUninstallInfo().Execute(nullptr);
  EXPECT_FALSE(run.Platform().Registry().KeyExists(UninstallKey(u"Nolu", RegView::k64)));
}

TEST(RemoveUninstallInfoTest, NoEntries_NothingHappens) {
  TFakeSetupRun run;
  run.Create(u"/AUTO=C:\\Nolu /SILENT");
  EXPECT_NO_THROW(TSetupUpdateTaskRemoveUninstallInfo().Execute(nullptr));
}

}  // namespace
}  // namespace nolu
