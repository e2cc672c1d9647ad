#include "core/setup.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/path.h"
#include "core/setup_action.h"
#include "core/setup_spawn_service.h"
#include "core/testing/fake_setup_run.h"
#include "platform/error_codes.h"
#include "resources/installer_errors.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

constexpr char16_t kDefault[] = u"C:\\Program Files (x86)\\Nolu\\";

class SetupTest : public ::testing::Test {
 protected:
  TFakeSetupRun run_;
};

// --- The process-wide object.

TEST_F(SetupTest, IsTheProcessWideObjectForItsLifetime) {
  EXPECT_EQ(nolu::Setup(), nullptr);
  TSetup& setup = run_.Create();
  EXPECT_EQ(nolu::Setup(), &setup);
  // The product information was created after the registration: it could reach the object.
  EXPECT_EQ(run_.Product().last_loaded_from, kDefault);
  run_.Destroy();
  EXPECT_EQ(nolu::Setup(), nullptr);
}

TEST_F(SetupTest, ConstructorFailures_LeaveNoObjectBehind) {
  struct Case {
    const char* what;
    std::function<void(TFakeSetupRun&)> arrange;
    const char16_t* params;
    const char16_t* message;
  } cases[] = {
      {"no script", [](TFakeSetupRun& r) { r.Data().RemoveSetupFile(u"Install.xml"); }, u"",
       u"Cannot locate \"Install.xml\" file in setup archive"},
      {"update refused", [](TFakeSetupRun&) {}, u"/AUTO=C:\\Empty /UPDATE",
       u"Cannot install update on v0.00"},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    c.arrange(run);
    try {
      run.Create(c.params);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
    EXPECT_EQ(nolu::Setup(), nullptr) << c.what;
  }
}

TEST_F(SetupTest, WithoutProductClass_IsMalformed) {
  run_.Prepare(u"");
  try {
    TSetup setup(u"", nullptr);
    FAIL();
  } catch (const EInstallerGeneralError& e) {
    EXPECT_EQ(e.Message(), u"Setup is malformed");
  }
  EXPECT_EQ(nolu::Setup(), nullptr);
}

TEST_F(SetupTest, ASecondObjectIsRefusedAndTheFirstStays) {
  TSetup& first = run_.Create();
  EXPECT_THROW(TSetup(u"", &TTestProductInfo::Create), EInvalidOperation);
  EXPECT_EQ(nolu::Setup(), &first);
}

TEST_F(SetupTest, MessageWindowIsOfClassTSetup) {
  TSetup& setup = run_.Create();
  EXPECT_EQ(run_.Platform().Messages().WindowClass(setup.Handle()), u"TSetup");
}

// --- Switches to mode, flags and destination.

TEST_F(SetupTest, ParseCommandLine_SwitchesGiveModeFlagsAndDestination) {
  struct Case {
    const char16_t* params;
    TSetupFlags flags;
    const char16_t* dest;
  } cases[] = {
      {u"", 0, kDefault},
      {u"/SILENT", 0, kDefault},  // SILENT without AUTO: interactive
      {u"/AUTO", sfAuto, kDefault},
      {u"/AUTO= /SILENT", sfAuto | sfSilent, kDefault},
      {u"/AUTO=\"C:\\Nolu\" /SILENT", sfAuto | sfSilent, u"C:\\Nolu\\"},
      {u"/auto=C:\\Nolu /silent /nobackup /run", sfAuto | sfSilent | sfNoBackup | sfRun,
       u"C:\\Nolu\\"},
      {u"/AUTO=C:\\Nolu /PORTABLE /SILENT", sfAuto | sfPortable | sfSilent, u"C:\\Nolu\\"},
      // Read from the command line; only Start's check clears it (see below).
      {u"/AUTO /PORTABLE", sfAuto | sfPortable, kDefault},
      // An installed copy makes the run an update, switch or no switch.
      {u"/AUTO=C:\\Old /SILENT", sfAuto | sfUpdate | sfSilent, u"C:\\Old\\"},
      // UPDATE: PORTABLE and SILENT are not read, the wizard shows.
      {u"/AUTO=C:\\Old /UPDATE /SILENT /PORTABLE", sfAuto | sfUpdate, u"C:\\Old\\"},
      {u"/AUTO=C:\\Portable /UPDATE /SILENT", sfAuto | sfUpdate | sfPortable, u"C:\\Portable\\"},
      // A portable copy below the programs folder never keeps sfPortable.
      {u"/AUTO=\"C:\\Program Files\\Portable\" /UPDATE", sfAuto | sfUpdate,
       u"C:\\Program Files\\Portable\\"},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    run.Product().Installed(u"C:\\Old\\", {5010});
    run.Product().Installed(u"C:\\Portable\\", {5010, /*Portable=*/true});
    run.Product().Installed(u"C:\\Program Files\\Portable\\", {5010, true});
    TSetup& setup = run.Create(c.params);
    EXPECT_EQ(setup.Mode(), smInstall) << StringToUtf8(c.params);
    EXPECT_EQ(setup.Flags(), c.flags) << StringToUtf8(c.params);
    EXPECT_EQ(setup.DestPath(), c.dest) << StringToUtf8(c.params);
  }
}

TEST_F(SetupTest, ParseCommandLine_InteractiveRunOverAnInstalledCopyIsAnUpdate) {
  run_.Product().Installed(kDefault, {5010});
  EXPECT_EQ(run_.Create(u"/SILENT").Flags(), sfUpdate);
}

TEST_F(SetupTest, ParseCommandLine_UpdateOfACopyThatRefusesIt) {
  run_.Product().Installed(u"C:\\Old\\", {3200, false, /*Updatable=*/false});
  try {
    run_.Create(u"/AUTO=C:\\Old /UPDATE");
    FAIL();
  } catch (const EInstallerUpdateError& e) {
    EXPECT_EQ(e.Message(), u"Cannot install update on v3.20");
  }
}

TEST_F(SetupTest, ParseCommandLine_UninstallerData_GivesUninstallMode) {
  struct Case {
    const char16_t* params;
    TSetupFlags flags;
  } cases[] = {
      {u"", 0},
      {u"/SILENT", 0},  // SILENT without AUTO is ignored
      {u"/AUTO", sfAuto},
      {u"/AUTO /SILENT /RUN /PORTABLE /NOBACKUP", sfAuto | sfSilent},
      {u"/AUTO=C:\\Elsewhere", sfAuto},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    run.Data().SetProductFile(u"uninstall.INI", "[Uninstall]\r\n");
    TSetup& setup = run.Create(c.params);
    EXPECT_EQ(setup.Mode(), smUninstall) << StringToUtf8(c.params);
    EXPECT_EQ(setup.Flags(), c.flags) << StringToUtf8(c.params);
    EXPECT_EQ(setup.DestPath(), u"") << StringToUtf8(c.params);
  }
}

// The record is only scrambled and may lie in a folder an ordinary user can write to, while
// the removal runs elevated: what it carries of the installation's choices must not decide
// what the removal takes besides the recorded files.
TEST_F(SetupTest, ParseCommandLine_UninstallerDoesNotTakeChoicesFromItsRecord) {
  run_.Data().SetProductFile(u"Uninstall.ini",
                             "[Common]\r\nRemoveBackups=0\r\nRemoveContent=1\r\n"
                             "[Uninstall]\r\n0=Nolu.exe\r\nCount=1\r\n");
  TSetup& setup = run_.Create(u"/AUTO /SILENT");
  EXPECT_EQ(setup.Mode(), smUninstall);
  const TRuxIniFile& options = setup.Options();
  EXPECT_FALSE(options.ValueExists(u"Common", u"RemoveBackups"));
  EXPECT_FALSE(options.ValueExists(u"Common", u"RemoveContent"));
}

// --- Destination.

TEST_F(SetupTest, SetDestPath_Normalises) {
  TFakeFileSystem& files = run_.Platform().Files();
  files.AddFolder(u"C:\\Program Files (x86)");
  files.SetShortName(u"C:\\Program Files (x86)", u"PROGRA~2");
  files.AddFolder(u"C:\\Program Files (x86)\\Nolu");
  files.AddFolder(u"C:\\Work");
  files.SetCurrentFolder(u"C:\\Work");
  struct Case {
    const char16_t* path;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\Nolu", u"C:\\Nolu\\"},
      {u"C:\\Nolu\\", u"C:\\Nolu\\"},
      {u"C:\\A\\.\\B", u"C:\\A\\B\\"},
      {u"C:\\A\\..\\B\\", u"C:\\B\\"},
      {u"C:\\PROGRA~2\\Nolu", u"C:\\Program Files (x86)\\Nolu\\"},
      {u"C:\\MISSIN~1\\Nolu", u"C:\\MISSIN~1\\Nolu\\"},  // nothing to expand: kept
      {u"\\\\server\\share\\Nolu", u"\\\\server\\share\\Nolu\\"},
      // Anything that is not fully qualified depends on the current folder: made absolute.
      {u"Nolu", u"C:\\Work\\Nolu\\"},
      {u"C:/Apps/Nolu", u"C:\\Apps\\Nolu\\"},
      // The long form names the same folder; the prefix would not survive path cleaning.
      {u"\\\\?\\C:\\Nolu", u"C:\\Nolu\\"},
      {u"\\\\?\\UNC\\server\\share\\Nolu\\", u"\\\\server\\share\\Nolu\\"},
      {u"C:\\\\Apps\\\\Nolu", u"C:\\Apps\\Nolu\\"},
      // A name that begins with a dot or a blank is a name like any other.
      {u"C:\\Users\\User\\.apps\\Nolu", u"C:\\Users\\User\\.apps\\Nolu\\"},
      {u"", u""},
  };
  TSetup& setup = run_.Create();
  for (const Case& c : cases) {
    setup.SetDestPath(c.path);
    EXPECT_EQ(setup.DestPath(), c.expected) << StringToUtf8(c.path);
  }
}

TEST_F(SetupTest, SetDestPath_SameTextChangesNothing_OtherSpellingReloads) {
  TSetup& setup = run_.Create(u"/AUTO=C:\\Nolu");
  const int loads = run_.Product().load_count;
  setup.SetDestPath(u"C:\\Nolu\\");
  EXPECT_EQ(run_.Product().load_count, loads);
  setup.SetDestPath(u"C:\\Nolu");
  EXPECT_EQ(run_.Product().load_count, loads + 1);
  EXPECT_EQ(setup.DestPath(), u"C:\\Nolu\\");
}

TEST_F(SetupTest, SetDestPath_RederivesUpdateAndPortable) {
  run_.Product().Installed(u"C:\\Old\\", {5010});
  run_.Product().Installed(u"C:\\Portable\\", {5010, true});
  TSetup& setup = run_.Create(u"/AUTO=C:\\New");
  EXPECT_EQ(setup.Flags(), sfAuto);
  setup.SetDestPath(u"C:\\Old");
  EXPECT_EQ(setup.Flags(), sfAuto | sfUpdate);
  setup.SetDestPath(u"C:\\Portable");
  EXPECT_EQ(setup.Flags(), sfAuto | sfUpdate | sfPortable);
  // Leaving the copy drops the update but keeps the portable choice...
  setup.SetDestPath(u"C:\\New");
  EXPECT_EQ(setup.Flags(), sfAuto | sfPortable);
  // ...until the destination lies in a programs folder.
  setup.SetDestPath(u"C:\\Program Files\\Nolu");
  EXPECT_EQ(setup.Flags(), sfAuto);
}

TEST_F(SetupTest, IsInProgramFiles_EitherProgramsFolderIgnoringCase) {
  struct Case {
    const char16_t* dest;
    bool expected;
  } cases[] = {
      {u"C:\\Program Files (x86)\\Nolu\\", true},
      {u"C:\\Program Files\\Nolu\\", true},  // the native programs folder
      {u"c:\\program files (X86)\\nolu\\", true},
      {u"C:\\Program Files Data\\Nolu\\", false},
      {u"D:\\Program Files\\Nolu\\", false},
      {u"C:\\Nolu\\", false},
  };
  TSetup& setup = run_.Create();
  for (const Case& c : cases) {
    setup.SetDestPath(c.dest);
    EXPECT_EQ(setup.IsInProgramFiles(), c.expected) << StringToUtf8(c.dest);
    EXPECT_EQ(setup.ValidateFlags(), c.expected) << StringToUtf8(c.dest);
  }
}

// --- Flags.

TEST_F(SetupTest, Options_FixedFlagsCannotChange) {
  TSetup& setup = run_.Create(u"/AUTO=C:\\Nolu /SILENT");
  for (int bit : {0, 3}) {
    try {
      setup.SetOption(bit, false);
      ADD_FAILURE() << bit;
    } catch (const EInstallerMysteryError& e) {
      EXPECT_EQ(e.Message(), u"Invalid Arguments");
    }
  }
  EXPECT_THROW(setup.SetOptions(sfAuto), EInstallerMysteryError);
  // Setting what is set already is no change.
  setup.SetOption(0, true);
  EXPECT_EQ(setup.Flags(), sfAuto | sfSilent);
}

TEST_F(SetupTest, Options_ChangeableFlagsAreValidated) {
  TSetup& setup = run_.Create(u"/AUTO=C:\\Nolu");
  setup.SetOption(5, true);
  EXPECT_EQ(setup.Flags(), sfAuto | sfNoBackup);
  EXPECT_TRUE(setup.HasOption(5));
  setup.SetOption(1, true);
  EXPECT_TRUE(setup.HasOption(1));
  setup.SetOption(2, true);  // nothing to update here
  EXPECT_FALSE(setup.HasOption(2));
  setup.SetDestPath(u"C:\\Program Files (x86)\\Nolu");
  setup.SetOption(1, true);  // never portable in a programs folder
  EXPECT_FALSE(setup.HasOption(1));
  EXPECT_FALSE(setup.HasOption(8));
  EXPECT_FALSE(setup.HasOption(-1));
  // Bits 6 and 7 are never set, neither one by one nor together with the others.
  EXPECT_THROW(setup.SetOption(6, true), EInstallerMysteryError);
  EXPECT_FALSE(setup.HasOption(6));
  const TSetupFlags before = setup.Flags();
  for (TSetupFlags high : {TSetupFlags{0x40}, TSetupFlags{0x80}}) {
    EXPECT_THROW(setup.SetOptions(before | high), EInstallerMysteryError) << int{high};
    EXPECT_EQ(setup.Flags(), before);
  }
}

// --- The run.

TEST_F(SetupTest, Start_WithoutDestination_Raises) {
  run_.Data().SetProductFile(u"Uninstall.ini", "[Uninstall]\r\n");
  TSetup& setup = run_.Create(u"/AUTO /SILENT");
  try {
    setup.Start(true);
    FAIL();
  } catch (const EInstallerInstallError& e) {
    EXPECT_EQ(e.Message(), u"DestPath is empty");
  }
  EXPECT_EQ(setup.State(), ssIdle);
}

// Writes a file into the destination: a run that started would leave it.
class TActionWritesIntoTheDestination : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionWritesIntoTheDestination";
  void Execute() override {
    CurrentPlatform().Files().ForceFolders(nolu::Setup()->DestPath());
    OpenFileOrRaise(nolu::Setup()->DestPath() + u"written.txt", FileMode::kCreate);
  }
};

