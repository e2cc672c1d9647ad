#include "core/setup_app_repo.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

const String kUninstall = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

TRegKey Entry(StringView key_name, RegView view) {
  return TRegKey(RegRoot::kLocalMachine, view, kUninstall).Child(key_name);
}

class SetupAppRepoTest : public ::testing::Test {
 protected:
  // Writes a string value, creating the key.
  void Put(const TRegKey& key, StringView name, StringView text, uint32_t type = kRegSz) {
    ASSERT_EQ(fake_.Registry().CreateKey(key), 0u);
    ASSERT_EQ(fake_.Registry().WriteValue(key, name, TRegValue::Text(text, type)), 0u);
  }

  TFakePlatform fake_;
  PlatformScope scope_{fake_};
};

TEST_F(SetupAppRepoTest, KeyName_RemovesEveryBlankAndNothingElse) {
  EXPECT_EQ(TSetupAppRepo::KeyName(u" No lu  Player "), u"NoluPlayer");
  EXPECT_EQ(TSetupAppRepo::KeyName(u"Nolu\tX"), u"Nolu\tX");  // only code 32 counts
  EXPECT_EQ(TSetupAppRepo::KeyName(u"   "), u"");
}

TEST_F(SetupAppRepoTest, Register_WritesTheValuesInOrderInThe32BitView) {
  fake_.System().SetLocalTime({2025, 1, 9, 23, 59, 59, 0});
  TSetupAppRepo::Register(u"Nolu Player", u"C:\\Program Files (x86)\\Nolu\\Uninstall.exe", u"5.40",
                          u"Nolu Team", u"https://nolu.example/", 5 * 1024 * 1024 + 1);

  // 32-bit view: on 64-bit Windows below Wow6432Node, and not in the native view.
  const TRegKey key = Entry(u"NoluPlayer", RegView::k32);
  ASSERT_TRUE(fake_.Registry().KeyExists(TRegKey(
      RegRoot::kLocalMachine, RegView::k64,
      u"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NoluPlayer")));
  EXPECT_FALSE(fake_.Registry().KeyExists(Entry(u"NoluPlayer", RegView::k64)));
  EXPECT_FALSE(fake_.Registry().KeyExists(Entry(u"Nolu Player", RegView::k32)));

  struct Expected {
    const char16_t* name;
    std::optional<uint32_t> dword;  // else a REG_SZ with this text
    const char16_t* text;
  };
  const Expected expected[] = {
      {u"NoModify", 1u, nullptr},
      {u"NoRepair", 1u, nullptr},
      {u"DisplayIcon", std::nullopt, u"C:\\Program Files (x86)\\Nolu\\Uninstall.exe"},
      {u"DisplayName", std::nullopt, u"Nolu Player"},  // keeps its blanks
      {u"DisplayVersion", std::nullopt, u"5.40"},
      {u"InstallDate", std::nullopt, u"20250109"},
      {u"InstallPath", std::nullopt, u"C:\\Program Files (x86)\\Nolu\\"},
      {u"Publisher", std::nullopt, u"Nolu Team"},
      {u"UninstallString", std::nullopt, u"C:\\Program Files (x86)\\Nolu\\Uninstall.exe"},
      {u"URLInfoAbout", std::nullopt, u"https://nolu.example/"},
      // What deployment tools and the programs list read beside the ten.
      {u"InstallLocation", std::nullopt, u"C:\\Program Files (x86)\\Nolu\\"},
      {u"QuietUninstallString", std::nullopt,
       u"\"C:\\Program Files (x86)\\Nolu\\Uninstall.exe\" /AUTO /SILENT"},
      {u"EstimatedSize", 5u * 1024 + 1, nullptr},  // KiB; a part of one counts whole
  };
  StringList names;
  ASSERT_EQ(fake_.Registry().EnumValueNames(key, names), 0u);
  ASSERT_EQ(names.size(), std::size(expected));
  for (size_t i = 0; i < names.size(); ++i) {
    const Expected& e = expected[i];
    SCOPED_TRACE(StringToUtf8(e.name));
    EXPECT_EQ(names[i], e.name);
    TRegValue value;
    ASSERT_EQ(fake_.Registry().ReadValue(key, e.name, value), 0u);
    if (e.dword) {
      EXPECT_EQ(value.Type, kRegDword);
      EXPECT_EQ(value.AsDword(99), *e.dword);
    } else {
      EXPECT_EQ(value.Type, kRegSz);
      EXPECT_EQ(value.AsString(), e.text);
      // Stored with the terminating zero.
      EXPECT_EQ(value.Data.size(), 2 * String(e.text).size() + 2);
    }
  }
}

