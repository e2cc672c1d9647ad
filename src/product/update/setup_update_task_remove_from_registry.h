// TSetupUpdateTaskRemoveFromRegistry: undoes the product's registration with the system (its
// own "Elevator.exe /REG=U") and deletes its uninstall entry.
#pragma once

#include "product/update/setup_update_task.h"

namespace nolu {

class TSetupUpdateTaskRemoveFromRegistry : public TSetupUpdateTask {
 public:
  // Waits for "Elevator.exe" to end; a program that is missing or fails to start is passed
  // over.
  void Execute(StringList* removal_list) override;
};

}  // namespace nolu