// An update or removal treats the product folder as the product's own: a drive, a system
// folder or a folder of the user's files there would go with it.
TEST_F(SetupTest, Start_RefusesAFolderThatCannotBeTheProductsOwn) {
  struct Case {
    const char16_t* dest;
    bool refused;
  } cases[] = {
      // core/protected_folders_test.cpp has the whole list; these show what Start does.
      {u"D:\\", true},
      {u"\\\\?\\D:\\", true},
      {u"C:\\Program Files (x86)", true},
      {u"C:\\Documents and Settings\\User", true},
      {u"C:\\Program Files (x86)\\Nolu", false},
      {u"C:\\Users\\User\\Desktop\\Nolu", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUtf8(c.dest));
    TFakeSetupRun run;
    run.Data().SetSetupFile(u"English.lng",
                            TFakeSetupData::LanguageFile(u"English", 1033, u"EN",
                                                         "[Common]\r\nE5=Not into \"%s\"\r\n"));
    run.Product().install_actions = {&ActionClassOf<TActionWritesIntoTheDestination>()};
    TFakeFileSystem& files = run.Platform().Files();
    files.AddDrive(u"D:");
    files.AddJunction(u"C:\\Documents and Settings", u"C:\\Users");
    const String dest = c.dest;
    run.Product().Installed(IncludeTrailingBackslash(dest), {5010});
    const StringList before = files.ListTree(u"C:\\"), before_d = files.ListTree(u"D:\\");

    TSetup& setup = run.Create(u"/AUTO=\"" + dest + u"\" /SILENT");
    EXPECT_EQ(setup.IsDestPathRefused(), c.refused);  // for the wizard to show
    if (!c.refused) {
      EXPECT_NO_THROW(setup.Start(true));
      EXPECT_EQ(setup.State(), ssFinished);
      continue;
    }
    try {
      setup.Start(true);
      ADD_FAILURE() << "not refused";
    } catch (const EInstallerInstallError& e) {
      EXPECT_EQ(e.Message(), u"Not into \"" + setup.DestPath() + u"\"");
    }
    EXPECT_EQ(setup.State(), ssIdle);
    EXPECT_EQ(files.ListTree(u"C:\\"), before);
    EXPECT_EQ(files.ListTree(u"D:\\"), before_d);
    EXPECT_FALSE(files.FileExists(setup.DestPath() + u"written.txt"));
  }
}

