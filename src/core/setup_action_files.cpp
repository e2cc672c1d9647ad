// The file operations of TSetupAction: extraction through the setup object's extraction
// writer, and the uninstall record.
#include "base/path.h"
#include "core/file_operations.h"
#include "core/setup.h"
#include "core/setup_action.h"
#include "core/setup_app_repo.h"
#include "core/setup_extract_helper.h"
#include "core/setup_uninstall_record.h"
#include "platform/platform.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// What the file takes on the disk as the programs list counts it; a file that is not there
// (its extraction was skipped) takes nothing.
uint64_t FileSize(StringView path) {
  TOpenResult opened = CurrentPlatform().Files().OpenFile(path, FileMode::kOpenRead);
  return opened.Stream ? static_cast<uint64_t>(opened.Stream->Size()) : 0;
}

}  // namespace

void TSetupAction::ExtractFile(const TSetupScriptFile& file) {
  Setup()->ExtractHelper().ExtractFile(file);
}

void TSetupAction::ForceDir(StringView path) {
  Setup()->ExtractHelper().ForceDir(path);
}

void TSetupAction::WriteUninstallData(StringView dir, const std::vector<TSetupScriptFile>& files) {
  TSetup& setup = *Setup();
  const String exe = IncludeTrailingBackslash(dir) + u"Uninstall.exe";
  const String dat = ChangeFileExt(exe, u".dat");
  // The folder exists once a file was extracted; a product without files for the run's
  // language still gets its uninstaller.
  ForceDir(dir);
  CopyFileOrRaise(CurrentPlatform().System().ModuleFileName(), exe);

  TSetupUninstallRecord record(setup.Resources(), setup.DestPath());
  record.CopyOptions(setup.Options());
  for (const TSetupScriptFile& file : files)
    record.AddUninstallEntry(file.Name);
  record.AddUninstallEntry(dat);
  record.AddUninstallEntry(exe);
  record.BuildUninstallPackage(dat);

  // A portable copy leaves no trace in the system's programs list.
  if (setup.Flags() & sfPortable) return;
  uint64_t installed = FileSize(exe) + FileSize(dat);
  for (const TSetupScriptFile& file : files)
    installed += FileSize(setup.Resources().ExpandPath(file.Name));
  TSetupProductInfo& info = setup.ProductInfo();
  TSetupAppRepo::Register(info.GetProductName(), exe, info.GetProductVersionNo(),
                          info.GetPublisher(), info.GetHomePage(), installed);
}

}  // namespace nolu
