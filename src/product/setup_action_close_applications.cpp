#include "product/setup_action_close_applications.h"

#include "base/format.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"

namespace nolu {

void TSetupActionCloseApplications::Execute() {
  SetStatus(GetCommonString(u"A8"));
  TPlatform& platform = CurrentPlatform();
  IDesktopWindows& windows = platform.Windows();
  for (int pass = 1;; ++pass) {
    bool found = false;
    for (StringView window_class : kWindowClasses) {
      const TWindowId window = windows.FindTopLevelWindow(window_class);
      if (!window) continue;
      // Replacing or deleting the files of a program that still runs would leave a broken
      // installation: the user has to close it first.
      if (pass > kMaxPasses) {
        throw EInstallerGeneralError(
            Format(u"A program of the product is still running and does not close (window class "
                   u"\"%s\"). Close it and run the setup again.",
                   {window_class}));
      }
      found = true;
      // A timeout (the program does not answer) counts like a window that stays open.
      windows.SendClose(window, kCloseTimeoutMs);
    }
    platform.System().Sleep(kPauseMs);
    if (!found || cancelled_.load()) return;
  }
}

}  // namespace nolu