TEST_F(SetupTest, Start_ACorruptProductBodyEndsTheRunBeforeItsFirstAction) {
  run_.Product().install_actions = {&ActionClassOf<TActionWritesIntoTheDestination>()};
  const String params = u"/AUTO /SILENT";
  run_.Prepare(params);
  // The table copy is sound, so the start-up goes on; the body's damage shows only once it has
  // been decoded in the background.
  Bytes product = run_.Data().BuildProductPackage();
  product[product.size() / 2] ^= 0x55;
  run_.Platform().Resources().SetRcData(u"PRODUCT", product);
  TFakeFileSystem& files = run_.Platform().Files();
  const StringList before = files.ListTree(u"C:\\");

  TSetup setup(params, &TTestProductInfo::Create);
  setup.Resources().InitializeLanguages();
  EXPECT_TRUE(setup.Resources().ProductPackage().Contains(u"Nolu.exe"));
  setup.Start(true);
  EXPECT_EQ(setup.State(), ssFinished);
  EXPECT_EQ(setup.Errors(), StringList{u"Package was corrupted"});
  EXPECT_EQ(files.ListTree(u"C:\\"), before);
}

TEST_F(SetupTest, DestroyedBeforeTheProductIsDecoded_LeavesNothingRunning) {
  // A large product, so that its decoding is still running when a run cancelled on its first
  // page frees the setup object; the decoding is abandoned, and the sanitizers see no thread
  // or memory left behind.
  std::string big(1024 * 1024, '\0');
  uint32_t x = 1;
  for (char& c : big) {
    x = x * 1664525 + 1013904223;
    c = static_cast<char>(x >> 24);
  }
  run_.Data().SetProductFile(u"Nolu.exe", big);
  TSetup& setup = run_.Create(u"");
  EXPECT_TRUE(setup.Resources().ProductPackage().Contains(u"Nolu.exe"));
  run_.Destroy();
  EXPECT_EQ(nolu::Setup(), nullptr);
}

