#include "product/actions/setup_action_uninstall_integration.h"

#include "base/errors.h"
#include "product/internal/rounded_percent.h"
#include "product/update/setup_update_task_remove_from_registry.h"
#include "product/update/setup_update_task_remove_shell_menu.h"
#include "product/update/setup_update_task_remove_shortcuts.h"

namespace nolu {

TSetupActionUninstallIntegration::TSetupActionUninstallIntegration() {
  update_tasks_.push_back(std::make_unique<TSetupUpdateTaskRemoveShellMenu>());
  update_tasks_.push_back(std::make_unique<TSetupUpdateTaskRemoveShortcuts>());
  update_tasks_.push_back(std::make_unique<TSetupUpdateTaskRemoveFromRegistry>());
}

void TSetupActionUninstallIntegration::Execute() {
  SetStatus(GetCommonString(u"A9"));
  const size_t count = update_tasks_.size();
  for (size_t i = 0; i < count; ++i) {
    try {
      update_tasks_[i]->Execute(nullptr);
    } catch (const Exception&) {
      // Best effort, like every step of the removal: a registration that cannot be undone
      // must not keep the product's files on the disk.
    }
    SetProgress(RoundedPercent(i + 1, count));
  }
}

}  // namespace nolu
