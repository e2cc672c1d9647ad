// TSetupActionCloseApplications: the first action of every run. It closes the windows of the
// running product so that its files can be replaced or removed.
#pragma once

#include <array>
#include <atomic>

#include "base/text.h"
#include "core/setup_action.h"

namespace nolu {

class TSetupActionCloseApplications : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TSetupActionCloseApplications";

  // The product's window classes, closed in this order.
  static constexpr std::array<StringView, 7> kWindowClasses{
      u"TNolu2EditorForm",       u"TNolu2MainW",      u"TNolu3MainWindow", u"TNoluVTEForm",
      u"TNoluConverterMainForm", u"TNoluLibMainForm", u"TNoluMainForm"};
  // How long one pass waits at most for the programs whose windows it closed to end.
  static constexpr uint32_t kPassWaitMs = 2000;
  // How long one window may take to handle WM_CLOSE: a hung program must not hold the run.
  static constexpr uint32_t kCloseTimeoutMs = 5000;
  // After this many passes (about 30 s) a window that is still open ends the run.
  static constexpr int kMaxPasses = 15;

  // Passes over the window classes, closing one window of each class found, until a pass
  // finds none. After a pass that closed something it waits, up to kPassWaitMs, for the
  // processes of those windows to end (a process it may not watch costs the whole wait); a
  // pass that finds nothing costs nothing. Raises EInstallerProductRunningError with
  // "Common"/"E6" naming the class of a window still open after kMaxPasses passes.
  void Execute() override;
  // Ends the passes after the current one: a user who quits while a program refuses to close
  // must not wait out all of them.
  void Cancel() override { cancelled_.store(true); }
  // Finds no window mostly; one it finds is closed after the package's checks.
  bool RunsBeforeThePackageIsChecked() const override { return true; }

 private:
  std::atomic<bool> cancelled_{false};
};

}  // namespace nolu
