#include "product/actions/setup_action_addons_install.h"

#include <gtest/gtest.h>

#include "base/path.h"
#include "core/setup.h"
#include "core/testing/fake_setup_run.h"
#include "core/testing/watched_file_system.h"
#include "platform/error_codes.h"
#include "product/options/addons_info.h"
#include "product/options/product_options.h"
#include "product/testing/product_test_data.h"

namespace nolu {
namespace {

constexpr char16_t kTemp[] = u"C:\\Users\\User\\AppData\\Local\\Temp\\";

TAddonsInfo TestInfo() {
  return TAddonsInfo({u"P1=/NOASSOC", u"p2=/VIEWER", u"P3=/SHORTCUTS", u"P4=LumoSetup.exe",
                      u"CL=/S %s/SOURCE=nolu", u"P2=/SECOND"});
}

TEST(AddonsInfoTest, ValueIsTheFirstLineOfThatNameIgnoringCase) {
  const TAddonsInfo info = TestInfo();
  EXPECT_EQ(info.Value(u"P2"), u"/VIEWER");
  EXPECT_EQ(info.Value(u"cl"), u"/S %s/SOURCE=nolu");  // only the first "=" separates
  EXPECT_EQ(info.Value(u"I0"), u"");
  EXPECT_EQ(TAddonsInfo({u"=x", u"P1"}).Value(u"P1"), u"");  // a line without "=" has no value
}

TEST(SetupActionAddonsInstallTest, ParametersPutTheChosenPiecesIntoTheFormat) {
  struct Case {
    TAddonChoices choices;
    const char16_t* parameters;
  } cases[] = {
      // Associations not wanted: P1 comes first.
      {{.AddonsViewer = true}, u"/S /NOASSOC /VIEWER /SOURCE=nolu"},
      {{.AddonsViewer = true, .AddonsExtensions = true}, u"/S /VIEWER /SOURCE=nolu"},
      {{.AddonsViewer = true, .AddonsExtensions = true, .AddonsShortcuts = true},
       u"/S /VIEWER /SHORTCUTS /SOURCE=nolu"},
      {{.AddonsExtensions = true}, u"/S /SOURCE=nolu"},
      {{.AddonsShortcuts = true}, u"/S /NOASSOC /SHORTCUTS /SOURCE=nolu"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TSetupActionAddonsInstall::Parameters(TestInfo(), c.choices), c.parameters);
  }
  // The pieces alone, with their blanks.
  const TAddonsInfo bare({u"P1=a", u"P2=b", u"P3=c", u"CL=%s"});
  EXPECT_EQ(TSetupActionAddonsInstall::Parameters(bare, {.AddonsViewer = true}), u"a b ");
}

class SetupActionAddonsInstallRunTest : public ::testing::Test {
 protected:
  SetupActionAddonsInstallRunTest() {
    run_.Data() = ProductTestData();
    run_.Product().install_actions = {&ActionClassOf<TSetupActionAddonsInstall>()};
  }

  // Runs the action alone in an interactive installation with the "Common" options given.
  TSetup& Run(StringView common) {
    TSetup& setup = run_.Create(u"");
    setup.SetDestPath(u"C:\\Nolu\\");
    setup.Options().WriteSectionText(u"Common", common);
    setup.Start(true);
    return setup;
  }

