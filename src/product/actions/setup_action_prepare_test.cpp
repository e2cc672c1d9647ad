#include "product/actions/setup_action_prepare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>

#include "base/testing/zip_test_reader.h"
#include "core/setup.h"
#include "core/setup_action_extract.h"
#include "core/setup_summary_builder.h"
#include "core/testing/fake_setup_run.h"
#include "core/testing/watched_file_system.h"
#include "package/lzma_streams.h"
#include "platform/error_codes.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

constexpr StringView kDest = u"C:\\Nolu\\";
constexpr StringView kRoaming = u"C:\\Users\\User\\AppData\\Roaming\\";
constexpr StringView kArchive =
    u"C:\\Nolu\\!Backup\\z Before install 5.40 [2024.03.05 04-07-09].zip";

String Dest(StringView relative) {
  return String(kDest) + String(relative);
}

std::vector<std::string> Names(const testing::TestZipArchive& archive) {
  std::vector<std::string> names;
  for (const auto& entry : archive.entries)
    names.push_back(entry.name);
  return names;
}

class PrepareTest : public ::testing::Test {
 protected:
  PrepareTest() {
    run_.Data().SetSetupFile(
        u"English.lng",
        TFakeSetupData::LanguageFile(
            u"English", 1033, u"EN",
            "[Common]\r\nA1=Saving\r\nA3=Deleting\r\nA5=Updating\r\n"
            "[PageSetup]\r\nLB1=Folder\r\nTitle=Setup\r\nCB1=Update\r\nCB2=Normal\r\n"
            "CB3=Portable\r\nCB4=Backup\r\nW3=Replaces the copy\r\n"));
    run_.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    System().SetLocalTime({2024, 3, 5, 4, 7, 9, 0});
  }

  // Runs the action on the worker, as a silent installation into C:\Nolu\ with the flags
  // `set` added does.
  TSetup& Run(TSetupFlags set = 0, StringView params = u"/AUTO=C:\\Nolu /SILENT") {
    TSetup& setup = run_.Create(params);
    setup.SetOptions(setup.Flags() | set);
    setup.AddListener(&listener_);
    setup.Start(true);
    return setup;
  }
  // An installed copy of `version` in the destination; an updatable one makes the run an
  // update.
  void Installed(int version, bool portable = false, bool updatable = true) {
    run_.Product().Installed(kDest, {version, portable, updatable});
  }

  testing::TestZipArchive ReadArchive(StringView path = kArchive) {
    std::optional<Bytes> bytes = Files().FileBytes(path);
    if (!bytes) {
      ADD_FAILURE() << "no archive " << StringToUtf8(path);
      return {};
    }
    return testing::ReadZipForTest(*bytes);
  }
  StringList StatusTexts() const {
    StringList texts;
    for (const TRecordedNotification& n : listener_.Received) {
      if (n.Code == ncStatusText) texts.push_back(n.Text);
    }
    return texts;
  }
  // The progress values of the action, in order.
  std::vector<int> ActionProgress() const {
    std::vector<int> values;
    for (const auto& [overall, current] : listener_.Progress())
      values.push_back(current);
    return values;
  }

  TFakeFileSystem& Files() { return run_.Platform().Files(); }
  TFakeSystem& System() { return run_.Platform().System(); }

  TRecordingListener listener_;
  TFakeSetupRun run_;
};

TEST_F(PrepareTest, FirstInstallation_NoArchiveNoBackupFolderStatusShown) {
  TSetup& setup = Run();
  EXPECT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_FALSE(Files().FolderExists(Dest(u"!Backup")));
  EXPECT_EQ(StatusTexts(), (StringList{u"Saving", u"Updating", u"Deleting"}));
}

// The component files of a first installation are all collected for deletion, in folders
// that do not exist yet: none of them is tried (each would be a failure in the log).
TEST_F(PrepareTest, FirstInstallation_TriesToRemoveNoMissingFolder) {
  TWatchedPlatform watched(run_.Platform());
  PlatformScope scope(watched);
  TSetup& setup = Run();
  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  for (const TFileCall& call : watched.Files().CallsBelow(u"C:\\")) {
    if (call.Operation == u"RemoveFolder") ADD_FAILURE() << StringToUtf8(call.Path);
  }
}

TEST_F(PrepareTest, Backup_ArchivesProfilesAndProgramUnderTheirPrefixes) {
  Installed(5010, false, /*updatable=*/false);
  Files().AddFile(Dest(u"Nolu.exe"), "old program");
  Files().AddFile(Dest(u"Skins\\Dark\\skin.xml"), "<skin/>");
  Files().AddFile(Dest(u"!Backup\\z Before install 5.01 [2023.01.01 10-00-00].zip"), "old zip");
  Files().AddFile(String(kRoaming) + u"Nolu\\Nolu.ini", "[System]");
  Files().AddFile(String(kRoaming) + u"Nolu\\Плейлисты\\Рок.m3u", "rock");

  TSetup& setup = Run();

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  const testing::TestZipArchive archive = ReadArchive();
  EXPECT_EQ(Names(archive), (std::vector<std::string>{
                                "Profiles/User/Nolu.ini",
                                "Profiles/User/Плейлисты/Рок.m3u",
                                "Program/Nolu.exe",
                                "Program/Skins/Dark/skin.xml",
                            }));
  for (const auto& entry : archive.entries) {
    EXPECT_NE(entry.flags & 0x800, 0) << entry.name;  // UTF-8 name
    EXPECT_EQ(entry.dos_date, (44 << 9) | (3 << 5) | 5) << entry.name;
    EXPECT_EQ(entry.dos_time, (4 << 11) | (7 << 5) | (9 / 2)) << entry.name;
  }
  EXPECT_EQ(std::string(archive.entries[2].data.begin(), archive.entries[2].data.end()),
            "old program");
  // Not an update: the old copy and its profile are gone, the archives stay.
  EXPECT_FALSE(Files().FileExists(Dest(u"Nolu.exe")));
  EXPECT_FALSE(Files().FolderExists(Dest(u"Skins\\Dark")));
  EXPECT_FALSE(Files().FolderExists(String(kRoaming) + u"Nolu\\Плейлисты"));
  EXPECT_FALSE(Files().FolderExists(String(kRoaming) + u"Nolu"));
  EXPECT_TRUE(
      Files().FileExists(Dest(u"!Backup\\z Before install 5.01 [2023.01.01 10-00-00].zip")));
  EXPECT_EQ(Files().OpenStreamCount(), 0);
}