TEST_F(SetupAppRepoTest, Register_ReplacesAnEarlierEntryAsAWhole) {
  const TRegKey key = Entry(u"Nolu", RegView::k32);
  Put(key, u"InstallLocation", u"C:\\Old\\");
  Put(key, u"Comments", u"From 3.x");
  Put(key, u"DisplayName", u"Nolu 3");
  Put(key.Child(u"Extra").Child(u"Deeper"), u"X", u"y");
  Put(Entry(u"Other", RegView::k32), u"DisplayName", u"Other product");

  TSetupAppRepo::Register(u"Nolu", u"C:\\Nolu\\Uninstall.exe", u"5.40", u"P", u"H", 0);

  StringList names;
  fake_.Registry().EnumSubKeys(key, names);
  EXPECT_TRUE(names.empty());
  TRegValue value;
  EXPECT_NE(fake_.Registry().ReadValue(key, u"Comments", value), 0u);
  EXPECT_EQ(fake_.Registry().ReadString(key, u"InstallLocation"), u"C:\\Nolu\\");
  EXPECT_EQ(fake_.Registry().ReadString(key, u"DisplayName"), u"Nolu");
  fake_.Registry().EnumValueNames(key, names);
  EXPECT_EQ(names.size(), 13u);
  EXPECT_TRUE(fake_.Registry().KeyExists(Entry(u"Other", RegView::k32)));
}

TEST_F(SetupAppRepoTest, Register_ANameOfBlanksWritesAndDeletesNothing) {
  Put(Entry(u"Other", RegView::k32), u"DisplayName", u"Other product");
  TSetupAppRepo::Register(u"   ", u"C:\\Nolu\\Uninstall.exe", u"5.40", u"P", u"H", 0);
  TSetupAppRepo::Unregister(u"  ");

  StringList names;
  fake_.Registry().EnumSubKeys(TRegKey(RegRoot::kLocalMachine, RegView::k32, kUninstall), names);
  EXPECT_EQ(names, StringList{u"Other"});
  fake_.Registry().EnumValueNames(TRegKey(RegRoot::kLocalMachine, RegView::k32, kUninstall), names);
  EXPECT_TRUE(names.empty());
}

TEST_F(SetupAppRepoTest, Register_AnInaccessibleRegistryIsIgnored) {
  fake_.Registry().DenyAccess(TRegKey(RegRoot::kLocalMachine, RegView::k32, kUninstall));
  EXPECT_NO_THROW(TSetupAppRepo::Register(u"Nolu", u"C:\\Nolu\\Uninstall.exe", u"1", u"", u"", 0));
  EXPECT_NO_THROW(TSetupAppRepo::Unregister(u"Nolu"));
}

TEST_F(SetupAppRepoTest, Unregister_DeletesTheEntryOfTheGivenViewWithAllItsSubKeys) {
  for (RegView view : {RegView::k32, RegView::k64}) {
    Put(Entry(u"Nolu", view).Child(u"A").Child(u"B").Child(u"C"), u"X", u"1");
    Put(Entry(u"Nolu", view).Child(u"D"), u"X", u"1");
    Put(Entry(u"Nolu", view), u"DisplayName", u"Nolu");
  }
  TSetupAppRepo::Unregister(u"No lu");  // the key name has no blanks
  EXPECT_FALSE(fake_.Registry().KeyExists(Entry(u"Nolu", RegView::k32)));
  EXPECT_TRUE(fake_.Registry().KeyExists(Entry(u"Nolu", RegView::k64)));

  TSetupAppRepo::Unregister(u"Nolu", RegView::k64);
  EXPECT_FALSE(fake_.Registry().KeyExists(Entry(u"Nolu", RegView::k64)));
  EXPECT_TRUE(
      fake_.Registry().KeyExists(TRegKey(RegRoot::kLocalMachine, RegView::k64, kUninstall)));
}

