#include "core/setup_entry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/path.h"
#include "core/file_operations.h"
#include "core/private_temp_folder.h"
#include "core/setup.h"
#include "core/setup_action.h"
#include "core/setup_action_extract.h"
#include "core/setup_spawn_service.h"
#include "core/testing/fake_setup_run.h"
#include "core/testing/watched_file_system.h"
#include "core/uninstaller_caller.h"
#include "platform/error_codes.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

constexpr char16_t kProgram[] = u"C:\\Users\\User\\Downloads\\Setup.exe";
constexpr char16_t kTemp[] = u"C:\\Users\\User\\AppData\\Local\\Temp\\";
constexpr char16_t kProductFolder[] = u"C:\\Program Files (x86)\\Nolu\\";

class TTestUserInterface : public ISetupUserInterface {
 public:
  void ShowError(StringView message) override { errors.emplace_back(message); }
  int RunWizard() override {
    ++wizards;
    language = nolu::Setup()->Resources().LanguageName();
    return wizard_exit_code;
  }
  StringList errors;
  int wizards = 0;
  int wizard_exit_code = ecSuccess;
  String language;
};

// Records what a run saw of the setup object, then may fail.
std::vector<String> g_actions;

class TActionRecord : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionRecord";
  void Execute() override {
    g_actions.push_back(nolu::Setup()->DestPath() + u"|" +
                        nolu::Setup()->Resources().LanguageName());
  }
};

class TActionAddsError : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionAddsError";
  void Execute() override { AddError(u"First problem"); }
};

class TActionRaises : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionRaises";
  void Execute() override { throw EInstallerInstallError(u"Second problem"); }
};

// Records the spawn service as the run sees it (the entry ends the service afterwards).
bool g_spawn_remote = false;
uint64_t g_spawn_window = 0;
String g_spawn_class;

class TActionProbeSpawn : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionProbeSpawn";
  void Execute() override {
    g_spawn_remote = TSetupSpawnService::IsRemote();
    g_spawn_window = TSetupSpawnService::Window().Value;
    TFakePlatform& fake = static_cast<TFakePlatform&>(CurrentPlatform());
    g_spawn_class = fake.Messages().WindowClass(TSetupSpawnService::Window());
  }
};

// The run is the uninstaller in `folder`: its program and its data as an installation left them.
void MakeUninstaller(TFakeSetupRun& run, StringView folder) {
  const String exe = String(folder) + u"Uninstall.exe";
  run.Platform().System().SetModuleFileName(exe);
  run.Platform().Files().AddFile(exe, "MZ uninstaller");
  run.Data().SetProductFile(u"Uninstall.ini", "[Uninstall]\r\n");
  run.Platform().Files().AddFile(String(folder) + u"Uninstall.dat",
                                 run.Data().BuildProductPackage());
}

class SetupEntryTest : public ::testing::Test {
 protected:
  SetupEntryTest() { g_actions.clear(); }

  int Run(StringView params, TProductInfoClass cls = &TTestProductInfo::Create) {
    run_.Prepare(params);
    return RunSetupProgram(cls, ui_);
  }

  // Makes the running program the uninstaller "Uninstall.exe" in `folder`, with its data file.
  void BecomeUninstaller(StringView folder) { MakeUninstaller(run_, folder); }

  TFakeSetupRun run_;
  TTestUserInterface ui_;
};

// --- Rights.

TEST_F(SetupEntryTest, WithoutRights_RestartsElevatedAndReturnsItsExitCode) {
  struct Case {
    const char16_t* params;
    uint32_t elevated_exit_code;
  } cases[] = {
      {u"/AUTO /SILENT", 0},
      {u"", 1},  // empty parameters: the text ends in a blank
      {u"/AUTO=\"C:\\My Apps\\Nolu\\\" /SILENT", 2},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    TTestUserInterface ui;
    run.Platform().System().SetAdmin(false);
    run.Platform().Files().SetCurrentFolder(u"C:\\Users\\User\\Downloads");
    String seen;
    String window_class;
    uint64_t window = 0;
    run.Platform().Processes().SetProgram(kProgram, [&](const TFakeLaunch& launch) {
      seen = launch.Parameters;
      // While the elevated instance runs, the id names the waiting instance's spawn window.
      window = TSetupSpawnService::Window().Value;
      window_class = run.Platform().Messages().WindowClass(TSetupSpawnService::Window());
      return c.elevated_exit_code;
    });
    run.Prepare(c.params);
    EXPECT_EQ(RunSetupProgram(&TTestProductInfo::Create, ui),
              static_cast<int>(c.elevated_exit_code));
    const std::vector<TFakeLaunch> launches = run.Platform().Processes().Launches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].How, TFakeLaunch::Via::kShellExecute);
    EXPECT_EQ(launches[0].Verb, u"runas");
    EXPECT_EQ(launches[0].File, kProgram);
    EXPECT_EQ(launches[0].Folder, u"C:\\Users\\User\\Downloads\\");
    EXPECT_EQ(launches[0].Show, kSwShowNormal);
    EXPECT_EQ(window_class, u"TSetupSpawnService");
    String expected = u"/SKIPUAC=" + IntToStr(static_cast<int64_t>(window));
    expected += u" ";
    expected += c.params;
    EXPECT_EQ(seen, expected);
    // The waiting instance keeps no folder of the caller's in use (it may be the one that the
    // elevated instance removes).
    EXPECT_EQ(run.Platform().Files().CurrentFolder() + u"\\", kTemp);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_FALSE(TSetupSpawnService::IsInitialized());  // ended with the program
  }
}

