// TSetupThread: the worker of one run. It asks the product information for the actions of the
// run, runs them in order, reports progress through the setup object's notification channel
// and ends with ncFinished.
//
// The thread is created suspended and starts running when Resume is called (TSetup::Start).
// Destroying it tells it to terminate and waits for its end while the main thread keeps
// serving the notifications the worker sends: the worker blocks on each of them, so a plain
// wait would never return.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "core/setup_action_list.h"
#include "platform/waitable.h"

namespace nolu {

class TSetupThread {
 public:
  TSetupThread();
  // Terminate, wait for the end of the thread body, then free the actions.
  ~TSetupThread();
  TSetupThread(const TSetupThread&) = delete;
  TSetupThread& operator=(const TSetupThread&) = delete;

  // Starts the thread body; later calls do nothing.
  void Resume();
  // Tells the thread to stop after the current action (resuming it first if it was never
  // started, so that it can end) and calls the current action's Cancel.
  void Terminate();
  bool Terminated() const { return terminated_.load(); }
  // Waits until the thread body has ended; on the main thread the wait keeps dispatching.
  // Returns at once for a thread that was never resumed.
  void WaitFor();

  // The run is a first installation: its destination did not exist at all when the run
  // started, so nothing there can be overwritten or removed. The run then does not wait for
  // the product package's checks before its first action, only before each action that may
  // not run without them (TSetupAction::RunsBeforeThePackageIsChecked) and before its end; the
  // extraction writes each file as soon as its bytes are decoded and waits for the checks
  // after the last one, taking back what it wrote if they fail. Decided as the body starts.
  bool ExtractsWhileDecoding() const { return extracts_while_decoding_.load(); }

  const TSetupActionList& Actions() const { return actions_; }
  // The action being run; after the run, the last one started. None before the first.
  TSetupAction* CurrentAction();

 private:
  // Fills Actions through ProductInfo().PopulateActions.
  void PopulateActions();
  static bool IsFirstInstallation();
  void Execute();
  void SetCurrentAction(TSetupAction* action);
  void ProgressChanged();

  TSetupActionList actions_;
  StringList action_names_;  // the class names of actions_, for the log
  std::mutex lock_;          // guards current_action_ against Terminate
  TSetupAction* current_action_ = nullptr;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> extracts_while_decoding_{false};
  std::once_flag started_;
  std::unique_ptr<TEvent> done_;
  std::thread thread_;
};

}  // namespace nolu
