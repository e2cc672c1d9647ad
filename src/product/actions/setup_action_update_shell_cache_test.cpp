#include "product/actions/setup_action_update_shell_cache.h"

#include <gtest/gtest.h>

#include "core/setup.h"
#include "core/testing/fake_setup_run.h"

namespace nolu {
namespace {

TEST(SetupActionUpdateShellCacheTest, TellsTheShellAndDoesNotPause) {
  TFakeSetupRun run;
  run.Product().install_actions = {&ActionClassOf<TSetupActionUpdateShellCache>()};
  TSetup& setup = run.Create(u"/AUTO=\"C:\\Nolu\"");
  setup.Start(true);
  EXPECT_EQ(setup.Errors(), StringList{});
  const std::vector<TFakeChangeNotify> sent = run.Platform().Shell().ChangeNotifications();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].Event, 0x08000000u);  // SHCNE_ASSOCCHANGED
  EXPECT_EQ(sent[0].Flags, 0x1000u);      // SHCNF_FLUSH
  // SHCNF_FLUSH has waited for the delivery already.
  EXPECT_EQ(run.Platform().System().SleepCount(), 0);
}

}  // namespace
}  // namespace nolu