TEST_F(SetupEntryTest, ElevatedInstanceSpawnsThroughTheWaitingInstanceAndNobodyElseDoes) {
  run_.Platform().System().SetAdmin(false);
  TFakePlatform& platform = run_.Platform();
  // Another program of the desktop that found the spawn window.
  const TWindowId intruder = platform.Windows().AddWindow(u"Intruder", u"C:\\Users\\Public\\x.exe",
                                                          {}, /*process_id=*/0x999);
  run_.Platform().Processes().SetProgram(kProgram, [&](const TFakeLaunch& launch) {
    // The elevated instance, on its own thread: what it reads from its command line, and a
    // window of its own as the sender.
    String id_text = launch.Parameters.substr(9, launch.Parameters.find(u' ') - 9);
    int64_t id = 0;
    TryStrToInt(id_text, id);
    const TWindowId spawn_window{static_cast<uint64_t>(id)};
    const TWindowId own =
        platform.Windows().AddWindow(u"TSetupSpawnClient", kProgram, {}, launch.ProcessId);
    const uint32_t token = platform.Windows().RegisterMessage(u"SpawnToken");
    platform.Messages().SendText(spawn_window, token, u"C:\\Users\\Public\\evil.exe", intruder);
    platform.Messages().SendText(spawn_window, token, u"C:\\Program Files (x86)\\Nolu\\Nolu.exe",
                                 own);
    return 0u;
  });
  EXPECT_EQ(Run(u"/AUTO /SILENT"), ecSuccess);
  const std::vector<TFakeLaunch> launches = run_.Platform().Processes().Launches();
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(launches[1].How, TFakeLaunch::Via::kShellOpen);
  EXPECT_EQ(launches[1].File, u"C:\\Program Files (x86)\\Nolu\\Nolu.exe");
}

TEST_F(SetupEntryTest, ElevationDeclined_EndsQuietlyWithCancelled) {
  run_.Platform().System().SetAdmin(false);
  run_.Platform().Shell().FailVerb(u"runas", kErrorCancelled);
  EXPECT_EQ(Run(u"/AUTO /SILENT"), ecCancelled);
  EXPECT_TRUE(ui_.errors.empty());
  EXPECT_TRUE(g_actions.empty());
}

TEST_F(SetupEntryTest, ElevationFailed_ShowsTheSystemError) {
  run_.Platform().System().SetAdmin(false);
  run_.Platform().Shell().FailVerb(u"runas", kErrorAccessDenied);
  EXPECT_EQ(Run(u""), ecErrorBox);
  EXPECT_EQ(ui_.errors, StringList{u"System Error.  Code: 5.\r\nAccess is denied."});
}

TEST_F(SetupEntryTest, NoRightsErrors) {
  struct Case {
    const char* what;
    uint32_t major, minor;
    const char16_t* params;
  } cases[] = {
      {"elevated restart without rights: no second restart", 10, 0, u"/SKIPUAC=0 /AUTO /SILENT"},
      {"before Windows 6.0: no restart at all", 5, 1, u"/AUTO /SILENT"},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    TTestUserInterface ui;
    run.Platform().System().SetAdmin(false);
    run.Platform().System().SetOsVersion(c.major, c.minor);
    run.Prepare(c.params);
    EXPECT_EQ(RunSetupProgram(&TTestProductInfo::Create, ui), ecErrorBox) << c.what;
    EXPECT_EQ(ui.errors,
              StringList{u"Administrator rights are required to process this operation."})
        << c.what;
    EXPECT_TRUE(run.Platform().Processes().Launches().empty()) << c.what;
  }
}

TEST_F(SetupEntryTest, SkipUac_TakesTheSpawnWindowFromItsValue) {
  struct Case {
    const char16_t* params;
    bool remote;
    uint64_t window;  // 0: a window of our own
  } cases[] = {
      {u"/SKIPUAC=4242 /AUTO /SILENT", true, 4242}, {u"/SKIPUAC=0 /AUTO /SILENT", false, 0},
      {u"/SKIPUAC= /AUTO /SILENT", false, 0},       {u"/SKIPUAC=abc /AUTO /SILENT", false, 0},
      {u"/SKIPUAC=-5 /AUTO /SILENT", false, 0},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    TTestUserInterface ui;
    run.Product().install_actions = {&ActionClassOf<TActionProbeSpawn>()};
    run.Prepare(c.params);
    EXPECT_EQ(RunSetupProgram(&TTestProductInfo::Create, ui), ecSuccess);
    EXPECT_EQ(g_spawn_remote, c.remote) << StringToUtf8(c.params);
    if (c.window) {
      EXPECT_EQ(g_spawn_window, c.window);
    } else {
      EXPECT_EQ(g_spawn_class, u"TSetupSpawnService") << StringToUtf8(c.params);
    }
    EXPECT_TRUE(run.Platform().Processes().Launches().empty());
  }
}

// --- Runs.

TEST_F(SetupEntryTest, SilentRun_RunsTheActionsInTheUsersLanguage) {
  run_.Platform().System().SetUserDefaultUILanguage(1031);
  run_.Product().install_actions = {&ActionClassOf<TActionRecord>()};
  EXPECT_EQ(Run(u"/AUTO=\"C:\\Nolu\" /SILENT"), ecSuccess);
  EXPECT_EQ(g_actions, std::vector<String>{u"C:\\Nolu\\|German"});
  EXPECT_TRUE(ui_.errors.empty());
  EXPECT_EQ(nolu::Setup(), nullptr);
}

