// TSetupActionUninstallIntegration: the removal's undoing of what the product registered with
// the system, before its files go: the shell-menu libraries (unregistered and deleted), the
// shortcuts and start-menu folders, the product's own registration ("Elevator.exe /REG=U")
// and its uninstall entry. Three update tasks do the work, in that order.
#pragma once

#include "core/setup_action.h"
#include "product/update/setup_update_task.h"

namespace nolu {

class TSetupActionUninstallIntegration : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TSetupActionUninstallIntegration";

  TSetupActionUninstallIntegration();

  // Shows "Common"/"A9" and runs the tasks without a removal list, reporting progress after
  // each. A task that fails is passed over: the files are still to be removed.
  void Execute() override;

  const TSetupUpdateTaskList& UpdateTasks() const { return update_tasks_; }

 private:
  TSetupUpdateTaskList update_tasks_;
};

}  // namespace nolu
