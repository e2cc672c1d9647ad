// TUninstallerCaller: the instance that waits for this uninstaller's result.
//
// The uninstaller in the product folder cannot remove the folder it runs from, so it copies
// itself to the temporary folder and starts the copy there (RelaunchUninstallerFromTemp).
// Deployment tools and scripts wait for the program they started and read its exit code, so
// the original does not end at once: it passes its result window on the copy's command line
// ("/CALLER=<window>") and waits (TUninstallerResultWindow). The copy does the removal, then
// hands over:
//
//   1. it sends its exit code to that window (WM_USER, code kResultCode, the exit code as
//      parameter); the original returns it as its own;
//   2. it waits until the original's process has ended (and the non-elevated instance that
//      restarted it elevated, whose spawn window it knows), at most kCallerEndTimeoutMs;
//   3. it deletes the original's program file, which could not go while it ran: the removal
//      has moved it aside by then (TSetup::CallerProgramAside), or, where that failed, it is
//      still in the product folder, which goes with it when it is left empty.
//
// So when the caller's wait returns, the removal is done; at most the original's own file goes
// a moment later, and where the system cannot move a running program aside, the folder too.
#pragma once

#include <memory>

#include "base/text.h"
#include "platform/desktop_windows.h"

namespace nolu {

class TSetup;

class TUninstallerCaller {
 public:
  static constexpr char16_t kSwitch[] = u"CALLER";
  static constexpr uint32_t kResultCode = 1;
  // How long the copy waits for the caller to end before it leaves the original's file to the
  // next restart (it has been scheduled for it since it was moved aside).
  static constexpr uint32_t kCallerEndTimeoutMs = 30000;

  // The caller named by "/CALLER=<window>" of `params`, or none.
  static std::unique_ptr<TUninstallerCaller> FromParams(StringView params);

  explicit TUninstallerCaller(TWindowId window);
  TUninstallerCaller(const TUninstallerCaller&) = delete;
  TUninstallerCaller& operator=(const TUninstallerCaller&) = delete;

  // Steps 1 to 3 above. `setup` is the run's setup object (none when the run failed before it
  // existed); the original's program is deleted only when the removal succeeded (exit code
  // 0 or 3) or has moved it aside already. Never raises.
  void HandOver(int exit_code, TSetup* setup);

 private:
  TWindowId window_;
};

}  // namespace nolu
