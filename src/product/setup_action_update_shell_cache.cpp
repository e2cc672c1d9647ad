#include "product/setup_action_update_shell_cache.h"

#include "platform/platform.h"

namespace nolu {

void TSetupActionUpdateShellCache::Execute() {
  TPlatform& platform = CurrentPlatform();
  platform.Shell().ChangeNotify(kShcneAssocChanged, kShcnfFlush);
  // The shell rebuilds its caches on its own threads; the pause gives it that time before
  // the finish page offers to start the product.
  platform.System().Sleep(1000);
}

}  // namespace nolu
