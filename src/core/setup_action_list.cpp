#include "core/setup_action_list.h"

namespace nolu {

int TSetupActionList::Progress() const {
  if (items_.empty()) return 0;
  int64_t sum = 0;
  for (const auto& action : items_)
    sum += action->Progress();
  return static_cast<int>(sum / static_cast<int64_t>(items_.size()));
}

}  // namespace nolu
