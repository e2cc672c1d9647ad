// TSetupExtractHelper: writes the product's files to their targets, coping with files that
// are in use (same content: left alone; renamable: moved aside to ".bak"; locked: the user is
// asked to retry, ignore or abort, on the main thread while the worker waits).
#pragma once

#include <memory>
#include <span>

#include "base/format.h"
#include "base/stream.h"
#include "base/text.h"
#include "resources/setup_script_file.h"

namespace nolu {

class TExtractJournal;

class TSetupExtractHelper {
 public:
  TSetupExtractHelper() = default;
  TSetupExtractHelper(const TSetupExtractHelper&) = delete;
  TSetupExtractHelper& operator=(const TSetupExtractHelper&) = delete;

  // Writes one script entry to its expanded target; raises EInstallerInstallError with the
  // target, CR LF and the cause.
  void ExtractFile(const TSetupScriptFile& file);
  // While a journal is set, the product's files inside the destination are written as soon as
  // their bytes are decoded, before the package's checks, and every file and folder made is
  // noted in it, so that a failed check can take them back. A file outside the destination
  // may replace someone's: it waits for the checks first. Null: none (the default).
  void SetJournal(TExtractJournal* journal) { journal_ = journal; }
  // Creates the folder with its parents, or raises EInstallerInstallError "Common"/"E3". A
  // product folder made on the way gets its access list (core/product_folder.h).
  void ForceDir(StringView path);
  // Opens `target` for writing (true, `stream` set) or decides to leave the existing file as
  // it is (false).
  bool CreateTargetStream(StringView target, TStream& source, std::unique_ptr<TStream>& stream);
  // The "Common" string `key` (variables expanded) as a template for `args`.
  String FormatString(StringView key, std::initializer_list<FormatArg> args);

 private:
  // The entry's bytes: unchecked only while journaling a file in the destination.
  std::span<const uint8_t> EntryBytes(StringView target, StringView name);

  TExtractJournal* journal_ = nullptr;
};

}  // namespace nolu
