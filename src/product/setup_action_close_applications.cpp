#include "product/setup_action_close_applications.h"

#include "base/format.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// Said when the language files have no text for it.
constexpr char16_t kStillRunningFallback[] =
    u"A program of $NAME is still running and does not close (window \"%s\"). Close it and run "
    u"Setup again.";

}  // namespace

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
            Format(Resources().GetString(u"Common", u"E6", kStillRunningFallback), {window_class}));
      }
      found = true;
      // A timeout (the program does not answer) counts like a window that stays open.
      windows.SendClose(window, kCloseTimeoutMs);
    }
    platform.System().Sleep(kPauseMs);
    if (!found) return;
  }
}

}  // namespace nolu
