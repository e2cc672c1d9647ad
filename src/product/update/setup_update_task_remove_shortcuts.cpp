#include "product/update/setup_update_task_remove_shortcuts.h"

#include "core/file_operations.h"
#include "core/setup_product_info.h"
#include "platform/platform.h"
#include "product/update/setup_helper.h"

namespace nolu {
namespace {

// Versions before this one were installed as "Nolu3".
constexpr int kRenamedVersion = 4000;

}  // namespace

void TSetupUpdateTaskRemoveShortcuts::Execute(StringList* /*removal_list*/) {
  // A folder the shell cannot name is passed over: there is nothing of ours to find in a
  // stand-in such as the temporary folder, and someone else's "Nolu" there must not be deleted.
  IShell& shell = CurrentPlatform().Shell();

  StringList names{u"Nolu"};
  if (ProductInfo().GetInstalledVersion() < kRenamedVersion) names.emplace_back(u"Nolu3");
  for (const String& name : names) {
    for (Csidl csidl : {Csidl::kDesktopDirectory, Csidl::kCommonDesktopDirectory}) {
      String desktop;
      if (shell.SpecialFolder(csidl, desktop)) DeleteFileOrDefer(desktop + name + u".lnk");
    }
    for (Csidl csidl : {Csidl::kStartMenu, Csidl::kCommonPrograms, Csidl::kCommonStartMenu}) {
      String menu;
      if (shell.SpecialFolder(csidl, menu)) TSetupHelper::DeleteTree(menu + name + u'\\');
    }
  }
}

}  // namespace nolu
