#include "product/actions/setup_action_uninstall_integration.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/setup.h"
#include "core/testing/fake_setup_run.h"
#include "product/actions/setup_action_uninstall_files.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

constexpr char16_t kDest[] = u"C:\\Nolu\\";
constexpr char16_t kElevator[] = u"C:\\Nolu\\Elevator.exe";
constexpr char16_t kMenu[] = u"C:\\Nolu\\System\\nolu_menu64.dll";
constexpr char16_t kShortcut[] = u"C:\\Users\\Public\\Desktop\\Nolu.lnk";

TRegKey UninstallEntry() {
  return TRegKey(RegRoot::kLocalMachine, RegView::k32,
                 u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nolu");
}

// An installed copy in C:\Nolu\ with its shell menu, a shortcut and its uninstall entry, and the
// uninstaller's two product actions.
class UninstallIntegrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    run.Data().SetSetupFile(u"English.lng",
                            TFakeSetupData::LanguageFile(u"English", 1033, u"EN",
                                                         "[Common]\r\nA9=Removing Nolu...\r\n"));
    run.Data().SetProductFile(u"Uninstall.ini",
                              "[Uninstall]\r\nCount=3\r\n0=Nolu.exe\r\n1=Elevator.exe\r\n"
                              "2=System\\nolu_menu64.dll\r\n");
    run.Product().uninstall_actions = {&ActionClassOf<TSetupActionUninstallIntegration>(),
                                       &ActionClassOf<TSetupActionUninstallFiles>()};
    for (StringView file : {u"Nolu.exe", u"Elevator.exe", u"System\\nolu_menu64.dll"})
      Files().AddFile(kDest + String(file), "MZ");
    Files().AddFile(kShortcut, "link");
    run.Platform().Registry().CreateKey(UninstallEntry());
  }

  TFakeFileSystem& Files() { return run.Platform().Files(); }

  TSetup& Start() {
    TSetup& setup = run.Create(u"/AUTO /SILENT");
    setup.SetDestPath(kDest);
    setup.AddListener(&listener);
    setup.Start(true);
    return setup;
  }

  TRecordingListener listener;  // outlives the setup object that calls it
  TFakeSetupRun run;
};

TEST_F(UninstallIntegrationTest, UndoesTheRegistrationWhileTheFilesAreStillThere) {
  bool program_present_while_registering = false;
  run.Platform().Processes().SetProgram(kElevator, [&](const TFakeLaunch&) {
    program_present_while_registering = Files().FileExists(u"C:\\Nolu\\Nolu.exe");
    return 0u;
  });
  run.Platform().Processes().SetLibrary(kMenu, [](std::string_view) { return 0u; });

  TSetup& setup = Start();

  EXPECT_EQ(setup.Errors(), StringList{});
  const auto calls = run.Platform().Processes().ExportCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Library, kMenu);
  EXPECT_EQ(calls[0].Export, "DllUnregisterServer");
  const auto launches = run.Platform().Processes().Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].CommandLine, u"\"" + String(kElevator) + u"\" /REG=U");
  EXPECT_TRUE(program_present_while_registering);
  EXPECT_FALSE(Files().FileExists(kShortcut));
  EXPECT_FALSE(run.Platform().Registry().KeyExists(UninstallEntry()));
  EXPECT_FALSE(Files().FileExists(u"C:\\Nolu\\Nolu.exe"));
  EXPECT_FALSE(Files().FolderExists(u"C:\\Nolu\\System\\"));

  // Both actions show the removal's text; the integration's own progress is one step per task.
  int status_texts = 0;
  for (const TRecordedNotification& n : listener.Received) {
    if (n.Code == ncStatusText && n.Text == u"Removing Nolu...") ++status_texts;
  }
  EXPECT_EQ(status_texts, 2);
  std::vector<int> current;
  for (const auto& [overall, step] : listener.Progress())
    current.push_back(step);
  const std::vector<int> integration_steps = {33, 67, 100};
  EXPECT_NE(std::search(current.begin(), current.end(), integration_steps.begin(),
                        integration_steps.end()),
            current.end());
}

TEST_F(UninstallIntegrationTest, ATaskThatFailsDoesNotKeepTheRestOrTheFiles) {
  run.Platform().Processes().SetLibrary(kMenu, [](std::string_view) -> uint32_t {
    throw EInstallerGeneralError(u"the menu library does not load");
  });

  TSetup& setup = Start();

  EXPECT_EQ(setup.Errors(), StringList{});
  EXPECT_FALSE(Files().FileExists(kShortcut));
  EXPECT_FALSE(run.Platform().Registry().KeyExists(UninstallEntry()));
  EXPECT_FALSE(Files().FileExists(u"C:\\Nolu\\Nolu.exe"));
  EXPECT_FALSE(Files().FileExists(kElevator));
}

}  // namespace
}  // namespace nolu