TEST_F(SetupEntryTest, SilentRunWithTwoErrors_ShowsOneBoxWithBothLines) {
  run_.Product().install_actions = {&ActionClassOf<TActionAddsError>(),
                                    &ActionClassOf<TActionRaises>(),
                                    &ActionClassOf<TActionRecord>()};
  EXPECT_EQ(Run(u"/AUTO /SILENT /RUN"), ecErrorBox);
  EXPECT_EQ(ui_.errors, StringList{u"First problem\r\nSecond problem"});
  EXPECT_TRUE(g_actions.empty());
  // A failed run starts no program.
  EXPECT_TRUE(run_.Platform().Processes().Launches().empty());
}

TEST_F(SetupEntryTest, SilentRunIntoADriveRoot_ShowsTheRefusalAndTouchesNothing) {
  TFakeFileSystem& files = run_.Platform().Files();
  files.AddDrive(u"D:");
  files.AddFile(u"D:\\Nolu.exe", "a copy of 5.01");
  files.AddFile(u"D:\\Photos\\summer.jpg", "mine");
  run_.Product().Installed(u"D:\\", {5010});
  run_.Product().install_actions = {&ActionClassOf<TActionRecord>()};
  const StringList before = files.ListTree(u"D:\\");

  EXPECT_EQ(Run(u"/AUTO=D:\\ /SILENT"), ecErrorBox);

  ASSERT_EQ(ui_.errors.size(), 1u);
  EXPECT_NE(ui_.errors[0].find(u"\"D:\\\""), String::npos) << StringToUtf8(ui_.errors[0]);
  EXPECT_TRUE(g_actions.empty());
  EXPECT_EQ(files.ListTree(u"D:\\"), before);
}

TEST_F(SetupEntryTest, InteractiveStart_GoesToTheWizardWithThePreselectedLanguage) {
  run_.Platform().System().SetUserDefaultUILanguage(1049);
  ui_.wizard_exit_code = 7;  // the wizard decides the exit code of an interactive run
  EXPECT_EQ(Run(u""), 7);
  EXPECT_EQ(ui_.wizards, 1);
  EXPECT_EQ(ui_.language, u"Russian");
}

TEST_F(SetupEntryTest, BasicUserInterface_HasNoWizardYet) {
  run_.Prepare(u"/AUTO");
  TSetupBasicUserInterface ui;
  EXPECT_EQ(RunSetupProgram(&TTestProductInfo::Create, ui), ecErrorBox);
  const std::vector<TFakeMessageBoxCall> boxes = run_.Platform().Dialogs().Calls();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"The wizard is not available in this build.");
  EXPECT_EQ(boxes[0].Caption, u"Setup");
  EXPECT_EQ(boxes[0].Style, kMbOk | kMbIconError);
}

TEST_F(SetupEntryTest, StartFailures_EndInTheErrorBox) {
  struct Case {
    const char* what;
    std::function<void(TFakeSetupRun&)> arrange;
    const char16_t* params;
    bool product;
    const char16_t* message;
  } cases[] = {
      {"no product", [](TFakeSetupRun&) {}, u"", false, u"Setup is malformed"},
      {"update refused", [](TFakeSetupRun&) {}, u"/AUTO=C:\\Empty /UPDATE", true,
       u"Cannot install update on v0.00"},
      // Found only by the decoding in the background, after the start-up's lookups.
      {"corrupted package body",
       [](TFakeSetupRun& r) {
         Bytes bytes = r.Data().BuildProductPackage();
         bytes[bytes.size() / 2] ^= 0x55;
         r.Platform().Resources().SetRcData(u"PRODUCT", bytes);
       },
       u"/AUTO /SILENT", true, u"Package was corrupted"},
      // A first installation writes its files while the body decodes, and takes them back.
      {"corrupted package body, files extracted",
       [](TFakeSetupRun& r) {
         r.Product().install_actions = {&ActionClassOf<TSetupActionExtract>()};
         Bytes bytes = r.Data().BuildProductPackage();
         bytes[bytes.size() / 2] ^= 0x55;
         r.Platform().Resources().SetRcData(u"PRODUCT", bytes);
       },
       u"/AUTO /SILENT", true, u"Package was corrupted"},
      {"corrupted checksum",
       [](TFakeSetupRun& r) {
         Bytes bytes = r.Data().BuildProductPackage();
         bytes[4] ^= 0x01;
         r.Platform().Resources().SetRcData(u"PRODUCT", bytes);
       },
       u"/AUTO /SILENT", true, u"Package was corrupted"},
      // Found at once.
      {"corrupted table copy",
       [](TFakeSetupRun& r) {
         Bytes table = TFakeSetupData::FileTableOf(r.Data().BuildProductPackage());
         table.back() ^= 0x40;  // the table size
         r.Platform().Resources().SetRcData(kProductTableResource, table);
       },
       u"/AUTO /SILENT", true, u"Package was corrupted"},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    TTestUserInterface ui;
    run.Prepare(c.params);
    c.arrange(run);
    const StringList before = run.Platform().Files().ListTree(u"C:\\");
    EXPECT_EQ(RunSetupProgram(c.product ? &TTestProductInfo::Create : nullptr, ui), ecErrorBox)
        << c.what;
    EXPECT_EQ(ui.errors, StringList{c.message}) << c.what;
    EXPECT_EQ(nolu::Setup(), nullptr) << c.what;
    EXPECT_EQ(run.Platform().Files().ListTree(u"C:\\"), before) << c.what;
  }
}

// --- The uninstaller.

