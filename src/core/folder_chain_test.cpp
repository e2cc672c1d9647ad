#include "core/folder_chain.h"

#include <gtest/gtest.h>

#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

class FolderChainTest : public ::testing::Test {
 protected:
  FolderChainTest() {
    Files().AddFolder(u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Skins");
    Files().AddFolder(u"C:\\Windows\\System32");
    Files().AddJunction(u"C:\\Users\\Bob\\AppData\\Roaming\\Away", u"C:\\Windows");
  }
  TFakeFileSystem& Files() { return fake_.Files(); }

  TFakePlatform fake_;
  PlatformScope scope_{fake_};
};

TEST_F(FolderChainTest, HoldsEveryFolderOnTheWayOrNone) {
  struct Row {
    const char16_t* folder;
    uint32_t error;
  } rows[] = {
      {u"C:\\Users\\Bob\\", kErrorSuccess},  // the root alone
      {u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Skins", kErrorSuccess},
      {u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Skins\\", kErrorSuccess},
      {u"C:\\Users\\Bob\\AppData\\Roaming\\Away\\", kErrorReparsePoint},
      {u"C:\\Users\\Bob\\AppData\\Roaming\\Away\\System32\\", kErrorReparsePoint},
      {u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Missing\\", kErrorFileNotFound},
      {u"C:\\Users\\Ann\\", kErrorInvalidParameter},  // not below the root
      {u"C:\\Users\\Bobby\\", kErrorInvalidParameter},
  };
  for (const Row& r : rows) {
    TFolderChain chain;
    EXPECT_EQ(chain.Hold(u"C:\\Users\\Bob", r.folder), r.error) << StringToUtf8(r.folder);
    EXPECT_EQ(chain.Empty(), r.error != kErrorSuccess) << StringToUtf8(r.folder);
  }
  // The root itself must be no link either.
  Files().AddJunction(u"C:\\Users\\Eve", u"C:\\Windows");
  TFolderChain chain;
  EXPECT_EQ(chain.Hold(u"C:\\Users\\Eve\\", u"C:\\Users\\Eve\\System32\\"), kErrorReparsePoint);
}

TEST_F(FolderChainTest, WhatIsHeldCannotBeSwappedUntilItIsLetGo) {
  TFolderChain chain;
  ASSERT_EQ(chain.Hold(u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\"),
            kErrorSuccess);
  EXPECT_EQ(chain.Path(), u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\");
  ASSERT_EQ(chain.Enter(u"Skins"), kErrorSuccess);
  EXPECT_EQ(
      Files().ReplaceWithJunction(u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Skins", u"C:\\Windows"),
      kErrorSharingViolation);
  chain.Leave();
  EXPECT_EQ(chain.Path(), u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\");
  // Let go, the folder is the user's again; its parent is still held.
  EXPECT_EQ(
      Files().ReplaceWithJunction(u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Skins", u"C:\\Windows"),
      kErrorSuccess);
  EXPECT_EQ(chain.Enter(u"Skins"), kErrorReparsePoint);
  EXPECT_EQ(chain.Enter(u".."), kErrorInvalidParameter);
  EXPECT_EQ(Files().ReplaceWithJunction(u"C:\\Users\\Bob\\AppData", u"C:\\Windows"),
            kErrorSharingViolation);
  chain.Release();
  EXPECT_TRUE(chain.Path().empty());
  EXPECT_EQ(Files().ReplaceWithJunction(u"C:\\Users\\Bob\\AppData", u"C:\\Windows"), kErrorSuccess);
}

TEST_F(FolderChainTest, HoldCreatingMakesTheMissingFoldersInTheirHeldParents) {
  TFolderChain chain;
  ASSERT_EQ(chain.HoldCreating(u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\New\\A\\"),
            kErrorSuccess);
  EXPECT_TRUE(Files().FolderExists(u"C:\\Users\\Bob\\AppData\\Roaming\\New\\A\\"));
  // Never through a link, and never a file in the way.
  Files().AddFile(u"C:\\Users\\Bob\\AppData\\Roaming\\file", "x");
  for (StringView target : {u"C:\\Users\\Bob\\AppData\\Roaming\\Away\\New\\",
                            u"C:\\Users\\Bob\\AppData\\Roaming\\file\\x\\"}) {
    EXPECT_NE(chain.HoldCreating(u"C:\\Users\\Bob\\", target), kErrorSuccess)
        << StringToUtf8(target);
  }
  EXPECT_FALSE(Files().FolderExists(u"C:\\Windows\\New"));
}

TEST_F(FolderChainTest, HoldExistingStopsWhereTheFoldersEnd) {
  TFolderChain chain;
  EXPECT_EQ(
      chain.HoldExisting(u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\No\\Not\\"),
      kErrorSuccess);
  EXPECT_EQ(chain.Path(), u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\");
  EXPECT_EQ(
      chain.HoldExisting(u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Away\\No\\"),
      kErrorReparsePoint);
}

// A removal moves one chain from file to file: what the next folder shares with the last stays
// held all along, what it does not share is let go of, and the new way is checked as Hold
// checks it.
TEST_F(FolderChainTest, MoveToKeepsTheSharedWayHeldAndChecksTheRest) {
  Files().AddFolder(u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Themes");
  const String nolu = u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\";
  TFolderChain chain;
  ASSERT_EQ(chain.MoveTo(u"C:\\Users\\Bob", nolu + u"Skins"), kErrorSuccess);  // nothing held yet
  ASSERT_EQ(chain.MoveTo(u"C:\\Users\\Bob\\", nolu + u"Themes\\"), kErrorSuccess);
  EXPECT_EQ(chain.Path(), nolu + u"Themes\\");
  // "Skins" was let go of; "Nolu", on both ways, never was.
  EXPECT_EQ(Files().ReplaceWithJunction(nolu + u"Skins", u"C:\\Windows"), kErrorSuccess);
  EXPECT_EQ(Files().ReplaceWithJunction(nolu, u"C:\\Windows"), kErrorSharingViolation);
  EXPECT_EQ(Files().ReplaceWithJunction(nolu + u"Themes", u"C:\\Windows"), kErrorSharingViolation);

  struct Row {
    const char16_t* root;
    const char16_t* folder;
    uint32_t error;
    const char16_t* path;  // held afterwards
  } rows[] = {
      // Up the way, and down again.
      {u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\", kErrorSuccess,
       u"C:\\Users\\Bob\\AppData\\"},
      {u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Themes", kErrorSuccess,
       u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Themes\\"},
      // The folder swapped for a link meanwhile: refused, and nothing stays held.
      {u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Skins\\", kErrorReparsePoint,
       u""},
      {u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Themes", kErrorSuccess,
       u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Themes\\"},
      {u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Away\\System32\\",
       kErrorReparsePoint, u""},
      {u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Missing\\",
       kErrorFileNotFound, u""},
      {u"C:\\Users\\Bob\\", u"C:\\Users\\Ann\\", kErrorInvalidParameter, u""},
      // Another root starts afresh from that root ("Bob" is a folder of the way now).
      {u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Themes\\", kErrorSuccess,
       u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\Themes\\"},
      {u"C:\\Users\\", u"C:\\Users\\Bob\\AppData\\", kErrorSuccess, u"C:\\Users\\Bob\\AppData\\"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(chain.MoveTo(r.root, r.folder), r.error) << StringToUtf8(r.folder);
    EXPECT_EQ(chain.Path(), r.path) << StringToUtf8(r.folder);
  }
  // Held from the new root on: "Bob" itself can no longer be swapped.
  EXPECT_EQ(Files().ReplaceWithJunction(u"C:\\Users\\Bob", u"C:\\Windows"), kErrorSharingViolation);
  chain.Release();
  EXPECT_EQ(Files().ReplaceWithJunction(u"C:\\Users\\Bob", u"C:\\Windows"), kErrorSuccess);
}

}  // namespace
}  // namespace nolu