TEST_F(SetupTest, Start_ARefusedFolderWithoutALanguageTextIsStillNamed) {
  TSetup& setup = run_.Create(u"/AUTO=C:\\ /SILENT", /*initialize_languages=*/false);
  try {
    setup.Start(true);
    FAIL();
  } catch (const EInstallerInstallError& e) {
    EXPECT_NE(e.Message().find(u"\"C:\\\""), String::npos) << StringToUtf8(e.Message());
  }
}

TEST_F(SetupTest, Start_ClearsAPortableChoiceInAProgramsFolderBeforeTheRun) {
  TSetup& setup = run_.Create(u"/AUTO /PORTABLE /SILENT");
  EXPECT_TRUE(setup.Flags() & sfPortable);
  setup.Start(true);
  EXPECT_FALSE(setup.Flags() & sfPortable);
  EXPECT_EQ(setup.State(), ssFinished);
}

TEST_F(SetupTest, Start_RunsOnce) {
  TSetup& setup = run_.Create(u"/AUTO=C:\\Nolu");
  TRecordingListener listener;
  setup.AddListener(&listener);
  setup.Start(true);
  EXPECT_EQ(setup.State(), ssFinished);
  const size_t received = listener.Received.size();
  setup.Start(true);
  EXPECT_EQ(listener.Received.size(), received);
  EXPECT_EQ(setup.State(), ssFinished);
}