// The window id of "/CALLER=<id>" in the parameters a copy was started with.
TWindowId CallerWindow(const String& parameters) {
  const size_t at = parameters.find(u"/CALLER=");
  if (at == String::npos) return {};
  const size_t start = at + 8;
  int64_t id = 0;
  TryStrToInt(parameters.substr(start, parameters.find(u' ', start) - start), id);
  return TWindowId{static_cast<uint64_t>(id)};
}

// The uninstaller's copy, wherever it was put, does the removal and reports `exit_code` to
// the original that waits for it.
void CopyReports(TFakePlatform& platform, uint32_t exit_code) {
  platform.Processes().SetProgram(u"Uninstall.exe", [&platform, exit_code](const TFakeLaunch& l) {
    platform.Messages().SendValue(CallerWindow(l.Parameters), TUninstallerCaller::kResultCode,
                                  exit_code);
    return 0u;
  });
}

// The copy that removes the product runs elevated from the temporary folder, which other
// programs can reach first (under SYSTEM it is every user's): a folder of its own with a
// random name that only administrators may use, copies made new and held unchanged until the
// copy runs, in that folder. The original waits for the copy's result and returns it.
TEST_F(SetupEntryTest, UninstallerInTheProductFolder_RelaunchesFromAPrivateFolderAndWaits) {
  BecomeUninstaller(kProductFolder);
  TFakeFileSystem& files = run_.Platform().Files();
  // Another user's program where a fixed name would have put the copy.
  files.AddFile(String(kTemp) + u"Uninstall.exe", "someone else's", kAttrReadOnly);
  files.SetCurrentFolder(kProductFolder);
  run_.Product().uninstall_actions = {&ActionClassOf<TActionRecord>()};
  // Between the copying and the start, someone tries to change the copies.
  TWatchedPlatform watched(run_.Platform());
  PlatformScope scope(watched);
  run_.Platform().System().QueueRandomBytes(Bytes(16, 0xCD));
  const String folder = String(kTemp) + u"Setup-cdcdcdcdcdcdcdcdcdcdcdcdcdcdcdcd\\";
  uint32_t write_before_start = kErrorSuccess, delete_before_start = kErrorSuccess;
  watched.Files().Before(u"SetCurrentFolder", folder, [&] {
    write_before_start = files.OpenFile(folder + u"Uninstall.exe", FileMode::kOpenReadWrite).Error;
    delete_before_start = files.Delete(folder + u"Uninstall.dat");
  });
  // The caller gets the copy's result, not a 0 of its own.
  CopyReports(run_.Platform(), ecRestartNeeded);
  // The copy reads the setup's own package and the script; this instance needs neither.
  run_.Prepare(u"/AUTO");
  run_.Platform().Resources().RemoveRcData(u"SETUP");

  EXPECT_EQ(RunSetupProgram(&TTestProductInfo::Create, ui_), ecRestartNeeded);

  EXPECT_TRUE(ui_.errors.empty());
  EXPECT_TRUE(g_actions.empty());
  EXPECT_EQ(files.FileText(String(kTemp) + u"Uninstall.exe"), "someone else's");
  const std::vector<TFakeLaunch> launches = run_.Platform().Processes().Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].How, TFakeLaunch::Via::kStartProcess);
  EXPECT_EQ(launches[0].File, folder + u"Uninstall.exe");
  const TWindowId caller = CallerWindow(launches[0].Parameters);
  EXPECT_EQ(launches[0].Parameters, u"/PATH=\"C:\\Program Files (x86)\\Nolu\\\" /CALLER=" +
                                        IntToStr(static_cast<int64_t>(caller.Value)) + u" /AUTO");
  EXPECT_EQ(launches[0].Folder, folder);
  EXPECT_EQ(launches[0].Show, kSwShow);
  EXPECT_EQ(files.FileText(folder + u"Uninstall.exe"), "MZ uninstaller");
  EXPECT_EQ(files.FileBytes(folder + u"Uninstall.dat"),
            files.FileBytes(String(kProductFolder) + u"Uninstall.dat"));
  TAccessList access;
  ASSERT_EQ(files.ReadAccessList(folder, access), kErrorSuccess);
  EXPECT_EQ(access, AccessListOf(TFolderAccess::kAdministrators));
  EXPECT_EQ(write_before_start, kErrorSharingViolation);
  EXPECT_EQ(delete_before_start, kErrorSharingViolation);
  // Once it runs, the copies are let go.
  EXPECT_EQ(files.OpenFile(folder + u"Uninstall.exe", FileMode::kOpenReadWrite).Error,
            kErrorSuccess);
  // Neither instance keeps the product folder in use.
  EXPECT_EQ(IncludeTrailingBackslash(files.CurrentFolder()), folder);
  // Copies first, the folder last, once it is empty.
  EXPECT_EQ(files.RebootOperations(),
            (std::vector<TRebootOperation>{{folder + u"Uninstall.exe", u""},
                                           {folder + u"Uninstall.dat", u""},
                                           {ExcludeTrailingBackslash(folder), u""}}));
}

