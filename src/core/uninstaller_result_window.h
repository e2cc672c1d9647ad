// TUninstallerResultWindow: where the uninstaller in the product folder waits for the result of
// its copy in the temporary folder (the protocol is TUninstallerCaller's).
#pragma once

#include <memory>
#include <optional>

#include "platform/message_channel.h"
#include "platform/processes.h"

namespace nolu {

class TUninstallerResultWindow {
 public:
  // Main thread: the message-only window "TUninstallerResultWindow".
  TUninstallerResultWindow();
  TUninstallerResultWindow(const TUninstallerResultWindow&) = delete;
  TUninstallerResultWindow& operator=(const TUninstallerResultWindow&) = delete;

  // The window's id for "/CALLER=<id>".
  TWindowId Id() const { return window_->Id(); }

  // Waits, dispatching sent messages, until `copy` sends its result or ends, and returns the
  // result. A copy that ends without one (it crashed or was ended) raises
  // EInstallerMysteryError: the removal did not finish.
  int WaitForResult(TProcess& copy);

 private:
  std::unique_ptr<TEvent> received_;
  std::optional<int64_t> result_;  // main thread only: the handler runs there
  std::unique_ptr<TMessageWindow> window_;
};

}  // namespace nolu
