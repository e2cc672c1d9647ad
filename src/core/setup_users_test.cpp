#include "core/setup_users.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

const String kProfileList = u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const String kShellFolders =
    u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

using Reports = std::vector<std::pair<std::string, std::string>>;

class SetupUsersTest : public ::testing::Test {
 protected:
  void AddProfile(StringView sid, StringView image_path, uint32_t type = kRegExpandSz) {
    const TRegKey key(RegRoot::kLocalMachine, RegView::k64, kProfileList + u"\\" + String(sid));
    fake_.Registry().CreateKey(key);
    fake_.Registry().WriteValue(key, u"ProfileImagePath", TRegValue::Text(image_path, type));
  }
  // The user's registry hive is loaded and names the application-data folder (none: the hive
  // is loaded without that value).
  void LoadHive(StringView sid, const char16_t* app_data, uint32_t type = kRegExpandSz) {
    const TRegKey key(RegRoot::kUsers, RegView::k64, String(sid) + kShellFolders);
    fake_.Registry().CreateKey(key);
    if (app_data) fake_.Registry().WriteValue(key, u"AppData", TRegValue::Text(app_data, type));
  }
  Reports Populate() {
    Reports reports;
    TSetupUsers::Populate([&](const TSetupUser& user) {
      reports.emplace_back(StringToUtf8(user.Name), StringToUtf8(user.AppData));
    });
    return reports;
  }

  TFakePlatform fake_;
  PlatformScope scope_{fake_};
};

TEST_F(SetupUsersTest, Populate_CurrentUserFirstThenTheProfileList) {
  fake_.Files().AddFolder(u"C:\\Users\\Bob\\");
  fake_.Files().AddFolder(u"C:\\Users\\Ann\\");
  fake_.Files().AddFolder(u"C:\\Users\\Eve\\");
  fake_.Files().AddFolder(u"C:\\Users\\Old\\");
  fake_.Files().AddFolder(u"C:\\Windows\\System32\\config\\systemprofile\\");

  LoadHive(u".DEFAULT", u"%UserProfile%\\AppData\\Roaming");
  // The system account: its own hive, an already expanded folder.
  AddProfile(u"S-1-5-18", u"%SystemRoot%\\System32\\config\\systemprofile");
  LoadHive(u"S-1-5-18", u"C:\\Windows\\System32\\config\\systemprofile\\AppData\\Roaming", kRegSz);
  // The current user again.
  AddProfile(u"S-1-5-21-1001", u"C:\\Users\\User");
  LoadHive(u"S-1-5-21-1001", u"%USERPROFILE%\\AppData\\Roaming");
  // A broken profile's key kept aside.
  AddProfile(u"S-1-5-21-1001.BAK", u"C:\\Users\\Old");
  // Not logged on: the default user's template, the variable replaced in any letter case.
  AddProfile(u"S-1-5-21-1002", u"C:\\Users\\Bob", kRegSz);
  // Deleted profile folder.
  AddProfile(u"S-1-5-21-1003", u"C:\\Users\\Gone");
  // Application data redirected to a server: the elevated run does not delete there.
  AddProfile(u"S-1-5-21-1004", u"%SystemDrive%\\Users\\Ann");
  LoadHive(u"S-1-5-21-1004", u"\\\\server\\profiles\\Ann\\AppData", kRegSz);
  // A loaded hive without the value.
  AddProfile(u"S-1-5-21-1005", u"C:\\Users\\Eve");
  LoadHive(u"S-1-5-21-1005", nullptr);

  EXPECT_EQ(
      Populate(),
      (Reports{
          {"User", "C:\\Users\\User\\AppData\\Roaming\\"},
          {"systemprofile", "C:\\Windows\\System32\\config\\systemprofile\\AppData\\Roaming\\"},
          {"Bob", "C:\\Users\\Bob\\AppData\\Roaming\\"},
      }));
}