TEST_F(SetupEntryTest, UninstallerCopyThatEndsWithoutAResult_FailsTheCaller) {
  struct Row {
    const char* what;
    std::function<void(TFakeSetupRun&)> arrange;
    const char16_t* message;
  };
  const Row rows[] = {
      {"the copy crashes",
       [](TFakeSetupRun& r) {
         r.Platform().Processes().SetProgram(u"Uninstall.exe",
                                             [](const TFakeLaunch&) { return 0xC0000005u; });
       },
       u"The uninstaller ended without reporting its result (exit code 3221225477)."},
      // A copy that does not start removes nothing: that must not pass for a removal.
      {"the copy cannot be started",
       [](TFakeSetupRun& r) {
         r.Platform().Processes().FailStart(u"Uninstall.exe", kErrorAccessDenied);
       },
       u"System Error.  Code: 5.\r\nAccess is denied.\r\nC:\\Users\\User\\AppData\\Local\\Temp\\"
       u"Setup-eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee\\Uninstall.exe"},
  };
  for (const Row& r : rows) {
    TFakeSetupRun run;
    TTestUserInterface ui;
    MakeUninstaller(run, kProductFolder);
    run.Platform().System().QueueRandomBytes(Bytes(16, 0xEE));
    r.arrange(run);
    run.Prepare(u"/AUTO /SILENT");
    EXPECT_EQ(RunSetupProgram(&TTestProductInfo::Create, ui), ecErrorBox) << r.what;
    EXPECT_EQ(ui.errors, StringList{r.message}) << r.what;
  }
}

TEST(SetupEntryUninstallerTest, UninstallerCopy_TheFolderNameDiffersBetweenRuns) {
  StringList folders;
  for (int i = 0; i < 2; ++i) {
    TFakeSetupRun run;
    TTestUserInterface ui;
    MakeUninstaller(run, kProductFolder);
    CopyReports(run.Platform(), ecSuccess);
    run.Prepare(u"/AUTO");
    ASSERT_EQ(RunSetupProgram(&TTestProductInfo::Create, ui), ecSuccess);
    folders.push_back(ExtractFilePath(run.Platform().Processes().Launches().at(0).File));
  }
  EXPECT_NE(folders[0], folders[1]);
}

TEST_F(SetupEntryTest, UninstallerCopy_ATakenNameIsNeverUsed) {
  // Another user made the folder of the first name (and put a program of theirs in it).
  BecomeUninstaller(kProductFolder);
  const String taken = String(kTemp) + u"Setup-" + String(32, u'0') + u"\\";
  run_.Platform().Files().AddFile(taken + u"Uninstall.exe", "someone else's");
  run_.Platform().System().QueueRandomBytes(Bytes(16, 0));
  CopyReports(run_.Platform(), ecSuccess);
  EXPECT_EQ(Run(u"/AUTO"), ecSuccess);
  const std::vector<TFakeLaunch> launches = run_.Platform().Processes().Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_NE(ExtractFilePath(launches[0].File), taken);
  EXPECT_EQ(run_.Platform().Files().ListTree(taken), StringList{taken + u"Uninstall.exe"});
  EXPECT_EQ(run_.Platform().Files().FileText(taken + u"Uninstall.exe"), "someone else's");

  // Every name taken, again and again: the relaunch gives up with the last one.
  TFakeSetupRun run;
  TTestUserInterface ui;
  MakeUninstaller(run, kProductFolder);
  run.Platform().Files().AddFolder(taken);
  run.Platform().System().QueueRandomBytes(Bytes(16 * kPrivateFolderTries, 0));
  run.Prepare(u"/AUTO");
  EXPECT_EQ(RunSetupProgram(&TTestProductInfo::Create, ui), ecErrorBox);
  EXPECT_EQ(ui.errors,
            StringList{u"System Error.  Code: 183.\r\nCannot create a file when that file already "
                       u"exists.\r\n" +
                       ExcludeTrailingBackslash(taken)});
  EXPECT_TRUE(run.Platform().Processes().Launches().empty());
}

TEST_F(SetupEntryTest, UninstallerCopyFails_ShowsSourceAndTargetAndLeavesNothing) {
  BecomeUninstaller(kProductFolder);
  const String source = String(kProductFolder) + u"Uninstall.dat";
  run_.Platform().System().QueueRandomBytes(Bytes(16, 0xAB));
  const String target = String(kTemp) + u"Setup-abababababababababababababababab\\Uninstall.dat";
  run_.Platform().Files().InjectFailure(FakeFileOp::kOpenWrite, target, kErrorAccessDenied);
  EXPECT_EQ(Run(u"/AUTO"), ecErrorBox);
  EXPECT_EQ(ui_.errors, StringList{u"System Error.  Code: 5.\r\nAccess is denied.\r\n" + source +
                                   u" -> " + target});
  EXPECT_TRUE(run_.Platform().Processes().Launches().empty());
  // The folder and the copy made before the failure went at once.
  std::vector<TFileEntry> temp;
  run_.Platform().Files().ListFolder(kTemp, temp);
  EXPECT_TRUE(temp.empty());
  EXPECT_TRUE(run_.Platform().Files().RebootOperations().empty());
}

TEST_F(SetupEntryTest, UninstallerCopy_ANameTakenInsideTheFolderStopsTheRelaunch) {
  // Should another program still reach into the new folder and put a file at the copy's name
  // (administrators only: another one, or a program of the user when the run is not
  // elevated), that file is not written, let alone started.
  BecomeUninstaller(kProductFolder);
  TWatchedPlatform watched(run_.Platform());
  PlatformScope scope(watched);
  watched.Files().Before(u"OpenFile", String(kProductFolder) + u"Uninstall.exe", [&] {
    std::vector<TFileEntry> temp;
    run_.Platform().Files().ListFolder(kTemp, temp);
    ASSERT_EQ(temp.size(), 1u);
    run_.Platform().Files().AddFile(String(kTemp) + temp[0].Name + u"\\Uninstall.exe", "planted");
  });
  EXPECT_EQ(Run(u"/AUTO"), ecErrorBox);
  ASSERT_EQ(ui_.errors.size(), 1u);
  EXPECT_TRUE(StartsWith(ui_.errors[0], u"System Error.  Code: 80.\r\n"))
      << StringToUtf8(ui_.errors[0]);
  EXPECT_TRUE(run_.Platform().Processes().Launches().empty());
}

