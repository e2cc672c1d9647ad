// TSetupUpdateTask: one small clean-up or migration step that knows the product's history —
// where earlier versions left shell extensions, uninstall entries, shortcuts and how their
// configuration files were named. The preparation action runs its tasks during an
// installation, between collecting what is left of the old copy and deleting it; the removal
// runs three of them without a removal list.
#pragma once

#include <memory>
#include <vector>

#include "base/text.h"
#include "core/setup_action.h"

namespace nolu {

class TSetupUpdateTask : public TSetupPersistent {
 public:
  // `removal_list` holds the full paths of the files that the preparation action deletes
  // afterwards; a task may add paths or take some out. Null during a removal.
  virtual void Execute(StringList* removal_list) = 0;
};

using TSetupUpdateTaskList = std::vector<std::unique_ptr<TSetupUpdateTask>>;

}  // namespace nolu
