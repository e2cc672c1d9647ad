#include "core/setup_action_extract.h"

#include "base/locale.h"
#include "core/setup.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// The script of a product holds a few hundred files; one allocation covers them.
constexpr size_t kFileListCapacity = 512;

}  // namespace

void TSetupActionExtract::Execute() {
  SetStatus(GetCommonString(u"A4"));
  const std::vector<TSetupScriptFile> files = CreateFileList();
  const size_t count = files.size();
  for (size_t i = 0; i < count; ++i) {
    // Raised before the file is written, so the first file already shows 100 / count.
    SetProgress(static_cast<int>((i + 1) * 100 / count));
    ExtractFile(files[i]);
  }
  SetStatus(GetCommonString(u"A7"));
  WriteUninstallData(Setup()->DestPath(), files);
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
