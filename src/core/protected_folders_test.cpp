#include "core/protected_folders.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

class ProtectedFoldersTest : public ::testing::Test {
 protected:
  ProtectedFoldersTest() {
    TFakeFileSystem& files = fake_.Files();
    files.AddDrive(u"D:");
    files.AddDrive(u"\\\\server\\share");
    files.SetShortName(u"C:\\Program Files (x86)", u"PROGRA~2");
    files.AddJunction(u"C:\\Documents and Settings", u"C:\\Users");
    // The profile list names the profiles folder, the public and default ones, and a user.
    TFakeRegistry& registry = fake_.Registry();
    const TRegKey list(RegRoot::kLocalMachine, RegView::k64,
                       u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList");
    registry.CreateKey(list.Child(u"S-1-5-21-1002"));
    registry.WriteValue(list, u"ProfilesDirectory",
                        TRegValue::Text(u"%SystemDrive%\\Users", kRegExpandSz));
    registry.WriteValue(list, u"Default", TRegValue::Text(u"C:\\Users\\Default", kRegExpandSz));
    registry.WriteValue(list.Child(u"S-1-5-21-1002"), u"ProfileImagePath",
                        TRegValue::Text(u"C:\\Users\\Bob", kRegExpandSz));
  }

  TFakePlatform fake_;
  PlatformScope scope_{fake_};
};

TEST_F(ProtectedFoldersTest, WholeVolumesTheSystemsFoldersAndTheUsersFolders) {
  const StringView protected_folders[] = {
      u"C:\\",
      u"D:\\",
      u"d:",
      u"\\\\?\\D:\\",
      u"\\\\server\\share",
      u"\\\\server\\share\\",
      u"\\\\?\\UNC\\server\\share\\",
      u"C:\\Program Files (x86)",
      u"c:\\program files (x86)\\",
      u"C:\\PROGRA~2\\",
      u"C:\\Program Files\\",
      u"C:\\Windows",
      u"C:\\Windows\\System32\\",
      u"C:\\Windows\\SysWOW64\\",
      u"C:\\Windows\\.\\",
      // Profiles: the folder of them all, the current user's, the registry's.
      u"C:\\Users\\",
      u"C:\\Users\\User",
      u"C:\\Users\\Bob\\",
      u"C:\\Users\\Default\\",
      // The shell's folders of the users' files and data, the user's and everyone's.
      u"C:\\Users\\User\\Desktop\\",
      u"C:\\Users\\User\\Documents\\",
      u"C:\\Users\\User\\Downloads\\",
      u"C:\\Users\\User\\Music\\",
      u"C:\\Users\\User\\Pictures\\",
      u"C:\\Users\\User\\Videos\\",
      u"C:\\Users\\Public\\Desktop\\",
      u"C:\\Users\\Public\\Documents\\",
      u"C:\\Users\\Public\\Downloads\\",
      u"C:\\Users\\User\\AppData\\Roaming\\",
      u"C:\\Users\\User\\AppData\\Local\\",
      u"C:\\ProgramData\\",
      // The same folders reached through a junction.
      u"C:\\Documents and Settings\\User\\",
      u"C:\\Documents and Settings\\User\\Desktop",
  };
  for (StringView folder : protected_folders)
    EXPECT_TRUE(IsProtectedFolder(folder)) << StringToUtf8(folder);
}

TEST_F(ProtectedFoldersTest, AFolderBelowOneIsAFolderLikeAnyOther) {
  const StringView folders[] = {
      u"C:\\Program Files (x86)\\Nolu\\",
      u"D:\\Nolu",
      u"\\\\server\\share\\Nolu\\",
      u"C:\\Users\\User\\Desktop\\Nolu\\",
      u"C:\\Users\\User\\Documents\\Programs\\Nolu\\",
      u"C:\\Documents and Settings\\User\\Nolu\\",
      u"C:\\Windows Apps\\Nolu\\",
      u"C:\\Users\\User\\AppData\\Roaming\\Nolu\\",
      u"",
  };
  for (StringView folder : folders)
    EXPECT_FALSE(IsProtectedFolder(folder)) << StringToUtf8(folder);
}

TEST_F(ProtectedFoldersTest, AFolderTheShellCannotNameProtectsNothing) {
  fake_.Shell().SetSpecialFolder(Csidl::kPersonal, u"");
  fake_.Shell().SetSpecialFolder(Csidl::kMyMusic, u"Music\\");  // not a full path
  EXPECT_FALSE(IsProtectedFolder(u"C:\\Users\\User\\Documents\\"));
  EXPECT_FALSE(IsProtectedFolder(u"C:\\Music\\"));
  EXPECT_TRUE(IsProtectedFolder(u"C:\\Users\\User\\Desktop\\"));
}

}  // namespace
}  // namespace nolu
