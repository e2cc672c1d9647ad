#include "core/safe_removal.h"

#include <gtest/gtest.h>

#include "base/locale.h"
#include "base/path.h"
#include "core/folder_chain.h"
#include "core/testing/watched_file_system.h"
#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

constexpr char16_t kRoot[] = u"C:\\Nolu\\";

class SafeRemovalTest : public ::testing::Test {
 protected:
  TFakeFileSystem& Files() { return fake_.Files(); }
  std::vector<TFileCall> CallsBelow(StringView prefix) {
    return watched_.Files().CallsBelow(prefix);
  }

  TFakePlatform fake_;
  TWatchedPlatform watched_{fake_};
  PlatformScope scope_{watched_};
};

TEST_F(SafeRemovalTest, PathBelow_TakesOnlyWhatStaysInTheFolder) {
  struct Row {
    const char16_t* recorded;
    const char16_t* full;  // empty: skipped
  };
  const Row rows[] = {
      {u"Nolu.exe", u"C:\\Nolu\\Nolu.exe"},
      {u"Plugins\\PlugA\\plugin.ini", u"C:\\Nolu\\Plugins\\PlugA\\plugin.ini"},
      {u"Skins\\\\Modern\\skin.xml", u"C:\\Nolu\\Skins\\Modern\\skin.xml"},  // empty component
      {u"..\\..\\Windows\\win.ini", u""},
      {u"Plugins\\..\\..\\Windows\\win.ini", u""},
      {u"C:\\Windows\\win.ini", u""},
      {u"C:win.ini", u""},
      {u"\\Windows\\win.ini", u""},
      {u"\\\\server\\share\\x", u""},
      {u"\\\\?\\C:\\Windows\\x", u""},
      {u"\\\\.\\C:\\Windows\\x", u""},
      {u"a/../../Windows/win.ini", u""},
      {u"Nolu.exe:stream", u""},
      {u".. \\Windows\\win.ini", u""},  // Windows drops the blank
      {u"", u""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(PathBelow(kRoot, r.recorded), r.full) << StringToUtf8(r.recorded);
  }
  // Without its trailing backslash "C:\Nolu" would also take in "C:\Nolu2\".
  EXPECT_EQ(PathBelow(u"C:\\Nolu", u"x.txt"), u"");
}

// The system's own clean-up turns a device name into a device path, outside every folder.
class TDeviceNameFiles : public TFakeFileSystem {
 public:
  uint32_t FullPathName(StringView path, String& full) override {
    if (EqualsIgnoreCase(ExtractName(path), u"CON")) {
      full = u"\\\\.\\CON";
      return kErrorSuccess;
    }
    return TFakeFileSystem::FullPathName(path, full);
  }

 private:
  static StringView ExtractName(StringView path) { return path.substr(path.rfind(u'\\') + 1); }
};

class TDeviceNamePlatform : public TFakePlatform {
 public:
  TDeviceNameFiles& Files() override { return files_; }

 private:
  TDeviceNameFiles files_;
};

TEST(SafeRemovalPathTest, PathBelow_RefusesWhatTheSystemsCleanUpTakesOut) {
  TDeviceNamePlatform platform;
  PlatformScope scope(platform);
  EXPECT_EQ(PathBelow(kRoot, u"Logs\\CON"), u"");
  EXPECT_EQ(PathBelow(kRoot, u"Logs\\CONSOLE"), u"C:\\Nolu\\Logs\\CONSOLE");
}

TEST_F(SafeRemovalTest, DeleteFileBelow_NothingBelowALink) {
  Files().AddFolder(u"C:\\Outside");
  struct Row {
    const char16_t* path;
    bool deleted;
  };
  const Row rows[] = {
      {u"C:\\Nolu\\x.txt", true},
      {u"C:\\Nolu\\Sub\\x.txt", true},
      {u"C:\\Nolu\\Sub\\Deeper\\x.txt", true},
      {u"C:\\Nolu\\Sub\\Link\\x.txt", false},          // a junction that holds its files
      {u"C:\\Nolu\\Sub\\Link\\Deeper\\x.txt", false},  // further below it
      {u"C:\\Nolu\\Sub\\Away\\x.txt", false},          // a junction to another folder
  };
  for (const Row& r : rows) {
    Files().AddFolder(u"C:\\Nolu\\Sub\\Link", kAttrDirectory | kAttrReparsePoint);
    if (!Files().FolderExists(u"C:\\Nolu\\Sub\\Away")) {
      Files().AddJunction(u"C:\\Nolu\\Sub\\Away", u"C:\\Outside");
    }
    Files().AddFile(r.path, "x");
    DeleteFileBelow(kRoot, r.path);
    EXPECT_EQ(!Files().FileExists(r.path), r.deleted) << StringToUtf8(r.path);
  }
  EXPECT_EQ(Files().FileText(u"C:\\Outside\\x.txt"), "x");
}

// A user who may write the tree swaps a folder on the way for a junction just before the
// file is deleted: the held folders refuse the swap, and nothing outside is touched.
TEST_F(SafeRemovalTest, DeleteFileBelow_AFolderSwappedForAJunctionMeanwhileRedirectsNothing) {
  Files().AddFile(u"C:\\Nolu\\Skins\\skin.xml", "ours");
  Files().AddFile(u"C:\\Windows\\skin.xml", "the system's");
  uint32_t swap = kErrorSuccess;
  watched_.Files().Before(u"Delete", u"C:\\Nolu\\Skins\\skin.xml", [&] {
    swap = Files().ReplaceWithJunction(u"C:\\Nolu\\Skins", u"C:\\Windows");
  });

  DeleteFileBelow(kRoot, u"C:\\Nolu\\Skins\\skin.xml");

  EXPECT_EQ(swap, kErrorSharingViolation);
  EXPECT_EQ(Files().FileText(u"C:\\Windows\\skin.xml"), "the system's");
  EXPECT_FALSE(Files().FileExists(u"C:\\Nolu\\Skins\\skin.xml"));
}

TEST_F(SafeRemovalTest, DeleteFileBelow) {
  Files().AddFile(u"C:\\Nolu\\Plain.dll", "MZ", kAttrReadOnly);
  Files().AddFile(u"C:\\Nolu\\Busy.dll", "MZ");
  Files().SetInUse(u"C:\\Nolu\\Busy.dll", {.Renamable = true});
  Files().AddFolder(u"C:\\Nolu\\Skins");
  Files().AddFolder(u"C:\\Nolu\\Link", kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(u"C:\\Nolu\\Link\\win.ini", "keep");
  Files().AddFile(u"C:\\Nolu\\FileLink.ini", "", kAttrArchive | kAttrReparsePoint);

  for (StringView path :
       {u"C:\\Nolu\\Plain.dll", u"C:\\Nolu\\Busy.dll", u"C:\\Nolu\\Skins",
        u"C:\\Nolu\\Link\\win.ini", u"C:\\Nolu\\FileLink.ini", u"C:\\Nolu\\Missing.dll"}) {
    DeleteFileBelow(kRoot, path);
  }

  EXPECT_FALSE(Files().FileExists(u"C:\\Nolu\\Plain.dll"));
  // In use: moved aside and deleted at the next restart, as every recorded file.
  EXPECT_FALSE(Files().FileExists(u"C:\\Nolu\\Busy.dll"));
  EXPECT_EQ(Files().RebootOperations().size(), 1u);
  EXPECT_TRUE(Files().FolderExists(u"C:\\Nolu\\Skins"));  // a folder is no recorded file
  // Nothing reached through the junction, not even a look at the file.
  EXPECT_EQ(Files().FileText(u"C:\\Nolu\\Link\\win.ini"), "keep");
  EXPECT_TRUE(CallsBelow(u"C:\\Nolu\\Link\\").empty());
  // A file link goes as a link: its attributes (maybe its target's) are never set.
  EXPECT_FALSE(Files().FileExists(u"C:\\Nolu\\FileLink.ini"));
  for (const TFileCall& call : CallsBelow(u"C:\\Nolu\\FileLink.ini")) {
    EXPECT_NE(call.Operation, u"SetAttributes");
  }
}

// A run of removals, children first, as the uninstaller makes them after the files: each
// folder of the way is opened once for the whole run, a held parent refuses to be swapped for
// a junction while its child goes, and links are removed as links or keep what lies below.
TEST_F(SafeRemovalTest, RemoveEmptyFolderBelow_ARunWithOneChain) {
  for (StringView folder : {u"C:\\Nolu\\A\\B\\C", u"C:\\Nolu\\A\\B\\D", u"C:\\Nolu\\E"})
    Files().AddFolder(folder);
  Files().AddFile(u"C:\\Nolu\\Kept\\user.ini", "the user's");
  Files().AddFile(u"C:\\Outside\\x.txt", "x");
  Files().AddJunction(u"C:\\Nolu\\Link", u"C:\\Outside");
  Files().AddFolder(u"C:\\Outside\\Sub");
  uint32_t swap = kErrorSuccess;
  watched_.Files().Before(u"RemoveFolder", u"C:\\Nolu\\A\\B\\C", [&] {
    swap = Files().ReplaceWithJunction(u"C:\\Nolu\\A\\B", u"C:\\Windows");
  });

  TFolderChain chain;
  for (StringView folder : {u"C:\\Nolu\\A\\B\\C\\", u"C:\\Nolu\\A\\B\\D\\", u"C:\\Nolu\\A\\B\\",
                            u"C:\\Nolu\\A\\", u"C:\\Nolu\\Kept\\", u"C:\\Nolu\\E\\",
                            u"C:\\Nolu\\Link\\Sub\\", u"C:\\Nolu\\Link\\", u"C:\\Nolu\\"}) {
    RemoveEmptyFolderBelow(chain, kRoot, folder);
  }

  EXPECT_EQ(swap, kErrorSharingViolation);
  for (StringView gone : {u"C:\\Nolu\\A", u"C:\\Nolu\\Link", u"C:\\Nolu\\E"})
    EXPECT_FALSE(Files().FolderExists(gone)) << StringToUtf8(gone);
  EXPECT_EQ(Files().FileText(u"C:\\Nolu\\Kept\\user.ini"), "the user's");
  EXPECT_TRUE(Files().FolderExists(u"C:\\Nolu"));          // not empty: it stays
  EXPECT_TRUE(Files().FolderExists(u"C:\\Outside\\Sub"));  // below the link: never reached
  EXPECT_EQ(Files().FileText(u"C:\\Outside\\x.txt"), "x");
  StringList held;
  for (const TFileCall& call : CallsBelow(u"C:\\")) {
    if (call.Operation == u"HoldFolder") held.push_back(ExcludeTrailingBackslash(call.Path));
  }
  // The link refuses to be held, which lets go of the chain: the next removal starts over.
  EXPECT_EQ(held, (StringList{u"C:\\Nolu", u"C:\\Nolu\\A", u"C:\\Nolu\\A\\B", u"C:\\Nolu\\Link",
                              u"C:\\Nolu"}));
}

TEST_F(SafeRemovalTest, DeleteFolderTree_RemovesEverythingBelow) {
  Files().AddFile(u"C:\\Nolu\\!Backup\\z Before install 5.01 [2024.03.05 14-07-09].zip", "PK");
  Files().AddFile(u"C:\\Nolu\\!Backup\\Old\\notes.txt", "n", kAttrReadOnly | kAttrHidden);
  Files().AddFolder(u"C:\\Nolu\\!Backup\\Old\\Empty");
  Files().AddFolder(u"C:\\Nolu\\!Backup\\Locked", kAttrDirectory | kAttrReadOnly);
  Files().AddFile(u"C:\\Nolu\\Nolu.exe", "MZ");

  EXPECT_TRUE(DeleteFolderTree(kRoot, u"C:\\Nolu\\!Backup\\"));

  EXPECT_EQ(Files().ListTree(kRoot), StringList{u"C:\\Nolu\\Nolu.exe"});
  // A folder that is already gone counts as removed.
  EXPECT_TRUE(DeleteFolderTree(kRoot, u"C:\\Nolu\\!Backup\\"));
  // The root itself goes too when it is the tree.
  EXPECT_TRUE(DeleteFolderTree(kRoot, kRoot));
  EXPECT_FALSE(Files().FolderExists(kRoot));
}

TEST_F(SafeRemovalTest, DeleteFolderTree_RemovesLinksWithoutEnteringThem) {
  Files().AddFile(u"C:\\Nolu\\Profile\\Nolu.ini", "[System]");
  Files().AddFolder(u"C:\\Nolu\\Profile\\Music", kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(u"C:\\Nolu\\Profile\\Music\\song.mp3", "ID3");
  Files().AddFolder(u"C:\\Nolu\\Profile\\Deep\\Docs", kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(u"C:\\Nolu\\Profile\\Deep\\Docs\\letter.doc", "Dear");
  Files().AddFile(u"C:\\Users\\Bob\\Documents\\thesis.doc", "keep");
  Files().AddJunction(u"C:\\Nolu\\Profile\\Deep\\Bob", u"C:\\Users\\Bob\\Documents");

  EXPECT_TRUE(DeleteFolderTree(kRoot, u"C:\\Nolu\\Profile\\"));

  EXPECT_FALSE(Files().FolderExists(u"C:\\Nolu\\Profile"));
  for (StringView link : {u"C:\\Nolu\\Profile\\Music\\", u"C:\\Nolu\\Profile\\Deep\\Docs\\",
                          u"C:\\Nolu\\Profile\\Deep\\Bob\\"}) {
    EXPECT_TRUE(CallsBelow(link).empty()) << StringToUtf8(link);
  }
  EXPECT_EQ(Files().FileText(u"C:\\Users\\Bob\\Documents\\thesis.doc"), "keep");
}

// The tree's folders change while it is removed: one is swapped for a junction to the user's
// documents right before it is listed, another when it is about to go. Neither swap leads the
// removal out of the tree.
TEST_F(SafeRemovalTest, DeleteFolderTree_AFolderSwappedForAJunctionMeanwhileRedirectsNothing) {
  const String profile = u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\";
  Files().AddFile(profile + u"Playlists\\Rock.m3u", "ours");
  Files().AddFile(profile + u"Skins\\Mine\\skin.xml", "ours");
  Files().AddFile(u"C:\\Users\\Bob\\Documents\\thesis.doc", "keep");
  uint32_t listing_swap = kErrorSuccess, removal_swap = kErrorSuccess;
  watched_.Files().Before(u"ListFolder", profile + u"Playlists", [&] {
    listing_swap =
        Files().ReplaceWithJunction(profile + u"Playlists", u"C:\\Users\\Bob\\Documents");
  });
  watched_.Files().Before(u"Delete", profile + u"Skins\\Mine\\skin.xml", [&] {
    removal_swap = Files().ReplaceWithJunction(profile + u"Skins", u"C:\\Users\\Bob\\Documents");
  });

  EXPECT_TRUE(DeleteFolderTree(u"C:\\Users\\Bob\\", profile));

  EXPECT_EQ(listing_swap, kErrorSharingViolation);
  EXPECT_EQ(removal_swap, kErrorSharingViolation);
  EXPECT_EQ(Files().FileText(u"C:\\Users\\Bob\\Documents\\thesis.doc"), "keep");
  EXPECT_FALSE(Files().FolderExists(profile));
}

TEST_F(SafeRemovalTest, DeleteFolderTree_ALinkOnTheWayKeepsTheTreeUntouched) {
  // "AppData" itself was made a junction: the profile below it lies elsewhere.
  Files().AddFile(u"C:\\Windows\\Roaming\\Nolu\\system.dll", "keep");
  Files().AddJunction(u"C:\\Users\\Bob\\AppData", u"C:\\Windows");

  EXPECT_FALSE(DeleteFolderTree(u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\"));

  EXPECT_EQ(Files().FileText(u"C:\\Windows\\Roaming\\Nolu\\system.dll"), "keep");
  // A tree outside its root is refused too.
  EXPECT_FALSE(DeleteFolderTree(u"C:\\Users\\Bob\\", u"C:\\Windows\\Roaming\\Nolu\\"));
  EXPECT_EQ(Files().FileText(u"C:\\Windows\\Roaming\\Nolu\\system.dll"), "keep");
}

TEST_F(SafeRemovalTest, DeleteFolderTree_ALinkAsTheTopGoesAlone) {
  // A user's profile folder replaced by a junction to somewhere else.
  const String top = u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\";
  Files().AddFolder(top, kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(top + u"win.ini", "keep");

  Files().AddFile(u"C:\\Windows\\win.ini", "keep");
  const String away = u"C:\\Users\\Bob\\AppData\\Roaming\\Away\\";
  Files().AddJunction(away, u"C:\\Windows");

  EXPECT_TRUE(DeleteFolderTree(u"C:\\Users\\Bob\\", top));
  EXPECT_TRUE(DeleteFolderTree(u"C:\\Users\\Bob\\", away));

  EXPECT_FALSE(Files().FolderExists(top));
  EXPECT_FALSE(Files().FolderExists(away));
  EXPECT_TRUE(CallsBelow(top).empty());
  EXPECT_TRUE(CallsBelow(away).empty());
  EXPECT_EQ(Files().FileText(u"C:\\Windows\\win.ini"), "keep");
}

TEST_F(SafeRemovalTest, DeleteFolderTree_StopsAtTheFirstEntryThatStays) {
  // Listed in upper-case name order: a.txt, b.txt, c.txt.
  Files().AddFile(u"C:\\Nolu\\!Backup\\a.txt");
  Files().AddFile(u"C:\\Nolu\\!Backup\\b.txt");
  Files().AddFile(u"C:\\Nolu\\!Backup\\c.txt");
  Files().SetInUse(u"C:\\Nolu\\!Backup\\b.txt");

  EXPECT_FALSE(DeleteFolderTree(kRoot, u"C:\\Nolu\\!Backup\\"));

  EXPECT_EQ(Files().ListTree(u"C:\\Nolu\\!Backup\\"),
            (StringList{u"C:\\Nolu\\!Backup\\b.txt", u"C:\\Nolu\\!Backup\\c.txt"}));
}

TEST_F(SafeRemovalTest, DeleteFolderTree_NeverAWholeVolumeOrAFile) {
  Files().AddDrive(u"D:");
  Files().AddFile(u"D:\\Data\\thesis.doc", "keep");
  Files().AddDrive(u"\\\\server\\share");
  Files().AddFile(u"\\\\server\\share\\team.xls", "keep");
  Files().AddFile(u"C:\\Nolu\\Nolu.ini", "[System]");

  for (StringView folder :
       {u"D:\\", u"D:", u"\\\\server\\share\\", u"\\\\?\\D:\\", u"C:\\Nolu\\Nolu.ini", u""}) {
    EXPECT_FALSE(DeleteFolderTree(folder, folder)) << StringToUtf8(folder);
  }

  EXPECT_EQ(Files().FileText(u"D:\\Data\\thesis.doc"), "keep");
  EXPECT_EQ(Files().FileText(u"\\\\server\\share\\team.xls"), "keep");
  EXPECT_TRUE(Files().FileExists(u"C:\\Nolu\\Nolu.ini"));
}

// Whatever a record or a choice names, a tree removal never takes a folder that holds the
// system, other programs or the users' own files; a folder below one goes as any other.
TEST_F(SafeRemovalTest, DeleteFolderTree_NeverAFolderOfTheSystemOrOfTheUsers) {
  Files().AddJunction(u"C:\\Documents and Settings", u"C:\\Users");
  const StringView kept[] = {
      u"C:\\Program Files (x86)\\",
      u"C:\\Program Files\\",
      u"C:\\Windows\\",
      u"C:\\Users\\User\\",
      u"C:\\Users\\User\\Desktop\\",
      u"c:\\users\\user\\documents",
      u"C:\\Users\\User\\Downloads\\",
      u"C:\\Users\\Public\\Desktop\\",
      u"C:\\Documents and Settings\\User\\",
  };
  for (StringView folder : kept) {
    SCOPED_TRACE(StringToUtf8(folder));
    const String file = IncludeTrailingBackslash(folder) + u"Other\\mine.txt";
    Files().AddFile(file, "keep");
    EXPECT_FALSE(DeleteFolderTree(folder, folder));
    EXPECT_EQ(Files().FileText(file), "keep");
  }
  Files().AddFile(u"C:\\Users\\User\\Desktop\\NoluPortable\\Profile\\Nolu.ini", "[System]");
  const String portable = u"C:\\Users\\User\\Desktop\\NoluPortable\\";
  EXPECT_TRUE(DeleteFolderTree(portable, portable));
  EXPECT_FALSE(Files().FolderExists(u"C:\\Users\\User\\Desktop\\NoluPortable"));
}

}  // namespace
}  // namespace nolu
