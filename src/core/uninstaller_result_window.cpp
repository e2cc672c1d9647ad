#include "core/uninstaller_result_window.h"

#include "base/format.h"
#include "core/uninstaller_caller.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

// How often the wait for the result looks whether the copy is still there.
constexpr uint32_t kLookMs = 100;

}  // namespace

TUninstallerResultWindow::TUninstallerResultWindow()
    : received_(CurrentPlatform().Messages().NewEvent()) {
  window_ = CurrentPlatform().Messages().CreateMessageWindow(
      u"TUninstallerResultWindow", [this](const TChannelMessage& message) -> int64_t {
        if (message.MessageKind != TChannelMessage::Kind::kValue ||
            message.Code != TUninstallerCaller::kResultCode || result_) {
          return 0;
        }
        result_ = message.Param;
        received_->Set();
        return 1;
      });
}

int TUninstallerResultWindow::WaitForResult(TProcess& copy) {
  IMessageChannel& channel = CurrentPlatform().Messages();
  while (!channel.WaitDispatching(*received_, kLookMs)) {
    if (!copy.IsSignaled()) continue;
    // A result sent just before the end may still be waiting to be served.
    channel.DispatchPending();
    if (result_) break;
    uint32_t code = 0;
    copy.ExitCode(code);
    throw EInstallerMysteryError(
        Format(u"The uninstaller ended without reporting its result (exit code %d).", {code}));
  }
  return static_cast<int>(*result_);
}

}  // namespace nolu
