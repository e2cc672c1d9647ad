// TSetupUpdateTaskRemoveShortcuts: deletes the product's desktop shortcuts and start-menu
// folders, of the current user and of all users; for installed versions before 4.00 also
// those of the older name "Nolu3".
#pragma once

#include "product/update/setup_update_task.h"

namespace nolu {

class TSetupUpdateTaskRemoveShortcuts : public TSetupUpdateTask {
 public:
  void Execute(StringList* removal_list) override;
};

}  // namespace nolu
