#include "product/update/setup_update_task_update_configs.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "core/setup.h"
#include "core/testing/fake_setup_run.h"
#include "core/testing/watched_file_system.h"
#include "platform/error_codes.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

constexpr StringView kDest = u"C:\\Nolu\\";
constexpr StringView kAppData = u"C:\\Users\\User\\AppData\\Roaming\\";

// Every file a migration row acts on, in the places an old copy left them.
void AddOldCopy(TFakeFileSystem& files, StringView profile) {
  const String dest(kDest);
  for (StringView name : {u"Nolu3.ini", u"Skins\\SkinA.nsk4", u"Skins\\SkinB.nsk4",
                          u"Skins\\Mine.nsk", u"System\\libsoxr.dll", u"System\\Encoders\\lame.dll",
                          u"System\\Encoders\\x64\\flac.dll", u"System\\Data\\formats.ini"}) {
    files.AddFile(dest + String(name), "old");
  }
  for (StringView name :
       {u"Nolu3-cat.db", u"nolu3_menu.ini", u"Nolu3.ini", u"Nolu3vc.ini", u"Nolu3vte.ini",
        u"Nolu3-SkinLayout.ini", u"Nolu3.bak", u"Nolu3vc.bak", u"Nolu3vte.bak", u"AlbumArts.db",
        u"AlbumArtCache.db", u"AlbumArtsForURLs.db", u"Playlists\\Rock.m3u"}) {
    files.AddFile(String(profile) + String(name), "old");
  }
}

class UpdateConfigsTest : public ::testing::Test {
 protected:
  // An update of the copy in C:\Nolu\ of `version`.
  void Create(int version) {
    run_.Product().Installed(kDest, {version});
    run_.Create(u"/AUTO=C:\\Nolu /SILENT");
  }

  static TSetupProfileInfo Profile(int version) {
    const String app_data(kAppData);
    return {u"User", app_data + u"Nolu\\", app_data + (version < 4000 ? u"Nolu3\\" : u"Nolu\\"),
            u"C:\\Users\\User\\"};
  }

  TFakeFileSystem& Files() { return run_.Platform().Files(); }

  TFakeSetupRun run_;
};

struct MigrationCase {
  int version;
  // Files of the new profile folder afterwards, and the configuration file of the destination.
  StringList profile_files;
  StringView dest_config;
  // What the task put on the removal list, in order ("<D>" stands for the destination, "<P>"
  // for the new profile folder).
  StringList dropped;
};

String Expand(StringView text) {
  return ReplaceAll(ReplaceAll(text, u"<D>", kDest), u"<P>", String(kAppData) + u"Nolu\\");
}

