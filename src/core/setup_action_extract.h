// TSetupActionExtract: the engine's own action that copies the product's files out of the
// packages into the destination, then leaves the uninstall record there.
#pragma once

#include <vector>

#include "core/setup_action.h"
#include "resources/setup_script_file.h"

namespace nolu {

class TSetupActionExtract : public TSetupAction {
 public:
  static constexpr const char16_t* kClassName = u"TSetupActionExtract";

  // Status "A4"; every file of the list, the progress raised before each; status "A7"; the
  // uninstall record for the destination.
  void Execute() override;

  // The script's Components entries whose language family is empty or the run's, in script
  // order: what is extracted and what the record lists.
  std::vector<TSetupScriptFile> CreateFileList() const;
};

}  // namespace nolu
