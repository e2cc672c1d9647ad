// TSetupActionConfig: writes the product's configuration file "Nolu.ini" in the destination
// folder: the integration choices of the run and a fresh section "System" (a new ID, the
// chosen language, normal or portable mode, the version installed). Whatever else the file
// holds — the user's own settings — is kept. Runs in every installation, updates included.
#pragma once

#include "core/setup_action.h"

namespace nolu {

class TSetupActionConfig : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TSetupActionConfig";

  // A file that cannot be read or written stays as it was and the run goes on: the product
  // starts with the settings it has rather than the installation failing at its last steps.
  void Execute() override;
};

}  // namespace nolu