TEST_F(UpdateConfigsTest, MigrationRows_RunBelowTheirThresholds) {
  const StringList encoders_and_data{u"<D>System\\Encoders\\lame.dll",
                                     u"<D>System\\Encoders\\x64\\flac.dll",
                                     u"<D>System\\Data\\formats.ini"};
  const auto join = [](std::initializer_list<StringList> parts) {
    StringList all;
    for (const StringList& part : parts)
      all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  const MigrationCase cases[] = {
      // Every row: the old names get the new ones; the old backups and layout go.
      {3900,
       {u"Nolu-cat.db", u"Nolu-ContextMenu.ini", u"Nolu.ini", u"Noluvc.ini", u"Noluvte.ini",
        u"AlbumArts.Custom.db"},
       u"Nolu.ini",
       join({{u"<P>Nolu3-SkinLayout.ini", u"<P>Nolu3.bak", u"<P>Nolu3vc.bak", u"<P>Nolu3vte.bak",
              u"<D>Skins\\SkinA.nsk4", u"<D>Skins\\SkinB.nsk4", u"<P>AlbumArts.db",
              u"<P>AlbumArtCache.db", u"<D>System\\libsoxr.dll"},
             encoders_and_data})},
      // 4.49: the old names stay; the rows from 4500 on run.
      {4499,
       {u"Nolu3.ini", u"AlbumArts.Custom.db"},
       u"Nolu3.ini",
       join({{u"<D>Skins\\SkinA.nsk4", u"<D>Skins\\SkinB.nsk4", u"<P>AlbumArts.db",
              u"<P>AlbumArtCache.db", u"<D>System\\libsoxr.dll"},
             encoders_and_data})},
      {4599,
       {u"AlbumArts.Custom.db"},
       u"Nolu3.ini",
       join({{u"<P>AlbumArts.db", u"<P>AlbumArtCache.db", u"<D>System\\libsoxr.dll"},
             encoders_and_data})},
      {5010,
       {u"AlbumArts.Custom.db", u"AlbumArts.db"},
       u"Nolu3.ini",
       join({{u"<P>AlbumArtCache.db", u"<D>System\\libsoxr.dll"}, encoders_and_data})},
      {5020,
       {u"AlbumArtsForURLs.db"},
       u"Nolu3.ini",
       join({{u"<D>System\\libsoxr.dll"}, encoders_and_data})},
      // The version being installed: nothing to migrate.
      {5401, {u"AlbumArtsForURLs.db", u"AlbumArtCache.db", u"Nolu3.bak"}, u"Nolu3.ini", {}},
  };
  for (const MigrationCase& c : cases) {
    SCOPED_TRACE(c.version);
    TFakeSetupRun run;
    run.Product().Installed(kDest, {c.version});
    run.Create(u"/AUTO=C:\\Nolu /SILENT");
    const TSetupProfileInfo profile = Profile(c.version);
    AddOldCopy(run.Platform().Files(), profile.SourcePath);

    StringList removal;
    TSetupUpdateTaskUpdateConfigs(profile).Execute(&removal);

    for (const String& name : c.profile_files)
      EXPECT_TRUE(run.Platform().Files().FileExists(profile.TargetPath + name))
          << StringToUtf8(name);
    StringList dest_configs;
    for (StringView name : {u"Nolu.ini", u"Nolu3.ini"}) {
      if (run.Platform().Files().FileExists(String(kDest) + String(name))) {
        dest_configs.emplace_back(name);
      }
    }
    EXPECT_EQ(dest_configs, StringList{String(c.dest_config)});
    StringList expected;
    for (const String& entry : c.dropped)
      expected.push_back(Expand(entry));
    EXPECT_EQ(removal, expected);
  }
}

TEST_F(UpdateConfigsTest, Below4000_ProfileIsCopiedAndTheOldFolderKeepsItsFiles) {
  Create(3900);
  const TSetupProfileInfo profile = Profile(3900);
  AddOldCopy(Files(), profile.SourcePath);
  StringList removal;
  TSetupUpdateTaskUpdateConfigs(profile).Execute(&removal);
  EXPECT_EQ(Files().FileText(profile.TargetPath + u"Playlists\\Rock.m3u"), "old");
  // The copy keeps the old folder whole: the backup's removal list deletes it.
  EXPECT_TRUE(Files().FileExists(profile.SourcePath + u"Nolu3.ini"));
  EXPECT_TRUE(Files().FileExists(profile.SourcePath + u"Playlists\\Rock.m3u"));
}

TEST_F(UpdateConfigsTest, NewProfileFolder_IsTakenOffTheRemovalListBeforeTheDrops) {
  Create(4599);
  const TSetupProfileInfo profile = Profile(4599);
  AddOldCopy(Files(), profile.SourcePath);
  StringList removal{profile.TargetPath + u"Playlists\\Rock.m3u",
                     profile.TargetPath + u"AlbumArts.db", String(kDest) + u"Nolu.exe"};
  TSetupUpdateTaskUpdateConfigs(profile).Execute(&removal);
  ASSERT_GE(removal.size(), 2u);
  EXPECT_EQ(removal[0], String(kDest) + u"Nolu.exe");
  // Dropped again by the row below 4600.
  EXPECT_EQ(removal[1], profile.TargetPath + u"AlbumArts.db");
  EXPECT_EQ(std::count(removal.begin(), removal.end(), profile.TargetPath + u"Playlists\\Rock.m3u"),
            0);
}

TEST_F(UpdateConfigsTest, Below4000_FailedRename_RaisesTheSystemError) {
  struct Case {
    const char* what;
    std::function<void(TFakeFileSystem&, const TSetupProfileInfo&)> arrange;
    uint32_t code;
  };
  const Case cases[] = {
      {"the new name exists in the profile",
       [](TFakeFileSystem& files, const TSetupProfileInfo& p) {
         files.AddFile(p.TargetPath + u"Noluvc.ini", "newer");
       },
       kErrorAlreadyExists},
      {"the configuration in the destination is locked",
       [](TFakeFileSystem& files, const TSetupProfileInfo&) {
         files.SetInUse(String(kDest) + u"Nolu3.ini");
       },
       kErrorSharingViolation},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Product().Installed(kDest, {3999});
    run.Create(u"/AUTO=C:\\Nolu /SILENT");
    const TSetupProfileInfo profile = Profile(3999);
    AddOldCopy(run.Platform().Files(), profile.SourcePath);
    c.arrange(run.Platform().Files(), profile);
    StringList removal;
    try {
      TSetupUpdateTaskUpdateConfigs(profile).Execute(&removal);
      ADD_FAILURE() << "no error";
    } catch (const EOSError& e) {
      EXPECT_EQ(e.ErrorCode(), c.code);
      EXPECT_TRUE(StartsWith(e.Message(), u"System Error.  Code: ")) << e.what();
    }
  }
}

TEST_F(UpdateConfigsTest, Below5020_ErrorsOfTheRowAreIgnored) {
  Create(5010);
  const TSetupProfileInfo profile = Profile(5010);
  AddOldCopy(Files(), profile.SourcePath);
  Files().InjectFailure(FakeFileOp::kMove, profile.TargetPath + u"AlbumArtsForURLs.db",
                        kErrorAccessDenied);
  StringList removal;
  EXPECT_NO_THROW(TSetupUpdateTaskUpdateConfigs(profile).Execute(&removal));
  EXPECT_TRUE(Files().FileExists(profile.TargetPath + u"AlbumArtsForURLs.db"));
  // The drop before the failure stands, and the next row still runs.
  ASSERT_GE(removal.size(), 2u);
  EXPECT_EQ(removal[0], profile.TargetPath + u"AlbumArtCache.db");
  EXPECT_EQ(removal[1], String(kDest) + u"System\\libsoxr.dll");
}

TEST_F(UpdateConfigsTest, CopyFailure_RaisesBeforeAnyMigration) {
  Create(3900);
  const TSetupProfileInfo profile = Profile(3900);
  AddOldCopy(Files(), profile.SourcePath);
  Files().InjectFailure(FakeFileOp::kCopy, profile.SourcePath + u"Playlists\\Rock.m3u",
                        kErrorDiskFull);
  StringList removal;
  try {
    TSetupUpdateTaskUpdateConfigs(profile).Execute(&removal);
    ADD_FAILURE() << "no error";
  } catch (const EInstallerInstallError& e) {
    EXPECT_EQ(e.Message(),
              u"Cannot copy \"" + profile.SourcePath + u"\" to \"" + profile.TargetPath + u"\"");
  }
  EXPECT_TRUE(Files().FileExists(String(kDest) + u"Nolu3.ini"));
  EXPECT_TRUE(removal.empty());
}

TEST_F(UpdateConfigsTest, SecondProfile_FindsTheDestinationRenameDone) {
  Create(3900);
  const TSetupProfileInfo first = Profile(3900);
  const TSetupProfileInfo second{u"Anna", u"C:\\Users\\Anna\\AppData\\Roaming\\Nolu\\",
                                 u"C:\\Users\\Anna\\AppData\\Roaming\\Nolu3\\",
                                 u"C:\\Users\\Anna\\"};
  AddOldCopy(Files(), first.SourcePath);
  Files().AddFile(second.SourcePath + u"Nolu3.ini", "anna");
  StringList removal;
  TSetupUpdateTaskUpdateConfigs(first).Execute(&removal);
  EXPECT_NO_THROW(TSetupUpdateTaskUpdateConfigs(second).Execute(&removal));
  EXPECT_EQ(Files().FileText(String(kDest) + u"Nolu.ini"), "old");
  EXPECT_EQ(Files().FileText(second.TargetPath + u"Nolu.ini"), "anna");
}

// The user makes the new profile folder a junction to another user's once it is copied: the
// renames that follow are refused instead of renaming that user's files.
TEST_F(UpdateConfigsTest, ProfileSwappedForAJunctionBeforeTheRenames_EndsTheRunTouchingNothing) {
  Create(3900);
  const TSetupProfileInfo profile = Profile(3900);
  AddOldCopy(Files(), profile.SourcePath);
  Files().AddFile(u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu\\Nolu3.ini", "Ann's");
  TWatchedPlatform watched(run_.Platform());
  PlatformScope scope(watched);
  uint32_t swap = kErrorReadFault;
  // The first rename of the migration is the destination's; the profile's come next.
  watched.Files().Before(u"Attributes", String(kDest) + u"Nolu3.ini", [&] {
    swap =
        Files().ReplaceWithJunction(profile.TargetPath, u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu");
  });
  StringList removal;
  EXPECT_THROW(TSetupUpdateTaskUpdateConfigs(profile).Execute(&removal), EOSError);
  EXPECT_EQ(swap, kErrorSuccess);  // between the copy and the renames nothing is held
  EXPECT_EQ(Files().FileText(u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu\\Nolu3.ini"), "Ann's");
  EXPECT_FALSE(Files().FileExists(u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu\\Nolu.ini"));
}

TEST_F(UpdateConfigsTest, DoDeleteDir_DropsEveryFileOfTheTree) {
  Create(5010);
  Files().AddFile(u"C:\\Nolu\\System\\Data\\a.ini", "a");
  Files().AddFile(u"C:\\Nolu\\System\\Data\\Sub\\b.ini", "b");
  StringList removal{u"C:\\Nolu\\Nolu.exe"};
  TSetupUpdateTaskUpdateConfigs::DoDeleteDir(&removal, u"C:\\Nolu\\System\\Data\\");
  TSetupUpdateTaskUpdateConfigs::DoDeleteDir(&removal, u"C:\\Nolu\\Missing\\");
  TSetupUpdateTaskUpdateConfigs::DoDeleteDir(nullptr, u"C:\\Nolu\\System\\Data\\");
  EXPECT_EQ(removal, (StringList{u"C:\\Nolu\\Nolu.exe", u"C:\\Nolu\\System\\Data\\a.ini",
                                 u"C:\\Nolu\\System\\Data\\Sub\\b.ini"}));
}

}  // namespace
}  // namespace nolu
