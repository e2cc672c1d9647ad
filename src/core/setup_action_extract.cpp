#include "core/setup_action_extract.h"

#include <exception>

#include "base/locale.h"
#include "core/extract_journal.h"
#include "core/setup.h"
#include "core/setup_extract_helper.h"
#include "core/setup_thread.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// The script of a product holds a few hundred files; one allocation covers them.
constexpr size_t kFileListCapacity = 512;

}  // namespace

void TSetupActionExtract::Execute() {
  SetStatus(GetCommonString(u"A4"));
  const std::vector<TSetupScriptFile> files = CreateFileList();
  const TSetupThread* thread = Setup()->Thread();
  if (thread && thread->ExtractsWhileDecoding()) {
    ExtractWhileDecoding(files);
  } else {
    ExtractFiles(files);
  }
  SetStatus(GetCommonString(u"A7"));
  WriteUninstallData(Setup()->DestPath(), files);
}

void TSetupActionExtract::ExtractFiles(const std::vector<TSetupScriptFile>& files) {
  const size_t count = files.size();
  for (size_t i = 0; i < count; ++i) {
    // Raised before the file is written, so the first file already shows 100 / count.
    SetProgress(static_cast<int>((i + 1) * 100 / count));
    ExtractFile(files[i]);
  }
}

void TSetupActionExtract::ExtractWhileDecoding(const std::vector<TSetupScriptFile>& files) {
  TExtractJournal journal;
  TSetupExtractHelper& helper = Setup()->ExtractHelper();
  helper.SetJournal(&journal);
  std::exception_ptr failure;
  try {
    ExtractFiles(files);
  } catch (...) {
    failure = std::current_exception();
  }
  helper.SetJournal(nullptr);
  // Whatever stopped the files, a package that fails its checks is the run's error (the
  // decoding's error may be what stopped them), and nothing written from it stays.
  try {
    Resources().ProductPackage().Wait();
  } catch (...) {
    journal.Undo();
    throw;
  }
  if (failure) std::rethrow_exception(failure);
}

std::vector<TSetupScriptFile> TSetupActionExtract::CreateFileList() const {
  const String family = Resources().GetLanguageFamily();
  const TSetupScriptGroup& components = Script().Components();
  std::vector<TSetupScriptFile> files;
  files.reserve(kFileListCapacity);
  for (size_t i = 0; i < components.Count(); ++i) {
    const TSetupScriptFile& file = components.Items(i);
    if (file.LangFamily.empty() || EqualsIgnoreCase(file.LangFamily, family)) {
      files.push_back(file);
    }
  }
  return files;
}

}  // namespace nolu
