// TSetupActionUpdateShellCache: tells the shell that file associations changed, so that
// Explorer shows the new icons and "Open with" entries without a new sign-in. Part of the
// run only on Windows 10 and later.
#pragma once

#include "core/setup_action.h"

namespace nolu {

class TSetupActionUpdateShellCache : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TSetupActionUpdateShellCache";

  // SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH), which returns once it was delivered.
  void Execute() override;
};

}  // namespace nolu