TEST_F(SetupEntryTest, UninstallerInTheTempFolder_UsesPath) {
  struct Case {
    const char16_t* params;
    bool runs;
  } cases[] = {
      {u"/PATH=\"C:\\Program Files (x86)\\Nolu\\\" /AUTO /SILENT", true},
      {u"/PATH=\"C:\\Gone\\\" /AUTO /SILENT", false},
      {u"/AUTO /SILENT", false},
  };
  for (const Case& c : cases) {
    g_actions.clear();
    TFakeSetupRun run;
    TTestUserInterface ui;
    const String exe = String(kTemp) + u"Uninstall.exe";
    run.Platform().System().SetModuleFileName(exe);
    run.Platform().Files().AddFile(exe, "MZ uninstaller");
    run.Platform().Files().AddFolder(kProductFolder);
    run.Data().SetProductFile(u"Uninstall.ini", "[Uninstall]\r\n");
    run.Platform().Files().AddFile(String(kTemp) + u"Uninstall.dat",
                                   run.Data().BuildProductPackage());
    run.Product().uninstall_actions = {&ActionClassOf<TActionRecord>()};
    run.Prepare(c.params);
    const int code = RunSetupProgram(&TTestProductInfo::Create, ui);
    if (c.runs) {
      EXPECT_EQ(code, ecSuccess);
      EXPECT_EQ(g_actions, std::vector<String>{String(kProductFolder) + u"|English"});
    } else {
      EXPECT_EQ(code, ecErrorBox);
      EXPECT_EQ(ui.errors, StringList{u"Cannot start the Uninstaller"});
      EXPECT_TRUE(run.Platform().Processes().Launches().empty());
    }
  }
}

// --- The uninstaller's copy and its caller.

// Removes the product as the real removal does: every file with DeleteFileOrDefer, then the
// emptied folder.
class TActionRemovesProduct : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionRemovesProduct";
  void Execute() override {
    const String& dest = nolu::Setup()->DestPath();
    DeleteFileOrDefer(dest + u"Nolu.exe");
    DeleteFileOrDefer(dest + u"Uninstall.exe");
    CurrentPlatform().Files().RemoveFolder(ExcludeTrailingBackslash(dest));
  }
};

class UninstallerCopyTest : public SetupEntryTest {
 protected:
  UninstallerCopyTest() {
    TFakeFileSystem& files = run_.Platform().Files();
    const String exe = String(kTemp) + u"Uninstall.exe";
    run_.Platform().System().SetModuleFileName(exe);
    files.AddFile(exe, "MZ uninstaller");
    run_.Data().SetProductFile(u"Uninstall.ini", "[Uninstall]\r\n");
    files.AddFile(String(kTemp) + u"Uninstall.dat", run_.Data().BuildProductPackage());
    files.AddFile(String(kProductFolder) + u"Nolu.exe", "MZ player");
    // The original runs from the product folder: a loaded program can be renamed, not deleted.
    files.AddFile(original_, "MZ uninstaller");
    files.SetInUse(original_, {.Renamable = true});
    run_.Product().uninstall_actions = {&ActionClassOf<TActionRemovesProduct>()};
    // The original's result window, as a window of another process.
    caller_ = run_.Platform().Messages().CreateMessageWindow(
        u"TUninstallerResultWindow", [this](const TChannelMessage& message) -> int64_t {
          results_.push_back(message.Param);
          if (caller_ends_) EndCaller();
          return 1;
        });
    run_.Platform().Windows().AdoptWindow(caller_->Id(), original_);
  }

  // The original ends: its program file is free again, wherever it is now.
  void EndCaller() {
    TFakeFileSystem& files = run_.Platform().Files();
    files.ClearInUse(original_);
    for (const TRebootOperation& op : files.RebootOperations())
      files.ClearInUse(op.Source);
    run_.Platform().Windows().RemoveWindow(caller_->Id());
  }

  String Params() const {
    return u"/PATH=\"" + String(kProductFolder) + u"\" /CALLER=" +
           IntToStr(static_cast<int64_t>(caller_->Id().Value)) + u" /AUTO /SILENT";
  }

  const String original_ = String(kProductFolder) + u"Uninstall.exe";
  std::unique_ptr<TMessageWindow> caller_;
  std::vector<int64_t> results_;
  bool caller_ends_ = true;
};

TEST_F(UninstallerCopyTest, HandsItsResultOverThenDeletesTheCallersProgram) {
  EXPECT_EQ(Run(Params()), ecSuccess);
  EXPECT_EQ(results_, std::vector<int64_t>{ecSuccess});
  TFakeFileSystem& files = run_.Platform().Files();
  // The removal moved the running original aside, so the folder went with the rest; the
  // copy deleted the original once it had ended. Its restart is no restart the run needs.
  EXPECT_FALSE(files.FolderExists(kProductFolder));
  const std::vector<TRebootOperation> pending = files.RebootOperations();
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_TRUE(StartsWith(pending[0].Source, String(kTemp) + u"del"));
  EXPECT_FALSE(files.FileExists(pending[0].Source));
}

