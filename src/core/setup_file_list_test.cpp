#include "core/setup_file_list.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

class SetupFileListTest : public ::testing::Test {
 protected:
  SetupFileListTest() : scope_(platform_) {}

  TFakePlatform platform_;
  PlatformScope scope_;
};

TEST_F(SetupFileListTest, AddFolderNamesTargetsRelativeToTheRoot) {
  platform_.Files().AddFile(u"C:\\A\\x\\y.ini", "y");
  platform_.Files().AddFile(u"C:\\A\\top.ini", "t");
  platform_.Files().AddFile(u"C:\\A\\Cache\\big.bin", "b");

  for (const char16_t* root : {u"C:\\A\\", u"C:\\A"}) {
    TSetupFileList list;
    list.Add(u"C:\\first.txt", u"first.txt");
    list.AddFolder(root, u"C:\\A\\Cache\\", u"Profile\\");
    EXPECT_EQ(list.All(), (std::vector<TSetupFileListItem>{
                              {u"first.txt", u"C:\\first.txt"},
                              {u"Profile\\top.ini", u"C:\\A\\top.ini"},
                              {u"Profile\\x\\y.ini", u"C:\\A\\x\\y.ini"},
                          }))
        << StringToUtf8(root);
  }
}

TEST_F(SetupFileListTest, RemoveByNameComparesOnlyTheFileNameIgnoringCase) {
  TSetupFileList list;
  list.Add(u"C:\\a\\Nolu.ini", u"1");
  list.Add(u"C:\\b\\other.ini", u"2");
  list.Add(u"C:\\c\\NOLU.INI", u"3");
  list.Add(u"C:\\Nolu.ini\\inner.txt", u"4");  // the name of a folder does not count
  list.Add(u"C:\\d\\Nolu.ini.bak", u"5");
  list.RemoveByName(u"nolu.ini");
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.Items(0).Target, u"2");
  EXPECT_EQ(list.Items(1).Target, u"4");
  EXPECT_EQ(list.Items(2).Target, u"5");
}

}  // namespace
}  // namespace nolu