// --- Notifications.

TEST_F(SetupTest, Notify_ReachesListenersLastRegisteredFirst) {
  TSetup& setup = run_.Create();
  std::vector<int> order;
  struct Listener : IInstallerNotify {
    Listener(std::vector<int>& o, int i) : order(o), id(i) {}
    void Notify(uint32_t, const TNotifyParam&) override { order.push_back(id); }
    std::vector<int>& order;
    int id;
  } a(order, 1), b(order, 2), c(order, 3);
  setup.AddListener(&a);
  setup.AddListener(&b);
  setup.AddListener(&c);
  setup.RemoveListener(&b);
  setup.Notify(ncNavigation, 0);
  EXPECT_EQ(order, (std::vector<int>{3, 1}));
}

TEST_F(SetupTest, Notify_FromAWorker_IsDeliveredOnTheMainThread) {
  TSetup& setup = run_.Create();
  TRecordingListener listener;
  setup.AddListener(&listener);
  auto done = run_.Platform().Messages().NewEvent();
  std::thread worker([&] {
    setup.Notify(ncProgress, (50 << 16) | 7);
    setup.NotifyText(ncStatusText, u"Copying Nolu.exe…");
    setup.NotifyText(ncStatusText, u"");
    done->Set();
  });
  run_.Platform().Messages().WaitDispatching(*done);
  worker.join();
  EXPECT_EQ(listener.Received,
            (std::vector<TRecordedNotification>{{ncProgress, (50 << 16) | 7, u"", true},
                                                {ncStatusText, 0, u"Copying Nolu.exe…", true},
                                                {ncStatusText, 0, u"", true}}));
}

