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

namespace nolu {

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
  TSetupProductInfo& info = setup.ProductInfo();
  TSetupAppRepo::Register(info.GetProductName(), exe, info.GetProductVersionNo(),
                          info.GetPublisher(), info.GetHomePage());
}

}  // namespace nolu
