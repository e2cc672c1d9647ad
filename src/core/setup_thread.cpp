#include "core/setup_thread.h"

#include <exception>

#include "base/errors.h"
#include "base/path.h"
#include "core/file_operations.h"
#include "core/installer_notify.h"
#include "core/setup.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"
#include "resources/setup_resources.h"

namespace nolu {

TSetupThread::TSetupThread() : done_(CurrentPlatform().Messages().NewEvent()) {}

TSetupThread::~TSetupThread() {
  Terminate();
  WaitFor();
  if (thread_.joinable()) thread_.join();
}

void TSetupThread::Resume() {
  std::call_once(started_, [this] { thread_ = std::thread([this] { Execute(); }); });
}

void TSetupThread::Terminate() {
  terminated_.store(true);
  Resume();
  std::lock_guard lock(lock_);
  if (current_action_) current_action_->Cancel();
}

void TSetupThread::WaitFor() {
  if (!thread_.joinable()) return;
  IMessageChannel& channel = CurrentPlatform().Messages();
  if (channel.IsMainThread()) {
    channel.WaitDispatching(*done_);
  } else {
    done_->Wait(kInfinite);
  }
}

TSetupAction* TSetupThread::CurrentAction() {
  std::lock_guard lock(lock_);
  return current_action_;
}

void TSetupThread::PopulateActions() {
  Setup()->ProductInfo().PopulateActions([this](const TSetupActionClass& cls) {
    std::unique_ptr<TSetupAction> action = cls.Create();
    action->SetOnProgress([this](TSetupAction&) { ProgressChanged(); });
    actions_.Add(std::move(action));
    action_names_.emplace_back(cls.Name);
  });
}

void TSetupThread::SetCurrentAction(TSetupAction* action) {
  {
    std::lock_guard lock(lock_);
    current_action_ = action;
  }
  // Never notify under the lock: the main thread may be blocked on it in Terminate and
  // could then not serve the notification.
  if (action) ProgressChanged();
}

void TSetupThread::ProgressChanged() {
  TSetup& setup = *Setup();
  const int64_t overall = actions_.Progress();
  const int64_t current = current_action_ ? current_action_->Progress() : 0;
  setup.Notify(ncProgress, (overall << 16) | (current & 0xFFFF));
  setup.Notify(ncProgressRefresh, 0);
}

bool TSetupThread::IsFirstInstallation() {
  const TSetup& setup = *Setup();
  if (setup.Mode() != smInstall || (setup.Flags() & sfUpdate) != 0) return false;
  const String dest = ExcludeTrailingBackslash(setup.DestPath());
  // Not even a file of that name: whatever is there may be someone's. A path that gives no
  // attributes because it cannot be reached cannot be written to either: the extraction's
  // first folder fails before any file.
  return !dest.empty() && CurrentPlatform().Files().Attributes(dest) == kInvalidAttributes;
}

void TSetupThread::Execute() {
  TSetup& setup = *Setup();
  ISystem& system = CurrentPlatform().System();
  try {
    // Nothing is written from a package that may turn out corrupt: a body still decoding in
    // the background is awaited, and its error ends the run before the first action. Only a
    // first installation, which has nothing to lose, goes on meanwhile: its extraction waits
    // for the checks and takes its files back if they fail.
    const TDeferredSetupPackage& package = setup.Resources().ProductPackage();
    const bool first_installation = IsFirstInstallation();
    extracts_while_decoding_.store(first_installation);
    if (!first_installation) package.Wait();
    PopulateActions();
    for (int i = 0; i < actions_.Count(); ++i) {
      if (terminated_.load()) break;
      TSetupAction& action = actions_.Items(i);
      if (first_installation && !action.RunsBeforeThePackageIsChecked()) package.Wait();
      const String& name = action_names_[static_cast<size_t>(i)];
      setup.Log().Line(u"Action " + name);
      const uint64_t start = system.TickCount();
      SetCurrentAction(&action);
      action.Run();
      setup.Log().Line(u"Action " + name + u" done in " +
                       IntToStr(static_cast<int64_t>(system.TickCount() - start)) + u" ms");
    }
    // No run ends as a success before its package passed the checks.
    if (first_installation) package.Wait();
  } catch (const EInstallerProductRunningError& e) {
    setup.NoteProductStillRunning();
    AddError(e.Message());
  } catch (const Exception& e) {
    AddError(e.Message());
  } catch (const std::exception& e) {
    // Not one of ours (out of memory, a library's failure): the run has failed all the same
    // and must not end looking like a success.
    AddError(Utf8ToString(e.what()));
  } catch (...) {
    AddError(u"Unexpected error");
  }
  setup.Notify(ncFinished, terminated_.load() ? 1 : 0);
  done_->Set();
}

}  // namespace nolu
