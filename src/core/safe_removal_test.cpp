#include "core/safe_removal.h"

#include <gtest/gtest.h>

#include "base/locale.h"
#include "base/path.h"
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

TEST_F(SafeRemovalTest, PassesThroughLink) {
  Files().AddFolder(u"C:\\Nolu\\Sub\\Deeper");
  Files().AddFolder(u"C:\\Nolu\\Sub\\Link", kAttrDirectory | kAttrReparsePoint);
  struct Row {
    const char16_t* path;
    bool passes;
  };
  const Row rows[] = {
      {u"C:\\Nolu\\x.txt", false},
      {u"C:\\Nolu\\Sub\\x.txt", false},
      {u"C:\\Nolu\\Sub\\Deeper\\x.txt", false},
      {u"C:\\Nolu\\Sub\\Link\\x.txt", true},
      {u"C:\\Nolu\\Sub\\Link\\Deeper\\x.txt", true},
      {u"C:\\Nolu\\Sub\\Link", false},      // the link itself is the last component
      {u"C:\\Nolu\\Missing\\x.txt", true},  // nothing to delete there anyway
  };
  for (const Row& r : rows) {
    EXPECT_EQ(PassesThroughLink(kRoot, r.path), r.passes) << StringToUtf8(r.path);
  }
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

TEST_F(SafeRemovalTest, DeleteFolderTree_RemovesEverythingBelow) {
  Files().AddFile(u"C:\\Nolu\\!Backup\\z Before install 5.01 [2024.03.05 14-07-09].zip", "PK");
  Files().AddFile(u"C:\\Nolu\\!Backup\\Old\\notes.txt", "n", kAttrReadOnly | kAttrHidden);
  Files().AddFolder(u"C:\\Nolu\\!Backup\\Old\\Empty");
  Files().AddFolder(u"C:\\Nolu\\!Backup\\Locked", kAttrDirectory | kAttrReadOnly);
  Files().AddFile(u"C:\\Nolu\\Nolu.exe", "MZ");

  EXPECT_TRUE(DeleteFolderTree(u"C:\\Nolu\\!Backup\\"));

  EXPECT_EQ(Files().ListTree(kRoot), StringList{u"C:\\Nolu\\Nolu.exe"});
  // A folder that is already gone counts as removed.
  EXPECT_TRUE(DeleteFolderTree(u"C:\\Nolu\\!Backup\\"));
}

TEST_F(SafeRemovalTest, DeleteFolderTree_RemovesLinksWithoutEnteringThem) {
  Files().AddFile(u"C:\\Nolu\\Profile\\Nolu.ini", "[System]");
  Files().AddFolder(u"C:\\Nolu\\Profile\\Music", kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(u"C:\\Nolu\\Profile\\Music\\song.mp3", "ID3");
  Files().AddFolder(u"C:\\Nolu\\Profile\\Deep\\Docs", kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(u"C:\\Nolu\\Profile\\Deep\\Docs\\letter.doc", "Dear");

  EXPECT_TRUE(DeleteFolderTree(u"C:\\Nolu\\Profile\\"));

  EXPECT_FALSE(Files().FolderExists(u"C:\\Nolu\\Profile"));
  for (StringView link : {u"C:\\Nolu\\Profile\\Music\\", u"C:\\Nolu\\Profile\\Deep\\Docs\\"}) {
    EXPECT_TRUE(CallsBelow(link).empty()) << StringToUtf8(link);
  }
}

TEST_F(SafeRemovalTest, DeleteFolderTree_ALinkAsTheTopGoesAlone) {
  // A user's profile folder replaced by a junction to somewhere else.
  const String top = u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\";
  Files().AddFolder(top, kAttrDirectory | kAttrReparsePoint);
  Files().AddFile(top + u"win.ini", "keep");

  EXPECT_TRUE(DeleteFolderTree(top));

  EXPECT_FALSE(Files().FolderExists(top));
  EXPECT_TRUE(CallsBelow(top).empty());
}

TEST_F(SafeRemovalTest, DeleteFolderTree_StopsAtTheFirstEntryThatStays) {
  // Listed in upper-case name order: a.txt, b.txt, c.txt.
  Files().AddFile(u"C:\\Nolu\\!Backup\\a.txt");
  Files().AddFile(u"C:\\Nolu\\!Backup\\b.txt");
  Files().AddFile(u"C:\\Nolu\\!Backup\\c.txt");
  Files().SetInUse(u"C:\\Nolu\\!Backup\\b.txt");

  EXPECT_FALSE(DeleteFolderTree(u"C:\\Nolu\\!Backup\\"));

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
    EXPECT_FALSE(DeleteFolderTree(folder)) << StringToUtf8(folder);
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
    EXPECT_FALSE(DeleteFolderTree(folder));
    EXPECT_EQ(Files().FileText(file), "keep");
  }
  Files().AddFile(u"C:\\Users\\User\\Desktop\\NoluPortable\\Profile\\Nolu.ini", "[System]");
  EXPECT_TRUE(DeleteFolderTree(u"C:\\Users\\User\\Desktop\\NoluPortable\\"));
  EXPECT_FALSE(Files().FolderExists(u"C:\\Users\\User\\Desktop\\NoluPortable"));
}

}  // namespace
}  // namespace nolu
