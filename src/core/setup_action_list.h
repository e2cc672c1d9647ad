// TSetupActionList: the actions of one run, in run order. It owns them.
#pragma once

#include <memory>
#include <vector>

#include "core/setup_action.h"

namespace nolu {

class TSetupActionList {
 public:
  void Add(std::unique_ptr<TSetupAction> action) { items_.push_back(std::move(action)); }
  int Count() const { return static_cast<int>(items_.size()); }
  TSetupAction& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }

  // The run's overall progress: the sum of the actions' progress divided by their number,
  // rounded down; 0 for an empty list.
  int Progress() const;

 private:
  std::vector<std::unique_ptr<TSetupAction>> items_;
};

}  // namespace nolu
