#include "product/update/setup_update_task_remove_uninstall_info.h"

#include "base/path.h"
#include "core/setup.h"
#include "core/setup_app_repo.h"

namespace nolu {

void TSetupUpdateTaskRemoveUninstallInfo::Execute(StringList* /*removal_list*/) {
  const String& dest = Setup()->DestPath();
  for (StringView name : {u"Nolu3", u"Nolu"}) {
    String folder;
    RegView view = TSetupAppRepo::kEntryView;
    // The entry is deleted in the registry view it was found in.
    if (TSetupAppRepo::FindInstallPath(name, folder, view) && PathStartsWith(folder, dest)) {
      WaitForThePackageChecks();
      TSetupAppRepo::Unregister(name, view);
    }
  }
}

}  // namespace nolu
