#include "core/file_search_helper.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

class FindFilesTest : public ::testing::Test {
 protected:
  FindFilesTest() : scope_(platform_) {
    // Listed by the file system as 10, 9, A, b.txt, x, z.txt (upper-case name order).
    for (const char16_t* file : {
             u"C:\\P\\z.txt",
             u"C:\\P\\b.txt",
             u"C:\\P\\10\\ten.txt",
             u"C:\\P\\9\\nine.txt",
             u"C:\\P\\9\\deep\\down.txt",
             u"C:\\P\\A\\a.txt",
             u"C:\\P\\x\\x.txt",
             u"C:\\P\\xylophone\\y.txt",
         }) {
      platform_.Files().AddFile(file, "data");
    }
    platform_.Files().AddFolder(u"C:\\P\\empty");
  }

  StringList Find(StringView root, StringView excluded) {
    StringList list;
    FindFiles(root, excluded, list);
    return list;
  }

  TFakePlatform platform_;
  PlatformScope scope_;
};

TEST_F(FindFilesTest, FilesFirstThenSubfoldersInLogicalOrderDepthFirst) {
  const StringList expected = {
      u"C:\\P\\b.txt",       u"C:\\P\\z.txt",
      u"C:\\P\\9\\nine.txt", u"C:\\P\\9\\deep\\down.txt",  // 9 before 10, searched whole
      u"C:\\P\\10\\ten.txt", u"C:\\P\\A\\a.txt",
      u"C:\\P\\x\\x.txt",    u"C:\\P\\xylophone\\y.txt",
  };
  EXPECT_EQ(Find(u"C:\\P\\", u""), expected);
  // The root's trailing backslash is optional.
  EXPECT_EQ(Find(u"C:\\P", u""), expected);
}

TEST_F(FindFilesTest, ExcludedPrefixSkipsWholeSubtrees) {
  struct Case {
    const char16_t* excluded;
    StringList expected;
  } cases[] = {
      {u"C:\\P\\", {}},  // the root itself: nothing at all
      {u"c:\\p\\", {}},  // compared without regard to case
      {u"C:\\P\\9\\",
       {u"C:\\P\\b.txt", u"C:\\P\\z.txt", u"C:\\P\\10\\ten.txt", u"C:\\P\\A\\a.txt",
        u"C:\\P\\x\\x.txt", u"C:\\P\\xylophone\\y.txt"}},
      {u"C:\\P\\9\\deep\\",
       {u"C:\\P\\b.txt", u"C:\\P\\z.txt", u"C:\\P\\9\\nine.txt", u"C:\\P\\10\\ten.txt",
        u"C:\\P\\A\\a.txt", u"C:\\P\\x\\x.txt", u"C:\\P\\xylophone\\y.txt"}},
      // A prefix without backslash matches every folder that begins with it.
      {u"C:\\P\\X",
       {u"C:\\P\\b.txt", u"C:\\P\\z.txt", u"C:\\P\\9\\nine.txt", u"C:\\P\\9\\deep\\down.txt",
        u"C:\\P\\10\\ten.txt", u"C:\\P\\A\\a.txt"}},
      // Only folders are tested: the file C:\P\b.txt stays although its path begins so.
      {u"C:\\P\\b",
       {u"C:\\P\\b.txt", u"C:\\P\\z.txt", u"C:\\P\\9\\nine.txt", u"C:\\P\\9\\deep\\down.txt",
        u"C:\\P\\10\\ten.txt", u"C:\\P\\A\\a.txt", u"C:\\P\\x\\x.txt", u"C:\\P\\xylophone\\y.txt"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find(u"C:\\P\\", c.excluded), c.expected) << StringToUtf8(c.excluded);
  }
}

TEST_F(FindFilesTest, AppendsToTheListItIsGiven) {
  StringList list = {u"earlier"};
  FindFiles(u"C:\\P\\A\\", u"", list);
  EXPECT_EQ(list, (StringList{u"earlier", u"C:\\P\\A\\a.txt"}));
}

TEST_F(FindFilesTest, MissingUnreadableAndLinkedFoldersContributeNothing) {
  EXPECT_EQ(Find(u"C:\\Missing\\", u""), StringList{});
  EXPECT_EQ(Find(u"", u""), StringList{});  // never the current drive's root

  platform_.Files().DenyAccess(u"C:\\P\\9");
  // A junction back to the root would make the search endless.
  platform_.Files().AddFolder(u"C:\\P\\loop", kAttrDirectory | kAttrReparsePoint);
  platform_.Files().AddFile(u"C:\\P\\loop\\through.txt", "x");
  EXPECT_EQ(Find(u"C:\\P\\", u""),
            (StringList{u"C:\\P\\b.txt", u"C:\\P\\z.txt", u"C:\\P\\10\\ten.txt", u"C:\\P\\A\\a.txt",
                        u"C:\\P\\x\\x.txt", u"C:\\P\\xylophone\\y.txt"}));
}

}  // namespace
}  // namespace nolu
