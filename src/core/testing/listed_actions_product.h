// A product with nothing installed whose runs have exactly the actions a test lists: for the
// tests that create the setup object themselves on the real platform, where TFakeSetupRun and
// its fake product do not fit.
#pragma once

#include <memory>
#include <vector>

#include "core/setup_action.h"
#include "core/setup_product_info.h"

namespace nolu {

class TListedActionsProduct : public TSetupProductInfo {
 public:
  using TActionList = std::vector<const TSetupActionClass*>;

  // The actions of the runs of products created from now on, in order.
  static void SetActions(TActionList actions) { Actions() = std::move(actions); }
  static std::unique_ptr<TSetupProductInfo> Create() {
    return std::make_unique<TListedActionsProduct>();
  }

  bool CanUpdate() override { return false; }
  bool IsPortable() override { return false; }
  int GetInstalledVersion() override { return 0; }
  void LoadInstalledInfo() override {}
  void PopulateActions(const TActionClassCallback& callback) override {
    for (const TSetupActionClass* action : Actions())
      callback(*action);
  }
  void PopulatePages(const TPageClassCallback&) override {}

 private:
  // The setup object creates its product through a plain factory, so the list cannot travel
  // with it.
  static TActionList& Actions() {
    static TActionList actions;
    return actions;
  }
};

}  // namespace nolu
