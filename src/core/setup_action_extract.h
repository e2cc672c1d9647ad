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
  // uninstall record for the destination. In a first installation the files are written while
  // the product package decodes and the record only after its checks passed; a failed check
  // removes every file and folder the extraction made and raises the package's error.
  void Execute() override;
  // It waits for the checks itself, after its files.
  bool RunsBeforeThePackageIsChecked() const override { return true; }

  // The script's Components entries whose language family is empty or the run's, in script
  // order: what is extracted and what the record lists.
  std::vector<TSetupScriptFile> CreateFileList() const;

 private:
  void ExtractFiles(const std::vector<TSetupScriptFile>& files);
  void ExtractWhileDecoding(const std::vector<TSetupScriptFile>& files);
};

}  // namespace nolu
