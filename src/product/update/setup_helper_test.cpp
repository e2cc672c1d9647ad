#include "product/update/setup_helper.h"

#include <gtest/gtest.h>

#include "core/testing/watched_file_system.h"
#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

// The folder above both trees that ordinary users cannot replace.
constexpr StringView kRoot = u"C:\\P\\";

class SetupHelperTest : public ::testing::Test {
 protected:
  TFakeFileSystem& Files() { return platform_.Files(); }

  TFakePlatform platform_;
  PlatformScope scope_{platform_};
};

TEST_F(SetupHelperTest, CopyFolder_CopiesTheTreeAndOverwrites) {
  Files().AddFile(u"C:\\P\\Nolu3\\Nolu3.ini", "[System]");
  Files().AddFile(u"C:\\P\\Nolu3\\Playlists\\Rock\\a.m3u", "a");
  Files().AddFolder(u"C:\\P\\Nolu3\\Empty");
  Files().AddFile(u"C:\\P\\Nolu\\Nolu3.ini", "old");
  Files().AddFile(u"C:\\P\\Nolu\\Own.ini", "own");

  TSetupHelper::CopyFolder(kRoot, u"C:\\P\\Nolu3\\", u"C:\\P\\Nolu\\", false);

  EXPECT_EQ(Files().FileText(u"C:\\P\\Nolu\\Nolu3.ini"), "[System]");
  EXPECT_EQ(Files().FileText(u"C:\\P\\Nolu\\Playlists\\Rock\\a.m3u"), "a");
  EXPECT_TRUE(Files().FolderExists(u"C:\\P\\Nolu\\Empty"));
  EXPECT_EQ(Files().FileText(u"C:\\P\\Nolu\\Own.ini"), "own");
  // The source stays.
  EXPECT_EQ(Files().FileText(u"C:\\P\\Nolu3\\Nolu3.ini"), "[System]");
}

TEST_F(SetupHelperTest, CopyFolder_SameFolderInAnotherCase_DoesNothing) {
  Files().AddFile(u"C:\\P\\Nolu\\Nolu.ini", "x");
  Files().InjectFailure(FakeFileOp::kCopy, u"", kErrorAccessDenied, -1);
  EXPECT_NO_THROW(TSetupHelper::CopyFolder(kRoot, u"C:\\P\\Nolu\\", u"c:\\p\\NOLU\\", true));
  EXPECT_EQ(Files().FileText(u"C:\\P\\Nolu\\Nolu.ini"), "x");
}

TEST_F(SetupHelperTest, CopyFolder_TargetInsideSource_IsNotCopiedIntoItself) {
  Files().AddFile(u"C:\\P\\a.txt", "a");
  Files().AddFile(u"C:\\P\\Sub\\b.txt", "b");
  TSetupHelper::CopyFolder(kRoot, u"C:\\P\\", u"C:\\P\\Sub\\Copy\\", false);
  EXPECT_EQ(Files().ListTree(u"C:\\P\\Sub\\Copy\\"),
            (StringList{u"C:\\P\\Sub\\Copy\\a.txt", u"C:\\P\\Sub\\Copy\\Sub\\",
                        u"C:\\P\\Sub\\Copy\\Sub\\b.txt"}));
}

