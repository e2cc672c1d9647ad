#include "product/setup_update_task_remove_shortcuts.h"

#include "core/file_operations.h"
#include "core/setup_product_info.h"
#include "platform/platform.h"
#include "product/setup_helper.h"

namespace nolu {
namespace {

// Versions before this one were installed as "Nolu3".
constexpr int kRenamedVersion = 4000;

}  // namespace

void TSetupUpdateTaskRemoveShortcuts::Execute(StringList* /*removal_list*/) {
  IShell& shell = CurrentPlatform().Shell();
  // A folder the shell cannot name is passed over: there is nothing of ours to find in a
  // stand-in, and a "Nolu" folder of someone else's must not be deleted there.
  const auto folder = [&](Csidl csidl, String& path) { return shell.SpecialFolder(csidl, path); };

  StringList names{u"Nolu"};
  if (ProductInfo().GetInstalledVersion() < kRenamedVersion) names.emplace_back(u"Nolu3");
  for (const String& name : names) {
    for (Csidl csidl : {Csidl::kDesktopDirectory, Csidl::kCommonDesktopDirectory}) {
      String desktop;
      if (folder(csidl, desktop)) DeleteFileOrDefer(desktop + name + u".lnk");
    }
    for (Csidl csidl : {Csidl::kStartMenu, Csidl::kCommonPrograms, Csidl::kCommonStartMenu}) {
      String menu;
      if (folder(csidl, menu)) TSetupHelper::DeleteTree(menu + name + u'\\');
    }
  }
}

}  // namespace nolu