// The application-data folder is the user's to name; the elevated run backs up, copies and
// deletes in it. Only a local folder below the user's own profile folder, reached without a
// link, is taken.
TEST(SetupUsersAppDataTest, Populate_TakesOnlyAnApplicationDataFolderBelowTheUsersProfile) {
  struct Row {
    const char16_t* app_data;
    bool taken;
  } rows[] = {
      {u"%USERPROFILE%\\AppData\\Roaming", true},
      {u"C:\\Users\\Bob\\AppData\\Roaming\\", true},
      {u"C:\\Windows\\System32", false},                    // outside the profile
      {u"C:\\Users\\Bobby\\AppData\\Roaming", false},       // a name that only begins alike
      {u"%USERPROFILE%\\..\\Ann\\Docs", false},             // climbs out
      {u"%USERPROFILE%", false},                            // the profile folder itself
      {u"\\\\server\\profiles\\Bob", false},                // a server
      {u"\\\\?\\C:\\Users\\Bob\\AppData\\Roaming", false},  // no "\\?\" forms
      {u"%HOMEDRIVE%%HOMEPATH%\\AppData\\Roaming", false},  // left unexpanded: relative
      {u"%USERPROFILE%\\Linked", false},                    // a junction to System32
      {u"%USERPROFILE%\\AppData\\Away\\Roaming", false},    // a junction on the way
  };
  for (const Row& r : rows) {
    TFakePlatform fake;
    PlatformScope scope(fake);
    fake.Shell().SetSpecialFolder(Csidl::kAppData, u"");
    fake.Files().AddFolder(u"C:\\Users\\Bob\\AppData\\Roaming\\");
    fake.Files().AddFolder(u"C:\\Users\\Ann\\Docs\\");
    fake.Files().AddFolder(u"C:\\Windows\\System32\\");
    fake.Files().AddJunction(u"C:\\Users\\Bob\\Linked", u"C:\\Windows\\System32");
    fake.Files().AddJunction(u"C:\\Users\\Bob\\AppData\\Away", u"C:\\Users\\Ann\\Docs");
    const TRegKey profile(RegRoot::kLocalMachine, RegView::k64, kProfileList + u"\\S-1-5-21-1002");
    fake.Registry().CreateKey(profile);
    fake.Registry().WriteValue(profile, u"ProfileImagePath", TRegValue::Text(u"C:\\Users\\Bob"));
    const TRegKey hive(RegRoot::kUsers, RegView::k64, u"S-1-5-21-1002" + kShellFolders);
    fake.Registry().CreateKey(hive);
    fake.Registry().WriteValue(hive, u"AppData", TRegValue::Text(r.app_data, kRegExpandSz));
    std::vector<TSetupUser> users;
    TSetupUsers::Populate([&](const TSetupUser& user) { users.push_back(user); });
    if (r.taken) {
      EXPECT_EQ(users, (std::vector<TSetupUser>{
                           {u"Bob", u"C:\\Users\\Bob\\", u"C:\\Users\\Bob\\AppData\\Roaming\\"}}))
          << StringToUtf8(r.app_data);
    } else {
      EXPECT_TRUE(users.empty()) << StringToUtf8(r.app_data);
    }
  }
}

TEST_F(SetupUsersTest, Populate_AProfileFolderThatIsAJunctionIsNoProfile) {
  fake_.Files().AddFolder(u"C:\\Windows\\Roaming\\");
  fake_.Files().AddJunction(u"C:\\Users\\Bob", u"C:\\Windows");
  AddProfile(u"S-1-5-21-1002", u"C:\\Users\\Bob");
  LoadHive(u"S-1-5-21-1002", u"%USERPROFILE%\\Roaming");

  EXPECT_EQ(Populate(), (Reports{{"User", "C:\\Users\\User\\AppData\\Roaming\\"}}));
}

TEST_F(SetupUsersTest, Populate_AnApplicationDataFolderIsReportedOnce) {
  // Spelled differently from the shell's answer, and listed twice.
  AddProfile(u"S-1-5-21-1001", u"c:\\users\\user\\");
  LoadHive(u"S-1-5-21-1001", u"%USERPROFILE%\\APPDATA\\Roaming\\");
  AddProfile(u"S-1-5-21-1002", u"C:\\Users\\User");
  LoadHive(u"S-1-5-21-1002", u"C:\\Users\\User\\AppData\\Roaming");

  EXPECT_EQ(Populate(), (Reports{{"User", "C:\\Users\\User\\AppData\\Roaming\\"}}));
}

TEST_F(SetupUsersTest, Populate_WithoutTheShellsFoldersTheRegistryStillNamesTheCurrentUser) {
  fake_.Shell().SetSpecialFolder(Csidl::kAppData, u"");
  AddProfile(u"S-1-5-21-1001", u"C:\\Users\\User");
  LoadHive(u"S-1-5-21-1001", u"%USERPROFILE%\\AppData\\Roaming");

  EXPECT_EQ(Populate(), (Reports{{"User", "C:\\Users\\User\\AppData\\Roaming\\"}}));
}

TEST_F(SetupUsersTest, Populate_UnreadableRegistrySkipsProfilesAndRaisesNothing) {
  fake_.Files().AddFolder(u"C:\\Users\\Bob\\");
  // Neither the user's hive nor the default user's template.
  AddProfile(u"S-1-5-21-1002", u"C:\\Users\\Bob");
  EXPECT_EQ(Populate(), (Reports{{"User", "C:\\Users\\User\\AppData\\Roaming\\"}}));

  fake_.Registry().DenyAccess(TRegKey(RegRoot::kLocalMachine, RegView::k64, kProfileList));
  LoadHive(u".DEFAULT", u"%USERPROFILE%\\AppData\\Roaming");
  EXPECT_EQ(Populate(), (Reports{{"User", "C:\\Users\\User\\AppData\\Roaming\\"}}));
}

}  // namespace
}  // namespace nolu