TEST_F(SetupHelperTest, CopyFolder_DoesNotEnterJunctions) {
  Files().AddFile(u"C:\\P\\Nolu3\\a.ini", "a");
  Files().AddFolder(u"C:\\P\\Nolu3\\Link", kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(u"C:\\P\\Nolu3\\Link\\elsewhere.txt", "not ours");
  TSetupHelper::CopyFolder(kRoot, u"C:\\P\\Nolu3\\", u"C:\\P\\Nolu\\", false);
  EXPECT_TRUE(Files().FileExists(u"C:\\P\\Nolu\\a.ini"));
  EXPECT_FALSE(Files().FolderExists(u"C:\\P\\Nolu\\Link"));
}

TEST_F(SetupHelperTest, CopyFolder_LeavesWhatLinksLeadToAlone) {
  Files().AddFile(u"C:\\P\\Nolu3\\a.ini", "a");
  Files().AddFile(u"C:\\Users\\Ann\\secret.txt", "Ann's");
  Files().AddJunction(u"C:\\P\\Nolu3\\Ann", u"C:\\Users\\Ann");
  Files().AddFile(u"C:\\P\\Nolu3\\hosts", "", kAttrArchive | kAttrReparsePoint);
  TSetupHelper::CopyFolder(kRoot, u"C:\\P\\Nolu3\\", u"C:\\P\\Nolu\\", false);
  // Neither the folder link nor the file link is copied: what they lead to is anyone's.
  EXPECT_EQ(Files().ListTree(u"C:\\P\\Nolu\\"), StringList{u"C:\\P\\Nolu\\a.ini"});

  // A target on the way to which lies a link is never written.
  Files().AddFile(u"C:\\P\\Nolu3\\System\\x.dll", "user's");
  Files().AddFolder(u"C:\\Windows\\System32");
  Files().AddJunction(u"C:\\P\\Other\\System", u"C:\\Windows\\System32");
  for (StringView target : {u"C:\\P\\Other\\", u"C:\\P\\Other\\System\\Sub\\"}) {
    EXPECT_THROW(TSetupHelper::CopyFolder(kRoot, u"C:\\P\\Nolu3\\", target, false),
                 EInstallerInstallError)
        << StringToUtf8(target);
  }
  EXPECT_TRUE(Files().ListTree(u"C:\\Windows\\System32\\").empty());
  EXPECT_EQ(Files().FileText(u"C:\\Users\\Ann\\secret.txt"), "Ann's");
}

// The user whose profile is copied swaps its folders for junctions while the copy runs: the
// held folders refuse both swaps.
TEST_F(SetupHelperTest, CopyFolder_AFolderSwappedForAJunctionMeanwhileRedirectsNothing) {
  TWatchedPlatform watched(platform_);
  PlatformScope scope(watched);
  Files().AddFile(u"C:\\P\\Nolu3\\Playlists\\Rock.m3u", "rock");
  Files().AddFile(u"C:\\P\\Nolu3\\Skins\\skin.xml", "skin");
  Files().AddFile(u"C:\\Users\\Ann\\secret.txt", "Ann's");
  Files().AddFolder(u"C:\\Windows\\System32");
  uint32_t source_swap = kErrorSuccess, target_swap = kErrorSuccess;
  watched.Files().Before(u"ListFolder", u"C:\\P\\Nolu3\\Playlists\\", [&] {
    source_swap = Files().ReplaceWithJunction(u"C:\\P\\Nolu3\\Playlists", u"C:\\Users\\Ann");
  });
  watched.Files().Before(u"Copy", u"C:\\P\\Nolu3\\Skins\\skin.xml", [&] {
    target_swap = Files().ReplaceWithJunction(u"C:\\P\\Nolu\\Skins", u"C:\\Windows\\System32");
  });

  TSetupHelper::CopyFolder(kRoot, u"C:\\P\\Nolu3\\", u"C:\\P\\Nolu\\", false);

  EXPECT_EQ(source_swap, kErrorSharingViolation);
  EXPECT_EQ(target_swap, kErrorSharingViolation);
  EXPECT_EQ(Files().ListTree(u"C:\\P\\Nolu\\"),
            (StringList{u"C:\\P\\Nolu\\Playlists\\", u"C:\\P\\Nolu\\Playlists\\Rock.m3u",
                        u"C:\\P\\Nolu\\Skins\\", u"C:\\P\\Nolu\\Skins\\skin.xml"}));
  EXPECT_TRUE(Files().ListTree(u"C:\\Windows\\System32\\").empty());
}

TEST_F(SetupHelperTest, CopyFolder_Failure_RaisesNamingBothFolders) {
  struct Case {
    const char* what;
    FakeFileOp op;
    String path;
  };
  const Case cases[] = {
      {"a file that cannot be copied", FakeFileOp::kCopy, u"C:\\P\\Nolu3\\Sub\\b.ini"},
      {"a folder that cannot be created", FakeFileOp::kCreateFolder, u"C:\\P\\Nolu\\Sub"},
      {"a folder that cannot be listed", FakeFileOp::kListFolder, u"C:\\P\\Nolu3\\Sub"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakePlatform platform;
    PlatformScope scope(platform);
    platform.Files().AddFile(u"C:\\P\\Nolu3\\a.ini", "a");
    platform.Files().AddFile(u"C:\\P\\Nolu3\\Sub\\b.ini", "b");
    platform.Files().InjectFailure(c.op, c.path, kErrorAccessDenied);
    try {
      TSetupHelper::CopyFolder(kRoot, u"C:\\P\\Nolu3\\", u"C:\\P\\Nolu\\", true);
      ADD_FAILURE() << "no error";
    } catch (const EInstallerInstallError& e) {
      EXPECT_EQ(e.Message(), u"Cannot copy \"C:\\P\\Nolu3\\\" to \"C:\\P\\Nolu\\\"");
    }
    // A failed copy never deletes its source.
    EXPECT_TRUE(platform.Files().FileExists(u"C:\\P\\Nolu3\\Sub\\b.ini"));
  }
}

TEST_F(SetupHelperTest, CopyFolder_DeleteSource_RemovesTheSourceAfterTheCopy) {
  Files().AddFile(u"C:\\P\\Old\\a.ini", "a");
  Files().AddFile(u"C:\\P\\Old\\Sub\\b.ini", "b");
  TSetupHelper::CopyFolder(kRoot, u"C:\\P\\Old", u"C:\\P\\New", true);
  EXPECT_FALSE(Files().FolderExists(u"C:\\P\\Old\\"));
  EXPECT_EQ(Files().FileText(u"C:\\P\\New\\Sub\\b.ini"), "b");
}

TEST(SetupHelperListTest, ExcludePath_RemovesEntriesBelowThePathIgnoringCase) {
  StringList list{u"C:\\Nolu\\Plugins\\a.dll", u"C:\\Nolu\\plugins\\B\\b.dll",
                  u"C:\\Nolu\\PluginsOld\\c.dll", u"C:\\Nolu\\Nolu.exe", u"C:\\Nolu\\libwebp.dll"};
  TSetupHelper::ExcludePath(list, u"C:\\NOLU\\Plugins\\");
  TSetupHelper::ExcludePath(list, u"C:\\Nolu\\LIBWEBP.DLL");
  EXPECT_EQ(list, (StringList{u"C:\\Nolu\\PluginsOld\\c.dll", u"C:\\Nolu\\Nolu.exe"}));
}

TEST(SetupHelperListTest, RemoveDuplicates_KeepsTheLastOfEqualEntries) {
  struct Case {
    StringList input;
    StringList expected;
  };
  const Case cases[] = {
      {{}, {}},
      {{u"a", u"b"}, {u"a", u"b"}},
      // The last spelling stays, at its place.
      {{u"C:\\A.txt", u"C:\\b.txt", u"c:\\a.TXT"}, {u"C:\\b.txt", u"c:\\a.TXT"}},
      {{u"x", u"y", u"X", u"y", u"z"}, {u"X", u"y", u"z"}},
      // Cyrillic letters compare without case too.
      {{u"C:\\Папка\\ф", u"C:\\ПАПКА\\Ф"}, {u"C:\\ПАПКА\\Ф"}},
  };
  for (const Case& c : cases) {
    StringList list = c.input;
    TSetupHelper::RemoveDuplicates(list);
    EXPECT_EQ(list, c.expected);
  }
}

TEST_F(SetupHelperTest, DeleteTree_DeletesEverythingBelow) {
  Files().AddFile(u"C:\\Menu\\Nolu\\Nolu.lnk", "link");
  Files().AddFile(u"C:\\Menu\\Nolu\\Tools\\Editor.lnk", "link", kAttrReadOnly);
  Files().AddFolder(u"C:\\Menu\\Nolu\\Empty");
  Files().AddFile(u"C:\\Menu\\Other.lnk", "link");
  EXPECT_TRUE(TSetupHelper::DeleteTree(u"C:\\Menu\\Nolu\\"));
  EXPECT_FALSE(Files().FolderExists(u"C:\\Menu\\Nolu"));
  EXPECT_TRUE(Files().FileExists(u"C:\\Menu\\Other.lnk"));
  // A missing folder is gone already.
  EXPECT_TRUE(TSetupHelper::DeleteTree(u"C:\\Menu\\Nolu\\"));
}

TEST_F(SetupHelperTest, DeleteTree_RemovesAJunctionWithoutTouchingItsTarget) {
  Files().AddFile(u"C:\\Menu\\Nolu\\Nolu.lnk", "link");
  Files().AddFolder(u"C:\\Menu\\Nolu\\Docs", kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(u"C:\\Menu\\Nolu\\Docs\\thesis.doc", "precious");
  EXPECT_TRUE(TSetupHelper::DeleteTree(u"C:\\Menu\\Nolu\\"));
  EXPECT_FALSE(Files().FolderExists(u"C:\\Menu\\Nolu"));
  // The junction given as the tree itself is removed as a link too.
  Files().AddFolder(u"C:\\Menu\\Link", kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(u"C:\\Menu\\Link\\thesis.doc", "precious");
  EXPECT_TRUE(TSetupHelper::DeleteTree(u"C:\\Menu\\Link"));
  EXPECT_FALSE(Files().FolderExists(u"C:\\Menu\\Link"));
}

TEST_F(SetupHelperTest, DeleteTree_StopsAtTheFirstEntryThatCannotBeDeleted) {
  Files().AddFile(u"C:\\Menu\\Nolu\\A\\1.lnk", "link");
  Files().AddFile(u"C:\\Menu\\Nolu\\B\\2.lnk", "link");
  Files().AddFile(u"C:\\Menu\\Nolu\\C\\3.lnk", "link");
  Files().SetInUse(u"C:\\Menu\\Nolu\\B\\2.lnk");
  EXPECT_FALSE(TSetupHelper::DeleteTree(u"C:\\Menu\\Nolu\\"));
  EXPECT_FALSE(Files().FolderExists(u"C:\\Menu\\Nolu\\A"));
  EXPECT_TRUE(Files().FileExists(u"C:\\Menu\\Nolu\\B\\2.lnk"));
  EXPECT_TRUE(Files().FileExists(u"C:\\Menu\\Nolu\\C\\3.lnk"));
}

}  // namespace
}  // namespace nolu
