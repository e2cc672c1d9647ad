#include "product/update/setup_update_task_remove_shortcuts.h"

#include <gtest/gtest.h>

#include "core/setup.h"
#include "core/testing/fake_setup_run.h"

namespace nolu {
namespace {

constexpr StringView kDesktop = u"C:\\Users\\User\\Desktop\\";
constexpr StringView kPublicDesktop = u"C:\\Users\\Public\\Desktop\\";
constexpr StringView kMenu = u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\";
constexpr StringView kCommonMenu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\";

// The shortcuts and start-menu folders of one product name, in every place the task knows.
StringList ShortcutsOf(StringView name) {
  const String n(name);
  return {String(kDesktop) + n + u".lnk",
          String(kPublicDesktop) + n + u".lnk",
          String(kMenu) + n + u"\\Nolu.lnk",
          String(kCommonMenu) + u"Programs\\" + n + u"\\Nolu.lnk",
          String(kCommonMenu) + u"Programs\\" + n + u"\\Tools\\Editor.lnk",
          String(kCommonMenu) + n + u"\\Nolu.lnk"};
}

TEST(RemoveShortcutsTest, DeletesTheShortcutsOfTheOldNameOnlyBelow4000) {
  struct Case {
    int version;
    bool old_name_removed;
  };
  for (const Case& c : {Case{0, true}, Case{3999, true}, Case{4000, false}, Case{5401, false}}) {
    SCOPED_TRACE(c.version);
    TFakeSetupRun run;
    run.Product().Installed(u"C:\\Nolu\\", {c.version});
    run.Create(u"/AUTO=C:\\Nolu /SILENT");
    TFakeFileSystem& files = run.Platform().Files();
    for (StringView name : {u"Nolu", u"Nolu3"}) {
      for (const String& path : ShortcutsOf(name))
        files.AddFile(path, "link");
    }
    files.AddFile(String(kDesktop) + u"Nolu Manual.lnk", "not ours");
    files.AddFile(String(kCommonMenu) + u"Programs\\Other\\Other.lnk", "not ours");

    TSetupUpdateTaskRemoveShortcuts().Execute(nullptr);

    for (const String& path : ShortcutsOf(u"Nolu"))
      EXPECT_FALSE(files.FileExists(path)) << StringToUtf8(path);
    EXPECT_FALSE(files.FolderExists(String(kMenu) + u"Nolu\\"));
    EXPECT_FALSE(files.FolderExists(String(kCommonMenu) + u"Programs\\Nolu\\"));
    for (const String& path : ShortcutsOf(u"Nolu3"))
      EXPECT_EQ(files.FileExists(path), !c.old_name_removed) << StringToUtf8(path);
    EXPECT_TRUE(files.FileExists(String(kDesktop) + u"Nolu Manual.lnk"));
    EXPECT_TRUE(files.FileExists(String(kCommonMenu) + u"Programs\\Other\\Other.lnk"));
  }
}

TEST(RemoveShortcutsTest, FolderTheShellCannotName_IsPassedOver) {
  TFakeSetupRun run;
  run.Create(u"/AUTO=C:\\Nolu /SILENT");
  TFakeFileSystem& files = run.Platform().Files();
  run.Platform().Shell().SetSpecialFolder(Csidl::kStartMenu, u"");
  run.Platform().Shell().SetSpecialFolder(Csidl::kDesktopDirectory, u"");
  // Someone else's "Nolu" in the temporary folder is no shortcut of ours.
  const String temp = files.TempFolder();
  files.AddFile(temp + u"Nolu\\notes.txt", "mine");
  files.AddFile(temp + u"Nolu.lnk", "mine");
  for (const String& path : ShortcutsOf(u"Nolu"))
    files.AddFile(path, "link");

  TSetupUpdateTaskRemoveShortcuts().Execute(nullptr);

  EXPECT_TRUE(files.FileExists(temp + u"Nolu\\notes.txt"));
  EXPECT_TRUE(files.FileExists(temp + u"Nolu.lnk"));
  EXPECT_FALSE(files.FileExists(String(kPublicDesktop) + u"Nolu.lnk"));
  EXPECT_FALSE(files.FolderExists(String(kCommonMenu) + u"Nolu\\"));
}

TEST(RemoveShortcutsTest, ShortcutInUse_IsDeletedAtTheNextRestart) {
  TFakeSetupRun run;
  run.Create(u"/AUTO=C:\\Nolu /SILENT");
  TFakeFileSystem& files = run.Platform().Files();
  const String link = String(kPublicDesktop) + u"Nolu.lnk";
  files.AddFile(link, "link");
  files.SetInUse(link, {.Renamable = true});
  TSetupUpdateTaskRemoveShortcuts().Execute(nullptr);
  EXPECT_FALSE(files.FileExists(link));
  EXPECT_EQ(files.RebootOperations().size(), 1u);
}

}  // namespace
}  // namespace nolu
