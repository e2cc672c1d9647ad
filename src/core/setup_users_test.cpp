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
    TSetupUsers::Populate([&](const String& name, const String& folder) {
      reports.emplace_back(StringToUtf8(name), StringToUtf8(folder));
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
  // Application data redirected to a server.
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
          {"Ann", "\\\\server\\profiles\\Ann\\AppData\\"},
      }));
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
