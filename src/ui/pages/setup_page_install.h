// TSetupPageInstall: the progress of the run. Entering it starts the worker (once); it
// follows the worker's notifications with a status line and two bars (the current action
// and the whole run) and lets the wizard go on once the run has finished.
#pragma once

#include "core/installer_notify.h"
#include "ui/controls/rux_progress_bar.h"
#include "ui/pages/setup_page.h"

namespace nolu::ui {

class TSetupPageInstall : public TSetupPage, public IInstallerNotify {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageInstall";
  explicit TSetupPageInstall(TSetupPageContext& context) : TSetupPageInstall(context, kClassName) {}
  ~TSetupPageInstall() override;

  int GetProgress() override;
  bool CanGoBack() override { return false; }
  bool CanGoNext() override { return finished_; }
  // Starts the run; a page entered again does not start a second one.
  void Prepare() override;
  void Notify(uint32_t code, const TNotifyParam& param) override;

  bool Finished() const { return finished_; }
  TRuxLabel& StatusLabel() const { return *status_; }
  TRuxProgressBar& ActionBar() const { return *action_bar_; }
  TRuxProgressBar& TotalBar() const { return *total_bar_; }

 protected:
  // Registers the page as a listener of the setup object.
  TSetupPageInstall(TSetupPageContext& context, StringView class_name);
  void CreateControls() override;

 private:
  TRuxLabel* status_ = nullptr;
  bool finished_ = false;
  TRuxProgressBar* action_bar_ = nullptr;
  TRuxProgressBar* total_bar_ = nullptr;
};

// The progress of a removal.
class TSetupPageUninstall : public TSetupPageInstall {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageUninstall";
  explicit TSetupPageUninstall(TSetupPageContext& context)
      : TSetupPageInstall(context, kClassName) {}
};

}  // namespace nolu::ui
