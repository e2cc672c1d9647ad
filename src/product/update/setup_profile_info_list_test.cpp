#include "product/update/setup_profile_info_list.h"

#include <gtest/gtest.h>

#include "core/setup.h"
#include "core/testing/fake_setup_run.h"
#include "product/update/setup_profile_helper.h"

namespace nolu {
namespace {

constexpr StringView kRoaming = u"C:\\Users\\User\\AppData\\Roaming\\";

// A second user of the machine, with a loaded registry hive naming the application data.
void AddUser(TFakePlatform& platform, StringView sid, StringView profile) {
  const TRegKey list(
      RegRoot::kLocalMachine, RegView::k64,
      u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + String(sid));
  platform.Registry().CreateKey(list);
  platform.Registry().WriteValue(list, u"ProfileImagePath", TRegValue::Text(profile));
  const TRegKey hive(
      RegRoot::kUsers, RegView::k64,
      String(sid) +
          u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders");
  platform.Registry().CreateKey(hive);
  platform.Registry().WriteValue(hive, u"AppData",
                                 TRegValue::Text(u"%USERPROFILE%\\AppData\\Roaming", kRegExpandSz));
  platform.Files().AddFolder(profile);
}

TEST(ProfileHelperTest, GetProfilePath_ByVersionAndMode) {
  struct Case {
    StringView app_data;
    int version;
    StringView expected;
  };
  const Case cases[] = {
      {u"C:\\Users\\Ann\\AppData\\Roaming\\", 3999, u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu3\\"},
      {u"C:\\Users\\Ann\\AppData\\Roaming\\", 4000, u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu\\"},
      {u"C:\\Users\\Ann\\AppData\\Roaming\\", 5401, u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu\\"},
      {u"C:\\Users\\Ann\\AppData\\Roaming\\", 0, u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu3\\"},
      // Portable: the destination's own folder, whatever the version.
      {u"", 3000, u"C:\\Nolu\\Profile\\"},
      {u"", 5401, u"C:\\Nolu\\Profile\\"},
  };
  TFakeSetupRun run;
  run.Create(u"/AUTO=C:\\Nolu /SILENT");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(TSetupProfileHelper::GetProfilePath(c.app_data, c.version), c.expected);
  }
}

TEST(ProfileInfoListTest, Populate_EveryUserWithAProfileOfTheInstalledVersion) {
  struct Case {
    int installed;
    StringList users;        // user names listed, in order
    StringView source_name;  // the profile folder name of the installed version
  };
  const Case cases[] = {
      {3900, {u"User", u"Ann"}, u"Nolu3"},
      {5010, {u"User"}, u"Nolu"},
      // Nothing installed here: the "Nolu3" folders belong to a copy elsewhere.
      {0, {}, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.installed);
    TFakeSetupRun run;
    run.Product().Installed(u"C:\\Nolu\\", {c.installed});
    AddUser(run.Platform(), u"S-1-5-21-1002", u"C:\\Users\\Ann");
    AddUser(run.Platform(), u"S-1-5-21-1003", u"C:\\Users\\Bob");
    run.Platform().Files().AddFile(String(kRoaming) + u"Nolu3\\Nolu3.ini", "x");
    run.Platform().Files().AddFile(String(kRoaming) + u"Nolu\\Nolu.ini", "x");
    run.Platform().Files().AddFolder(u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu3");
    // Bob never ran the product.
    run.Create(u"/AUTO=C:\\Nolu /SILENT");

    TSetupProfileInfoList list;
    list.Populate();

    StringList users;
    for (const TSetupProfileInfo& profile : list.All()) {
      users.push_back(profile.UserName);
      const String app_data = profile.UserName == u"User"
                                  ? String(kRoaming)
                                  : u"C:\\Users\\" + profile.UserName + u"\\AppData\\Roaming\\";
      EXPECT_EQ(profile.SourcePath, app_data + String(c.source_name) + u"\\");
      EXPECT_EQ(profile.TargetPath, app_data + u"Nolu\\");
    }
    EXPECT_EQ(users, c.users);
  }
}

// A profile whose folders are links leads wherever its user wants: it is left out, so that
// nothing is backed up from there, copied there, renamed or deleted there.
TEST(ProfileInfoListTest, Populate_AProfileReachedThroughALinkIsLeftOut) {
  struct Case {
    const char* what;
    const char16_t* junction;  // made a junction to another user's folder
    bool listed;
  } cases[] = {
      {"plain", nullptr, true},
      {"the old profile folder", u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu3", false},
      {"the new profile folder", u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Product().Installed(u"C:\\Nolu\\", {3900});
    AddUser(run.Platform(), u"S-1-5-21-1002", u"C:\\Users\\Ann");
    run.Platform().Files().AddFile(u"C:\\Users\\Eve\\Documents\\Nolu3.ini", "Eve's");
    if (c.junction) {
      run.Platform().Files().AddJunction(c.junction, u"C:\\Users\\Eve\\Documents");
    }
    run.Platform().Files().AddFolder(u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu3");
    run.Create(u"/AUTO=C:\\Nolu /SILENT");

    TSetupProfileInfoList list;
    list.Populate();

    StringList users;
    for (const TSetupProfileInfo& profile : list.All()) {
      users.push_back(profile.UserName);
      if (profile.UserName == u"Ann") {
        EXPECT_EQ(profile.RootPath, u"C:\\Users\\Ann\\");
      }
    }
    EXPECT_EQ(users, c.listed ? StringList{u"Ann"} : StringList{});
  }
}

TEST(ProfileInfoListTest, Populate_PortableModeHasTheSingleUserOfTheDestination) {
  struct Case {
    bool profile_exists;
    int installed;
    size_t count;
  };
  for (const Case& c : {Case{true, 5010, 1}, Case{false, 5010, 0}, Case{true, 0, 0}}) {
    TFakeSetupRun run;
    run.Product().Installed(u"C:\\Nolu\\", {c.installed, /*Portable=*/true});
    if (c.profile_exists) run.Platform().Files().AddFolder(u"C:\\Nolu\\Profile");
    run.Platform().Files().AddFile(String(kRoaming) + u"Nolu\\Nolu.ini", "not portable");
    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /PORTABLE /SILENT");
    ASSERT_TRUE(setup.Flags() & sfPortable);

    TSetupProfileInfoList list;
    list.Populate();

    ASSERT_EQ(list.Count(), c.count);
    if (c.count) {
      EXPECT_EQ(list.Items(0), (TSetupProfileInfo{u"SingleUser", u"C:\\Nolu\\Profile\\",
                                                  u"C:\\Nolu\\Profile\\", u"C:\\Nolu\\"}));
    }
  }
}

}  // namespace
}  // namespace nolu
