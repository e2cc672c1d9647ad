// TSetupUpdateTaskRemoveUninstallInfo: deletes the system uninstall entries of earlier versions
// ("Nolu3", "Nolu") that point into the destination folder. Entries of copies installed
// elsewhere stay: those copies are still there.
#pragma once

#include "product/update/setup_update_task.h"

namespace nolu {

class TSetupUpdateTaskRemoveUninstallInfo : public TSetupUpdateTask {
 public:
  void Execute(StringList* removal_list) override;
};

}  // namespace nolu
