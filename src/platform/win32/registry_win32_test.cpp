// The Win32 registry under Wine: the 32-bit view lands under Wow6432Node.
#include "platform/win32/registry_win32.h"

#include <gtest/gtest.h>

#include "platform/error_codes.h"

namespace nolu {
namespace {

class Win32RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (RegView view : {RegView::k32, RegView::k64}) {
      reg.DeleteTree(TRegKey(RegRoot::kLocalMachine, view, kTestPath));
    }
    reg.DeleteTree(TRegKey(RegRoot::kCurrentUser, RegView::kDefault, kTestPath));
  }

  static constexpr const char16_t* kTestPath = u"Software\\NoluPlatformTest";
  TWin32Registry reg;
};

TEST_F(Win32RegistryTest, TheThirtyTwoBitViewLandsUnderWow6432Node) {
  const TRegKey key32(RegRoot::kLocalMachine, RegView::k32, String(kTestPath) + u"\\Uninstall");
  ASSERT_EQ(reg.CreateKey(key32), kErrorSuccess);
  ASSERT_EQ(reg.WriteValue(key32, u"DisplayName", TRegValue::Text(u"Nolu")), kErrorSuccess);

  EXPECT_TRUE(reg.KeyExists(key32));
  EXPECT_FALSE(reg.KeyExists(TRegKey(RegRoot::kLocalMachine, RegView::k64, key32.Path)));
  const TRegKey stored(RegRoot::kLocalMachine, RegView::k64,
                       u"Software\\Wow6432Node\\NoluPlatformTest\\Uninstall");
  EXPECT_EQ(reg.ReadString(stored, u"DisplayName"), u"Nolu");
}

TEST_F(Win32RegistryTest, ValuesKeysAndTheirErrors) {
  const TRegKey key(RegRoot::kCurrentUser, RegView::kDefault, kTestPath);
  EXPECT_EQ(reg.WriteValue(key, u"x", TRegValue::Dword(1)), kErrorFileNotFound);
  ASSERT_EQ(reg.CreateKey(key.Child(u"Sub")), kErrorSuccess);
  ASSERT_EQ(reg.WriteValue(key, u"NoModify", TRegValue::Dword(1)), kErrorSuccess);
  ASSERT_EQ(reg.WriteValue(key, u"InstallPath", TRegValue::Text(u"C:\\Nolu\\")), kErrorSuccess);
  ASSERT_EQ(reg.WriteValue(key, u"Icon", TRegValue::Text(u"%SystemRoot%\\x.ico", kRegExpandSz)),
            kErrorSuccess);

  TRegValue value;
  ASSERT_EQ(reg.ReadValue(key, u"InstallPath", value), kErrorSuccess);
  EXPECT_EQ(value.Type, kRegSz);
  EXPECT_EQ(value.Data.size(), (8u + 1) * 2);  // stored with the terminating zero
  EXPECT_EQ(value.AsString(), u"C:\\Nolu\\");
  ASSERT_EQ(reg.ReadValue(key, u"Icon", value), kErrorSuccess);
  EXPECT_EQ(value.AsString(), u"%SystemRoot%\\x.ico");  // not expanded
  ASSERT_EQ(reg.ReadValue(key, u"nomodify", value), kErrorSuccess);
  EXPECT_EQ(value.AsDword(), 1u);
  EXPECT_EQ(reg.ReadValue(key, u"none", value), kErrorFileNotFound);

  StringList names;
  ASSERT_EQ(reg.EnumSubKeys(key, names), kErrorSuccess);
  EXPECT_EQ(names, StringList{u"Sub"});
  ASSERT_EQ(reg.EnumValueNames(key, names), kErrorSuccess);
  EXPECT_EQ(names.size(), 3u);
  EXPECT_EQ(reg.DeleteKey(key), kErrorAccessDenied);  // it has a sub-key
  EXPECT_EQ(reg.DeleteValue(key, u"NoModify"), kErrorSuccess);
  EXPECT_EQ(reg.DeleteTree(key), kErrorSuccess);
  EXPECT_FALSE(reg.KeyExists(key));
  EXPECT_EQ(reg.EnumSubKeys(key, names), kErrorFileNotFound);
}

}  // namespace
}  // namespace nolu
