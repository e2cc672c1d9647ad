#include "product/actions/setup_action_update_shell_cache.h"

#include "platform/platform.h"

namespace nolu {

void TSetupActionUpdateShellCache::Execute() {
  // SHCNF_FLUSH returns only when the shell has received the notification; nothing is
  // gained by waiting longer.
  CurrentPlatform().Shell().ChangeNotify(kShcneAssocChanged, kShcnfFlush);
}

}  // namespace nolu
