#include "product/update/setup_update_task_remove_from_registry.h"

#include <gtest/gtest.h>

#include "core/setup.h"
#include "core/testing/fake_setup_run.h"

namespace nolu {
namespace {

TRegKey UninstallKey(StringView name) {
  return TRegKey(RegRoot::kLocalMachine, RegView::k32,
                 u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall")
      .Child(name);
}

TEST(RemoveFromRegistryTest, RunsTheRegistrationProgramQuotedAndDeletesTheEntry) {
  TFakeSetupRun run;
  run.Create(u"/AUTO=\"C:\\Program Files (x86)\\Nolu\" /SILENT");
  TFakePlatform& platform = run.Platform();
  const String elevator = u"C:\\Program Files (x86)\\Nolu\\Elevator.exe";
  platform.Files().AddFile(elevator, "MZ");
  bool entry_present_while_running = false;
  platform.Processes().SetProgram(elevator, [&](const TFakeLaunch&) {
    entry_present_while_running = platform.Registry().KeyExists(UninstallKey(u"Nolu"));
    return 0u;
  });
  platform.Registry().CreateKey(UninstallKey(u"Nolu"));
  platform.Registry().CreateKey(UninstallKey(u"Other"));

  TSetupUpdateTaskRemoveFromRegistry().Execute(nullptr);

  const auto launches = platform.Processes().Launches();
  ASSERT_EQ(launches.size(), 1u);
  // Quoted: the system must not try "C:\Program.exe" first.
  EXPECT_EQ(launches[0].CommandLine, u"\"" + elevator + u"\" /REG=U");
  EXPECT_EQ(launches[0].Parameters, u"/REG=U");
  EXPECT_EQ(launches[0].Folder, u"C:\\Program Files (x86)\\Nolu\\");
  EXPECT_TRUE(entry_present_while_running);
  EXPECT_FALSE(platform.Registry().KeyExists(UninstallKey(u"Nolu")));
  EXPECT_TRUE(platform.Registry().KeyExists(UninstallKey(u"Other")));
}

TEST(RemoveFromRegistryTest, MissingProgram_TheEntryGoesAllTheSame) {
  TFakeSetupRun run;
  run.Create(u"/AUTO=C:\\Nolu /SILENT");
  run.Platform().Registry().CreateKey(UninstallKey(u"Nolu"));
  EXPECT_NO_THROW(TSetupUpdateTaskRemoveFromRegistry().Execute(nullptr));
  EXPECT_FALSE(run.Platform().Registry().KeyExists(UninstallKey(u"Nolu")));
}

}  // namespace
}  // namespace nolu
