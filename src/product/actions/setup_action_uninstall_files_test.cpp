#include "product/actions/setup_action_uninstall_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/ini_file.h"
#include "base/memory_stream.h"
#include "base/path.h"
#include "core/setup.h"
#include "core/setup_action_extract.h"
#include "core/testing/fake_setup_run.h"
#include "core/testing/watched_file_system.h"

namespace nolu {
namespace {

constexpr char16_t kDest[] = u"C:\\Nolu\\";
constexpr char16_t kTemp[] = u"C:\\Users\\User\\AppData\\Local\\Temp\\";
constexpr char16_t kArchive[] =
    u"C:\\Nolu\\!Backup\\z Before install 5.01 [2024.03.05 14-07-09].zip";

// "Uninstall.ini" as the installation writes it: the options' sections, then "Uninstall" with
// "0", "Count" and the further keys in the order in which they first appear. A `count_text`
// overwrites the count.
std::string RecordText(const StringList& recorded, StringView count_text = {}) {
  TRuxIniFile record;
  record.WriteString(u"Integration", u"Associations", u"1");
  for (size_t i = 0; i < recorded.size(); ++i) {
    record.WriteString(u"Uninstall", IntToStr(static_cast<int64_t>(i)), recorded[i]);
    record.WriteInteger(u"Uninstall", u"Count", static_cast<int32_t>(i + 1));
  }
  if (!count_text.empty()) record.WriteString(u"Uninstall", u"Count", count_text);
  TMemoryStream stream;
  record.SaveToStream(stream);
  return std::string(reinterpret_cast<const char*>(stream.Data()),
                     static_cast<size_t>(stream.Size()));
}

// What the installation of the sample put into C:\Nolu\.
const StringList kRecorded = {u"Nolu.exe",
                              u"System\\nolu_menu64.dll",
                              u"Plugins\\PlugA\\plugin.ini",
                              u"Skins\\Modern\\skin.xml",
                              u"Uninstall.dat",
                              u"Uninstall.exe"};

// The choices of the removal page; unset keys take their defaults.
struct TRemovalChoice {
  const char16_t* RemoveBackups = nullptr;  // "1", "0" or unset
  const char16_t* RemoveContent = nullptr;
};

// An uninstaller of the sample on the fake platform, with C:\Nolu\ as it was installed.
class TUninstallRun {
 public:
  TUninstallRun() {
    run.Data().SetSetupFile(u"English.lng",
                            TFakeSetupData::LanguageFile(u"English", 1033, u"EN",
                                                         "[Common]\r\nA9=Removing Nolu...\r\n"));
    run.Product().uninstall_actions = {&ActionClassOf<TSetupActionUninstallFiles>()};
    for (const String& file : kRecorded)
      Files().AddFile(kDest + file, "installed");
  }

  TFakeFileSystem& Files() { return run.Platform().Files(); }

  // The backups, a skin of the user's own, the portable profile and the configuration.
  void AddUserContent() {
    Files().AddFile(kArchive, "PK");
    Files().AddFile(u"C:\\Nolu\\Skins\\Mine\\skin.xml", "mine");
    Files().AddFile(u"C:\\Nolu\\Profile\\Nolu.ini", "profile");
    Files().AddFile(u"C:\\Nolu\\Nolu.ini", "[System]\r\nVersion=5401\r\n");
  }

  // The uninstaller with `record`, started with `params`, working on C:\Nolu\.
  TSetup& Create(StringView params, TRemovalChoice choice = {},
                 const std::string& record = RecordText(kRecorded)) {
    run.Data().SetProductFile(u"Uninstall.ini", record);
    TSetup& setup = run.Create(params);
    setup.SetDestPath(dest);
    TRuxIniFile& options = setup.Options();
    if (choice.RemoveBackups)
      options.WriteString(u"Common", u"RemoveBackups", choice.RemoveBackups);
    if (choice.RemoveContent)
      options.WriteString(u"Common", u"RemoveContent", choice.RemoveContent);
    setup.AddListener(&listener);
    return setup;
  }

  // Runs the removal to its end; it reports no error.
  void Execute(StringView params, TRemovalChoice choice = {},
               const std::string& record = RecordText(kRecorded)) {
    TSetup& setup = Create(params, choice, record);
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{});
  }

