// Removal that stays inside its tree, on the real file system (under Wine in our runs): the
// system's own path clean-up and attributes, which the fake can only imitate.
#include <gtest/gtest.h>

#include "base/path.h"
#include "core/safe_removal.h"
#include "platform/error_codes.h"
#include "platform/win32/win32_platform.h"

namespace nolu {
namespace {

class SafeRemovalWin32Test : public ::testing::Test {
 protected:
  SafeRemovalWin32Test() {
    // A fresh folder under a name that the system makes unique.
    IFileSystem& files = Files();
    String unique;
    EXPECT_EQ(files.TempFileName(files.TempFolder(), u"nrm", unique), kErrorSuccess);
    files.Delete(unique);
    root_ = unique + u".d\\";
    EXPECT_EQ(files.CreateFolder(root_), kErrorSuccess);
  }
  ~SafeRemovalWin32Test() override { DeleteFolderTree(root_, root_); }

  IFileSystem& Files() { return platform_.Files(); }
  void AddFile(const String& path, uint32_t attributes = kAttrArchive) {
    ASSERT_EQ(Files().ForceFolders(ExtractFilePath(path)), kErrorSuccess);
    ASSERT_TRUE(Files().OpenFile(path, FileMode::kCreate).Stream) << StringToUtf8(path);
    ASSERT_EQ(Files().SetAttributes(path, attributes), kErrorSuccess);
  }

  TWin32Platform platform_;
  PlatformScope scope_{platform_};
  String root_;
};

TEST_F(SafeRemovalWin32Test, PathBelow_WhateverTheSystemMakesOfANameStaysBelow) {
  EXPECT_EQ(PathBelow(root_, u"Plugins\\PlugA\\plugin.ini"), root_ + u"Plugins\\PlugA\\plugin.ini");
  EXPECT_EQ(PathBelow(root_, u"..\\x.ini"), u"");
  // Device names, trailing dots and blanks: each system version cleans them up its own way;
  // whatever comes out is taken only when it lies below the folder.
  for (StringView name : {u"CON", u"Logs\\CON", u"Logs\\nul.txt", u"COM1", u"a\\b. .",
                          u"trailing...", u"blank \\x", u"Logs\\AUX\\x"}) {
    const String full = PathBelow(root_, name);
    EXPECT_TRUE(full.empty() || (full.size() > root_.size() && PathStartsWith(full, root_)))
        << StringToUtf8(name) << " -> " << StringToUtf8(full);
  }
}

TEST_F(SafeRemovalWin32Test, DeleteFolderTree_ReadOnlyAndHiddenEntriesGoToo) {
  const String tree = root_ + u"!Backup\\";
  AddFile(tree + u"z Before install 5.01 [2024.03.05 14-07-09].zip", kAttrReadOnly);
  AddFile(tree + u"Old\\notes.txt", kAttrHidden | kAttrSystem);
  ASSERT_EQ(Files().CreateFolder(tree + u"Locked"), kErrorSuccess);
  AddFile(tree + u"Locked\\a.txt");
  ASSERT_EQ(Files().SetAttributes(tree + u"Locked", kAttrDirectory | kAttrReadOnly), kErrorSuccess);

  EXPECT_TRUE(DeleteFolderTree(root_, tree));
  EXPECT_EQ(Files().Attributes(tree), kInvalidAttributes);
  EXPECT_TRUE(Files().FolderExists(root_));
}

TEST_F(SafeRemovalWin32Test, DeleteFileBelow_ARecordedReadOnlyFileGoes) {
  AddFile(root_ + u"System\\nolu_menu64.dll", kAttrReadOnly);
  DeleteFileBelow(root_, root_ + u"System\\nolu_menu64.dll");
  EXPECT_FALSE(Files().FileExists(root_ + u"System\\nolu_menu64.dll"));
}

}  // namespace
}  // namespace nolu