TEST_F(PrepareTest, ArchiveName_FollowsTheClock) {
  struct Case {
    TDateTime time;
    StringView name;
  };
  const Case cases[] = {
      {{2024, 3, 5, 14, 7, 9, 0}, u"z Before install 5.40 [2024.03.05 14-07-09].zip"},
      {{2031, 12, 31, 0, 0, 0, 999}, u"z Before install 5.40 [2031.12.31 00-00-00].zip"},
      {{2024, 10, 1, 9, 59, 58, 0}, u"z Before install 5.40 [2024.10.01 09-59-58].zip"},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    run.Platform().System().SetLocalTime(c.time);
    run.Platform().Files().AddFile(Dest(u"Nolu.exe"), "old");
    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.Start(true);
    EXPECT_EQ(run.Platform().Files().ListTree(Dest(u"!Backup\\")),
              StringList{Dest(u"!Backup\\") + String(c.name)});
  }
}

TEST_F(PrepareTest, Portable_ArchivesTheDestinationWithoutPrefixOrBackupFolder) {
  Installed(5010, true, /*updatable=*/false);
  Files().AddFile(Dest(u"Nolu.exe"), "old");
  Files().AddFile(Dest(u"Profile\\Nolu.ini"), "[System]");
  Files().AddFile(Dest(u"!Backup\\z Before install 5.01 [2023.01.01 10-00-00].zip"), "old zip");
  // A profile in the application data of the user is no part of a portable copy.
  Files().AddFile(String(kRoaming) + u"Nolu\\Nolu.ini", "installed copy");

  TSetup& setup = Run(sfPortable);

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_EQ(Names(ReadArchive()), (std::vector<std::string>{"Nolu.exe", "Profile/Nolu.ini"}));
  // Not an update: the portable profile goes with the rest.
  EXPECT_FALSE(Files().FolderExists(Dest(u"Profile")));
  EXPECT_TRUE(Files().FileExists(String(kRoaming) + u"Nolu\\Nolu.ini"));
}

TEST_F(PrepareTest, PortableUpdate_KeepsTheProfileFolder) {
  Installed(5010, true);
  Files().AddFile(Dest(u"Nolu.exe"), "old");
  Files().AddFile(Dest(u"Profile\\Nolu.ini"), "[System]");
  Files().AddFile(Dest(u"Profile\\AlbumArtCache.db"), "cache");

  TSetup& setup = Run();

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_EQ(Files().FileText(Dest(u"Profile\\Nolu.ini")), "[System]");
  // Dropped by the migration below 5020 after the profile was kept.
  EXPECT_FALSE(Files().FileExists(Dest(u"Profile\\AlbumArtCache.db")));
  EXPECT_FALSE(Files().FileExists(Dest(u"Nolu.exe")));
}

TEST_F(PrepareTest, ExcludedNames_AreNotArchivedButDeleted) {
  const StringList excluded{u"AlbumArts.cache", u"albumarts.DB", u"AlbumArtsCache.db",
                            u"AlbumArtCache.db", u"UpdateInstaller.exe"};
  for (const String& name : excluded)
    Files().AddFile(Dest(u"Data\\") + name, "x");
  Files().AddFile(Dest(u"Data\\AlbumArts.db.txt"), "kept in the archive");
  Files().AddFile(String(kRoaming) + u"Nolu\\AlbumArts.db", "x");
  Installed(5010, false, /*updatable=*/false);

  TSetup& setup = Run();

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_EQ(Names(ReadArchive()), (std::vector<std::string>{"Program/Data/AlbumArts.db.txt"}));
  for (const String& name : excluded)
    EXPECT_FALSE(Files().FileExists(Dest(u"Data\\") + name)) << StringToUtf8(name);
  EXPECT_FALSE(Files().FileExists(String(kRoaming) + u"Nolu\\AlbumArts.db"));
}

TEST_F(PrepareTest, OnlyExcludedNames_NoArchiveButTheFilesGo) {
  Installed(5010, false, /*updatable=*/false);
  Files().AddFile(Dest(u"UpdateInstaller.exe"), "x");
  TSetup& setup = Run();
  ASSERT_FALSE(setup.HasErrors());
  EXPECT_FALSE(Files().FolderExists(Dest(u"!Backup")));
  EXPECT_FALSE(Files().FileExists(Dest(u"UpdateInstaller.exe")));
}