TEST_F(UninstallerCopyTest, ACallerThatDoesNotEnd_LeavesItsProgramToTheRestart) {
  caller_ends_ = false;
  const uint64_t start = run_.Platform().System().TickCount();
  EXPECT_EQ(Run(Params()), ecSuccess);
  EXPECT_EQ(results_, std::vector<int64_t>{ecSuccess});
  // It waited as long as it promises, and not for ever.
  EXPECT_EQ(run_.Platform().System().TickCount() - start, TUninstallerCaller::kCallerEndTimeoutMs);
  const std::vector<TRebootOperation> pending = run_.Platform().Files().RebootOperations();
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_TRUE(run_.Platform().Files().FileExists(pending[0].Source));
}

TEST_F(UninstallerCopyTest, AProgramThatCannotBeMovedGoesWithItsFolderAfterTheCaller) {
  // Where the system will not rename it, it waits in the folder, scheduled in its place for
  // the restart in case the caller never ends; that restart is no restart the run needs.
  run_.Platform().Files().SetInUse(original_, {});
  EXPECT_EQ(Run(Params()), ecSuccess);
  EXPECT_FALSE(run_.Platform().Files().FolderExists(kProductFolder));
  const std::vector<TRebootOperation> pending = run_.Platform().Files().RebootOperations();
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].Source, original_);
}

TEST_F(UninstallerCopyTest, AFailedRemovalKeepsTheCallersProgramAndSaysSo) {
  run_.Platform().Files().SetInUse(original_, {});
  run_.Product().uninstall_actions = {&ActionClassOf<TActionRaises>()};
  EXPECT_EQ(Run(Params()), ecErrorBox);
  EXPECT_EQ(results_, std::vector<int64_t>{ecErrorBox});
  EXPECT_EQ(ui_.errors, StringList{u"Second problem"});
  // The product is still there, and so is its uninstaller, for the next attempt.
  EXPECT_TRUE(run_.Platform().Files().FileExists(original_));
  EXPECT_TRUE(run_.Platform().Files().FileExists(String(kProductFolder) + u"Nolu.exe"));
}

TEST_F(UninstallerCopyTest, AnErrorBeforeTheRunIsHandedOverToo) {
  caller_ends_ = false;
  // The product folder is gone when the copy starts.
  TFakeSetupRun& run = run_;
  run.Platform().Files().ClearInUse(original_);
  run.Platform().Files().Delete(original_);
  run.Platform().Files().Delete(String(kProductFolder) + u"Nolu.exe");
  run.Platform().Files().RemoveFolder(ExcludeTrailingBackslash(kProductFolder));
  EXPECT_EQ(Run(Params()), ecErrorBox);
  EXPECT_EQ(ui_.errors, StringList{u"Cannot start the Uninstaller"});
  // The caller learns of the failure from the copy, which has shown it already.
  EXPECT_EQ(results_, std::vector<int64_t>{ecErrorBox});
}

// --- Exit codes.

class TActionDefersAFile : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionDefersAFile";
  void Execute() override { DeleteFileOrDefer(u"C:\\Nolu\\Nolu.exe"); }
};

class TActionProductRunning : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionProductRunning";
  void Execute() override { throw EInstallerProductRunningError(u"Nolu is running"); }
};

TEST_F(SetupEntryTest, SilentRuns_EndWithTheDocumentedExitCodes) {
  struct Row {
    const char* what;
    const TSetupActionClass* action;
    TSetupExitCode code;
    size_t error_boxes;
  };
  const Row rows[] = {
      {"success", &ActionClassOf<TActionRecord>(), ecSuccess, 0},
      {"failed", &ActionClassOf<TActionRaises>(), ecErrorBox, 1},
      {"a file in use goes at the next restart", &ActionClassOf<TActionDefersAFile>(),
       ecRestartNeeded, 0},
      {"a program of the product would not close", &ActionClassOf<TActionProductRunning>(),
       ecProductStillRunning, 1},
  };
  for (const Row& r : rows) {
    TFakeSetupRun run;
    TTestUserInterface ui;
    run.Platform().Files().AddFile(u"C:\\Nolu\\Nolu.exe", "MZ");
    run.Platform().Files().SetInUse(u"C:\\Nolu\\Nolu.exe", {.Renamable = true});
    run.Product().install_actions = {r.action};
    run.Prepare(u"/AUTO=C:\\Nolu /SILENT");
    EXPECT_EQ(RunSetupProgram(&TTestProductInfo::Create, ui), r.code) << r.what;
    EXPECT_EQ(ui.errors.size(), r.error_boxes) << r.what;
  }
}

// --- The log.

// The lines of a log without their time stamps and process ids.
StringList LogLines(TFakeFileSystem& files, StringView path) {
  StringList lines;
  const std::string text = files.FileText(path);
  if (text.rfind("\xEF\xBB\xBF", 0) != 0) return {u"<no UTF-8 mark>"};
  for (size_t start = 3; start < text.size();) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    lines.push_back(Utf8ToString(line.substr(line.find("] ") + 2)));
    start = end + 2;
  }
  return lines;
}

class TActionWritesFiles : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionWritesFiles";
  void Execute() override {
    ForceDir(u"C:\\Nolu\\");
    OpenFileOrRaise(u"C:\\Nolu\\Nolu.exe", FileMode::kCreate);
    const TRegKey key(RegRoot::kLocalMachine, RegView::k32, u"Software\\Nolu");
    CurrentPlatform().Registry().CreateKey(key);
    CurrentPlatform().Registry().WriteValue(key, u"Version", TRegValue::Dword(5401));
    RunAndWait(u"C:\\Nolu\\Nolu.exe /register", u"C:\\Nolu\\");
    CurrentPlatform().System().Sleep(250);
  }
};