TEST_F(SetupTest, Notify_ATextFromAnotherSenderIsIgnored) {
  TSetup& setup = run_.Create();
  TRecordingListener listener;
  setup.AddListener(&listener);
  run_.Platform().Messages().SendText(setup.Handle(), ncStatusText, u"stranger", TWindowId{0x999});
  EXPECT_TRUE(listener.Received.empty());
  setup.NotifyText(ncStatusText, u"own");
  EXPECT_EQ(listener.Received.size(), 1u);
}

TEST_F(SetupTest, ListenerFailureOnAStatusText_DoesNotReachTheSender) {
  TSetup& setup = run_.Create();
  struct Throwing : IInstallerNotify {
    void Notify(uint32_t, const TNotifyParam&) override { throw Exception(u"listener"); }
  } throwing;
  setup.AddListener(&throwing);
  EXPECT_NO_THROW(setup.NotifyText(ncStatusText, u"x"));
}

TEST_F(SetupTest, Finished_WithCancel_AddsTheLocalizedAbortMessage) {
  struct Case {
    uint16_t language;
    const char16_t* expected;
  } cases[] = {
      {1033, u"Setup was aborted."},
      {1031, u"Setup wurde abgebrochen."},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    run.Platform().System().SetUserDefaultUILanguage(c.language);
    TSetup& setup = run.Create();
    // A listener (the wizard's finish page) sees the state and the error when it hears of
    // the end.
    struct Listener : IInstallerNotify {
      void Notify(uint32_t code, const TNotifyParam&) override {
        calls.push_back(code);
        state = nolu::Setup()->State();
        errors = nolu::Setup()->Errors();
      }
      std::vector<uint32_t> calls;
      TSetupState state = ssIdle;
      StringList errors;
    } listener;
    setup.AddListener(&listener);
    setup.Notify(ncFinished, 1);
    EXPECT_EQ(listener.calls, std::vector<uint32_t>{ncFinished});
    EXPECT_EQ(listener.state, ssFinished);
    EXPECT_EQ(listener.errors, StringList{c.expected});
    EXPECT_EQ(setup.Errors(), StringList{c.expected});
  }
}