// A folder the user picked for a first installation may hold anything of theirs; only a copy
// of the product there is archived and replaced.
TEST_F(PrepareTest, DestinationWithoutACopy_ItsFilesAreNeitherArchivedNorDeleted) {
  struct Case {
    const char* what;
    TSetupFlags flags;
    StringView marker;  // a file of the product in the folder, or empty
    bool replaced;
  };
  const Case cases[] = {
      {"installation into a folder of documents", 0, u"", false},
      {"portable copy into a folder of documents", sfPortable, u"", false},
      {"a copy without its configuration: its program", 0, u"Nolu.exe", true},
      {"a portable copy without its configuration: its record", sfPortable, u"Uninstall.dat", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TRecordingListener listener;
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    run.Platform().System().SetLocalTime({2024, 3, 5, 4, 7, 9, 0});
    TFakeFileSystem& files = run.Platform().Files();
    files.AddFile(Dest(u"letter.doc"), "mine");
    files.AddFile(Dest(u"Photos\\summer.jpg"), "mine too");
    if (!c.marker.empty()) files.AddFile(Dest(c.marker), "product");

    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.SetOptions(setup.Flags() | c.flags);
    setup.Start(true);

    ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
    EXPECT_EQ(files.FileExists(Dest(u"letter.doc")), !c.replaced);
    EXPECT_EQ(files.FileExists(Dest(u"Photos\\summer.jpg")), !c.replaced);
    EXPECT_EQ(files.FolderExists(Dest(u"!Backup")), c.replaced);
  }
}

TEST_F(PrepareTest, OldBackups_TheThreeLastArchivesStay) {
  const String backup = Dest(u"!Backup\\");
  Files().AddFile(backup + u"z Before install 5.01 [2023.05.01 10-00-00].zip", "2");
  Files().AddFile(backup + u"Z BEFORE INSTALL 5.01 [2023.01.01 10-00-00].ZIP", "1");
  Files().AddFile(backup + u"z Before install 5.02 [2023.09.01 10-00-00].zip", "3");
  Files().AddFile(backup + u"notes.txt", "not an archive");
  Files().AddFile(backup + u"Older\\a.zip", "in a subfolder");
  Files().AddFile(Dest(u"Nolu.exe"), "old");

  TSetup& setup = Run();

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_EQ(
      Files().ListTree(backup),
      (StringList{backup + u"notes.txt", backup + u"Older\\", backup + u"Older\\a.zip",
                  backup + u"z Before install 5.01 [2023.05.01 10-00-00].zip",
                  backup + u"z Before install 5.02 [2023.09.01 10-00-00].zip", String(kArchive)}));
}

// This run's archive always stays; of the others, the two written last (by the time in their
// names) stay with it, whatever their versions and names sort like as text.
TEST_F(PrepareTest, OldBackups_ThisRunsArchiveAndTheTwoLatestOthersStay) {
  struct Case {
    const char* what;
    StringList older;  // archives of earlier runs
    StringList kept;   // the ones of them that stay
  };
  const Case cases[] = {
      {"three archives of a later version",
       {u"z Before install 5.50 [2024.01.10 10-00-00].zip",
        u"z Before install 5.50 [2024.02.10 10-00-00].zip",
        u"z Before install 5.50 [2023.12.10 10-00-00].zip"},
       {u"z Before install 5.50 [2024.01.10 10-00-00].zip",
        u"z Before install 5.50 [2024.02.10 10-00-00].zip"}},
      {"versions whose text sorts against their time",
       {u"z Before install 5.9 [2023.01.01 10-00-00].zip",
        u"z Before install 5.10 [2023.02.01 10-00-00].zip",
        u"z Before install 5.100 [2022.12.31 23-59-59].zip"},
       {u"z Before install 5.9 [2023.01.01 10-00-00].zip",
        u"z Before install 5.10 [2023.02.01 10-00-00].zip"}},
      {"archives of a clock set later than this run's",
       {u"z Before install 5.40 [2027.01.01 10-00-00].zip",
        u"z Before install 5.40 [2025.01.01 10-00-00].zip",
        u"z Before install 5.40 [2026.01.01 10-00-00].zip"},
       {u"z Before install 5.40 [2027.01.01 10-00-00].zip",
        u"z Before install 5.40 [2026.01.01 10-00-00].zip"}},
      {"the same second, told apart by name",
       {u"z Before install 5.01 [2023.05.01 10-00-00].zip",
        u"z Before install 5.02 [2023.05.01 10-00-00].zip",
        u"z Before install 5.03 [2023.05.01 10-00-00].zip"},
       {u"z Before install 5.02 [2023.05.01 10-00-00].zip",
        u"z Before install 5.03 [2023.05.01 10-00-00].zip"}},
      // Zip files that no run of the setup named are the user's: never collected, not counted.
      {"zip files of the user's own",
       {u"photos.zip", u"z Before install 5.01.zip",
        u"z Before install 5.01 [2023.13.01 10-00-00].zip",
        u"z Before install 5.01 [2023.01.01 10-00-00].zip",
        u"z Before install 5.01 [2023.02.01 10-00-00].zip",
        u"z Before install 5.01 [2023.03.01 10-00-00].zip"},
       {u"photos.zip", u"z Before install 5.01.zip",
        u"z Before install 5.01 [2023.13.01 10-00-00].zip",
        u"z Before install 5.01 [2023.02.01 10-00-00].zip",
        u"z Before install 5.01 [2023.03.01 10-00-00].zip"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    run.Platform().System().SetLocalTime({2024, 3, 5, 4, 7, 9, 0});
    TFakeFileSystem& files = run.Platform().Files();
    const String backup = Dest(u"!Backup\\");
    for (const String& name : c.older)
      files.AddFile(backup + name, "zip");
    files.AddFile(Dest(u"Nolu.exe"), "old");
    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.Start(true);

    ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
    EXPECT_TRUE(files.FileExists(kArchive));
    for (const String& name : c.older) {
      const bool kept = std::find(c.kept.begin(), c.kept.end(), name) != c.kept.end();
      EXPECT_EQ(files.FileExists(backup + name), kept) << StringToUtf8(name);
    }
  }
}

TEST_F(PrepareTest, OldBackups_ThreeArchivesWithoutANewOne_AllStay) {
  const String backup = Dest(u"!Backup\\");
  for (StringView name : {u"a.zip", u"b.zip", u"c.zip"})
    Files().AddFile(backup + String(name), "zip");
  TSetup& setup = Run(sfNoBackup);
  ASSERT_FALSE(setup.HasErrors());
  EXPECT_EQ(Files().ListTree(backup).size(), 3u);
}

TEST_F(PrepareTest, Update_KeepsUserFilesAndFromVersion3600ThePlugins) {
  struct Case {
    int version;
    bool plugins_kept;
  };
  for (const Case& c : {Case{3599, false}, Case{3600, true}, Case{5010, true}, Case{5401, true}}) {
    SCOPED_TRACE(c.version);
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    run.Product().Installed(kDest, {c.version});
    TFakeFileSystem& files = run.Platform().Files();
    const StringList kept{u"Icons\\nolu.ico", u"System\\Data\\formats.ini",
                          u"System\\Encoders\\lame.dll", u"Skins\\Mine.nsk", u"libwebp.dll"};
    for (const String& name : kept)
      files.AddFile(Dest(name), "user");
    files.AddFile(Dest(u"Plugins\\PlugL\\plugin.ini"), "user");
    files.AddFile(Dest(u"Plugins\\PlugH\\plugin.ini"), "obsolete");
    files.AddFile(Dest(u"Nolu.exe"), "old");
    files.AddFile(Dest(u"System\\nolu_core.dll"), "old");
    // A profile: the migrations run once per profile.
    files.AddFile(String(kRoaming) + (c.version < 4000 ? u"Nolu3" : u"Nolu") + u"\\x.ini", "x");

    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.Start(true);

    ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
    const bool from_5401 = c.version >= 5401;
    for (const String& name : kept) {
      // The data and encoder folders of versions before 5.40.1 are replaced all the same.
      const bool replaced = !from_5401 && StartsWith(name, u"System\\");
      EXPECT_EQ(files.FileExists(Dest(name)), !replaced) << StringToUtf8(name);
    }
    EXPECT_EQ(files.FileExists(Dest(u"Plugins\\PlugL\\plugin.ini")), c.plugins_kept);
    EXPECT_FALSE(files.FileExists(Dest(u"Plugins\\PlugH\\plugin.ini")));
    EXPECT_FALSE(files.FileExists(Dest(u"Nolu.exe")));
    EXPECT_FALSE(files.FileExists(Dest(u"System\\nolu_core.dll")));
  }
}

// The product's own configuration carries the user's settings (a "[Player]" section, for
// one): an update leaves the file as it is, backup or not, for the configuration action to
// update.
TEST_F(PrepareTest, Update_KeepsTheConfigurationOfTheProductFolder) {
  const std::string config =
      "\xEF\xBB\xBF[System]\r\nVersion=5010\r\nUserMode=1\r\n\r\n"
      "[Player]\r\nVolume=80\r\nSkin=Modern Dark\r\n\r\n";
  for (TSetupFlags flags : {TSetupFlags{0}, sfNoBackup}) {
    SCOPED_TRACE(int{flags});
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    run.Product().Installed(kDest, {5010});
    TFakeFileSystem& files = run.Platform().Files();
    files.AddFile(Dest(u"Nolu.ini"), config);
    files.AddFile(Dest(u"Nolu.exe"), "old");
    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.SetOptions(setup.Flags() | flags);
    setup.Start(true);

    ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
    EXPECT_EQ(files.FileText(Dest(u"Nolu.ini")), config);
    EXPECT_FALSE(files.FileExists(Dest(u"Nolu.exe")));
  }
}

// A folder without a copy of the product has no profiles: those in the users' application
// data belong to a copy elsewhere (version 0 would name the folder of the 3.x copies).
TEST_F(PrepareTest, FirstInstallation_LeavesTheProfilesOfOtherCopiesAlone) {
  const String old_profile = String(kRoaming) + u"Nolu3\\Nolu3.ini";
  const String profile = String(kRoaming) + u"Nolu\\Nolu.ini";
  Files().AddFile(old_profile, "settings of a 3.x copy");
  Files().AddFile(profile, "settings of a 5.x copy");

  TSetup& setup = Run();

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_FALSE(Files().FolderExists(Dest(u"!Backup")));
  EXPECT_EQ(Files().FileText(old_profile), "settings of a 3.x copy");
  EXPECT_EQ(Files().FileText(profile), "settings of a 5.x copy");
}

TEST_F(PrepareTest, ObsoletePlugins_ByInstalledVersion) {
  // Which of the plug-ins are removed (on an update, which keeps the other plug-ins).
  struct Case {
    int version;
    std::string removed;  // plug-in letters
  };
  const Case cases[] = {
      {3600, "ABCDEFGHIJK"}, {4001, "ABCDEFGHIJK"}, {4002, "FGHIJK"}, {4698, "FGHIJK"},
      {4699, "GHIJK"},       {5029, "GHIJK"},       {5030, "HIJK"},   {5401, "HIJK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    run.Product().Installed(kDest, {c.version});
    TFakeFileSystem& files = run.Platform().Files();
    for (char letter = 'A'; letter <= 'L'; ++letter) {
      const String plugin = u"Plugins\\Plug" + String(1, static_cast<Char>(letter)) + u"\\";
      files.AddFile(Dest(plugin) + u"plugin.dll", "x");
      files.AddFile(Dest(plugin) + u"Lang\\de.ini", "x");
    }
    files.AddFile(Dest(u"libVorbis.dll"), "x");

    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /UPDATE /NOBACKUP");
    setup.Start(true);

    ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
    EXPECT_FALSE(files.FileExists(Dest(u"libVorbis.dll")));
    std::string removed;
    for (char letter = 'A'; letter <= 'L'; ++letter) {
      const String plugin = u"Plugins\\Plug" + String(1, static_cast<Char>(letter)) + u"\\";
      const bool gone = !files.FileExists(Dest(plugin) + u"plugin.dll");
      EXPECT_EQ(gone, !files.FileExists(Dest(plugin) + u"Lang\\de.ini"));
      // Emptied folders go too.
      EXPECT_EQ(gone, !files.FolderExists(Dest(plugin)));
      if (gone) removed += letter;
    }
    EXPECT_EQ(removed, c.removed);
  }
}

TEST_F(PrepareTest, NoBackup_LeavesTheOldFilesButRemovesObsoleteAndComponentFiles) {
  Installed(5010, false, /*updatable=*/false);
  Files().AddFile(Dest(u"Nolu.exe"), "component");
  Files().AddFile(Dest(u"System\\nolu_menu64.dll"), "component and shell menu");
  Files().AddFile(Dest(u"Readme.txt"), "component of both languages");
  Files().AddFile(Dest(u"Plugins\\PlugK\\k.dll"), "obsolete");
  Files().AddFile(Dest(u"Skins\\Mine.nsk"), "user");
  Files().AddFile(String(kRoaming) + u"Nolu\\Nolu.ini", "profile");

  TSetup& setup = Run(sfNoBackup);

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_FALSE(Files().FolderExists(Dest(u"!Backup")));
  // "Plugins\" held no collected file itself: it stays, empty.
  EXPECT_EQ(Files().ListTree(kDest),
            (StringList{Dest(u"Plugins\\"), Dest(u"Skins\\"), Dest(u"Skins\\Mine.nsk")}));
  EXPECT_TRUE(Files().FileExists(String(kRoaming) + u"Nolu\\Nolu.ini"));
  EXPECT_EQ(StatusTexts(), (StringList{u"Updating", u"Deleting"}));
}

TEST_F(PrepareTest, FolderCleanup_ChildrenFirstOnlyFoldersOfCollectedFiles) {
  Files().AddFile(Dest(u"Plugins\\PlugH\\Lang\\de.ini"), "x");
  Files().AddFile(Dest(u"Plugins\\PlugH\\plugin.dll"), "x");
  Files().AddFile(Dest(u"Plugins\\PlugI\\plugin.dll"), "x");
  Files().AddFile(Dest(u"Plugins\\PlugI\\user.txt"), "x");
  Files().AddFile(Dest(u"Plugins\\PlugJ\\Sub\\a.dll"), "x");
  Files().AddFolder(Dest(u"Plugins\\Unrelated"));
  Installed(5401);
  Files().SetInUse(Dest(u"Plugins\\PlugI\\user.txt"), {.Readable = true});

  TSetup& setup = Run(sfNoBackup);

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  // PlugH: "Lang\" goes before "PlugH\".
  EXPECT_FALSE(Files().FolderExists(Dest(u"Plugins\\PlugH")));
  // PlugI: a file that cannot be deleted now keeps its folder.
  EXPECT_TRUE(Files().FolderExists(Dest(u"Plugins\\PlugI")));
  // PlugJ held no file itself: it is not tried and stays, empty.
  EXPECT_FALSE(Files().FolderExists(Dest(u"Plugins\\PlugJ\\Sub")));
  EXPECT_EQ(Files().ListTree(Dest(u"Plugins\\PlugJ\\")), StringList{});
  EXPECT_TRUE(Files().FolderExists(Dest(u"Plugins\\PlugJ")));
  // Folders that held no collected file are not tried.
  EXPECT_TRUE(Files().FolderExists(Dest(u"Plugins\\Unrelated")));
  EXPECT_TRUE(Files().FolderExists(Dest(u"Plugins")));
}

TEST_F(PrepareTest, FileHeldOpenForWriting_IsArchived) {
  Files().AddFile(String(kRoaming) + u"Nolu\\Library.db", "library");
  Files().SetInUse(String(kRoaming) + u"Nolu\\Library.db",
                   {.Readable = true, .Writable = true, .Deletable = false});
  Installed(5010, false, /*updatable=*/false);

  TSetup& setup = Run();

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  const testing::TestZipArchive archive = ReadArchive();
  ASSERT_EQ(Names(archive), (std::vector<std::string>{"Profiles/User/Library.db"}));
  EXPECT_EQ(std::string(archive.entries[0].data.begin(), archive.entries[0].data.end()), "library");
}

TEST_F(PrepareTest, FileThatCannotBeBackedUp_EndsTheRunBeforeAnythingIsDeleted) {
  struct Case {
    const char* what;
    FakeFileOp op;
    uint32_t code;
    String size;
    String second_line;
  };
  const String locked = Dest(u"Data\\locked.db");
  const Case cases[] = {
      {"cannot be opened", FakeFileOp::kOpenRead, kErrorSharingViolation, u"7",
       u"Cannot open file \"" + locked + u"\". " + FakeSystemErrorText(kErrorSharingViolation)},
      {"cannot be read", FakeFileOp::kRead, kErrorReadFault, u"7",
       u"System Error.  Code: 30.\r\n" + FakeSystemErrorText(kErrorReadFault) + u"\r\n" + locked},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    run.Platform().System().SetLocalTime({2024, 3, 5, 4, 7, 9, 0});
    run.Product().Installed(kDest, {5010, false, /*updatable=*/false});
    TFakeFileSystem& files = run.Platform().Files();
    files.AddFile(Dest(u"Data\\a.db"), "first");
    files.AddFile(locked, "content");
    files.AddFile(Dest(u"Plugins\\PlugH\\plugin.dll"), "obsolete");
    files.InjectFailure(c.op, locked, c.code);

    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.Start(true);

    ASSERT_EQ(setup.Errors().size(), 1u);
    EXPECT_EQ(setup.Errors()[0], u"An error occurs while backuping the \"" + locked + u"\" file (" +
                                     c.size + u")\r\n" + c.second_line + u"\r\n" +
                                     FakeSystemErrorText(c.code));
    EXPECT_TRUE(files.FileExists(Dest(u"Data\\a.db")));
    EXPECT_TRUE(files.FileExists(Dest(u"Plugins\\PlugH\\plugin.dll")));
    // The incomplete archive is not left to pass for a backup.
    EXPECT_EQ(files.ListTree(Dest(u"!Backup\\")), StringList{});
    EXPECT_EQ(files.OpenStreamCount(), 0);
  }
}

TEST_F(PrepareTest, Progress_CountsArchivedFilesAndTasksOfTheTotal) {
  // Three tasks (not an update) and five files found, one of them not archived: 8 steps.
  Installed(5010, false, /*updatable=*/false);
  for (StringView name : {u"a.dll", u"b.dll", u"c.dll", u"d.dll", u"UpdateInstaller.exe"})
    Files().AddFile(Dest(name), "x");
  TSetup& setup = Run();
  ASSERT_FALSE(setup.HasErrors());
  // 1/8 .. 4/8 for the archived files, 5/8 .. 7/8 for the tasks, rounded; then the end.
  EXPECT_EQ(ActionProgress(), (std::vector<int>{0, 13, 25, 38, 50, 63, 75, 88, 100}));
}

TEST_F(PrepareTest, UpdateFrom3900_MigratesTheProfileAndDeletesTheOldOne) {
  Installed(3900);
  Files().AddFile(Dest(u"Nolu3.ini"), "[System]\r\nVersion=3900");
  Files().AddFile(Dest(u"Nolu.exe"), "old");
  Files().AddFile(Dest(u"System\\nolu_menu32.dll"), "MZ");
  const String old_profile = String(kRoaming) + u"Nolu3\\";
  const String new_profile = String(kRoaming) + u"Nolu\\";
  Files().AddFile(old_profile + u"Nolu3.ini", "settings");
  Files().AddFile(old_profile + u"Nolu3vc.ini", "vc");
  Files().AddFile(old_profile + u"Nolu3.bak", "bak");
  Files().AddFile(old_profile + u"Playlists\\a.m3u", "a");
  Files().AddFile(String(kRoaming) + u"Microsoft\\Windows\\Start Menu\\Nolu3\\Nolu 3.lnk", "link");

  TSetup& setup = Run();

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_EQ(Names(ReadArchive()),
            (std::vector<std::string>{"Profiles/User/Nolu3.bak", "Profiles/User/Nolu3.ini",
                                      "Profiles/User/Nolu3vc.ini", "Profiles/User/Playlists/a.m3u",
                                      "Program/Nolu.exe", "Program/Nolu3.ini",
                                      "Program/System/nolu_menu32.dll"}));
  EXPECT_EQ(Files().ListTree(new_profile),
            (StringList{new_profile + u"Nolu.ini", new_profile + u"Noluvc.ini",
                        new_profile + u"Playlists\\", new_profile + u"Playlists\\a.m3u"}));
  EXPECT_FALSE(Files().FolderExists(old_profile));
  // The configuration of the program folder carries over under its new name (the removal list
  // had it under the old one).
  EXPECT_EQ(Files().FileText(Dest(u"Nolu.ini")), "[System]\r\nVersion=3900");
  EXPECT_FALSE(Files().FileExists(Dest(u"Nolu3.ini")));
  // Versions before 4.00 get the clean-up of a fresh installation.
  EXPECT_EQ(run_.Platform().Processes().ExportCalls().size(), 1u);
  EXPECT_FALSE(Files().FolderExists(String(kRoaming) + u"Microsoft\\Windows\\Start Menu\\Nolu3"));
}

// An update from 3.90 whose user made links in the profile, to another user's documents and to
// the system folder: the backup archives nothing of theirs, the copy to the new profile folder
// copies nothing of theirs, and the deletion of the old profile deletes nothing of theirs.
TEST_F(PrepareTest, UpdateWithLinksInTheProfile_TouchesNothingThatTheyLeadTo) {
  Installed(3900);
  Files().AddFile(Dest(u"Nolu.exe"), "old");
  const String old_profile = String(kRoaming) + u"Nolu3\\";
  Files().AddFile(old_profile + u"Nolu3.ini", "settings");
  Files().AddFile(u"C:\\Users\\Ann\\Documents\\thesis.doc", "Ann's");
  Files().AddFile(u"C:\\Windows\\System32\\version.dll", "the system's");
  Files().AddJunction(old_profile + u"Ann", u"C:\\Users\\Ann\\Documents");
  Files().AddJunction(old_profile + u"Playlists\\System", u"C:\\Windows\\System32");
  Files().AddFile(old_profile + u"Playlists\\a.m3u", "a");

  TSetup& setup = Run();

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_EQ(Names(ReadArchive()),
            (std::vector<std::string>{"Profiles/User/Nolu3.ini", "Profiles/User/Playlists/a.m3u",
                                      "Program/Nolu.exe"}));
  const String new_profile = String(kRoaming) + u"Nolu\\";
  EXPECT_EQ(Files().ListTree(new_profile),
            (StringList{new_profile + u"Nolu.ini", new_profile + u"Playlists\\",
                        new_profile + u"Playlists\\a.m3u"}));
  EXPECT_EQ(Files().FileText(u"C:\\Users\\Ann\\Documents\\thesis.doc"), "Ann's");
  EXPECT_EQ(Files().FileText(u"C:\\Windows\\System32\\version.dll"), "the system's");
}

// The user swaps a folder of the old profile for a junction to the system folder after the
// backup listed it, just before its files are deleted: the deletion is refused through the
// link, and nothing in the system folder goes.
TEST_F(PrepareTest, AProfileFolderSwappedForAJunctionBeforeTheDeletion_RedirectsNothing) {
  Installed(5010, false, /*updatable=*/false);
  const String profile = String(kRoaming) + u"Nolu\\";
  Files().AddFile(profile + u"Plugins\\version.dll", "user's");
  Files().AddFile(profile + u"Nolu.ini", "[System]");
  Files().AddFile(u"C:\\Windows\\System32\\version.dll", "the system's");
  TWatchedPlatform watched(run_.Platform());
  PlatformScope scope(watched);
  // Once the files are listed, while the archive is made.
  uint32_t swap = kErrorReadFault;
  watched.Files().Before(u"OpenFile", kArchive, [&] {
    swap = Files().ReplaceWithJunction(profile + u"Plugins", u"C:\\Windows\\System32");
  });

  TSetup& setup = Run();

  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
  EXPECT_EQ(swap, kErrorSuccess);  // nothing is held between the listing and the deletion
  EXPECT_EQ(Files().FileText(u"C:\\Windows\\System32\\version.dll"), "the system's");
  EXPECT_FALSE(Files().FileExists(profile + u"Nolu.ini"));
}

TEST_F(PrepareTest, BackupFolder_OnlyAdministratorsMayReadTheArchives) {
  struct Case {
    const char* what;
    bool portable;
    bool old_folder;  // made by an older version, open to every user
    TAccessList expected;
  } cases[] = {
      {"new", false, false, AccessListOf(TFolderAccess::kAdministrators)},
      {"older", false, true, AccessListOf(TFolderAccess::kAdministrators)},
      {"portable: its one profile stays its owner's", true, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Data() = run_.Data();
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    run.Product().Installed(kDest, {5010, /*portable=*/false, /*updatable=*/false});
    run.Platform().Files().AddFile(Dest(u"Nolu.exe"), "old");
    if (c.old_folder) run.Platform().Files().AddFile(Dest(u"!Backup\\old.zip"), "PK");
    TSetup& setup =
        run.Create(c.portable ? u"/AUTO=C:\\Nolu /PORTABLE /SILENT" : u"/AUTO=C:\\Nolu /SILENT");
    ASSERT_EQ((setup.Flags() & sfPortable) != 0, c.portable);
    setup.Start(true);
    ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
    TAccessList list;
    ASSERT_EQ(run.Platform().Files().ReadAccessList(Dest(u"!Backup\\"), list), kErrorSuccess);
    EXPECT_EQ(list, c.expected);
  }
}

TEST_F(PrepareTest, BackupFolderThatCannotBeClosed_EndsTheRunBeforeAnythingIsDeleted) {
  Installed(5010, false, /*updatable=*/false);
  Files().AddFile(Dest(u"Nolu.exe"), "old");
  Files().AddFile(Dest(u"!Backup\\old.zip"), "PK");
  Files().InjectFailure(FakeFileOp::kSetFolderAccess, Dest(u"!Backup"), kErrorAccessDenied);
  TSetup& setup = Run();
  EXPECT_EQ(setup.Errors(),
            StringList{u"System Error.  Code: 5.\r\nAccess is denied.\r\n" + Dest(u"!Backup\\")});
  EXPECT_TRUE(Files().FileExists(Dest(u"Nolu.exe")));
}

TEST_F(PrepareTest, UpdateTasks_CleanUpOfAFreshInstallationWhereItApplies) {
  struct Case {
    const char* what;
    TTestInstalledCopy copy;
    TSetupFlags flags;
    bool cleaned;
  };
  const Case cases[] = {
      {"fresh installation", {}, 0, true},
      {"over a copy that is not updated", {5010, false, false}, 0, true},
      {"update from 3.99", {3999}, 0, true},
      {"update from 4.00", {4000}, 0, false},
      {"portable", {}, sfPortable, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
    run.Product().Installed(kDest, c.copy);
    run.Platform().Files().AddFile(Dest(u"System\\nolu_menu64.dll"), "MZ");
    run.Platform().Files().AddFile(u"C:\\Users\\Public\\Desktop\\Nolu.lnk", "link");
    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.SetOptions(setup.Flags() | c.flags);
    setup.Start(true);
    ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);
    EXPECT_EQ(run.Platform().Processes().ExportCalls().size(), c.cleaned ? 1u : 0u);
    EXPECT_EQ(run.Platform().Files().FileExists(u"C:\\Users\\Public\\Desktop\\Nolu.lnk"),
              !c.cleaned);
  }
}

// A first installation lets the extraction write while the package still decodes; what the
// preparation finds of another copy is only removed once the package passed its checks. The
// decoding holds after its first blocks until the run reaches the thing that must stay (without the
// wait the shortcut is deleted meanwhile) or its first file.
TEST_F(PrepareTest, FirstInstallationFromACorruptPackage_LeavesAnotherCopysShortcutsAlone) {
  const String desktop_link = u"C:\\Users\\Public\\Desktop\\Nolu.lnk";
  const String menu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Nolu\\";
  struct Case {
    const char* what;
    String planted;                                  // empty: nothing
    std::vector<std::pair<String, String>> reached;  // (operation, path) that ends the hold
    bool writes;  // whether the first file is written before the checks
  };
  const Case cases[] = {
      {"nothing of another copy", u"", {{u"OpenFile", Dest(u"first.bin")}}, true},
      {"its desktop shortcut",
       desktop_link,
       {{u"Attributes", desktop_link}, {u"Delete", desktop_link}},
       false},
      {"its Start menu folder",
       menu + u"Nolu.lnk",
       {{u"Attributes", menu},
        {u"ListFolder", menu},
        {u"ListFolder", menu.substr(0, menu.size() - 1)}},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>(),
                                     &ActionClassOf<TSetupActionExtract>()};
    std::string noise(512 * 1024, '\0');
    uint32_t x = 7;
    for (char& ch : noise)
      ch = static_cast<char>((x = x * 1664525 + 1013904223) >> 24);
    run.Data().SetProductFile(u"first.bin", "first");
    run.Data().SetProductFile(u"noise.bin", noise);
    run.Data().SetSetupFile(u"Install.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<setup><product><Settings><Setting name="ProductName" value="Nolu"/>
<Setting name="ProductVersionNo" value="5.40.1"/></Settings>
<Components><File name="$DEST\first.bin"/><File name="$DEST\noise.bin"/></Components>
</product></setup>)");
    if (!c.planted.empty()) run.Platform().Files().AddFile(c.planted, "link");
    const String params = u"/AUTO=C:\\Nolu /SILENT";
    run.Prepare(params);
    Bytes product = run.Data().BuildProductPackage();
    product[product.size() / 2] ^= 0x55;
    run.Platform().Resources().SetRcData(u"PRODUCT", product);
    const StringList before = run.Platform().Files().ListTree(u"C:\\");

    std::mutex mutex;
    std::condition_variable changed;
    bool reached = false, held = false;
    run.Platform().Resources().SetReadHook([&](const String& name, int64_t position) {
      // Past the header, which the run reads before it starts.
      if (name != u"PRODUCT" || position < static_cast<int64_t>(2 * kLZMABlockSize)) return;
      std::unique_lock lock(mutex);
      if (std::exchange(held, true)) return;
      changed.wait_for(lock, std::chrono::seconds(20), [&] { return reached; });
    });
    TWatchedPlatform watched(run.Platform());
    PlatformScope scope(watched);
    TSetup setup(params, &TTestProductInfo::Create);
    setup.Resources().InitializeLanguages();
    bool finished_at_first = true;
    for (const auto& [operation, path] : c.reached) {
      watched.Files().Before(operation, path, [&] {
        std::lock_guard lock(mutex);
        if (operation == u"OpenFile")
          finished_at_first = setup.Resources().ProductPackage().Finished();
        reached = true;
        changed.notify_all();
      });
    }
    setup.Start(true);

    EXPECT_EQ(setup.Errors(), StringList{u"Package was corrupted"});
    EXPECT_TRUE(reached);
    if (c.writes) {
      EXPECT_FALSE(finished_at_first);
    }
    EXPECT_EQ(run.Platform().Files().ListTree(u"C:\\"), before);
  }
}

TEST_F(PrepareTest, Summary_LinesOfTheSetupPage) {
  struct Case {
    const char* what;
    TTestInstalledCopy copy;
    TSetupFlags flags;
    StringView expected;
  };
  const Case cases[] = {
      {"fresh installation",
       {},
       0,
       u"Folder:\r\n * C:\\Nolu\\\r\n\r\nSetup:\r\n * Normal\r\n * Backup\r\n"},
      {"portable without backup",
       {},
       sfPortable | sfNoBackup,
       u"Folder:\r\n * C:\\Nolu\\\r\n\r\nSetup:\r\n * Portable\r\n"},
      {"update",
       {5010},
       0,
       u"Folder:\r\n * C:\\Nolu\\\r\n\r\nSetup:\r\n * Update\r\n * Backup\r\n"},
      {"over a copy that is not updated",
       {5010, false, false},
       0,
       u"Folder:\r\n * C:\\Nolu\\\r\n\r\nSetup:\r\n * Normal\r\n * Backup\r\n\r\nSetup:\r\n"
       u" * Replaces the copy\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    run_.Product().Installed(kDest, c.copy);
    TSetup& setup = run_.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.SetOptions(setup.Flags() | c.flags);
    TSetupSummaryBuilder builder;
    TSetupActionPrepare().PopulateSummary(builder);
    EXPECT_EQ(builder.ToString(), c.expected);
    run_.Destroy();
    run_.Product().installed.clear();
  }
}

}  // namespace
}  // namespace nolu
