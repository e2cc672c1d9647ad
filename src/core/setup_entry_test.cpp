#include "core/setup_entry.h"

#include <gtest/gtest.h>

#include "core/file_operations.h"
#include "core/setup.h"
#include "core/setup_action.h"
#include "core/setup_spawn_service.h"
#include "core/testing/fake_setup_run.h"
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

class SetupEntryTest : public ::testing::Test {
 protected:
  SetupEntryTest() { g_actions.clear(); }

  int Run(StringView params, TProductInfoClass cls = &TTestProductInfo::Create) {
    run_.Prepare(params);
    return RunSetupProgram(cls, ui_);
  }

  // Makes the running program the uninstaller "Uninstall.exe" in `folder`, with its data file.
  void BecomeUninstaller(StringView folder) {
    const String exe = String(folder) + u"Uninstall.exe";
    run_.Platform().System().SetModuleFileName(exe);
    run_.Platform().Files().AddFile(exe, "MZ uninstaller");
    run_.Data().SetProductFile(u"Uninstall.ini", "[Uninstall]\r\n");
    run_.Platform().Files().AddFile(String(folder) + u"Uninstall.dat",
                                    run_.Data().BuildProductPackage());
  }

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
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_FALSE(TSetupSpawnService::IsInitialized());  // ended with the program
  }
}

TEST_F(SetupEntryTest, ElevatedInstanceSpawnsThroughTheWaitingInstance) {
  run_.Platform().System().SetAdmin(false);
  TFakePlatform& platform = run_.Platform();
  run_.Platform().Processes().SetProgram(kProgram, [&](const TFakeLaunch& launch) {
    // The elevated instance, on its own thread: what it reads from its command line.
    String id_text = launch.Parameters.substr(9, launch.Parameters.find(u' ') - 9);
    int64_t id = 0;
    TryStrToInt(id_text, id);
    const uint32_t token = platform.Windows().RegisterMessage(u"SpawnToken");
    platform.Messages().SendText(TWindowId{static_cast<uint64_t>(id)}, token,
                                 u"C:\\Program Files (x86)\\Nolu\\Nolu.exe", TWindowId{});
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
      {"corrupted package",
       [](TFakeSetupRun& r) {
         Bytes bytes = r.Data().BuildProductPackage();
         bytes[bytes.size() / 2] ^= 0x55;
         r.Platform().Resources().SetRcData(u"PRODUCT", bytes);
       },
       u"/AUTO /SILENT", true, u"Package was corrupted"},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    TTestUserInterface ui;
    run.Prepare(c.params);
    c.arrange(run);
    EXPECT_EQ(RunSetupProgram(c.product ? &TTestProductInfo::Create : nullptr, ui), ecErrorBox)
        << c.what;
    EXPECT_EQ(ui.errors, StringList{c.message}) << c.what;
    EXPECT_EQ(nolu::Setup(), nullptr) << c.what;
  }
}

// --- The uninstaller.

TEST_F(SetupEntryTest, UninstallerInTheProductFolder_RelaunchesFromTheTempFolder) {
  BecomeUninstaller(kProductFolder);
  // An earlier read-only copy is overwritten.
  run_.Platform().Files().AddFile(String(kTemp) + u"Uninstall.exe", "old", kAttrReadOnly);
  run_.Product().uninstall_actions = {&ActionClassOf<TActionRecord>()};
  EXPECT_EQ(Run(u"/AUTO"), ecSuccess);
  EXPECT_TRUE(ui_.errors.empty());
  EXPECT_TRUE(g_actions.empty());

  TFakeFileSystem& files = run_.Platform().Files();
  EXPECT_EQ(files.FileText(String(kTemp) + u"Uninstall.exe"), "MZ uninstaller");
  EXPECT_TRUE(files.FileExists(String(kTemp) + u"Uninstall.dat"));
  EXPECT_EQ(files.CurrentFolder() + u"\\", kTemp);
  EXPECT_EQ(files.RebootOperations(),
            (std::vector<TRebootOperation>{{String(kTemp) + u"Uninstall.exe", u""},
                                           {String(kTemp) + u"Uninstall.dat", u""}}));
  const std::vector<TFakeLaunch> launches = run_.Platform().Processes().Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].How, TFakeLaunch::Via::kShellOpen);
  EXPECT_EQ(launches[0].File, String(kTemp) + u"Uninstall.exe");
  EXPECT_EQ(launches[0].Parameters, u"/PATH=\"C:\\Program Files (x86)\\Nolu\\\" /AUTO");
  EXPECT_EQ(launches[0].Show, kSwShow);
}

TEST_F(SetupEntryTest, UninstallerCopyFails_ShowsSourceAndTarget) {
  BecomeUninstaller(kProductFolder);
  const String source = String(kProductFolder) + u"Uninstall.dat";
  run_.Platform().Files().InjectFailure(FakeFileOp::kCopy, source, kErrorAccessDenied);
  EXPECT_EQ(Run(u"/AUTO"), ecErrorBox);
  EXPECT_EQ(ui_.errors, StringList{u"System Error.  Code: 5.\r\nAccess is denied.\r\n" + source +
                                   u" -> " + String(kTemp) + u"Uninstall.dat"});
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

}  // namespace
}  // namespace nolu