TEST_F(SetupTest, Finished_WithoutCancel_AddsNothing) {
  TSetup& setup = run_.Create();
  setup.Notify(ncFinished, 0);
  EXPECT_EQ(setup.State(), ssFinished);
  EXPECT_FALSE(setup.HasErrors());
}

TEST_F(SetupTest, Finished_WithCancelAndNoLanguageText_StillRecordsAnError) {
  TSetup& setup = run_.Create(u"", /*initialize_languages=*/false);
  setup.Notify(ncFinished, 1);
  ASSERT_EQ(setup.Errors().size(), 1u);
  EXPECT_FALSE(setup.Errors()[0].empty());
}

// --- Programs started after the installation.

TEST_F(SetupTest, RunActions_StartsTheChosenProgramsAsTheDesktopUser) {
  struct Case {
    const char* what;
    const char16_t* params;
    int choice;  // -1: no choice written; else the "Actions" value
    bool add_error;
    bool uninstall;
    bool started;
  } cases[] = {
      {"default without RUN", u"/AUTO=\"C:\\Old Nolu\" /SILENT", -1, false, false, false},
      {"default of an automatic update with RUN", u"/AUTO=\"C:\\Old Nolu\" /SILENT /RUN", -1, false,
       false, true},
      {"default without update", u"/AUTO=C:\\New /SILENT /RUN", -1, false, false, false},
      {"chosen", u"", 1, false, false, true},
      {"declined", u"/AUTO=\"C:\\Old Nolu\" /SILENT /RUN", 0, false, false, false},
      {"errors", u"", 1, true, false, false},
      {"removal", u"/AUTO /SILENT", 1, false, true, false},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    run.Product().Installed(u"C:\\Old Nolu\\", {5010});
    if (c.uninstall) run.Data().SetProductFile(u"Uninstall.ini", "[Uninstall]\r\n");
    TSetup& setup = run.Create(c.params);
    if (c.choice >= 0) setup.Options().WriteBool(u"Actions", u"$DEST\\Nolu.exe", c.choice == 1);
    if (c.add_error) setup.Errors().push_back(u"failed");
    setup.RunActions();
    std::vector<TFakeLaunch> launches = run.Platform().Processes().Launches();
    ASSERT_EQ(launches.size(), c.started ? 1u : 0u) << c.what;
    if (c.started) {
      EXPECT_EQ(launches[0].File, u"C:\\Windows\\Explorer.exe") << c.what;
      EXPECT_EQ(launches[0].Parameters, u"\"" + setup.DestPath() + u"Nolu.exe\"") << c.what;
    }
  }
}

}  // namespace
}  // namespace nolu
