#include "product/actions/setup_action_close_applications.h"

#include <memory>
#include <vector>

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

// Waits until every process has ended or `budget_ms` has passed; what cannot be watched gets
// the whole budget, as a pause.
void WaitForEnds(const std::vector<std::unique_ptr<TProcess>>& processes, bool unwatched,
                 uint32_t budget_ms) {
  ISystem& system = CurrentPlatform().System();
  const uint64_t deadline = system.TickCount() + budget_ms;
  auto remaining = [&]() -> uint32_t {
    const uint64_t now = system.TickCount();
    return now >= deadline ? 0 : static_cast<uint32_t>(deadline - now);
  };
  for (const std::unique_ptr<TProcess>& process : processes) {
    if (!process->Wait(remaining())) return;  // the budget is spent
  }
  if (unwatched && remaining() > 0) system.Sleep(remaining());
}

}  // namespace

void TSetupActionCloseApplications::Execute() {
  SetStatus(GetCommonString(u"A8"));
  IDesktopWindows& windows = CurrentPlatform().Windows();
  for (int pass = 1;; ++pass) {
    std::vector<std::unique_ptr<TProcess>> closing;
    bool found = false;
    bool unwatched = false;
    for (StringView window_class : kWindowClasses) {
      const TWindowId window = windows.FindTopLevelWindow(window_class);
      if (!window) continue;
      // Replacing or deleting the files of a program that still runs would leave a broken
      // installation: the user has to close it first.
      if (pass > kMaxPasses) {
        throw EInstallerProductRunningError(
            Format(Resources().GetString(u"Common", u"E6", kStillRunningFallback), {window_class}));
      }
      found = true;
      // A user's running program is not closed for a package that turns out corrupt.
      WaitForThePackageChecks();
      // Opened before the window closes: afterwards nothing leads to its process.
      std::unique_ptr<TProcess> process = windows.OpenWindowProcess(window);
      // A timeout (the program does not answer) counts like a window that stays open.
      windows.SendClose(window, kCloseTimeoutMs);
      if (process) {
        closing.push_back(std::move(process));
      } else {
        unwatched = true;
      }
    }
    if (!found) return;
    // The files are free once the programs have ended, not when their windows are gone.
    WaitForEnds(closing, unwatched, kPassWaitMs);
    if (cancelled_.load()) return;
  }
}

}  // namespace nolu