TEST_F(SetupAppRepoTest, FindInstallPath_FallsBackAndPrefersThe32BitView) {
  fake_.Files().AddFolder(u"C:\\Live\\");
  fake_.Files().AddFolder(u"C:\\Also Live\\");
  fake_.Files().AddFolder(u"C:\\Nolu\\");  // reachable as the relative path "Nolu" from "C:\"
  fake_.Files().AddFile(u"C:\\Live\\Uninstall.exe");

  struct Value {
    RegView view;
    const char16_t* name;
    const char16_t* text;
    uint32_t type = kRegSz;
  };
  struct Row {
    const char* what;
    std::vector<Value> values;
    const char16_t* expected;  // nullptr: nothing found
    RegView expected_view = RegView::k32;
  };
  const Row rows[] = {
      {"install path without backslash",
       {{RegView::k32, u"InstallPath", u"C:\\Live"}},
       u"C:\\Live\\"},
      {"deleted install path: the uninstaller's folder",
       {{RegView::k32, u"InstallPath", u"C:\\Gone\\"},
        {RegView::k32, u"UninstallString", u"C:\\Live\\Uninstall.exe"}},
       u"C:\\Live\\"},
      {"quoted uninstaller with parameters",
       {{RegView::k32, u"UninstallString", u"\"C:\\Also Live\\Uninstall.exe\" /S"}},
       u"C:\\Also Live\\"},
      {"only the icon is left",
       {{RegView::k32, u"InstallPath", u"C:\\Gone\\"},
        {RegView::k32, u"UninstallString", u"C:\\Gone\\Uninstall.exe"},
        {RegView::k32, u"DisplayIcon", u"\"C:\\Live\\Nolu.exe\",0"}},
       u"C:\\Live\\"},
      {"nothing exists",
       {{RegView::k32, u"InstallPath", u"C:\\Gone\\"},
        {RegView::k32, u"UninstallString", u"C:\\Gone\\Uninstall.exe"},
        {RegView::k32, u"DisplayIcon", u"C:\\Gone\\Nolu.exe"}},
       nullptr},
      {"32-bit entry stale: the 64-bit one",
       {{RegView::k32, u"InstallPath", u"C:\\Gone\\"},
        {RegView::k64, u"InstallPath", u"C:\\Also Live\\"}},
       u"C:\\Also Live\\",
       RegView::k64},
      {"both valid: the 32-bit one",
       {{RegView::k32, u"InstallPath", u"C:\\Live\\"},
        {RegView::k64, u"InstallPath", u"C:\\Also Live\\"}},
       u"C:\\Live\\"},
      {"only the 64-bit view",
       {{RegView::k64, u"InstallPath", u"C:\\Live\\"}},
       u"C:\\Live\\",
       RegView::k64},
      {"expandable strings count, unexpanded",
       {{RegView::k32, u"InstallPath", u"C:\\Live\\", kRegExpandSz},
        {RegView::k64, u"InstallPath", u"%SystemDrive%\\Also Live\\", kRegExpandSz}},
       u"C:\\Live\\"},
      {"unexpanded variables do not name a folder",
       {{RegView::k32, u"InstallPath", u"%SystemDrive%\\Live\\", kRegExpandSz}},
       nullptr},
      {"a relative folder does not count", {{RegView::k32, u"InstallPath", u"Nolu"}}, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    for (RegView view : {RegView::k32, RegView::k64}) {
      fake_.Registry().DeleteTree(Entry(u"Nolu", view));
    }
    for (const Value& v : row.values)
      Put(Entry(u"Nolu", v.view), v.name, v.text, v.type);

    String path = u"unchanged";
    RegView view = RegView::kDefault;
    const bool found = TSetupAppRepo::FindInstallPath(u"Nolu", path, view);
    if (row.expected) {
      EXPECT_TRUE(found);
      EXPECT_EQ(StringToUtf8(path), StringToUtf8(row.expected));
      EXPECT_EQ(view, row.expected_view);
    } else {
      EXPECT_FALSE(found);
      EXPECT_EQ(path, u"unchanged");
    }
  }
}

TEST_F(SetupAppRepoTest, FindInstallPath_OnlyStringValuesCount) {
  fake_.Files().AddFolder(u"C:\\Live\\");
  const TRegKey key = Entry(u"Nolu", RegView::k32);
  fake_.Registry().CreateKey(key);
  // "C:\Live\" as binary, multi-string and DWORD data: none of them is a string value.
  TRegValue binary = TRegValue::Text(u"C:\\Live\\");
  binary.Type = kRegBinary;
  TRegValue multi = TRegValue::Text(String(u"C:\\Live\\") + u'\0');
  multi.Type = kRegMultiSz;
  fake_.Registry().WriteValue(key, u"InstallPath", binary);
  fake_.Registry().WriteValue(key, u"UninstallString", multi);
  fake_.Registry().WriteValue(key, u"DisplayIcon", TRegValue::Dword(0x3A43));  // "C:"

  String path;
  EXPECT_FALSE(TSetupAppRepo::FindInstallPath(u"Nolu", path));

  Put(key, u"DisplayIcon", u"C:\\Live\\Nolu.exe");
  EXPECT_TRUE(TSetupAppRepo::FindInstallPath(u"Nolu", path));
  EXPECT_EQ(path, u"C:\\Live\\");
}

TEST_F(SetupAppRepoTest, RegisterThenFindInstallPath_FindsTheInstallation) {
  fake_.Files().AddFile(u"C:\\Program Files (x86)\\Nolu\\Uninstall.exe");
  TSetupAppRepo::Register(u"Nolu", u"C:\\Program Files (x86)\\Nolu\\Uninstall.exe", u"5.40", u"",
                          u"", 0);
  String path;
  RegView view = RegView::kDefault;
  ASSERT_TRUE(TSetupAppRepo::FindInstallPath(u"Nolu", path, view));
  EXPECT_EQ(path, u"C:\\Program Files (x86)\\Nolu\\");
  EXPECT_EQ(view, TSetupAppRepo::kEntryView);

  TSetupAppRepo::Unregister(u"Nolu");
  EXPECT_FALSE(TSetupAppRepo::FindInstallPath(u"Nolu", path));
}

}  // namespace
}  // namespace nolu