  TFakeSetupRun run_;
};

TEST_F(SetupActionAddonsInstallRunTest, NothingChosen_ReadsNothingAndStartsNothing) {
  // Without the description in the package any read would fail the run.
  run_.Data().RemoveSetupFile(u"addons.ini");
  run_.Data().RemoveSetupFile(u"LumoSetup.exe");
  TSetup& setup = Run(u"AddonsViewer=0");
  EXPECT_EQ(setup.Errors(), StringList{});
  EXPECT_TRUE(run_.Platform().Processes().Launches().empty());
}

// The installer runs elevated: it goes into a folder of the run's own that only
// administrators may use, under a name nobody could guess, is held unchanged until it has
// started, and starts in the system folder rather than the caller's.
TEST_F(SetupActionAddonsInstallRunTest, SavesTheInstallerInAPrivateFolderAndStartsIt) {
  TFakeFileSystem& files = run_.Platform().Files();
  // Another user's program left where a fixed name would have put the installer.
  files.AddFile(String(kTemp) + u"LumoSetup.exe", "someone else's", kAttrReadOnly);
  run_.Platform().Files().SetCurrentFolder(u"C:\\Users\\User\\Downloads");
  // Between the writing and the start, someone tries to change the installer.
  TWatchedPlatform watched(run_.Platform());
  PlatformScope scope(watched);
  run_.Platform().System().QueueRandomBytes(Bytes(16, 0x5A));
  const String known = String(kTemp) + u"Setup-5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a\\LumoSetup.exe";
  uint32_t write_before_start = kErrorSuccess;
  watched.Files().Before(u"MoveOnReboot", known, [&] {
    write_before_start = files.OpenFile(known, FileMode::kOpenReadWrite).Error;
  });

  TSetup& setup = Run(u"AddonsViewer=1");

  EXPECT_EQ(setup.Errors(), StringList{});
  EXPECT_EQ(files.FileText(String(kTemp) + u"LumoSetup.exe"), "someone else's");
  const std::vector<TFakeLaunch> launches = run_.Platform().Processes().Launches();
  ASSERT_EQ(launches.size(), 1u);
  const String folder = ExtractFilePath(launches[0].File);
  EXPECT_TRUE(StartsWith(folder, String(kTemp) + u"Setup-")) << StringToUtf8(folder);
  EXPECT_EQ(folder.size(), String(kTemp).size() + 6 + 32 + 1);
  EXPECT_EQ(ExtractFileName(launches[0].File), u"LumoSetup.exe");
  EXPECT_EQ(files.FileText(launches[0].File), kTestAddonInstaller);
  TAccessList access;
  ASSERT_EQ(files.ReadAccessList(folder, access), kErrorSuccess);
  EXPECT_EQ(access, AccessListOf(TFolderAccess::kAdministrators));
  EXPECT_EQ(launches[0].File, known);
  EXPECT_EQ(write_before_start, kErrorSharingViolation);
  EXPECT_EQ(launches[0].How, TFakeLaunch::Via::kShellExecute);
  EXPECT_EQ(launches[0].Verb, u"");
  EXPECT_EQ(launches[0].Parameters, u"/S /NOASSOC /VIEWER /SOURCE=nolu");
  EXPECT_EQ(launches[0].Folder, u"C:\\Windows\\System32\\");
  EXPECT_EQ(launches[0].Show, kSwShowNormal);
  // Both go at the next restart, the folder once it is empty.
  EXPECT_EQ(files.RebootOperations(),
            (std::vector<TRebootOperation>{{launches[0].File, u""},
                                           {ExcludeTrailingBackslash(folder), u""}}));
}

TEST_F(SetupActionAddonsInstallRunTest, TheInstallerPathHasLongFolderNames) {
  TFakeFileSystem& files = run_.Platform().Files();
  files.AddFolder(u"C:\\Users\\Long User Name\\AppData\\Local\\Temp");
  files.SetShortName(u"C:\\Users\\Long User Name", u"LONGUS~1");
  files.SetTempFolder(u"C:\\Users\\LONGUS~1\\AppData\\Local\\Temp\\");
  Run(u"AddonsShortcuts=1");
  const std::vector<TFakeLaunch> launches = run_.Platform().Processes().Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_TRUE(
      StartsWith(launches[0].File, u"C:\\Users\\Long User Name\\AppData\\Local\\Temp\\Setup-"))
      << StringToUtf8(launches[0].File);
}

TEST(SetupActionAddonsInstallMissingTest, MissingPackageEntriesEndTheRunWithTheirNames) {
  struct Case {
    const char16_t* removed;
    const char16_t* error;
  } cases[] = {
      {u"addons.ini", u"Cannot locate \"addons.ini\" file in setup archive"},
      {u"LumoSetup.exe", u"Cannot locate \"LumoSetup.exe\" file in setup archive"},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    run.Data() = ProductTestData();
    run.Data().RemoveSetupFile(c.removed);
    run.Product().install_actions = {&ActionClassOf<TSetupActionAddonsInstall>()};
    TSetup& setup = run.Create(u"");
    setup.SetDestPath(u"C:\\Nolu\\");
    setup.Options().WriteBool(u"Common", u"AddonsExtensions", true);
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{c.error});
    EXPECT_TRUE(run.Platform().Processes().Launches().empty());
  }
}

}  // namespace
}  // namespace nolu