  String dest = kDest;          // the product folder the removal works on
  TRecordingListener listener;  // outlives the setup object that calls it
  TFakeSetupRun run;
};

TEST(UninstallFilesTest, CreateFileList_RecordedFilesBelowTheFolder_LastDuplicateWins) {
  TUninstallRun u;
  u.Create(u"/AUTO", {},
           RecordText({u"Nolu.exe", u"Skins\\Modern\\skin.xml", u"NOLU.EXE", u"", u"Readme.txt",
                       u"Skins\\\\Modern\\skin.xml"}));
  EXPECT_EQ(TSetupActionUninstallFiles().CreateFileList(),
            (StringList{u"C:\\Nolu\\NOLU.EXE", u"C:\\Nolu\\Readme.txt",
                        u"C:\\Nolu\\Skins\\Modern\\skin.xml"}));
}

TEST(UninstallFilesTest, CreateFileList_CountDecidesWhatIsRead) {
  struct Case {
    const char* what;
    std::string record;
    StringList expected;
  } cases[] = {
      {"count 0", RecordText({u"Nolu.exe"}, u"0"), {}},
      {"count below the keys",
       RecordText({u"Nolu.exe", u"Uninstall.exe"}, u"1"),
       {u"C:\\Nolu\\Nolu.exe"}},
      // Ends at once: only as many keys as the section holds can exist.
      {"count far beyond the keys",
       RecordText({u"Nolu.exe"}, u"2147483647"),
       {u"C:\\Nolu\\Nolu.exe"}},
      {"negative count", RecordText({u"Nolu.exe"}, u"-3"), {}},
      {"count not a number", RecordText({u"Nolu.exe"}, u"many"), {}},
      {"no section", RecordText({}), {}},
  };
  for (const Case& c : cases) {
    TUninstallRun u;
    u.Create(u"/AUTO", {}, c.record);
    EXPECT_EQ(TSetupActionUninstallFiles().CreateFileList(), c.expected) << c.what;
  }
}

TEST(UninstallFilesTest, CreateDirsList_ChildrenBeforeParents_ThenWhatTheChoicesAdd) {
  // Everything of the product folder is held from the product folder on while it goes.
  constexpr StringView kDest = u"C:\\Nolu\\";
  const auto empty = [&](StringView path) {
    return TSetupDirItem{String(path), TSetupDirMark::RemoveIfEmpty, String(kDest)};
  };
  const std::vector<TSetupDirItem> walk = {
      empty(u"C:\\Nolu\\!Backup\\"),
      empty(u"C:\\Nolu\\Plugins\\PlugA\\"),
      empty(u"C:\\Nolu\\Plugins\\PlugB\\Lang\\"),
      empty(u"C:\\Nolu\\Plugins\\PlugB\\"),
      empty(u"C:\\Nolu\\Plugins\\"),
      empty(u"C:\\Nolu\\Profile\\"),
      empty(u"C:\\Nolu\\Skins\\Mine\\"),
      empty(u"C:\\Nolu\\Skins\\Modern\\"),
      empty(u"C:\\Nolu\\Skins\\"),
      empty(u"C:\\Nolu\\System\\"),
  };
  const TSetupDirItem backups{u"C:\\Nolu\\!Backup\\", TSetupDirMark::RemoveTree, String(kDest)};
  const TSetupDirItem profile{u"C:\\Nolu\\Profile\\", TSetupDirMark::RemoveTree, String(kDest)};
  const TSetupDirItem everything{String(kDest), TSetupDirMark::RemoveTree, String(kDest)};
  struct Case {
    const char16_t* params;
    TRemovalChoice choice;
    std::vector<TSetupDirItem> added;
  } cases[] = {
      {u"/AUTO", {}, {backups}},  // backups go by default in an automatic removal
      {u"", {}, {}},              // and stay by default in an interactive one
      {u"", {.RemoveBackups = u"1"}, {backups}},
      {u"/AUTO", {.RemoveBackups = u"0"}, {}},
      {u"", {.RemoveContent = u"1"}, {profile}},
      {u"/AUTO", {.RemoveBackups = u"0", .RemoveContent = u"1"}, {profile}},
      {u"", {.RemoveBackups = u"1", .RemoveContent = u"1"}, {backups, everything}},
      {u"/AUTO", {.RemoveContent = u"1"}, {backups, everything}},
      {u"", {.RemoveContent = u"0"}, {}},
  };
  for (const Case& c : cases) {
    TUninstallRun u;
    u.AddUserContent();
    u.Files().AddFolder(u"C:\\Nolu\\Plugins\\PlugB\\Lang");
    // A junction is content that the installation did not make: not entered, not listed.
    u.Files().AddFolder(u"C:\\Nolu\\Music", kAttrDirectory | kAttrReparsePoint);
    u.Files().AddFolder(u"C:\\Nolu\\Music\\Albums");
    u.Create(c.params, c.choice);
    std::vector<TSetupDirItem> expected = walk;
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    expected.push_back(empty(kDest));  // last, the folder itself
    EXPECT_EQ(TSetupActionUninstallFiles().CreateDirsList(), expected)
        << "\"" << StringToUtf8(c.params) << "\" RemoveBackups "
        << (c.choice.RemoveBackups ? StringToUtf8(c.choice.RemoveBackups) : "unset")
        << " RemoveContent "
        << (c.choice.RemoveContent ? StringToUtf8(c.choice.RemoveContent) : "unset");
  }
}

TEST(UninstallFilesTest, Execute_WhatStaysForEachChoice) {
  struct Case {
    const char* what;
    const char16_t* params;
    TRemovalChoice choice;
    StringList left;  // ListTree of the product folder; empty: the folder is gone too
  } cases[] = {
      {"automatic: recorded files, empty folders and backups go; users' data stays",
       u"/AUTO /SILENT",
       {},
       {u"C:\\Nolu\\Nolu.ini", u"C:\\Nolu\\Profile\\", u"C:\\Nolu\\Profile\\Nolu.ini",
        u"C:\\Nolu\\Skins\\", u"C:\\Nolu\\Skins\\Mine\\", u"C:\\Nolu\\Skins\\Mine\\skin.xml"}},
      {"interactive, nothing chosen: the backups stay too",
       u"",
       {.RemoveBackups = u"0", .RemoveContent = u"0"},
       {u"C:\\Nolu\\!Backup\\", kArchive, u"C:\\Nolu\\Nolu.ini", u"C:\\Nolu\\Profile\\",
        u"C:\\Nolu\\Profile\\Nolu.ini", u"C:\\Nolu\\Skins\\", u"C:\\Nolu\\Skins\\Mine\\",
        u"C:\\Nolu\\Skins\\Mine\\skin.xml"}},
      {"content without backups: the portable profile goes, the backups stay",
       u"",
       {.RemoveBackups = u"0", .RemoveContent = u"1"},
       {u"C:\\Nolu\\!Backup\\", kArchive, u"C:\\Nolu\\Nolu.ini", u"C:\\Nolu\\Skins\\",
        u"C:\\Nolu\\Skins\\Mine\\", u"C:\\Nolu\\Skins\\Mine\\skin.xml"}},
      {"content and backups: the whole folder goes, unrecorded files included",
       u"",
       {.RemoveBackups = u"1", .RemoveContent = u"1"},
       {}},
  };
  for (const Case& c : cases) {
    TUninstallRun u;
    u.AddUserContent();
    u.Execute(c.params, c.choice);
    EXPECT_EQ(u.Files().FolderExists(kDest), !c.left.empty()) << c.what;
    EXPECT_EQ(u.Files().ListTree(kDest), c.left) << c.what;
  }
}

TEST(UninstallFilesTest, Execute_ContentOfAUserModeCopyTakesTheUsersProfiles) {
  const String profile = u"C:\\Users\\User\\AppData\\Roaming\\Nolu\\";
  struct Case {
    const char* what;
    const char* config;  // "Nolu.ini"; nullptr: none
    TRemovalChoice choice;
    bool profile_left;
  } cases[] = {
      {"user mode, content chosen",
       "[System]\r\nUserMode=1\r\nVersion=5401\r\n",
       {.RemoveBackups = u"0", .RemoveContent = u"1"},
       false},
      {"user mode, everything chosen",
       "[System]\r\nUserMode=1\r\n",
       {.RemoveBackups = u"1", .RemoveContent = u"1"},
       false},
      {"user mode, content kept", "[System]\r\nUserMode=1\r\n", {.RemoveContent = u"0"}, true},
      {"portable copy", "[System]\r\nUserMode=0\r\n", {.RemoveContent = u"1"}, true},
      {"no configuration", nullptr, {.RemoveContent = u"1"}, true},
  };
  for (const Case& c : cases) {
    TUninstallRun u;
    if (c.config) u.Files().AddFile(u"C:\\Nolu\\Nolu.ini", c.config);
    u.Files().AddFile(profile + u"Playlists\\Default.m3u", "mine");
    u.Execute(u"", c.choice);
    EXPECT_EQ(u.Files().FolderExists(profile), c.profile_left) << c.what;
    EXPECT_TRUE(u.Files().FolderExists(u"C:\\Users\\User\\AppData\\Roaming")) << c.what;
  }
}

TEST(UninstallFilesTest, Execute_CountZeroStillRemovesEmptyFolders) {
  TUninstallRun u;
  u.Files().AddFolder(u"C:\\Nolu\\Plugins\\Empty\\Deeper");
  u.Execute(u"", {}, RecordText(kRecorded, u"0"));
  EXPECT_FALSE(u.Files().FolderExists(u"C:\\Nolu\\Plugins\\Empty"));
  for (const String& file : kRecorded) {
    EXPECT_TRUE(u.Files().FileExists(kDest + file)) << StringToUtf8(file);
  }
}

TEST(UninstallFilesTest, Execute_AProductFolderLeftEmptyGoesToo) {
  TUninstallRun u;
  u.Files().AddFolder(u"C:\\Nolu\\!Backup");
  u.Execute(u"/AUTO /SILENT", {.RemoveBackups = u"1"});
  // Also without "RemoveContent": whoever waits for the removal sees it done.
  EXPECT_FALSE(u.Files().FolderExists(kDest));
  EXPECT_TRUE(u.Files().FolderExists(u"C:\\"));
}

TEST(UninstallFilesTest, CreateDirsList_AProductInADriveRootLeavesTheRootAlone) {
  TUninstallRun u;
  u.Files().AddDrive(u"D:");
  u.Files().AddFile(u"D:\\Nolu.exe", "installed");
  u.Create(u"/AUTO /SILENT", {.RemoveBackups = u"0"});
  nolu::Setup()->SetDestPath(u"D:\\");
  // "D:" would name the drive's current folder, not its root.
  EXPECT_EQ(TSetupActionUninstallFiles().CreateDirsList(), std::vector<TSetupDirItem>{});
}

TEST(UninstallFilesTest, Execute_FilesInUseGoAtTheNextRestart) {
  TUninstallRun u;
  u.Files().SetInUse(u"C:\\Nolu\\Nolu.exe", {.Renamable = true});
  u.Files().SetInUse(u"C:\\Nolu\\System\\nolu_menu64.dll");  // not even renamable
  u.Execute(u"/AUTO /SILENT");

  EXPECT_FALSE(u.Files().FileExists(u"C:\\Nolu\\Nolu.exe"));
  const std::vector<TRebootOperation> reboot = u.Files().RebootOperations();
  ASSERT_EQ(reboot.size(), 2u);
  EXPECT_TRUE(StartsWith(reboot[0].Source, kTemp));
  EXPECT_EQ(u.Files().FileText(reboot[0].Source), "installed");
  // The locked library cannot even be renamed: it keeps its folder now and goes itself at the
  // restart; everything else of the product is gone.
  EXPECT_EQ(reboot[1], (TRebootOperation{u"C:\\Nolu\\System\\nolu_menu64.dll", u""}));
  EXPECT_EQ(u.Files().ListTree(kDest),
            (StringList{u"C:\\Nolu\\System\\", u"C:\\Nolu\\System\\nolu_menu64.dll"}));
  u.Files().SimulateReboot();
  EXPECT_EQ(u.Files().ListTree(kDest), StringList{u"C:\\Nolu\\System\\"});
}

TEST(UninstallFilesTest, Execute_ATamperedRecordDeletesNothingOutside) {
  TUninstallRun u;
  const StringList outside = {u"C:\\Windows\\win.ini", u"C:\\Windows\\x", u"\\\\server\\share\\x",
                              u"D:\\Data\\thesis.doc"};
  u.Files().AddDrive(u"\\\\server\\share");
  u.Files().AddDrive(u"D:");
  for (const String& file : outside)
    u.Files().AddFile(file, "keep");
  // A junction in the product folder that leads to the system's folder.
  u.Files().AddFolder(u"C:\\Nolu\\Link", kAttrDirectory | kAttrReparsePoint);
  u.Files().AddFile(u"C:\\Nolu\\Link\\win.ini", "keep");
  StringList record = kRecorded;
  for (StringView tampered :
       {u"..\\..\\Windows\\win.ini", u"C:\\Windows\\win.ini", u"\\\\server\\share\\x",
        u"\\\\?\\C:\\Windows\\x", u"D:\\Data\\thesis.doc", u"Link\\win.ini"}) {
    record.emplace_back(tampered);
  }
  TWatchedPlatform watched(u.run.Platform());
  PlatformScope scope(watched);

  // The worst case: everything chosen, so that every tree removal runs too.
  u.Execute(u"", {.RemoveBackups = u"1", .RemoveContent = u"1"}, RecordText(record));

  for (const String& file : outside) {
    EXPECT_EQ(u.Files().FileText(file), "keep") << StringToUtf8(file);
  }
  for (StringView untouched : {u"C:\\Windows\\", u"\\\\server\\", u"D:\\", u"C:\\Nolu\\Link\\"}) {
    EXPECT_EQ(watched.Files().CallsBelow(untouched), std::vector<TFileCall>{})
        << StringToUtf8(untouched);
  }
  EXPECT_FALSE(u.Files().FolderExists(kDest));  // the link went as a link, with the rest
}

// A removal of everything from a copy whose record and whose users' profiles hold junctions
// that lead outside: to the system folder, another user's documents, and, for a whole profile
// folder, to another user's profile. While the removal runs, the user swaps folders for
// junctions as well. Nothing outside the two trees is touched.
TEST(UninstallFilesTest, Execute_JunctionsInTheRecordAndTheProfilesLeadNowhere) {
  TUninstallRun u;
  TFakeFileSystem& files = u.Files();
  const String bob = u"C:\\Users\\Bob\\AppData\\Roaming\\Nolu\\";
  const String ann = u"C:\\Users\\Ann\\AppData\\Roaming\\Nolu\\";
  const StringList outside = {u"C:\\Windows\\System32\\version.dll",
                              u"C:\\Windows\\System32\\skin.xml",
                              u"C:\\Users\\Eve\\Documents\\thesis.doc", ann + u"Nolu.ini"};
  for (const String& file : outside)
    files.AddFile(file, "keep");
  files.AddFile(u"C:\\Nolu\\Nolu.ini", "[System]\r\nUserMode=1\r\n");
  // The product folder: a junction the record lists a file through.
  files.AddJunction(u"C:\\Nolu\\Skins\\System", u"C:\\Windows\\System32");
  // The current user's profile with a junction inside; Bob's profile folder is one.
  const String user = u"C:\\Users\\User\\AppData\\Roaming\\Nolu\\";
  files.AddFile(user + u"Playlists\\Rock.m3u", "mine");
  files.AddFile(user + u"Skins\\skin.xml", "mine");
  files.AddJunction(user + u"Eve", u"C:\\Users\\Eve\\Documents");
  files.AddJunction(bob, ann);
  const TRegKey list(RegRoot::kLocalMachine, RegView::k64,
                     u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-2");
  u.run.Platform().Registry().CreateKey(list);
  u.run.Platform().Registry().WriteValue(list, u"ProfileImagePath",
                                         TRegValue::Text(u"C:\\Users\\Bob"));
  const TRegKey hive(RegRoot::kUsers, RegView::k64,
                     u"S-1-5-21-2\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User "
                     u"Shell Folders");
  u.run.Platform().Registry().CreateKey(hive);
  u.run.Platform().Registry().WriteValue(hive, u"AppData",
                                         TRegValue::Text(u"%USERPROFILE%\\AppData\\Roaming"));
  StringList record = kRecorded;
  record.emplace_back(u"Skins\\System\\version.dll");
  // And swaps at the worst moments: the record's folder before its file goes, a profile
  // folder while the profile is listed.
  TWatchedPlatform watched(u.run.Platform());
  PlatformScope scope(watched);
  StringList swaps;
  watched.Files().Before(u"Delete", u"C:\\Nolu\\Skins\\Modern\\skin.xml", [&] {
    swaps.push_back(
        IntToStr(files.ReplaceWithJunction(u"C:\\Nolu\\Skins\\Modern", u"C:\\Windows\\System32")));
  });
  watched.Files().Before(u"ListFolder", user + u"Playlists", [&] {
    swaps.push_back(
        IntToStr(files.ReplaceWithJunction(user + u"Playlists", u"C:\\Users\\Eve\\Documents")));
  });

  u.Execute(u"", {.RemoveBackups = u"1", .RemoveContent = u"1"}, RecordText(record));

  EXPECT_EQ(swaps, (StringList{u"32", u"32"}));  // both refused: the folders were held
  for (const String& file : outside) {
    EXPECT_EQ(files.FileText(file), "keep") << StringToUtf8(file);
  }
  EXPECT_FALSE(files.FolderExists(kDest));
  EXPECT_FALSE(files.FolderExists(user));
  // Bob's junction went as a junction; what it led to stays.
  EXPECT_FALSE(files.FolderExists(bob));
  EXPECT_TRUE(files.FolderExists(ann));
}

TEST(UninstallFilesTest, Execute_AProductInADriveRootTakesOnlyItsOwnFiles) {
  TUninstallRun u;
  u.Files().AddDrive(u"D:");
  for (const String& file : kRecorded)
    u.Files().AddFile(u"D:\\" + file, "installed");
  u.Files().AddFile(u"D:\\Data\\thesis.doc", "keep");
  u.run.Data().SetProductFile(u"Uninstall.ini", RecordText(kRecorded));
  TSetup& setup = u.run.Create(u"");
  setup.SetDestPath(u"D:\\");
  setup.Options().WriteString(u"Common", u"RemoveBackups", u"1");
  setup.Options().WriteString(u"Common", u"RemoveContent", u"1");
  setup.Start(true);

  // "Everything" of a drive root would be the whole drive: only the record's files go.
  EXPECT_EQ(u.Files().ListTree(u"D:\\"), (StringList{u"D:\\Data\\", u"D:\\Data\\thesis.doc"}));
}

// A copy that an earlier version placed straight into a folder that holds other things: the
// removal takes the copy's own files and the folders they leave empty, and nothing else,
// whatever the choices say.
TEST(UninstallFilesTest, Execute_AProductInAFolderOfOthersTakesOnlyItsOwnFiles) {
  const StringView cases[] = {
      u"C:\\Program Files (x86)\\", u"C:\\Users\\User\\", u"C:\\Users\\User\\Documents\\",
      u"C:\\Documents and Settings\\User\\",  // the profile, through a junction
  };
  for (StringView dest : cases) {
    SCOPED_TRACE(StringToUtf8(dest));
    TUninstallRun u;
    TFakeFileSystem& files = u.Files();
    files.AddJunction(u"C:\\Documents and Settings", u"C:\\Users");
    for (const String& file : kRecorded)
      files.AddFile(String(dest) + file, "installed");
    const StringList others{u"Other\\thesis.doc", u"Skins\\Mine\\skin.xml", u"notes.txt"};
    for (const String& file : others)
      files.AddFile(String(dest) + file, "keep");
    files.AddFolder(String(dest) + u"Empty project");
    u.dest = String(dest);
    u.Execute(u"", {.RemoveBackups = u"1", .RemoveContent = u"1"});

    for (const String& file : kRecorded)
      EXPECT_FALSE(files.FileExists(String(dest) + file)) << StringToUtf8(file);
    EXPECT_FALSE(files.FolderExists(String(dest) + u"Plugins"));
    for (const String& file : others)
      EXPECT_EQ(files.FileText(String(dest) + file), "keep") << StringToUtf8(file);
    EXPECT_TRUE(files.FolderExists(String(dest) + u"Empty project"));
    EXPECT_TRUE(files.FolderExists(kTemp));
  }
}

TEST(UninstallFilesTest, WhatAnInstallationRecordsItsUninstallerRemoves) {
  TFakeSetupRun run;
  TFakeFileSystem& files = run.Platform().Files();
  run.Product().install_actions = {&ActionClassOf<TSetupActionExtract>()};
  run.Product().uninstall_actions = {&ActionClassOf<TSetupActionUninstallFiles>()};
  TSetup& install = run.Create(u"/AUTO=C:\\Nolu /SILENT");
  install.Start(true);
  ASSERT_EQ(install.Errors(), StringList{});
  ASSERT_TRUE(files.FileExists(u"C:\\Nolu\\System\\nolu_menu64.dll"));
  run.Destroy();

  // The uninstaller as the entry relaunches it: a copy in the temporary folder, with its data.
  const String program = String(kTemp) + u"Uninstall.exe";
  ASSERT_EQ(files.Copy(u"C:\\Nolu\\Uninstall.exe", program, false), 0u);
  ASSERT_EQ(files.Copy(u"C:\\Nolu\\Uninstall.dat", String(kTemp) + u"Uninstall.dat", false), 0u);
  run.Platform().System().SetModuleFileName(program);
  TSetup& removal = run.Create(u"/AUTO /SILENT");
  ASSERT_EQ(removal.Mode(), smUninstall);
  removal.SetDestPath(kDest);
  removal.Start(true);

  EXPECT_EQ(removal.Errors(), StringList{});
  // Nothing left of it, the folder included.
  EXPECT_FALSE(files.FolderExists(kDest));
}

TEST(UninstallFilesTest, Execute_ShowsItsStatusAndCountsFilesAndFolders) {
  TUninstallRun u;
  // 6 files, then the folders Plugins\PlugA\, Plugins\, Skins\Modern\, Skins\, System\ and
  // the product folder itself.
  u.Execute(u"");
  std::vector<int> current;
  for (const auto& [overall, action] : u.listener.Progress())
    current.push_back(action);
  EXPECT_EQ(current, (std::vector<int>{0, 8, 17, 25, 33, 42, 50, 58, 67, 75, 83, 92, 100}));
  bool status_shown = false;
  for (const TRecordedNotification& n : u.listener.Received) {
    if (n.Code == ncStatusText && n.Text == u"Removing Nolu...") status_shown = true;
  }
  EXPECT_TRUE(status_shown);
}

// The checks of the way cost round trips to the system for every folder; a removal of
// hundreds of files must not repeat them for each file of a folder, nor touch the attributes
// of a file that nothing keeps from being deleted.
TEST(UninstallFilesTest, Execute_HoldsEachFolderOfTheWayOnceForItsFiles) {
  TUninstallRun u;
  const StringList record = {u"Nolu.exe",
                             u"Skins\\Modern\\a.xml",
                             u"Skins\\Modern\\b.xml",
                             u"Skins\\Modern\\c.xml",
                             u"Skins\\Classic\\a.xml",
                             u"Uninstall.exe"};
  for (const String& file : record)
    u.Files().AddFile(kDest + file, "installed");
  u.Files().AddFile(u"C:\\Nolu\\Skins\\Modern\\c.xml", "installed", kAttrReadOnly);
  TWatchedPlatform watched(u.run.Platform());
  PlatformScope scope(watched);

  u.Execute(u"", {}, RecordText(record));

  for (const String& file : record)
    EXPECT_FALSE(u.Files().FileExists(kDest + file)) << StringToUtf8(file);
  StringList held;
  StringList attributes_set;
  for (const TFileCall& call : watched.Files().CallsBelow(kDest)) {
    if (call.Operation == u"HoldFolder") held.push_back(IncludeTrailingBackslash(call.Path));
    if (call.Operation == u"SetAttributes") attributes_set.push_back(call.Path);
  }
  // The files first (the product folder and "Skins" once for all of them), then the removal
  // of the folders, which holds each parent again.
  const StringList files_held(held.begin(), held.begin() + 4);
  EXPECT_EQ(files_held, (StringList{u"C:\\Nolu\\", u"C:\\Nolu\\Skins\\",
                                    u"C:\\Nolu\\Skins\\Modern\\", u"C:\\Nolu\\Skins\\Classic\\"}));
  EXPECT_EQ(std::count(held.begin(), held.end(), u"C:\\Nolu\\Skins\\Modern\\"), 1);
  EXPECT_EQ(attributes_set, StringList{u"C:\\Nolu\\Skins\\Modern\\c.xml"});
}

TEST(UninstallFilesTest, Execute_WithoutARecordRaisesBeforeAnythingIsRemoved) {
  // A program that is no uninstaller: its packages hold no "Uninstall.ini".
  TUninstallRun u;
  u.run.Product().install_actions = {&ActionClassOf<TSetupActionUninstallFiles>()};
  u.Files().AddFolder(u"C:\\Nolu\\Plugins\\Empty");
  TSetup& setup = u.run.Create(u"/AUTO=C:\\Nolu /SILENT");
  ASSERT_EQ(setup.Mode(), smInstall);
  setup.Start(true);
  EXPECT_EQ(setup.Errors(), StringList{u"Cannot locate \"Uninstall.ini\" file in setup archive"});
  EXPECT_TRUE(u.Files().FolderExists(u"C:\\Nolu\\Plugins\\Empty"));
  for (const String& file : kRecorded) {
    EXPECT_TRUE(u.Files().FileExists(kDest + file)) << StringToUtf8(file);
  }
}

}  // namespace
}  // namespace nolu
