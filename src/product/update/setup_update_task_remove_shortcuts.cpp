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
  IFileSystem& files = CurrentPlatform().Files();
  // Shortcuts of another copy that a first installation finds are that copy's until the
  // package proves good.
  const auto found = [&](const String& path) {
    if (files.Attributes(path) == kInvalidAttributes) return false;
    WaitForThePackageChecks();
    return true;
  };
  for (const String& name : names) {
    for (Csidl csidl : {Csidl::kDesktopDirectory, Csidl::kCommonDesktopDirectory}) {
      String desktop;
      if (!shell.SpecialFolder(csidl, desktop)) continue;
      const String shortcut = desktop + name + u".lnk";
      if (found(shortcut)) DeleteFileOrDefer(shortcut);
    }
    for (Csidl csidl : {Csidl::kStartMenu, Csidl::kCommonPrograms, Csidl::kCommonStartMenu}) {
      String menu;
      if (!shell.SpecialFolder(csidl, menu)) continue;
      const String folder = menu + name + u'\\';
      if (found(folder)) TSetupHelper::DeleteTree(folder);
    }
  }
}

}  // namespace nolu
