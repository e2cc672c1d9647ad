#include "product/update/setup_update_task_remove_shell_menu.h"

#include "core/file_operations.h"
#include "core/setup.h"
#include "core/setup_active_x.h"
#include "platform/platform.h"

namespace nolu {

void TSetupUpdateTaskRemoveShellMenu::Execute(StringList* /*removal_list*/) {
  const String& dest = Setup()->DestPath();
  for (StringView name : {u"System\\nolu_menu32.dll", u"System\\nolu_menu64.dll"}) {
    const String library = dest + String(name);
    if (!CurrentPlatform().Files().FileExists(library)) continue;
    WaitForThePackageChecks();
    TSetupActiveX::UnregisterServer(library);
    DeleteFileOrDefer(library);
  }
}

}  // namespace nolu
