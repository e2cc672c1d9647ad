// TSetupUpdateTaskRemoveShellMenu: unregisters and deletes the shell-menu libraries of the
// product ("System\nolu_menu32.dll", "System\nolu_menu64.dll").
#pragma once

#include "product/update/setup_update_task.h"

namespace nolu {

class TSetupUpdateTaskRemoveShellMenu : public TSetupUpdateTask {
 public:
  // A library that cannot be loaded into this process (the other processor width) is only
  // deleted; one in use is deleted at the next restart.
  void Execute(StringList* removal_list) override;
};

}  // namespace nolu
