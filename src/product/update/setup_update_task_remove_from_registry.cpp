#include "product/update/setup_update_task_remove_from_registry.h"

#include "core/file_operations.h"
#include "core/setup.h"
#include "core/setup_app_repo.h"

namespace nolu {

void TSetupUpdateTaskRemoveFromRegistry::Execute(StringList* /*removal_list*/) {
  // The path is quoted: unquoted, the system would try "C:\Program.exe" and every other
  // prefix of a folder name with blanks before the real program, elevated. It runs in its
  // own folder.
  const String& dest = Setup()->DestPath();
  RunAndWait(u"\"" + dest + u"Elevator.exe\" /REG=U", dest);
  TSetupAppRepo::Unregister(ProductInfo().GetProductName());
}

}  // namespace nolu
