// TSetupExtractHelper: writes the product's files to their targets, coping with files that
// are in use (same content: left alone; renamable: moved aside to ".bak"; locked: the user is
// asked to retry, ignore or abort, on the main thread while the worker waits).
#pragma once

#include <memory>

#include "base/format.h"
#include "base/stream.h"
#include "base/text.h"
#include "resources/setup_script_file.h"

namespace nolu {

class TSetupExtractHelper {
 public:
  TSetupExtractHelper() = default;
  TSetupExtractHelper(const TSetupExtractHelper&) = delete;
  TSetupExtractHelper& operator=(const TSetupExtractHelper&) = delete;

  // Writes one script entry to its expanded target; raises EInstallerInstallError with the
  // target, CR LF and the cause.
  void ExtractFile(const TSetupScriptFile& file);
  // Creates the folder with its parents, or raises EInstallerInstallError "Common"/"E3". A
  // product folder made on the way gets its access list (core/product_folder.h).
  void ForceDir(StringView path);
  // Opens `target` for writing (true, `stream` set) or decides to leave the existing file as
  // it is (false).
  bool CreateTargetStream(StringView target, TStream& source, std::unique_ptr<TStream>& stream);
  // The "Common" string `key` (variables expanded) as a template for `args`.
  String FormatString(StringView key, std::initializer_list<FormatArg> args);
};

}  // namespace nolu