TEST_F(SetupEntryTest, Log_RecordsTheRunAndEveryChangeItMade) {
  run_.Product().install_actions = {&ActionClassOf<TActionWritesFiles>(),
                                    &ActionClassOf<TActionRaises>()};
  run_.Platform().Processes().SetProgram(u"C:\\Nolu\\Nolu.exe",
                                         [](const TFakeLaunch&) { return 3u; });
  EXPECT_EQ(Run(u"/AUTO=C:\\Nolu /SILENT /LOG"), ecErrorBox);
  // "/LOG" alone: a new file in the temporary folder, named after the program and the time.
  const String log = String(kTemp) + u"Setup 2024-03-05 14-07-09.log";
  EXPECT_EQ(
      LogLines(run_.Platform().Files(), log),
      (StringList{
          u"Started: \"C:\\Users\\User\\Downloads\\Setup.exe\" /AUTO=C:\\Nolu /SILENT /LOG",
          u"Windows 10.0.19045, administrator",
          u"Product: Nolu 5.40.1",
          u"Installation; flags: AUTO SILENT; destination: C:\\Nolu\\",
          u"Action TActionWritesFiles",
          u"Create folder C:\\Nolu (as the program-files folders)",
          u"Write C:\\Nolu\\Nolu.exe",
          u"Registry: create key HKLM\\Software\\Nolu (32-bit view)",
          u"Registry: write HKLM\\Software\\Nolu (32-bit view) \"Version\" = 5401 (REG_DWORD)",
          u"Start C:\\Nolu\\Nolu.exe /register",
          u"Ended with exit code 3: C:\\Nolu\\Nolu.exe /register",
          u"Action TActionWritesFiles done in 250 ms",
          u"Action TActionRaises",
          u"Error: Second problem",
          u"Exit code 1",
      }));
}

TEST_F(SetupEntryTest, Log_AloneNeverOverwritesAnEarlierLog) {
  const String earlier = String(kTemp) + u"Setup 2024-03-05 14-07-09.log";
  run_.Platform().Files().AddFile(earlier, "an earlier run");
  EXPECT_EQ(Run(u"/AUTO=C:\\Nolu /SILENT /LOG"), ecSuccess);
  EXPECT_EQ(run_.Platform().Files().FileText(earlier), "an earlier run");
  const StringList lines =
      LogLines(run_.Platform().Files(), String(kTemp) + u"Setup 2024-03-05 14-07-09 (2).log");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), u"Exit code 0");
}

TEST_F(SetupEntryTest, Log_ToAFileIsAppendedToAndPassedOnByItsFullPath) {
  run_.Platform().Files().AddFile(u"C:\\Users\\User\\Downloads\\setup.log", "");
  run_.Platform().Files().SetCurrentFolder(u"C:\\Users\\User\\Downloads");
  run_.Platform().System().SetAdmin(false);
  String elevated;
  run_.Platform().Processes().SetProgram(kProgram, [&](const TFakeLaunch& launch) {
    elevated = launch.Parameters;
    return 0u;
  });
  EXPECT_EQ(Run(u"/AUTO /SILENT /LOG=setup.log"), ecSuccess);
  // The elevated instance writes to the same file, whatever its current folder.
  EXPECT_TRUE(StartsWith(elevated, u"/SKIPUAC=")) << StringToUtf8(elevated);
  EXPECT_NE(elevated.find(u" /LOG=\"C:\\Users\\User\\Downloads\\setup.log\" /AUTO /SILENT "
                          u"/LOG=setup.log"),
            String::npos)
      << StringToUtf8(elevated);
  const StringList lines =
      LogLines(run_.Platform().Files(), u"C:\\Users\\User\\Downloads\\setup.log");
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[2], u"Restarting elevated");
  EXPECT_EQ(lines.back(), u"Exit code 0");
}

TEST_F(SetupEntryTest, Log_ThatCannotBeWrittenLeavesTheRunAsItWas) {
  // What a run leaves: its files, its registry, its exit code and its messages.
  auto outcome = [](StringView params) {
    TFakeSetupRun run;
    TTestUserInterface ui;
    run.Platform().Files().AddFolder(u"C:\\Locked");
    run.Platform().Files().DenyAccess(u"C:\\Locked");
    run.Product().install_actions = {&ActionClassOf<TActionWritesFiles>()};
    run.Platform().Processes().SetProgram(u"C:\\Nolu\\Nolu.exe",
                                          [](const TFakeLaunch&) { return 0u; });
    run.Prepare(params);
    const int code = RunSetupProgram(&TTestProductInfo::Create, ui);
    StringList state = run.Platform().Files().ListTree(u"C:\\");
    state.push_back(u"exit " + IntToStr(code));
    for (const String& error : ui.errors)
      state.push_back(u"error " + error);
    TRegValue version;
    run.Platform().Registry().ReadValue(
        TRegKey(RegRoot::kLocalMachine, RegView::k32, u"Software\\Nolu"), u"Version", version);
    state.push_back(u"registry " + IntToStr(version.AsDword()));
    return state;
  };
  const StringList without = outcome(u"/AUTO=C:\\Nolu /SILENT");
  for (const char16_t* log : {u"/LOG=\"C:\\Locked\\setup.log\"", u"/LOG=\"C:\\Missing\\setup.log\"",
                              u"/LOG=\"C:\\Locked\\\""}) {
    EXPECT_EQ(outcome(String(u"/AUTO=C:\\Nolu /SILENT ") + log), without) << StringToUtf8(log);
  }
}

}  // namespace
}  // namespace nolu
