#include "platform/fake/fake_registry.h"

#include <gtest/gtest.h>

#include "platform/error_codes.h"

namespace nolu {
namespace {

const String kUninstall = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nolu";

TEST(FakeRegistryTest, TheThirtyTwoBitViewOfSoftwareLivesUnderWow6432Node) {
  TFakeRegistry reg;
  const TRegKey key32(RegRoot::kLocalMachine, RegView::k32, kUninstall);
  ASSERT_EQ(reg.CreateKey(key32), kErrorSuccess);
  ASSERT_EQ(reg.WriteValue(key32, u"InstallPath", TRegValue::Text(u"C:\\Nolu\\")), kErrorSuccess);

  EXPECT_TRUE(reg.KeyExists(key32));
  EXPECT_FALSE(reg.KeyExists(TRegKey(RegRoot::kLocalMachine, RegView::k64, kUninstall)));
  EXPECT_FALSE(reg.KeyExists(TRegKey(RegRoot::kLocalMachine, RegView::kDefault, kUninstall)));
  const TRegKey stored(
      RegRoot::kLocalMachine, RegView::k64,
      u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nolu");
  EXPECT_EQ(reg.ReadString(stored, u"installpath"), u"C:\\Nolu\\");
  // A path that names the node itself is not redirected twice.
  EXPECT_TRUE(reg.KeyExists(TRegKey(RegRoot::kLocalMachine, RegView::k32, stored.Path)));

  struct Row {
    RegRoot root;
    RegView view;
    const char16_t* path;
    const char16_t* storage;
  };
  const Row rows[] = {
      {RegRoot::kLocalMachine, RegView::k32, u"software\\X", u"software\\Wow6432Node\\X"},
      {RegRoot::kLocalMachine, RegView::k64, u"Software\\X", u"Software\\X"},
      {RegRoot::kLocalMachine, RegView::kDefault, u"Software\\X", u"Software\\X"},
      {RegRoot::kLocalMachine, RegView::k32, u"SYSTEM\\X", u"SYSTEM\\X"},
      {RegRoot::kCurrentUser, RegView::k32, u"Software\\X", u"Software\\X"},
      {RegRoot::kLocalMachine, RegView::k32, u"\\Software\\\\X\\", u"Software\\Wow6432Node\\X"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(TFakeRegistry::StoragePath(TRegKey(r.root, r.view, r.path)), r.storage)
        << StringToUtf8(r.path);
  }
}

TEST(FakeRegistryTest, KeysAndValuesFollowTheWindowsRules) {
  TFakeRegistry reg;
  const TRegKey key(RegRoot::kCurrentUser, RegView::kDefault, u"Software\\Nolu");
  EXPECT_EQ(reg.WriteValue(key, u"A", TRegValue::Dword(1)), kErrorFileNotFound);  // no key yet
  ASSERT_EQ(reg.CreateKey(key.Child(u"b")), kErrorSuccess);  // parents come along
  ASSERT_EQ(reg.CreateKey(key.Child(u"A")), kErrorSuccess);
  ASSERT_EQ(reg.WriteValue(key, u"Zeta", TRegValue::Dword(1)), kErrorSuccess);
  ASSERT_EQ(reg.WriteValue(key, u"alpha", TRegValue::Text(u"x")), kErrorSuccess);
  ASSERT_EQ(reg.WriteValue(key, u"ZETA", TRegValue::Dword(2)), kErrorSuccess);  // same value

  StringList names;
  ASSERT_EQ(reg.EnumSubKeys(key, names), kErrorSuccess);
  EXPECT_EQ(names, (StringList{u"A", u"b"}));  // sorted, spelling kept
  ASSERT_EQ(reg.EnumValueNames(key, names), kErrorSuccess);
  EXPECT_EQ(names, (StringList{u"Zeta", u"alpha"}));  // in order of first writing
  TRegValue value;
  ASSERT_EQ(reg.ReadValue(key, u"zeta", value), kErrorSuccess);
  EXPECT_EQ(value.AsDword(), 2u);

  EXPECT_EQ(reg.DeleteKey(key), kErrorAccessDenied);  // it has sub-keys
  EXPECT_EQ(reg.DeleteValue(key, u"none"), kErrorFileNotFound);
  EXPECT_EQ(reg.ReadValue(key, u"none", value), kErrorFileNotFound);
  EXPECT_EQ(reg.EnumSubKeys(key.Child(u"none"), names), kErrorFileNotFound);
  EXPECT_EQ(reg.DeleteTree(key), kErrorSuccess);
  EXPECT_FALSE(reg.KeyExists(key));
  EXPECT_TRUE(reg.KeyExists(TRegKey(RegRoot::kCurrentUser, RegView::kDefault, u"Software")));
}

TEST(FakeRegistryTest, DeniedKeysRefuseEveryCall) {
  TFakeRegistry reg;
  const TRegKey key(RegRoot::kLocalMachine, RegView::k32, kUninstall);
  reg.CreateKey(key);
  reg.DenyAccess(TRegKey(RegRoot::kLocalMachine, RegView::k32, u"Software\\Microsoft"));
  EXPECT_FALSE(reg.KeyExists(key));
  EXPECT_EQ(reg.CreateKey(key.Child(u"x")), kErrorAccessDenied);
  EXPECT_EQ(reg.WriteValue(key, u"v", TRegValue::Dword(1)), kErrorAccessDenied);
  EXPECT_EQ(reg.DeleteTree(key), kErrorAccessDenied);
  // The 64-bit view of the same names is another key.
  EXPECT_EQ(reg.CreateKey(TRegKey(RegRoot::kLocalMachine, RegView::k64, kUninstall)),
            kErrorSuccess);
}

}  // namespace
}  // namespace nolu
